#include "analyses/ResultLine.h"

#include "common/Text.h"

#include <algorithm>

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

QString resultLine(const AnalysisRecord &record) { return resultLine(resultFields(record)); }

} // namespace clinora
