#include "report/ListTemplate.h"

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

    // Monospaced and never wrapped, so the screens' fixed-width columns line
    // up; a line wider than the frame is cut at its right edge.
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
    for (const QString &line : lines)
        body.addLine(line);
    for (const QString &line : extraLines)
        body.addLine(line);
    Band &master = rep.band(u"MasterData");
    body.setHeight(double(body.lineCount()) * kListLineHeight);
    master.setHeight(body.height() + kListBandExtra);
}

} // namespace clinora::report
