#include "checks/ui/CheckLayout.h"

#include "common/ui/Controls.h"
#include "common/ui/Palette.h"
#include "common/ui/Panel.h"
#include "common/ui/Widgets.h"

#include <QLabel>
#include <QPainter>

using namespace Qt::StringLiterals;

namespace clinora {

CheckLayout buildCheckLayout(QWidget *dialog, const QString &tagline, const QString &prompt,
                             const QString &editName, const QString &editCaption, int maxLength)
{
    CheckLayout c{};
    const int w = dialog->width();
    auto *panel = new Picture(dialog, u"panCheck"_s, [](QPainter &p, const QRectF &r) {
        paintFlatPanel(p, r, 8, palette::panelFill, palette::panelBorder);
    });
    panel->setGeometry(8, 8, w - 16, dialog->height() - 16);

    c.imgLogo = new Picture(panel, u"imgLogo"_s, [tagline](QPainter &p, const QRectF &r) {
        paintPanel(p, r, 6, palette::titleTop, palette::titleBottom);
        art::drawLogo(p, QRectF(r.left() + 12, r.top() + 10, 190, r.height() - 20), QString(), true);
        p.setFont(designFont(u"Verdana"_s, 13, true));
        p.setPen(Qt::white);
        p.drawText(r.adjusted(0, 0, -18, 0), Qt::AlignRight | Qt::AlignVCenter, tagline);
    });
    c.imgLogo->setGeometry(8, 8, panel->width() - 16, 76);
    c.imgLogo->setAccessibleName(u"Clinora - "_s + tagline);

    c.lblTitolo = new QLabel(prompt, panel);
    c.lblTitolo->setObjectName(u"lblTitolo"_s);
    c.lblTitolo->setFont(designFont(u"Verdana"_s, 9));
    c.lblTitolo->setWordWrap(true);
    c.lblTitolo->setGeometry(12, 92, panel->width() - 24, 20);

    const int rowY = 120;
    c.edit = makeInput(panel, editName, QRect(12, rowY, 300, 44), maxLength);
    c.edit->setFont(designFont(u"Courier New"_s, 20, true));
    c.edit->setAlignment(Qt::AlignCenter);
    c.edit->setAccessibleName(editCaption);
    c.lblTitolo->setBuddy(c.edit);

    c.btnControlla = makeButton(panel, u"btnControlla"_s, u"Controlla"_s,
                                QRect(324, rowY, panel->width() - 12 - 324, 44));
    c.btnChiudi = makeButton(panel, u"btnChiudi"_s, u"Chiudi"_s,
                             QRect((panel->width() - 130) / 2, panel->height() - 46, 130, 34));
    for (QPushButton *b : {c.btnControlla, c.btnChiudi}) {
        b->setFont(designFont(u"Verdana"_s, 10, true));
        // A focused button answers Enter, as the user expects once Enter
        // has brought the focus there from the edit.
        b->setAutoDefault(true);
    }
    QWidget::setTabOrder(c.edit, c.btnControlla);
    QWidget::setTabOrder(c.btnControlla, c.btnChiudi);
    return c;
}

} // namespace clinora
