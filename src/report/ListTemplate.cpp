#include "report/ListTemplate.h"

#include "report/TextFit.h"

using namespace Qt::StringLiterals;

namespace clinora::report {

namespace {
const QColor kSlateGray(0x70, 0x80, 0x90);
}

std::unique_ptr<ReportTemplate> makeListTemplate()
{
    using units::mm;
    using units::mmRect;
    auto rep = std::make_unique<ReportTemplate>(u"Riepilogo dati"_s);
    ReportPage &page = rep->page1();
    page.name = u"Page"_s;
    page.setOrientation(QPageLayout::Landscape);
    page.margin = mm(10);

    TextLook title;
    title.fill = kSlateGray;
    title.font = {u"Verdana"_s, 9, true, Qt::white};
    title.hAlign = Qt::AlignHCenter;
    title.vAlign = Qt::AlignVCenter;
    title.wordWrap = true;
    title.expressions = true;
    page.addBand(u"ReportTitle"_s, Band::Type::ReportTitle, mm(8))
        .addText(u"txtTitolo"_s, mmRect(2, 1, 273, 5), title, u"Riepilogo"_s);

    // Monospaced, so the screens' fixed-width columns line up; a line wider
    // than the frame goes on, indented, on the lines below it (see
    // fillListSummary), never cut.
    TextLook lines;
    lines.font = {u"Courier New"_s, 8, false, Qt::black};
    lines.hAlign = Qt::AlignLeft;
    lines.vAlign = Qt::AlignTop;
    lines.wordWrap = false;
    lines.expressions = true;
    lines.linePitch = kListLineHeight;
    page.addBand(u"MasterData"_s, Band::Type::MasterData, mm(28))
        .addText(u"txtRiepilogo"_s, mmRect(3, 0, 273, 27), lines);

    TextLook footer = title;
    footer.font.pointSize = 8;
    page.addBand(u"Footer"_s, Band::Type::Footer, mm(8))
        .addText(u"txtPagina"_s, mmRect(3, 2, 272, 5), footer, u"Stampa eseguita in data [DATE]"_s);
    return rep;
}

void fillListSummary(ReportTemplate &rep, const QString &title, const QStringList &lines,
                     const QStringList &extraLines)
{
    rep.text(u"txtTitolo").setText(title);
    TextObject &body = rep.text(u"txtRiepilogo");
    body.clearLines();
    // A line wider than the frame would lose its end at the frame's edge.
    const double width = body.frame().width();
    const FontSpec &font = body.look().font;
    const double advance = textWidth(font, font.pointSize, u"0"_s);
    const qsizetype fits = advance > 0 ? qsizetype((width - 2 * kTextPadding) / advance) : 0;
    for (const QStringList *part : {&lines, &extraLines})
        for (const QString &line : *part) {
            if (line.size() < fits) {
                body.addLine(line);
                continue;
            }
            for (const QString &piece : wrapListLine(line, font, width))
                body.addLine(piece);
        }
    Band &master = rep.band(u"MasterData");
    body.setHeight(double(body.lineCount()) * kListLineHeight);
    master.setHeight(body.height() + kListBandExtra);
}

} // namespace clinora::report
