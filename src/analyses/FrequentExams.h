#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

// The practice's list of frequent exams, Esami_Frequenti.lst in the
// AppFolder: Windows-1252 text, one entry per line, every line ended by
// CR LF. An entry is a FrequentExamLine of 113 characters:
//
//   exam (1-50) + "  UM: " + unit (57-81) + "  Rif. " + reference values (89-113)
//
// each part trimmed, then filled up with blanks or cut to its width.
namespace clinora {

inline constexpr QStringView kFrequentExamsFileName = u"Esami_Frequenti.lst";

inline constexpr int kFrequentExamWidth = 50;
inline constexpr int kFrequentUnitWidth = 25;
inline constexpr int kFrequentRangeWidth = 25;
inline constexpr int kFrequentExamLineLength = 113;

QString FrequentExamLine(QStringView exam, QStringView unit, QStringView range);

// The three parts of an entry, each trimmed; a part beyond the end of a
// shorter line (the file keeps lines without their trailing blanks) is empty.
struct FrequentExam {
    QString exam, unit, range;
};
FrequentExam splitFrequentExamLine(QStringView line);

// The entries of the list, each line trimmed, in file order. A missing or
// empty file is an empty list; a file that exists but cannot be read gives
// nothing.
std::optional<QStringList> readFrequentExams(const QString &appFolder);

// Replaces the list with `lines`, one per line, in order. The new file takes
// the place of the old one only once it is whole, so a failure leaves the
// previous list as it was. False on any failure.
bool writeFrequentExams(const QString &appFolder, const QStringList &lines);

} // namespace clinora
