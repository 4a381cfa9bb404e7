#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringView>

#include <functional>

// The spreadsheet exports: an HTML table in the form spreadsheet programs
// open as a worksheet, one single line of Windows-1252 with no byte-order
// mark.
namespace clinora {

struct ExcelColumn {
    QString header;
    int width = 0; // written as the cell's width attribute
};

// The value of export column `column` (0-based) of row `row`.
using ExcelCell = std::function<QStringView(qsizetype row, int column)>;

// Writes the document to `path`. Headers and values are escaped (& < > as
// &amp; &lt; &gt;, a character Windows-1252 cannot hold as a numeric
// reference) and every value cell is marked as text, so a cell shows
// exactly the text it was given (0612345678 keeps its zero); values lose
// their outer blanks. The document goes to a temporary file beside `path`
// that replaces it only once every byte is written: a failure leaves the
// previous file as it was. False on any failure.
bool ExcelHtmlEnvelope(const QString &path, QStringView sheetName, const QList<ExcelColumn> &columns,
                       qsizetype rowCount, const ExcelCell &cell);

// The same document, in memory.
QByteArray ExcelHtmlDocument(QStringView sheetName, const QList<ExcelColumn> &columns, qsizetype rowCount,
                             const ExcelCell &cell);

} // namespace clinora
