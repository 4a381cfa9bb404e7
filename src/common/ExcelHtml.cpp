#include "common/ExcelHtml.h"

#include "common/FileIo.h"
#include "common/Text.h"


#include <cstring>

namespace clinora {

namespace {

// Collects the document piece by piece and hands it on in large blocks.
// The bytes go straight into one buffer of room set aside beforehand: a
// hundred thousand rows make tens of millions of them.
class EnvelopeWriter {
public:
    using Sink = std::function<bool(QByteArrayView)>;
    static constexpr qsizetype kFileBlock = 1 << 20;
    static constexpr qsizetype kMemoryBlock = 4096;
    // A file gets blocks of a megabyte; a document kept in memory grows from
    // a small block, so that a short one costs no megabyte.
    EnvelopeWriter(Sink sink, qsizetype block)
        : m_sink(std::move(sink)), m_block(block), m_buffer(block + kSlack, Qt::Uninitialized)
    {
    }

    template <size_t N>
    void piece(const char (&ascii)[N])
    {
        char *out = room(N - 1);
        std::memcpy(out, ascii, N - 1);
        m_used += N - 1;
    }

    void number(int n) { bytes(QByteArray::number(n)); }

    // The text in Windows-1252, with & < > written as entities and any
    // character the code page lacks as a numeric reference.
    void text(QStringView t)
    {
        // No character takes more than "&#1114111;".
        char *const begin = room(t.size() * 10);
        // Most of a value is plain ASCII with no markup character: copied
        // four characters at a time as far as it goes, the rest one by one.
        const qsizetype plain = copyPlain(t, begin);
        char *out = begin + plain;
        for (qsizetype i = plain; i < t.size(); ++i) {
            const char16_t c = t[i].unicode();
            if (c >= 0xA0 ? c <= 0xFF : c < 0x80 && c != u'&' && c != u'<' && c != u'>') {
                *out++ = char(c);
                continue;
            }
            switch (c) {
            case u'&':
                out = put(out, "&amp;");
                break;
            case u'<':
                out = put(out, "&lt;");
                break;
            case u'>':
                out = put(out, "&gt;");
                break;
            default:
                out = other(out, t, i);
            }
        }
        m_used += out - begin;
    }

    bool finish()
    {
        if (m_ok && m_used > 0)
            m_ok = m_sink(QByteArrayView(m_buffer.constData(), m_used));
        m_used = 0;
        return m_ok;
    }

private:
    static constexpr qsizetype kSlack = 64 * 1024;

    // Room for `n` more bytes at the end of the buffer, handing on a full block first.
    char *room(qsizetype n)
    {
        if (m_used + n > m_block) {
            if (m_ok && m_used > 0)
                m_ok = m_sink(QByteArrayView(m_buffer.constData(), m_used));
            m_used = 0;
        }
        if (n > m_buffer.size())
            m_buffer.resize(n);
        return m_buffer.data() + m_used;
    }

    void bytes(QByteArrayView b)
    {
        text::putBytes(room(b.size()), b);
        m_used += b.size();
    }

    // Copies the characters of `t` from the first while each is below 0x80
    // and none of & < >, four at a time; returns how many.
    static qsizetype copyPlain(QStringView t, char *out)
    {
        constexpr quint64 kLanes = 0x0001000100010001ull;
        // True when one of the four 16-bit lanes of `v` is zero.
        const auto anyZero = [](quint64 v) { return ((v - kLanes) & ~v & (kLanes << 15)) != 0; };
        const char16_t *p = t.utf16();
        qsizetype i = 0;
        for (; i + 4 <= t.size(); i += 4) {
            quint64 w;
            std::memcpy(&w, p + i, 8);
            if ((w & (0xFF80 * kLanes)) != 0 || anyZero(w ^ (u'&' * kLanes)) || anyZero(w ^ (u'<' * kLanes))
                || anyZero(w ^ (u'>' * kLanes)))
                break;
            out[i] = char(p[i]);
            out[i + 1] = char(p[i + 1]);
            out[i + 2] = char(p[i + 2]);
            out[i + 3] = char(p[i + 3]);
        }
        return i;
    }

    template <size_t N>
    static char *put(char *out, const char (&ascii)[N])
    {
        std::memcpy(out, ascii, N - 1);
        return out + N - 1;
    }

    static char *other(char *out, QStringView t, qsizetype &i)
    {
        const QChar c = t[i];
        char32_t code = c.unicode();
        if (c.isHighSurrogate() && i + 1 < t.size() && t[i + 1].isLowSurrogate()) {
            code = QChar::surrogateToUcs4(c, t[i + 1]);
            ++i;
        } else {
            const QByteArray b = text::toCp1252(t.sliced(i, 1));
            if (b != "?") { // the code page has it (0x80-0x9F)
                *out++ = b[0];
                return out;
            }
        }
        const QByteArray ref = "&#" + QByteArray::number(quint32(code)) + ';';
        std::memcpy(out, ref.constData(), size_t(ref.size()));
        return out + ref.size();
    }

    Sink m_sink;
    qsizetype m_block;
    QByteArray m_buffer;
    qsizetype m_used = 0;
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
            // Every value stays text, as the grid showed it: Excel keeps the
            // cells of an x:str table as text, LibreOffice ignores that mark
            // and needs the text number format "@" on the cell itself, or
            // 0612345678 becomes a number and loses its zero.
            w.piece("<td style=\"text-align: left;\" sdnum=\"1040;0;@\">");
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
    EnvelopeWriter w([&file](QByteArrayView block) { return file.write(block); }, EnvelopeWriter::kFileBlock);
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
    }, EnvelopeWriter::kMemoryBlock);
    writeDocument(w, sheetName, columns, rowCount, cell);
    (void)w.finish();
    return out;
}

} // namespace clinora
