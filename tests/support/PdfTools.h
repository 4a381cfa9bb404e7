#pragma once

// Reading PDFs back with poppler's command-line tools, as a person would see
// them: their text, their document properties and their pages as pictures.

#include <QImage>
#include <QString>
#include <QStringList>

namespace clinora::test {

// The standard output of a tool, or a null string when it cannot run.
QString runTool(const QString &program, const QStringList &arguments);

// pdftotext -layout of the whole file (pages separated by form feeds).
QString pdfText(const QString &pdf);
// One "Key: value" of pdfinfo, e.g. pdfInfo(file, "Title").
QString pdfInfo(const QString &pdf, const QString &key);
int pdfPageCount(const QString &pdf);
// Copies the file into $CLINORA_REVIEW_DIR when that is set, so that a
// person can look at what the tests printed (pdftoppm -png -r 60).
void keepForReview(const QString &pdf);
// Page `page` (1-based) rendered at `dpi`.
QImage pdfPage(const QString &pdf, int page, int dpi);

} // namespace clinora::test
