#include "common/ExcelHtml.h"

#include "common/FileIo.h"
#include "common/Text.h"


namespace clinora {

namespace {

// Collects the document piece by piece and hands it on in large blocks.
class EnvelopeWriter {
public:
    using Sink = std::function<bool(QByteArrayView)>;
    // A writer to a file keeps a block's worth of room, so that a large
    // export does not grow its buffer piece by piece.
    EnvelopeWriter(Sink sink, bool toFile) : m_sink(std::move(sink))
    {
        if (toFile)
            m_buffer.reserve(kBlock + 4096);
    }

    void piece(const char *ascii)
    {
        m_buffer.append(ascii);
        spill();
    }

    void number(int n)
    {
        m_buffer.append(QByteArray::number(n));
        spill();
    }

    // The text in Windows-1252, with & < > written as entities and any
    // character the code page lacks as a numeric reference.
    void text(QStringView t)
    {
        for (qsizetype i = 0; i < t.size(); ++i) {
            const char16_t c = t[i].unicode();
            if (c == u'&')
                m_buffer.append("&amp;");
            else if (c == u'<')
                m_buffer.append("&lt;");
            else if (c == u'>')
                m_buffer.append("&gt;");
            else if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
                m_buffer.append(char(c));
            else
                other(t, i);
        }
        spill();
    }

    bool finish()
    {
        if (m_ok && !m_buffer.isEmpty())
            m_ok = m_sink(m_buffer);
        m_buffer.clear();
        return m_ok;
    }

private:
    static constexpr qsizetype kBlock = 1 << 20;

    void other(QStringView t, qsizetype &i)
    {
        const QChar c = t[i];
        char32_t code = c.unicode();
        if (c.isHighSurrogate() && i + 1 < t.size() && t[i + 1].isLowSurrogate()) {
            code = QChar::surrogateToUcs4(c, t[i + 1]);
            ++i;
        } else {
            const QByteArray b = text::toCp1252(t.sliced(i, 1));
            if (b != "?") { // the code page has it (0x80-0x9F)
                m_buffer.append(b);
                return;
            }
        }
        m_buffer.append("&#");
        m_buffer.append(QByteArray::number(quint32(code)));
        m_buffer.append(';');
    }

    void spill()
    {
        if (m_buffer.size() < kBlock)
            return;
        if (m_ok)
            m_ok = m_sink(m_buffer);
        m_buffer.truncate(0);
    }

    Sink m_sink;
    QByteArray m_buffer;
    bool m_ok = true;
};

void writeDocument(EnvelopeWriter &w, QStringView sheetName, const QList<ExcelColumn> &columns, qsizetype rowCount,
                   const ExcelCell &cell)
{
    w.piece("<html xmlns:o=\"urn:schemas-microsoft-com:office:office\" "
            "xmlns:x=\"urn:schemas-microsoft-com:office:excel\" xmlns=\"http://www.w3.org/TR/REC-html40\">");
    w.piece("<head>");
    w.piece("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">");
    w.piece("<!--[if gte mso 9]><xml>");
    w.piece("<x:ExcelWorkbook>");
    w.piece("<x:ExcelWorksheets>");
    w.piece("<x:ExcelWorksheet>");
    w.piece("<x:Name>");
    w.text(sheetName);
    w.piece("</x:Name>");
    w.piece("<x:WorksheetOptions>");
    w.piece("<x:Selected/>");
    w.piece("<x:Panes>");
    w.piece("<x:Pane>");
    w.piece("<x:Number>1</x:Number>");
    w.piece("<x:ActiveRow>3</x:ActiveRow>");
    w.piece("</x:Pane>");
    w.piece("</x:Panes>");
    w.piece("<x:ProtectContents>False</x:ProtectContents>");
    w.piece("<x:ProtectObjects>False</x:ProtectObjects>");
    w.piece("<x:ProtectScenarios>False</x:ProtectScenarios>");
    w.piece("</x:WorksheetOptions>");
    w.piece("</x:ExcelWorksheet>");
    w.piece("</x:ExcelWorksheets>");
    w.piece("</x:ExcelWorkbook>");
    w.piece("</xml><![endif]-->");
    w.piece("</head>");
    w.piece("<body>");
    w.piece("<table x:str>");
    w.piece("<tr>");
    for (const ExcelColumn &c : columns) {
        w.piece("<td style=\"text-align: left; font-weight: bold;\" width=");
        w.number(c.width);
        w.piece(">");
        w.text(c.header);
        w.piece("</td>");
    }
    w.piece("</tr>");
    const int columnCount = int(columns.size());
    for (qsizetype row = 0; row < rowCount; ++row) {
        w.piece("<tr>");
        for (int column = 0; column < columnCount; ++column) {
            w.piece("<td style=\"text-align: left;\">");
            w.text(text::trimmedView(cell(row, column)));
            w.piece("</td>");
        }
        w.piece("</tr>");
    }
    w.piece("</table>");
    w.piece("</body>");
    w.piece("</html>");
}

} // namespace

bool ExcelHtmlEnvelope(const QString &path, QStringView sheetName, const QList<ExcelColumn> &columns,
                       qsizetype rowCount, const ExcelCell &cell)
{
    // Until the commit the previous file is untouched.
    io::ReplacedFile file(path);
    if (!file.open())
        return false;
    EnvelopeWriter w([&file](QByteArrayView block) { return file.write(block); }, true);
    writeDocument(w, sheetName, columns, rowCount, cell);
    return w.finish() && file.commit();
}

QByteArray ExcelHtmlDocument(QStringView sheetName, const QList<ExcelColumn> &columns, qsizetype rowCount,
                             const ExcelCell &cell)
{
    QByteArray out;
    EnvelopeWriter w([&out](QByteArrayView block) {
        out.append(block);
        return true;
    }, false);
    writeDocument(w, sheetName, columns, rowCount, cell);
    (void)w.finish();
    return out;
}

} // namespace clinora
