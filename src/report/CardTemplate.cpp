#include "report/CardTemplate.h"

#include "common/CommonSettings.h"

using namespace Qt::StringLiterals;

namespace clinora::report {

QString printedAt(const QDateTime &now)
{
    return u"Stampa eseguita in data "_s + settings::formatDate(now.date()) + u" alle ore "_s +
           settings::formatTime(now.time());
}

std::unique_ptr<ReportTemplate> makeCardTemplate(const QString &name, const QString &pageName)
{
    auto rep = std::make_unique<ReportTemplate>(name);
    rep->page1().name = pageName;
    rep->page1().setOrientation(QPageLayout::Portrait);
    rep->page1().margin = units::mm(10);
    return rep;
}

TextLook cardText(const QString &family, double pointSize, const QColor &color, const QColor &fill,
                  Qt::Alignment hAlign, Qt::Alignment vAlign, bool bold)
{
    TextLook look;
    look.fill = fill;
    look.font = {family, pointSize, bold, color};
    look.hAlign = hAlign;
    look.vAlign = vAlign;
    look.wordWrap = false;
    look.expressions = false;
    look.neverCut = true;
    return look;
}

void prepareCard(ReportTemplate &rep, const QList<std::pair<QString, QString>> &texts, QStringView footer,
                 const QDateTime &now)
{
    rep.page1().setOrientation(QPageLayout::Portrait);
    for (const auto &[name, text] : texts)
        rep.text(name).setText(text);
    rep.text(footer).setText(printedAt(now));
    rep.PrepareReport(now, true);
}

} // namespace clinora::report
