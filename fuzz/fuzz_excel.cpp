// The spreadsheet envelope over arbitrary values: read back as a table, the
// document has one header row and one row per grid row, each with one cell
// per column, and every cell gives back its value without outer blanks.
#include "common/ExcelHtml.h"
#include "common/Text.h"

#include <QList>
#include <QStringList>

#include <cstdlib>

using namespace clinora;

namespace {

void check(bool ok)
{
    if (!ok)
        std::abort();
}

// Reads texts out of the fuzzer's bytes: two bytes per UTF-16 unit, so that
// any character (a lone surrogate too) can turn up.
class Texts {
public:
    Texts(const uint8_t *data, size_t size) : m_data(data), m_size(size) {}
    int byte()
    {
        return m_at < m_size ? m_data[m_at++] : 0;
    }
    QString next()
    {
        const int length = byte() % 24;
        QString s;
        for (int i = 0; i < length && m_at + 1 < m_size; ++i, m_at += 2) {
            // Mostly the code page's own characters, now and then any other.
            const char16_t unit = m_data[m_at + 1] < 0xF0 ? char16_t(m_data[m_at])
                                                          : char16_t(m_data[m_at] | (m_data[m_at + 1] << 8));
            s += QChar(unit);
        }
        return s;
    }

private:
    const uint8_t *m_data;
    size_t m_size;
    size_t m_at = 0;
};

// The text of a cell as a spreadsheet program reads it.
QString unescape(QByteArrayView cell)
{
    QString out;
    for (qsizetype i = 0; i < cell.size(); ++i) {
        const char c = cell[i];
        check(c != '<' && c != '>'); // only the markup has them
        if (c != '&') {
            text::appendCp1252(out, cell.sliced(i, 1));
            continue;
        }
        const qsizetype semi = cell.indexOf(';', i);
        check(semi > i);
        const QByteArrayView entity = cell.sliced(i + 1, semi - i - 1);
        if (entity == "amp")
            out += u'&';
        else if (entity == "lt")
            out += u'<';
        else if (entity == "gt")
            out += u'>';
        else {
            check(entity.startsWith("#"));
            bool ok = false;
            const uint code = entity.sliced(1).toUInt(&ok);
            check(ok);
            if (code > 0xFFFF)
                out += QChar::fromUcs4(char32_t(code));
            else
                out += QChar(char16_t(code));
        }
        i = semi;
    }
    return out;
}

// The cells of each row, in order.
QList<QList<QString>> table(const QByteArray &doc)
{
    const QByteArrayView start = "<table x:str>";
    const QByteArrayView end = "</table></body></html>";
    const qsizetype from = doc.indexOf(start);
    check(from >= 0 && doc.endsWith(end));
    QByteArrayView rest = QByteArrayView(doc).sliced(from + start.size());
    rest.chop(end.size());
    QList<QList<QString>> rows;
    while (!rest.isEmpty()) {
        check(rest.startsWith("<tr>"));
        const qsizetype close = rest.indexOf("</tr>");
        check(close >= 0);
        QByteArrayView row = rest.sliced(4, close - 4);
        rest = rest.sliced(close + 5);
        QList<QString> cells;
        while (!row.isEmpty()) {
            check(row.startsWith("<td "));
            const qsizetype open = row.indexOf('>');
            const qsizetype stop = row.indexOf("</td>");
            check(open > 0 && stop > open);
            cells << unescape(row.sliced(open + 1, stop - open - 1));
            row = row.sliced(stop + 5);
        }
        rows << cells;
    }
    return rows;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Texts in(data, size);
    const int columnCount = 1 + in.byte() % 6;
    const int rowCount = in.byte() % 8;
    const QString sheet = in.next();
    QList<ExcelColumn> columns;
    for (int c = 0; c < columnCount; ++c)
        columns.append({in.next(), in.byte() * 7});
    QList<QStringList> grid;
    for (int r = 0; r < rowCount; ++r) {
        QStringList row;
        for (int c = 0; c < columnCount; ++c)
            row << in.next();
        grid << row;
    }

    const QByteArray doc = ExcelHtmlDocument(sheet, columns, rowCount,
                                             [&grid](qsizetype r, int c) { return QStringView(grid[r][c]); });
    // One line, unless a value brings its own breaks.
    const QList<QList<QString>> rows = table(doc);
    check(rows.size() == rowCount + 1);
    for (int c = 0; c < columnCount; ++c)
        check(rows[0].size() == columnCount && rows[0][c] == columns[c].header);
    for (int r = 0; r < rowCount; ++r) {
        check(rows[r + 1].size() == columnCount);
        for (int c = 0; c < columnCount; ++c)
            check(rows[r + 1][c] == text::trimmed(grid[r][c]));
    }
    return 0;
}
