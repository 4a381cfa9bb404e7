#include "report/TextFit.h"

#include "report/ReportFonts.h"

#include <QFontMetricsF>
#include <QImage>
#include <QTextLayout>

#include <cmath>

using namespace Qt::StringLiterals;

namespace clinora::report {

namespace {

// Measured as on a PDF page: at its resolution, without hinting, widths
// scale with the resolution, so a printer's page holds the same lines.
constexpr int kMeasureDpi = 1200;
constexpr double kToUnits = units::kPerInch / kMeasureDpi;
// A line is kept this much narrower than its frame: rounding on another
// device never pushes its last letter past the edge.
constexpr double kSlack = 0.985;
constexpr double kEps = 1e-6;

const QImage &measureDevice()
{
    static const QImage device = [] {
        QImage image(1, 1, QImage::Format_ARGB32);
        const int dpm = qRound(kMeasureDpi / 0.0254);
        image.setDotsPerMeterX(dpm);
        image.setDotsPerMeterY(dpm);
        return image;
    }();
    return device;
}

QFont fontOf(const FontSpec &font, double pointSize) { return reportFont(font.family, pointSize, font.bold); }

QString withoutTrailingBlanks(QStringView s)
{
    qsizetype n = s.size();
    while (n > 0 && s[n - 1].isSpace())
        --n;
    return s.first(n).toString();
}

} // namespace

double textWidth(const FontSpec &font, double pointSize, const QString &text)
{
    const QFontMetricsF fm(fontOf(font, pointSize), &measureDevice());
    return fm.horizontalAdvance(text) * kToUnits;
}

double lineSpacing(const FontSpec &font, double pointSize)
{
    const QFontMetricsF fm(fontOf(font, pointSize), &measureDevice());
    return fm.lineSpacing() * kToUnits;
}

QStringList wrapText(const QString &text, const FontSpec &font, double pointSize, double width)
{
    QStringList out;
    const QFont f = fontOf(font, pointSize);
    const double widthPx = std::max(1.0, width * kSlack / kToUnits);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    QString normal = text;
    normal.replace(u"\r\n"_s, u"\n"_s);
    normal.replace(u'\r', u'\n');
    for (const QString &paragraph : normal.split(u'\n')) {
        if (paragraph.isEmpty()) {
            out.append(QString());
            continue;
        }
        QTextLayout layout(paragraph, f, const_cast<QImage *>(&measureDevice()));
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(widthPx);
            out.append(withoutTrailingBlanks(QStringView(paragraph).sliced(line.textStart(), line.textLength())));
        }
        layout.endLayout();
    }
    return out;
}

FittedText fitText(const QStringList &lines, const TextLook &look, const QSizeF &size)
{
    FittedText fit;
    if (lines.isEmpty())
        return fit;
    const FontSpec &font = look.font;
    const double width = size.width() - 2 * kTextPadding;
    const double height = size.height();
    const QString whole = lines.join(u'\n');

    // As designed: each line within the width, all lines within the height.
    const QStringList asIs = look.wordWrap ? wrapText(whole, font, font.pointSize, width) : lines;
    bool fits = asIs.size() == 1 || double(asIs.size()) * lineSpacing(font, font.pointSize) <= height + kEps;
    for (qsizetype i = 0; fits && i < asIs.size(); ++i)
        fits = textWidth(font, font.pointSize, asIs[i]) <= width * kSlack;
    if (fits)
        return fit;

    fit.asDesigned = false;
    const double smallest = std::min(font.pointSize, kSmallestPoints);
    const auto maxLines = [&](double pitch) { return std::max(1, int(std::floor((height + kEps) / pitch))); };
    for (double pt = font.pointSize; pt >= smallest - kEps; pt -= 0.5) {
        const QStringList wrapped = wrapText(whole, font, pt, width);
        const double pitch = lineSpacing(font, pt);
        if (wrapped.size() <= maxLines(pitch)) {
            fit.pointSize = pt;
            fit.pitch = pitch;
            fit.lines = wrapped;
            return fit;
        }
    }

    // Cut after the last whole word that leaves room for the mark.
    fit.cut = true;
    fit.pointSize = smallest;
    fit.pitch = lineSpacing(font, smallest);
    fit.lines = wrapText(whole, font, smallest, width).mid(0, maxLines(fit.pitch));
    QString last = fit.lines.takeLast();
    const QString mark = kContinues.toString();
    while (!last.isEmpty() && textWidth(font, smallest, last + u' ' + mark) > width * kSlack) {
        const qsizetype blank = last.lastIndexOf(u' ');
        last = withoutTrailingBlanks(QStringView(last).first(blank > 0 ? blank : last.size() - 1));
    }
    fit.lines.append(last.isEmpty() ? mark : last + u' ' + mark);
    return fit;
}

QStringList wrapListLine(const QString &line, const FontSpec &font, double width)
{
    const double advance = textWidth(font, font.pointSize, u"0"_s);
    const qsizetype fits = advance > 0 ? qsizetype((width - 2 * kTextPadding) * kSlack / advance) : line.size();
    if (line.size() <= fits || fits <= 8)
        return {line};
    static constexpr QStringView kIndent = u"    ";
    QStringList out;
    QStringView rest = line;
    qsizetype room = fits;
    while (rest.size() > room) {
        // At the last blank in the second half of the room, else where the room ends.
        qsizetype cut = room;
        for (qsizetype k = room; k > room / 2; --k)
            if (rest[k] == u' ') {
                cut = k;
                break;
            }
        out.append((out.isEmpty() ? QString() : kIndent.toString()) + withoutTrailingBlanks(rest.first(cut)));
        rest = rest.sliced(cut);
        while (!rest.isEmpty() && rest.front() == u' ')
            rest = rest.sliced(1);
        room = fits - kIndent.size();
    }
    if (!rest.isEmpty())
        out.append(kIndent.toString() + rest.toString());
    return out;
}

} // namespace clinora::report
