#include "checks/ui/CalcolaCodFisc.h"

#include "checks/CodiciCatastali.h"
#include "checks/DatiCodiceFiscale.h"
#include "common/CommonSettings.h"
#include "common/Text.h"
#include "common/ui/Behaviours.h"
#include "common/ui/Controls.h"
#include "common/ui/Palette.h"
#include "common/ui/Panel.h"
#include "common/ui/ScreenContext.h"
#include "common/ui/Widgets.h"

#include <QCompleter>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QStringListModel>

using namespace Qt::StringLiterals;

namespace clinora {

namespace {

// The places offered while the birthplace is typed, made once.
const QStringList &placeLabels()
{
    static const QStringList labels = CadastralTable::instance().labels();
    return labels;
}

} // namespace

TfrmCalcolaCodFisc::TfrmCalcolaCodFisc(ScreenContext &ctx, QWidget *parent)
    : DialogScreen(ctx, parent, u" Calcolo codice fiscale"_s, QSize(560, 392), Centre::Owner)
{
    setObjectName(u"frmCalcolaCodFisc"_s);
    formShowOnEveryShowing();
    settings::apply();

    auto *panel = new Picture(this, u"panCalcolo"_s, [](QPainter &p, const QRectF &r) {
        paintFlatPanel(p, r, 8, palette::panelFill, palette::panelBorder);
    });
    panel->setGeometry(8, 8, width() - 16, height() - 16);
    const int pw = panel->width();

    imgLogo = new Picture(panel, u"imgLogo"_s, [](QPainter &p, const QRectF &r) {
        paintPanel(p, r, 6, palette::titleTop, palette::titleBottom);
        art::drawLogo(p, QRectF(r.left() + 12, r.top() + 8, 170, r.height() - 16), QString(), true);
        p.setFont(designFont(u"Verdana"_s, 13, true));
        p.setPen(Qt::white);
        p.drawText(r.adjusted(0, 0, -18, 0), Qt::AlignRight | Qt::AlignVCenter, u"Calcolo codice fiscale"_s);
    });
    imgLogo->setGeometry(8, 8, pw - 16, 60);
    imgLogo->setAccessibleName(u"Clinora - Calcolo codice fiscale"_s);

    lblTitolo = new QLabel(u"Indicare i dati del paziente: il codice fiscale è calcolato mentre si scrive."_s, panel);
    lblTitolo->setObjectName(u"lblTitolo"_s);
    lblTitolo->setFont(designFont(u"Verdana"_s, 9));
    lblTitolo->setWordWrap(true);
    lblTitolo->setGeometry(12, 74, pw - 24, 18);

    const QFont captionFont = designFont(u"Verdana"_s, 9);
    const QFont inputFont = designFont(u"Verdana"_s, 11, true);
    auto input = [&](const QString &name, const QString &caption, int maxLength, int x, int y, int w) {
        QLineEdit *e = makeInput(panel, name, QRect(x, y + 18, w, 26), maxLength);
        e->setFont(inputFont);
        captionFor(panel, e, caption, captionFont)->setGeometry(x, y, w, 16);
        return e;
    };
    const int gap = 10;
    const int half = (pw - 24 - gap) / 2;
    txtCognome = input(u"txtCognome"_s, u"Cognome:"_s, 50, 12, 98, half);
    txtNome = input(u"txtNome"_s, u"Nome:"_s, 50, 12 + half + gap, 98, pw - 24 - half - gap);
    txtSesso = input(u"txtSesso"_s, u"Sesso (M/F):"_s, 1, 12, 148, 90);
    txtSesso->setAlignment(Qt::AlignCenter);
    txtDataNasc = input(u"txtDataNasc"_s, u"Data di nascita:"_s, 10, 12 + 90 + gap, 148, 130);
    txtDataNasc->setAlignment(Qt::AlignCenter);
    txtDataNasc->setPlaceholderText(u"gg/mm/aaaa"_s);
    const int placeX = 12 + 90 + gap + 130 + gap;
    txtLuogoNasc = input(u"txtLuogoNasc"_s, u"Comune o Stato estero di nascita:"_s, 60, placeX, 148, pw - 12 - placeX);

    auto *completer = new QCompleter(txtLuogoNasc);
    completer->setModel(new QStringListModel(placeLabels(), completer));
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    completer->setFilterMode(Qt::MatchStartsWith);
    completer->setModelSorting(QCompleter::CaseInsensitivelySortedModel);
    completer->setMaxVisibleItems(10);
    txtLuogoNasc->setCompleter(completer);

    txtCodice = input(u"txtCodice"_s, u"Codice fiscale calcolato:"_s, 16, 12, 200, 300);
    txtCodice->setGeometry(12, 218, 300, 40);
    txtCodice->setFont(designFont(u"Courier New"_s, 18, true));
    txtCodice->setAlignment(Qt::AlignCenter);
    txtCodice->setReadOnly(true);
    lblEsito = new QLabel(panel);
    lblEsito->setObjectName(u"lblEsito"_s);
    lblEsito->setFont(designFont(u"Verdana"_s, 9));
    lblEsito->setWordWrap(true);
    lblEsito->setGeometry(324, 214, pw - 12 - 324, 48);
    QPalette warn = lblEsito->palette();
    warn.setColor(QPalette::WindowText, QColor(170, 30, 30));
    lblEsito->setPalette(warn);

    lblOmocodia = new QLabel(u"Il codice di chi ha un omonimo con lo stesso codice (omocodia) è modificato "
                             u"dall'Agenzia delle Entrate e non si può calcolare."_s,
                             panel);
    lblOmocodia->setObjectName(u"lblOmocodia"_s);
    lblOmocodia->setFont(designFont(u"Verdana"_s, 8));
    lblOmocodia->setWordWrap(true);
    lblOmocodia->setGeometry(12, 266, pw - 24, 34);

    btnOK = makeButton(panel, u"btnOK"_s, u"OK"_s, QRect(pw / 2 - 140, panel->height() - 46, 130, 34));
    btnAnnulla = makeButton(panel, u"btnAnnulla"_s, u"Annulla"_s, QRect(pw / 2 + 10, panel->height() - 46, 130, 34));
    for (QPushButton *b : {btnOK, btnAnnulla}) {
        b->setFont(designFont(u"Verdana"_s, 10, true));
        b->setAutoDefault(true);
    }

    QWidget::setTabOrder(txtCognome, txtNome);
    QWidget::setTabOrder(txtNome, txtSesso);
    QWidget::setTabOrder(txtSesso, txtDataNasc);
    QWidget::setTabOrder(txtDataNasc, txtLuogoNasc);
    QWidget::setTabOrder(txtLuogoNasc, txtCodice);
    QWidget::setTabOrder(txtCodice, btnOK);
    QWidget::setTabOrder(btnOK, btnAnnulla);
    enterChain({txtCognome, txtNome, txtSesso, txtDataNasc, txtLuogoNasc, btnOK});
    tidyWhileTyping(txtSesso, Tidy::TrimUpper);

    for (QLineEdit *e : {txtCognome, txtNome, txtSesso, txtDataNasc, txtLuogoNasc})
        connect(e, &QLineEdit::textChanged, this, &TfrmCalcolaCodFisc::aggiorna);
    connect(btnOK, &QPushButton::clicked, this, &TfrmCalcolaCodFisc::btnOKClick);
    connect(btnAnnulla, &QPushButton::clicked, this, &TfrmCalcolaCodFisc::btnAnnullaClick);
    aggiorna();
}

void TfrmCalcolaCodFisc::FormShow() { txtCognome->setFocus(Qt::OtherFocusReason); }

void TfrmCalcolaCodFisc::precompila(const QString &paziente, const QString &sesso, const QString &dataNasc,
                                    const QString &comuneNasc, const QString &provNasc)
{
    QString surname, names;
    splitPatientName(paziente, surname, names);
    txtCognome->setText(surname);
    txtNome->setText(names);
    txtSesso->setText(text::upperAZ(text::trimmed(sesso)).left(1));
    txtDataNasc->setText(text::trimmed(dataNasc).left(10));
    const QString place = text::trimmed(comuneNasc);
    const QString province = text::upperAZ(text::trimmed(provNasc));
    txtLuogoNasc->setText(place.isEmpty() || province.isEmpty() ? place : place + u" ("_s + province + u')');
    for (QLineEdit *e : {txtCognome, txtNome, txtDataNasc, txtLuogoNasc})
        e->setCursorPosition(0);
}

void TfrmCalcolaCodFisc::aggiorna()
{
    QStringList missing;
    if (text::isBlank(txtCognome->text()))
        missing << u"il cognome"_s;
    if (text::isBlank(txtNome->text()))
        missing << u"il nome"_s;
    const QString sex = text::trimmed(txtSesso->text());
    if (sex != u"M"_s && sex != u"F"_s)
        missing << u"il sesso (M o F)"_s;
    const QDate date = parseCardDate(txtDataNasc->text());
    if (!date.isValid())
        missing << u"la data di nascita (gg/mm/aaaa)"_s;
    QString note;
    QString placeCode;
    if (text::isBlank(txtLuogoNasc->text())) {
        missing << u"il luogo di nascita"_s;
    } else {
        const PlaceChoice place = choosePlace(txtLuogoNasc->text(), date);
        placeCode = place.code;
        note = place.note;
    }
    if (!missing.isEmpty()) {
        const QString list = missing.size() == 1
                                 ? missing.first()
                                 : missing.mid(0, missing.size() - 1).join(u", "_s) + u" e "_s + missing.last();
        note = (missing.size() == 1 ? u"Per il calcolo manca "_s : u"Per il calcolo mancano "_s) + list + u'.';
    }
    const QString code = note.isEmpty()
                             ? computeFiscalCode({txtCognome->text(), txtNome->text(), sex.at(0), date, placeCode})
                             : QString();
    txtCodice->setText(code);
    lblEsito->setText(note);
}

void TfrmCalcolaCodFisc::btnOKClick()
{
    aggiorna();
    if (txtCodice->text().isEmpty()) {
        m_ctx.services.warning(this, u"Attenzione: il codice fiscale non può essere calcolato. "_s + lblEsito->text());
        return;
    }
    if (destinazione)
        destinazione->setText(txtCodice->text());
    accept();
}

void TfrmCalcolaCodFisc::btnAnnullaClick() { reject(); }

} // namespace clinora
