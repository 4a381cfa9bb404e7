#include "app/ui/Guida.h"

#include "common/ui/Controls.h"
#include "common/ui/OpenURL.h"
#include "common/ui/ScreenContext.h"
#include "common/ui/Widgets.h"

#include <QDir>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace clinora {

TfrmGuida::TfrmGuida(ScreenContext &ctx, QWidget *parent)
    : DialogScreen(ctx, parent, u" Guida all'utilizzo del software"_s, QSize(670, 572))
{
    setObjectName(u"frmGuida"_s);

    imgLogo = new Picture(this, u"imgLogo"_s, [](QPainter &p, const QRectF &r) {
        art::fillGradient(p, r, QColor(235, 242, 250), QColor(205, 220, 238));
        art::drawLogo(p, QRectF(r.left() + 22, r.top() + 8, 330, r.height() - 16),
                      u"Guida all'utilizzo del software"_s);
    });
    imgLogo->setGeometry(0, 0, 670, 96);

    lblTitolo = new QLabel(u"Argomento della guida."_s, this);
    lblTitolo->setObjectName(u"lblTitolo"_s);
    QFont tf = designFont(u"Verdana"_s, 16, true);
    lblTitolo->setFont(tf);
    QPalette tp = lblTitolo->palette();
    tp.setColor(QPalette::WindowText, art::colors::crimson);
    lblTitolo->setPalette(tp);
    lblTitolo->setGeometry(22, 106, 625, 34);

    txtGuida = new QPlainTextEdit(this);
    txtGuida->setObjectName(u"txtGuida"_s);
    txtGuida->setReadOnly(true);
    txtGuida->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    txtGuida->setFont(designFont(u"Verdana"_s, 12, true));
    txtGuida->setGeometry(22, 148, 625, 350);
    txtGuida->setAccessibleName(u"Testo della guida"_s);
    lblTitolo->setBuddy(txtGuida);

    imgPDF = new Picture(this, u"imgPDF"_s, art::Glyph::Pdf);
    imgPDF->setGeometry(22, 512, 40, 40);
    imgPDF->setAccessibleName(u"Guida in formato PDF"_s);
    imgPDF->setAccessibleDescription(u"Con la tastiera: il collegamento «Visualizza guida in formato PDF», con Tab e Invio"_s);
    lnkWeb = new LinkLabel(this, u"lnkWeb"_s, u"Visualizza guida in formato PDF"_s);
    lnkWeb->setGeometry(70, 518, 380, 28);
    lnkWeb->addCompanion(imgPDF);

    btnChiudi = makeButton(this, u"btnChiudi"_s, u"Chiudi"_s, QRect(502, 516, 146, 32));
    btnChiudi->setFont(designFont(u"Verdana"_s, 10, true));

    connect(lnkWeb, &LinkLabel::clicked, this, &TfrmGuida::lnkWebClick);
    connect(btnChiudi, &QPushButton::clicked, this, &TfrmGuida::btnChiudiClick);
}

void TfrmGuida::showTopic(ScreenContext &ctx, QWidget *owner, help::TopicId topic)
{
    const help::Topic t = help::topic(topic);
    ctx.openDialog<TfrmGuida>(owner, [&](TfrmGuida &g) {
        g.lblTitolo->setText(t.title);
        g.txtGuida->setPlainText(t.text);
    });
}

void TfrmGuida::lnkWebClick()
{
    lnkWeb->setPressedLook(false);
    // In quotes, so that a folder with blanks in its name still works.
    const QString guide = QDir::toNativeSeparators(m_ctx.services.appPath(u"Guida.pdf"_s));
    TMisc::Open(m_ctx.services, u"\""_s + guide + u"\""_s);
}

void TfrmGuida::btnChiudiClick() { close(); }

} // namespace clinora
