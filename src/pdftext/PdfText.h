#pragma once

#include "analyses/LabReport.h"

// The PDF library's side of reading a report: the files a PDF carries
// attached and its text laid out in lines. Kept in a library of its own
// because the PDF library brings the graphics module with it.
namespace clinora::pdftext {

class PopplerSource : public referto::PdfSource {
public:
    std::optional<referto::PdfContents> open(const QByteArray &bytes, QString &message) const override;
};

// Words of one page (text and box) gathered into lines, top to bottom; a
// gap wider than about two characters between words becomes a tab, so that
// the columns of a table stay apart.
struct Word {
    QString text;
    double left, top, right, bottom;
    bool spaceAfter;
};
QStringList linesOf(std::vector<Word> words);

} // namespace clinora::pdftext
