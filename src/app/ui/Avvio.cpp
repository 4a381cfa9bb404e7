#include "app/ui/Avvio.h"

#include "analyses/ui/MenuAnalisi.h"
#include "app/Maker.h"
#include "app/ui/AppContext.h"
#include "app/ui/BackupCommand.h"
#include "app/ui/Guida.h"
#include "app/ui/Info.h"
#include "app/ui/Splash.h"
#include "common/CommonSettings.h"
#include "common/HelpTexts.h"
#include "common/ui/Accessibility.h"
#include "common/ui/OpenURL.h"
#include "common/ui/Palette.h"
#include "common/ui/Panel.h"
#include "common/ui/Widgets.h"
#include "patients/ui/Clienti.h"
#include "summary/ui/MenuRiepLavoro.h"

#include <QCheckBox>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>

using namespace Qt::StringLiterals;

namespace clinora {

namespace {

struct Column {
    const char16_t *area; // Anagrafica, Analisi, Riepiloghi
    const char16_t *lettering;
    const char16_t *note;
    art::Glyph glyph;
    QColor tint;
};

} // namespace

TfrmAvvio::TfrmAvvio(AppContext &ctx, QWidget *parent) : WorkingArea(ctx, u" Clinora"_s, parent), m_app(ctx)
{
    setObjectName(u"frmAvvio"_s);
    formShowOnEveryShowing();
    settings::apply();
    setBackground(QColor(24, 60, 110), QColor(120, 165, 210));

    QWidget *b = board();
    auto *backdrop = new Picture(b, u"panAvvio"_s, [](QPainter &p, const QRectF &r) {
        paintPanel(p, r, 14, palette::listPanelTop, QColor(214, 226, 240), QColor(150, 170, 195));
    });
    backdrop->setGeometry(b->rect());

    imgIcona = new Picture(b, u"imgIcona"_s, [](QPainter &p, const QRectF &r) {
        art::drawLogoTile(p, r.adjusted(4, 4, -4, -4));
    });
    imgIcona->setGeometry(262, 22, 96, 96);
    imgIcona->setAccessibleName(u"Clinora"_s);
    imgTitolo = new Picture(b, u"imgTitolo"_s, [](QPainter &p, const QRectF &r) {
        QFont f = designFont(u"Verdana"_s, 40, true);
        p.setFont(f);
        p.setPen(palette::textBlue);
        p.drawText(r.adjusted(0, 0, 0, -28), Qt::AlignLeft | Qt::AlignBottom, u"Clinora"_s);
        p.setFont(designFont(u"Verdana"_s, 12));
        p.setPen(QColor(70, 90, 120));
        p.drawText(r.adjusted(4, r.height() - 26, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                   u"Gestione dello studio medico"_s);
    });
    imgTitolo->setGeometry(368, 22, 380, 96);
    imgTitolo->setAccessibleName(u"Clinora - Gestione dello studio medico"_s);

    const QString subtitle = u"Software rivolto a studi medici per archiviare l'anagrafica dei pazienti e per "
                             u"registrare e monitorare i risultati delle analisi cliniche"_s;
    imgSottotitolo = new Picture(b, u"imgSottotitolo"_s, [subtitle](QPainter &p, const QRectF &r) {
        // No border line, but the edge where the bordered panels have theirs.
        paintPanel(p, r, 8, palette::titleTop, palette::deepBlue, Qt::transparent);
        p.setFont(designFont(u"Verdana"_s, 11, true));
        p.setPen(Qt::white);
        p.drawText(r.adjusted(16, 0, -16, 0), Qt::AlignCenter | Qt::TextWordWrap, subtitle);
    });
    imgSottotitolo->setGeometry(40, 134, 915, 54);
    imgSottotitolo->setAccessibleName(subtitle);

    const Column columns[] = {
        {u"Anagrafica", u"ANAGRAFICA PAZIENTI",
         u"Archivia i dati anagrafici di ogni paziente e annota vaccinazioni, patologie, allergie, interventi ecc.",
         art::Glyph::Registry, QColor(40, 110, 190)},
        {u"Analisi", u"ANALISI CLINICHE",
         u"Registra i valori nella norma e fuori norma riscontrati nelle singole analisi di laboratorio.",
         art::Glyph::Flask, QColor(30, 140, 110)},
        {u"Riepiloghi", u"RIEPILOGHI RISULTATI",
         u"Visualizza il riepilogo dei risultati delle analisi cliniche per monitorare nel tempo i valori rilevati.",
         art::Glyph::Summary, QColor(200, 110, 30)},
    };
    PictureButton **targets[3][3] = {{&imgAnagrafica, &btnAnagrafica, &appAnagrafica},
                                     {&imgAnalisi, &btnAnalisi, &appAnalisi},
                                     {&imgRiepiloghi, &btnRiepiloghi, &appRiepiloghi}};
    void (TfrmAvvio::*handlers[3])() = {&TfrmAvvio::imgAnagraficaClick, &TfrmAvvio::imgAnalisiClick,
                                        &TfrmAvvio::imgRiepiloghiClick};
    for (int i = 0; i < 3; ++i) {
        const Column &c = columns[i];
        const QString area = QString::fromUtf16(c.area);
        const QString lettering = QString::fromUtf16(c.lettering);
        const QString note = QString::fromUtf16(c.note);
        const int x = 40 + i * 313;
        const QColor tint = c.tint;
        const art::Glyph glyph = c.glyph;

        auto *img = new PictureButton(b, u"img"_s + area, lettering, glyph, PictureButton::Style::Icon);
        img->setPaint([tint, glyph](QPainter &p, const QRectF &r) {
            paintPanel(p, r, 12, tint.lighter(185), tint.lighter(130), tint);
            art::drawGlyph(p, r.adjusted(40, 22, -40, -22), glyph);
        });
        img->setGeometry(x, 212, 289, 196);

        auto *btn = new PictureButton(b, u"btn"_s + area, lettering, art::Glyph::None, PictureButton::Style::Icon);
        btn->setPaint([tint, lettering](QPainter &p, const QRectF &r) {
            paintPanel(p, r, 10, tint.lighter(125), tint.darker(125), tint.darker(150));
            p.setFont(designFont(u"Verdana"_s, 14, true));
            p.setPen(Qt::white);
            p.drawText(r, Qt::AlignCenter, lettering);
        });
        btn->setGeometry(x, 420, 289, 50);

        auto *app = new PictureButton(b, u"app"_s + area, note, art::Glyph::None, PictureButton::Style::Icon);
        app->setPaint([note](QPainter &p, const QRectF &r) {
            p.setFont(designFont(u"Verdana"_s, 10));
            p.setPen(QColor(40, 55, 80));
            p.drawText(r.adjusted(10, 2, -10, -2), Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, note);
        });
        app->setGeometry(x, 478, 289, 96);

        for (int k = 0; k < 3; ++k) {
            PictureButton *w = k == 0 ? img : (k == 1 ? btn : app);
            *targets[i][k] = w;
            connect(w, &QAbstractButton::clicked, this, handlers[i]);
        }
        // The lettered bar is the command for the keyboard and the screen
        // reader; the picture above it and the note under it repeat it for
        // the mouse.
        btn->setAccessibleDescription(note);
        img->setAccessibleName(u"Immagine: "_s + lettering);
        access::mouseAlias(img, QAccessible::Graphic);
        access::mouseAlias(app, QAccessible::StaticText);
    }

    imgInfo = new PictureButton(b, u"imgInfo"_s, u"Informazioni"_s, art::Glyph::Info, PictureButton::Style::Icon);
    imgInfo->setGeometry(14, 14, 48, 48);
    imgGuida = new PictureButton(b, u"imgGuida"_s, u"Guida"_s, art::Glyph::Help, PictureButton::Style::Icon);
    imgGuida->setGeometry(933, 14, 48, 48);

    const QString siteText = maker::kName.toString() + u"   -   "_s + maker::kWebLabel.toString();
    imgSito = new PictureButton(b, u"imgSito"_s, siteText, art::Glyph::Globe, PictureButton::Style::Icon);
    imgSito->setPaint([siteText](QPainter &p, const QRectF &r) {
        paintPanel(p, r, 8, QColor(235, 240, 247), QColor(205, 216, 230), palette::panelBorder);
        art::drawGlyph(p, QRectF(r.left() + 10, r.top() + 5, r.height() - 10, r.height() - 10), art::Glyph::Globe);
        p.setFont(designFont(u"Verdana"_s, 11, true));
        p.setPen(art::colors::linkBlue);
        p.drawText(r, Qt::AlignCenter, siteText);
    });
    imgSito->setGeometry(40, 596, 915, 38);

    imgCopyright = new PictureButton(b, u"imgCopyright"_s, u"Crediti"_s, art::Glyph::Copyright,
                                     PictureButton::Style::Icon);
    imgCopyright->setGeometry(14, 642, 38, 38);
    imgEsci = new PictureButton(b, u"imgEsci"_s, u"Esci"_s, art::Glyph::Close, PictureButton::Style::Icon);
    imgEsci->setGeometry(943, 642, 38, 38);

    // Backup and restore, along the bottom between the credits and the exit.
    struct DataCommand {
        PictureButton **target;
        const char16_t *name;
        const char16_t *lettering;
        const char16_t *hint;
        art::Glyph glyph;
        QColor tint;
        int x, width;
        void (TfrmAvvio::*handler)();
    };
    const DataCommand dataCommands[] = {
        {&btnBackup, u"btnBackup", u"BACKUP",
         u"Salva una copia verificata di tutti i dati in un unico file, nella cartella scelta",
         art::Glyph::Save, QColor(60, 120, 80), 64, 170, &TfrmAvvio::btnBackupClick},
        {&btnRipristino, u"btnRipristino", u"RIPRISTINO",
         u"Sostituisce i dati attuali con quelli di un backup, dopo averli salvati a parte",
         art::Glyph::Import, QColor(90, 100, 120), 244, 190, &TfrmAvvio::btnRipristinoClick},
    };
    for (const DataCommand &c : dataCommands) {
        const QString lettering = QString::fromUtf16(c.lettering);
        const QColor tint = c.tint;
        const art::Glyph glyph = c.glyph;
        auto *btn = new PictureButton(b, QString::fromUtf16(c.name), lettering, glyph, PictureButton::Style::Icon);
        btn->setPaint([tint, glyph, lettering](QPainter &p, const QRectF &r) {
            paintPanel(p, r, 8, tint.lighter(125), tint.darker(115), tint.darker(150));
            art::drawGlyph(p, QRectF(r.left() + 6, r.top() + 5, r.height() - 10, r.height() - 10), glyph);
            p.setFont(designFont(u"Verdana"_s, 10, true));
            p.setPen(Qt::white);
            p.drawText(r.adjusted(r.height(), 0, -6, 0), Qt::AlignCenter, lettering);
        });
        btn->setGeometry(c.x, 642, c.width, 38);
        btn->setToolTip(QString::fromUtf16(c.hint));
        btn->setAccessibleDescription(btn->toolTip());
        *c.target = btn;
        connect(btn, &QAbstractButton::clicked, this, c.handler);
    }
    imgGuidaBackup = new PictureButton(b, u"imgGuidaBackup"_s, u"Guida al backup"_s, art::Glyph::Help,
                                       PictureButton::Style::Icon);
    imgGuidaBackup->setGeometry(442, 646, 30, 30);
    imgGuidaBackup->setToolTip(u"Come funzionano il backup e il ripristino dei dati"_s);
    connect(imgGuidaBackup, &QAbstractButton::clicked, this, &TfrmAvvio::imgGuidaBackupClick);

    chkBackupCifrato = new QCheckBox(u"Backup &cifrato"_s, b);
    chkBackupCifrato->setObjectName(u"chkBackupCifrato"_s);
    chkBackupCifrato->setGeometry(484, 650, 140, 22);
    chkBackupCifrato->setFont(designFont(u"Verdana"_s, 9, true));
    chkBackupCifrato->setToolTip(u"Il prossimo backup sarà cifrato con una frase segreta: da usare per una copia che "
                                 u"esce dallo studio"_s);
    chkBackupCifrato->setAccessibleName(u"Backup cifrato"_s);
    chkBackupCifrato->setAccessibleDescription(chkBackupCifrato->toolTip());

    lblPromemoria = new QLabel(b);
    lblPromemoria->setObjectName(u"lblPromemoria"_s);
    lblPromemoria->setGeometry(630, 640, 304, 42);
    lblPromemoria->setWordWrap(true);
    lblPromemoria->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    lblPromemoria->setFont([] {
        QFont f = designFont(u"Verdana"_s, 9);
        f.setItalic(true);
        return f;
    }());
    lblPromemoria->setStyleSheet(u"color: #8a4b08;"_s);
    access::valueLabel(lblPromemoria, u"Promemoria backup"_s);
    lblPromemoria->hide();

    // Tab goes along the three areas, then the commands around them.
    QWidget *order[] = {btnAnagrafica, btnAnalisi, btnRiepiloghi, imgSito,   imgGuida,
                        imgInfo,       imgCopyright, btnBackup,  chkBackupCifrato, btnRipristino, imgGuidaBackup,
                        imgEsci};
    for (size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);

    connect(imgInfo, &QAbstractButton::clicked, this, &TfrmAvvio::imgInfoClick);
    connect(imgGuida, &QAbstractButton::clicked, this, &TfrmAvvio::imgGuidaClick);
    connect(imgSito, &QAbstractButton::clicked, this, &TfrmAvvio::imgSitoClick);
    connect(imgCopyright, &QAbstractButton::clicked, this, &TfrmAvvio::imgCopyrightClick);
    connect(imgEsci, &QAbstractButton::clicked, this, &TfrmAvvio::imgEsciClick);
}

void TfrmAvvio::imgAnagraficaClick() { m_ctx.switchTo(this, m_app.screens.frmClienti); }
void TfrmAvvio::imgAnalisiClick() { m_ctx.switchTo(this, m_app.screens.frmMenuAnalisi); }
void TfrmAvvio::imgRiepiloghiClick() { m_ctx.switchTo(this, m_app.screens.frmMenuRiepLavoro); }

void TfrmAvvio::imgInfoClick() { m_ctx.openDialog<TfrmInfo>(this); }
void TfrmAvvio::imgCopyrightClick() { m_ctx.openDialog<TfrmSplash>(this); }

void TfrmAvvio::imgGuidaClick() { m_ctx.showHelp(this, help::TopicId::Overview); }

void TfrmAvvio::imgSitoClick() { TMisc::Open(m_ctx.services, maker::kWebAddress.toString()); }

void TfrmAvvio::imgEsciClick() { m_app.endProgram(); }

void TfrmAvvio::FormClose() { m_app.endProgram(); }

void TfrmAvvio::btnBackupClick()
{
    backupui::makeBackup(m_ctx, this, chkBackupCifrato->isChecked());
    updateReminder();
}

void TfrmAvvio::btnRipristinoClick()
{
    backupui::restoreBackup(m_ctx, this);
    updateReminder();
}

void TfrmAvvio::imgGuidaBackupClick() { m_ctx.showHelp(this, help::TopicId::Backup); }

void TfrmAvvio::updateReminder()
{
    const QString text = backupui::reminderText(backup::Settings::load(m_ctx.services.appFolder),
                                                m_ctx.services.clock->now());
    // Said once, when it appears or changes: it is seen, not focused.
    if (!text.isEmpty() && text != lblPromemoria->text())
        access::announce(this, text);
    lblPromemoria->setText(text);
    lblPromemoria->setVisible(!text.isEmpty());
}

} // namespace clinora
