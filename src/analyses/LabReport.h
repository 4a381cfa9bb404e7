#pragma once

#include "analyses/AnalysisRecord.h"
#include "common/RecordFile.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>

// A laboratory report read from its file into the rows that become analysis
// cards: the health record's structured report (XML, alone or attached to
// its PDF), the laboratory's HL7 message, or the text of a plain PDF. What
// a reader cannot read for certain is shown as read and marked, never
// completed by a guess: no outcome comes from an uncertain value, and a
// plain PDF's line becomes a row only where it reads as exam, result, unit
// and range without doubt.
namespace clinora::referto {

enum class Source { Cda, Hl7, PdfText };

// One result, in the words of the card that will receive it.
struct ReportRow {
    QString esame, risultato, um, rife, esito, data, numRef, dataRef, firmatario, commento;
    // Critical flags (HH, LL, AA): the card's alarm box is ticked.
    bool alarming = false;
    // The value was not read for certain (a number that does not read, a
    // value missing, an unknown escape): shown as read, never given an outcome.
    QString uncertain;
    // Where the report's own text says something else than its structured value.
    QString difference;
    // A line of a plain PDF that is not read as a result: its text, in `esame`.
    bool unread = false;
};

struct LabReport {
    Source source = Source::Cda;
    QString fiscalCode, patientName;
    QString laboratory;
    QString reportId; // the document's identifier, as the laboratory gave it
    QString numRef, dataRef, data, firmatario;
    QList<ReportRow> rows;
};

// A report, or the message that says why the file is refused.
struct Reading {
    std::optional<LabReport> report;
    QString message;
};

// Files larger than this are refused before they are read.
inline constexpr qint64 kMaxReportBytes = 32 * 1024 * 1024;

// The readers, each of the bytes of one file.
Reading readCda(QByteArrayView bytes);
Reading readHl7(QByteArrayView bytes);
// The lines of a plain PDF's text, columns separated by tabs where the
// page leaves a gap between them.
Reading readPdfLines(const QStringList &lines);

// What a PDF holds for a report: its attached files and its text by lines.
struct PdfContents {
    QList<std::pair<QString, QByteArray>> attachments; // name, bytes
    QStringList lines;
};
// The PDF library stays behind this, out of the logic that needs no screen.
class PdfSource {
public:
    virtual ~PdfSource() = default;
    // The contents, or nothing with `message` set when the bytes are no
    // PDF that opens.
    virtual std::optional<PdfContents> open(const QByteArray &bytes, QString &message) const = 0;
};

// Any report file, told by its contents (the name only for the message):
// a PDF's attached structured report is read before its text.
Reading readReport(const QByteArray &bytes, const QString &fileName, const PdfSource *pdf);
Reading readReportFile(const QString &path, const PdfSource *pdf);

// The ten columns as the import screen and the command-line reader show them.
QStringList rowColumns(const ReportRow &row);
QStringList columnTitles();

// The fields of `row` whose text does not fit its card field (never cut
// silently), with their capacities.
struct TooLong {
    AnalysisRecord::Field field;
    int capacity;
};
QList<TooLong> tooLongFields(const ReportRow &row);
// "Esame", "Risultato"...: a field's name in the words of the card.
QString fieldTitle(AnalysisRecord::Field field);

// The card a row becomes for the patient shown.
AnalysisRecord cardOf(const ReportRow &row, const QString &patientName, const QString &fiscalCode);

// How many cards of the archive at `path` carry the report number and date
// of `numRef` and `dataRef` (the archive is only read; a missing one has none).
struct StoredCount {
    bool read = false;
    qint64 cards = 0;
};
StoredCount cardsOfReport(const QString &path, const QString &numRef, const QString &dataRef);

// Appends `cards` to the archive at `path` under one lock and one sync: all
// of them or, on a failure, none. `first` receives the first new number.
IoResult appendCards(const QString &path, const QList<AnalysisRecord> &cards, qint64 *first = nullptr);

// The outcome a result reads as: from the laboratory's flag when it gives
// one, else from its reference values; empty when neither tells.
QString outcomeOf(const QString &flag, const QString &risultato, const QString &rife, const QString &um);
// True for the flags that call for the alarm mark.
bool criticalFlag(const QString &flag);
// "20240315", "202403150830+0100" (the dates of both standards) as
// "15/03/2024"; empty for anything else.
QString dateOf(QStringView stamp);

} // namespace clinora::referto
