#pragma once

#include "common/ListOrder.h"

#include "analyses/AnalysisRecord.h"

#include <QString>
#include <QStringList>
#include <QStringView>

// The one-line summary of an exam result that the result lists show, sort,
// find in and print: the analysis search, the alarming results and the
// results summary.
//
//   "Cod. " + yyyymmdd + "  Data: " + Data(10) + "  " + Esame(28)
//   + "  Valore: " + Risultato(20) + "  UM: " + UM(14) + "  Rif. " + Rife(20)
//   + "  " + Esito
//
// Every field is trimmed first; a field in brackets is filled up with blanks
// or cut to that many characters; Esito is whole.
namespace clinora {

// The sorting key of a sample date "dd/mm/yyyy": characters 7-10, 4-5 and
// 1-2 of the trimmed text, joined. A shorter text gives what it has of them
// (an empty date, an empty key).
QString resultDateKey(QStringView data);

// The six fields a line shows, as read (decoded and trimmed).
struct ResultFields {
    QString data, esame, risultato, um, rife, esito;
};

// Decodes only the six fields of the line.
ResultFields resultFields(const AnalysisRecord &record);

QString resultLine(const ResultFields &fields);
QString resultLine(const AnalysisRecord &record);
// The same line of a record in Windows-1252, made from the stored bytes of
// the six fields and appended to `out`.
void appendResultLine(const AnalysisRecord &record, QByteArray &out);
// The same written at `out`, which has room for kResultLineMost bytes;
// returns its length.
inline constexpr qsizetype kResultLineMost = 5 + 8 + 8 + 10 + 2 + 28 + 10 + 20 + 6 + 14 + 7 + 20 + 2 + 255;
qsizetype writeResultLine(const AnalysisRecord &record, char *out);

} // namespace clinora
