#include "analyses/ResultLine.h"

#include "common/Text.h"

#include <algorithm>
#include <cstring>

using namespace Qt::StringLiterals;

namespace clinora {

namespace {

// Field widths of the line.
constexpr int kDataWidth = 10;
constexpr int kEsameWidth = 28;
constexpr int kRisultatoWidth = 20;
constexpr int kUMWidth = 14;
constexpr int kRifeWidth = 20;

void appendPadded(QString &out, QStringView text, int width)
{
    const qsizetype kept = std::min<qsizetype>(text.size(), width);
    out += text.first(kept);
    out.resize(out.size() + (width - kept), u' ');
}

// Filled up with blanks or cut to `width` bytes.
char *putPadded(char *out, QByteArrayView bytes, int width)
{
    const qsizetype kept = std::min<qsizetype>(bytes.size(), width);
    text::putBytes(out, bytes, kept);
    std::memset(out + kept, ' ', size_t(width - kept));
    return out + width;
}

char *put(char *out, QByteArrayView bytes)
{
    return text::putBytes(out, bytes);
}

// Up to `n` bytes from `pos`; none when `pos` lies beyond the end.
QByteArrayView midBytes(QByteArrayView bytes, qsizetype pos, qsizetype n)
{
    return pos > bytes.size() ? QByteArrayView() : bytes.sliced(pos, std::min(n, bytes.size() - pos));
}

} // namespace

QString resultDateKey(QStringView data)
{
    const QStringView d = text::trimmedView(data);
    // Characters beyond the end count as missing, as in a short or empty date.
    return d.mid(6, 4).toString() + d.mid(3, 2) + d.mid(0, 2);
}

ResultFields resultFields(const AnalysisRecord &r)
{
    using F = AnalysisRecord;
    return {r.get(F::Data), r.get(F::Esame), r.get(F::Risultato), r.get(F::UM), r.get(F::Rife), r.get(F::Esito)};
}

QString resultLine(const ResultFields &f)
{
    // Fields read from a record are trimmed already; trimming again costs nothing then.
    const QStringView data = text::trimmedView(f.data);
    const QStringView esito = text::trimmedView(f.esito);
    QString line;
    line.reserve(5 + 8 + 8 + kDataWidth + 2 + kEsameWidth + 10 + kRisultatoWidth + 6 + kUMWidth + 7 + kRifeWidth
                 + 2 + esito.size());
    line += u"Cod. ";
    line += resultDateKey(data);
    line += u"  Data: ";
    appendPadded(line, data, kDataWidth);
    line += u"  ";
    appendPadded(line, text::trimmedView(f.esame), kEsameWidth);
    line += u"  Valore: ";
    appendPadded(line, text::trimmedView(f.risultato), kRisultatoWidth);
    line += u"  UM: ";
    appendPadded(line, text::trimmedView(f.um), kUMWidth);
    line += u"  Rif. ";
    appendPadded(line, text::trimmedView(f.rife), kRifeWidth);
    line += u"  ";
    line += esito;
    return line;
}

QString resultLine(const AnalysisRecord &record)
{
    QByteArray line;
    appendResultLine(record, line);
    return text::fromCp1252(line);
}

void appendResultLine(const AnalysisRecord &record, QByteArray &out)
{
    const qsizetype start = out.size();
    out.resize(start + kResultLineMost);
    out.truncate(start + writeResultLine(record, out.data() + start));
}

qsizetype writeResultLine(const AnalysisRecord &r, char *out)
{
    // One byte per character: widths and the date key's places count the same.
    using F = AnalysisRecord;
    char *const begin = out;
    const QByteArrayView data = r.trimmedBytes(F::Data);
    out = put(out, "Cod. ");
    out = put(out, midBytes(data, 6, 4));
    out = put(out, midBytes(data, 3, 2));
    out = put(out, midBytes(data, 0, 2));
    out = put(out, "  Data: ");
    out = putPadded(out, data, kDataWidth);
    out = put(out, "  ");
    out = putPadded(out, r.trimmedBytes(F::Esame), kEsameWidth);
    out = put(out, "  Valore: ");
    out = putPadded(out, r.trimmedBytes(F::Risultato), kRisultatoWidth);
    out = put(out, "  UM: ");
    out = putPadded(out, r.trimmedBytes(F::UM), kUMWidth);
    out = put(out, "  Rif. ");
    out = putPadded(out, r.trimmedBytes(F::Rife), kRifeWidth);
    out = put(out, "  ");
    out = put(out, r.trimmedBytes(F::Esito));
    return out - begin;
}

} // namespace clinora
