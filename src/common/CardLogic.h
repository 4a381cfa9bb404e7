#pragma once

#include "common/RecordArchive.h"
#include "common/Text.h"

#include <QString>
#include <QStringView>

#include <iterator>
#include <optional>

// What a card (the patient card, the analysis card) does with its archive,
// apart from its controls: browsing with the four arrows, saving a card by
// rewriting its record or appending a new one, and the fields a card cannot
// be stored without. The screens read and write their controls and show the
// messages; the rules are here, once.
//
// The two cards were made apart and differ in a few small ways, which stay
// as they are; each is a field of CardRules, filled in by the card's own
// logic (PatientEntry.h, AnalysisEntry.h).
namespace clinora {

// How a card reads its position label and when it opens its archive.
struct CardRules {
    // True (patient card): a position label that is neither blank nor a whole
    // number >= 0 is taken for a damaged archive and reported as an access
    // error before the archive is opened; saving also refuses "0".
    // False (analysis card): such a label holds no position: browsing starts
    // from the beginning and saving appends.
    bool strictPosition;
    // "Indietro" on the first card (a position label reading "1") does
    // nothing. True (analysis card): the archive is opened and closed first,
    // so that an archive out of reach is reported; false (patient card): it
    // is not touched.
    bool firstCardOpensArchive;
};

// ---- Browsing ----------------------------------------------------------------------------

enum class BrowseCommand { First, Back, Next, Last };

// One arrow pressed on an archive of `count` records, the card showing
// record `position` (0: none).
struct BrowseStep {
    qint64 target = 0;          // the record to show; 0: the card stays as it is
    bool empty = false;         // the archive holds no card: say so
    bool clearPosition = false; // with `empty`, on "Avanti": the position label is emptied
};
BrowseStep browseStep(BrowseCommand command, qint64 position, qint64 count);

// The record number a position label holds, 0 for a blank one; nothing when
// the label is not blank and no whole number >= 0 and `rules` are strict
// (otherwise such a label holds 0, as does a negative number).
std::optional<qint64> browsePosition(QStringView label, const CardRules &rules);
// The record a save rewrites, 0 for a new card to append; nothing when the
// label cannot be trusted (strict rules: neither blank nor a number >= 1).
std::optional<qint64> savePosition(QStringView label, const CardRules &rules);

enum class BrowseOutcome { Stay, Show, Empty, AccessError };

template <class Record>
struct Browsed {
    BrowseOutcome outcome = BrowseOutcome::Stay;
    qint64 number = 0; // Show: the record read into `record`
    Record record;
    bool clearPosition = false; // Empty: the position label is emptied too
};

// One arrow on the archive at `path`: opened shared (a missing one is
// created empty), the record chosen, read, and the archive closed, all
// before the card changes; any failure leaves the card as it was.
template <class Record>
Browsed<Record> browseArchive(const QString &path, BrowseCommand command, QStringView positionLabel,
                              const CardRules &rules)
{
    Browsed<Record> result;
    const auto failed = [&result] {
        result.outcome = BrowseOutcome::AccessError;
        return result;
    };
    // On the first card there is nothing before it, whatever the archive holds now.
    const bool onFirst = command == BrowseCommand::Back && text::trimmed(positionLabel) == QLatin1String("1");
    if (onFirst && !rules.firstCardOpensArchive)
        return result;
    qint64 position = 0;
    if (command == BrowseCommand::Back || command == BrowseCommand::Next) {
        const std::optional<qint64> p = browsePosition(positionLabel, rules);
        if (!p)
            return failed();
        position = *p;
    }
    RecordArchive<Record> archive;
    if (!archive.open(path, lock::Mode::Shared))
        return failed();
    if (onFirst)
        return archive.close() ? result : failed();
    const BrowseStep step = browseStep(command, position, archive.count());
    if (step.target > 0 && !archive.read(step.target, result.record))
        return failed();
    if (!archive.close())
        return failed();
    if (step.empty) {
        result.outcome = BrowseOutcome::Empty;
        result.clearPosition = step.clearPosition;
    } else if (step.target > 0) {
        result.outcome = BrowseOutcome::Show;
        result.number = step.target;
    }
    return result;
}

// ---- Saving -------------------------------------------------------------------------------

enum class SaveOutcome {
    Rewritten,   // a stored card saved over its record
    Appended,    // a new card added after the last record
    Declined,    // the user chose not to overwrite another computer's change
    AccessError, // the archive could not be opened, read, written or closed
};

// Saves `record` into the archive at `path`, opened exclusive: over record
// `position`, or after the last one when `position` is 0. Before a rewrite,
// when `loaded` holds what the card read of that record, the record is read
// again: if another computer saved it since, `confirmOverwrite()` is asked,
// with the archive let go meanwhile so that the other computer is not kept
// waiting; yes overwrites what was seen then, and a change made while asking
// is asked about again. As soon as the record is in the file, `loaded`
// remembers it and `stored(number)` is told, even if closing then fails: the
// card then names it, so that saving again rewrites it instead of adding it
// twice.
template <class Record, class Confirm, class Stored>
SaveOutcome saveToArchive(const QString &path, qint64 position, const Record &record, LoadedRecord &loaded,
                          Confirm confirmOverwrite, Stored stored)
{
    RecordArchive<Record> archive;
    if (!archive.open(path, lock::Mode::Exclusive))
        return SaveOutcome::AccessError;
    if (position > 0 && loaded.knows(path, position)) {
        for (;;) {
            Record onDisk;
            if (!archive.read(position, onDisk))
                return SaveOutcome::AccessError;
            // Unchanged, or already what this save writes (a save reported
            // failed that the journal finished): nothing would be lost.
            if (onDisk.bytes() == loaded.bytes || onDisk.bytes() == record.bytes())
                break;
            if (!archive.close())
                return SaveOutcome::AccessError;
            if (!confirmOverwrite())
                return SaveOutcome::Declined;
            loaded.bytes = onDisk.bytes();
            if (!archive.open(path, lock::Mode::Exclusive))
                return SaveOutcome::AccessError;
        }
    }
    qint64 number = position;
    if (position > 0 ? !archive.write(position, record) : !archive.append(record, &number))
        return SaveOutcome::AccessError;
    loaded.remember(path, number, record.bytes());
    stored(number);
    if (!archive.close())
        return SaveOutcome::AccessError;
    return position > 0 ? SaveOutcome::Rewritten : SaveOutcome::Appended;
}

// ---- Required fields --------------------------------------------------------------------

// A field a card cannot be stored without, with the warning that names it.
template <class Field>
struct RequiredField {
    Field field;
    QStringView message;
    // 0: the field must not be blank. Otherwise its text, as typed, must be
    // exactly this many characters long.
    int length = 0;
};

// The first entry of `table` (checked in its order) that the texts given by
// `textOf(field)` leave unmet, or nullptr.
template <class Table, class TextOf>
auto firstUnmet(const Table &table, TextOf textOf) -> decltype(&*std::begin(table))
{
    for (const auto &required : table) {
        const QString value = textOf(required.field);
        if (required.length == 0 ? text::isBlank(value) : value.size() != required.length)
            return &required;
    }
    return nullptr;
}

} // namespace clinora
