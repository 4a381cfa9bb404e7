#pragma once

#include "analyses/ResultLine.h"
#include "common/RecordFile.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

// The results summary of one patient: the results of the patient's analysis
// archive whose sample date lies in an interval, optionally for one exam,
// as sorted result lines.
namespace clinora::summary {

struct SummaryRequest {
    QString codFisc; // as typed
    QString esame;   // as typed; blanks only: every exam
    QDate start, end; // both included
};

// Whether a sample date lies in the interval, both ends included. A text
// that is no date (dd/mm/yyyy of a day that exists) lies in no interval.
bool inInterval(QStringView data, const QDate &start, const QDate &end);

// One listed result, for what is drawn from the list besides its lines.
struct SummaryEntry {
    ResultFields fields;
    QDate date;            // the sample date, read
    bool alarming = false; // its alarm mark reads "Sì"
};

struct SummaryList {
    QStringList lines;           // sorted once, in the order of every list
    QList<SummaryEntry> entries; // in archive order
    // Results of the patient (and exam) left out because their sample date
    // is not a date at all, so no interval can hold them.
    int undated = 0;
    // Listed results outside their reference values on cards neither
    // marked alarming nor given the outcome "FUORI NORMA".
    int unmarkedOutside = 0;
};

// Opens the archive (creating it empty when it is missing), reads it once
// from the first record to the last and closes it. A record is listed when
// the fiscal code typed occurs in its CodFisc and the exam typed in its
// Esame (A-Z without regard to case) and its sample date lies in the
// interval. On a failure `out` holds, sorted, what was read before it.
IoResult buildSummary(const QString &archivePath, const SummaryRequest &request, SummaryList &out);

} // namespace clinora::summary
