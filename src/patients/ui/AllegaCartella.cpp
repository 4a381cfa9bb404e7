#include "patients/ui/AllegaCartella.h"

#include "common/Messages.h"
#include "common/Text.h"
#include "common/ui/Controls.h"
#include "common/ui/OpenURL.h"
#include "common/ui/ScreenContext.h"
#include "common/ui/Widgets.h"
#include "patients/Attachments.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace clinora {

namespace {

void paintPanel(QPainter &p, const QRectF &r)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(160, 175, 195), 1));
    p.setBrush(QColor(236, 241, 247));
    p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
}

void paintHeader(QPainter &p, const QRectF &r)
{
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, QColor(40, 100, 170));
    g.setColorAt(1, QColor(110, 160, 215));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(r, 6, 6);
    art::drawLogo(p, QRectF(r.left() + 12, r.top() + 8, 170, r.height() - 16), QString(), true);
    const qreal tile = r.height() - 20;
    const QRectF glyph(r.right() - 14 - tile, r.top() + 10, tile, tile);
    p.setBrush(Qt::white);
    p.drawRoundedRect(glyph, 6, 6);
    art::drawGlyph(p, glyph.adjusted(5, 5, -5, -5), art::Glyph::Attach);
    p.setFont(designFont(u"Verdana"_s, 13, true));
    p.setPen(Qt::white);
    p.drawText(QRectF(r.left(), r.top(), glyph.left() - 10 - r.left(), r.height()), Qt::AlignRight | Qt::AlignVCenter,
               u"File allegati alla scheda"_s);
}

void paintSlot(QPainter &p, const QRectF &r)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(190, 202, 218), 1));
    p.setBrush(Qt::white);
    p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
}

// The slot's ordinal as the captions write it.
QString ordinal(int slot) { return QString::number(slot + 1) + u"°"_s; }

} // namespace

TfrmAllegaCartella::TfrmAllegaCartella(ScreenContext &ctx, QWidget *parent)
    : DialogScreen(ctx, parent, u" Allega file"_s, QSize(634, 534), Centre::Screen)
{
    setObjectName(u"frmAllegaCartella"_s);

    auto *panel = new Picture(this, u"panAllegati"_s, paintPanel);
    panel->setGeometry(8, 8, 618, 518);
    auto *header = new Picture(panel, u"imgTitolo"_s, paintHeader);
    header->setGeometry(8, 8, 602, 60);
    header->setAccessibleName(u"File allegati alla scheda"_s);

    const QFont captionFont = designFont(u"Verdana"_s, 9, true);
    const QFont entryFont = designFont(u"Verdana"_s, 10, true);
    const QFont buttonFont = designFont(u"Verdana"_s, 9, true);

    QLineEdit **files[kSlots] = {&txtFile01, &txtFile02, &txtFile03};
    QLineEdit **descs[kSlots] = {&txtDesc01, &txtDesc02, &txtDesc03};
    PictureButton **erasers[kSlots] = {&imgCancella01, &imgCancella02, &imgCancella03};
    QPushButton **browses[kSlots] = {&btnSfoglia01, &btnSfoglia02, &btnSfoglia03};
    QPushButton **opens[kSlots] = {&btnApri01, &btnApri02, &btnApri03};
    using Handler = void (TfrmAllegaCartella::*)();
    const Handler browseClick[kSlots] = {&TfrmAllegaCartella::btnSfoglia01Click,
                                         &TfrmAllegaCartella::btnSfoglia02Click,
                                         &TfrmAllegaCartella::btnSfoglia03Click};
    const Handler openClick[kSlots] = {&TfrmAllegaCartella::btnApri01Click, &TfrmAllegaCartella::btnApri02Click,
                                       &TfrmAllegaCartella::btnApri03Click};
    const Handler clearClick[kSlots] = {&TfrmAllegaCartella::imgCancella01Click,
                                        &TfrmAllegaCartella::imgCancella02Click,
                                        &TfrmAllegaCartella::imgCancella03Click};

    for (int i = 0; i < kSlots; ++i) {
        const QString n = u"0"_s + QString::number(i + 1);
        auto *group = new Picture(panel, u"panSlot"_s + n, paintSlot);
        group->setGeometry(8, 76 + i * 132, 602, 124);

        QLineEdit *file = makeInput(group, u"txtFile"_s + n, QRect(14, 28, 318, 30));
        file->setReadOnly(true);
        file->setFont(entryFont);
        // Read-only, and seen to be: the name changes only through the buttons.
        QPalette pal = file->palette();
        pal.setColor(QPalette::Base, QColor(238, 242, 247));
        file->setPalette(pal);
        captionFor(group, file, u"Nome "_s + ordinal(i) + u" file allegato:"_s, captionFont)
            ->setGeometry(14, 8, 400, 18);

        auto *eraser = new PictureButton(group, u"imgCancella"_s + n, u"Cancella "_s + ordinal(i) + u" file"_s,
                                         art::Glyph::Eraser, PictureButton::Style::Icon);
        eraser->setGeometry(338, 28, 30, 30);
        eraser->setToolTip(u"Cancella il nome del file allegato"_s);

        QPushButton *browse = makeButton(group, u"btnSfoglia"_s + n, u"Sfoglia..."_s, QRect(376, 27, 104, 32));
        QPushButton *open = makeButton(group, u"btnApri"_s + n, u"Apri"_s, QRect(486, 27, 102, 32));
        for (QPushButton *b : {browse, open}) {
            b->setFont(buttonFont);
            b->setAccessibleDescription(u"Nome "_s + ordinal(i) + u" file allegato"_s);
        }
        // Three of each: the name says which file each one is for.
        browse->setAccessibleName(u"Sfoglia: "_s + ordinal(i) + u" file allegato"_s);
        open->setAccessibleName(u"Apri: "_s + ordinal(i) + u" file allegato"_s);
        open->setEnabled(false);

        QLineEdit *desc = makeInput(group, u"txtDesc"_s + n, QRect(14, 86, 574, 30), attachments::kStoredNameLength);
        desc->setFont(entryFont);
        captionFor(group, desc, u"Descrizione "_s + ordinal(i) + u" file allegato:"_s, captionFont)
            ->setGeometry(14, 66, 400, 18);

        *files[i] = m_file[size_t(i)] = file;
        *descs[i] = m_desc[size_t(i)] = desc;
        *erasers[i] = eraser;
        *browses[i] = browse;
        *opens[i] = m_apri[size_t(i)] = open;

        // "Apri" follows the name however it changes: pre-filling, choosing,
        // clearing. A long name shows its beginning, and whole as a tip.
        connect(file, &QLineEdit::textChanged, open, [file, open](const QString &name) {
            open->setEnabled(!text::isBlank(name));
            file->setCursorPosition(0);
            file->setToolTip(name);
        });
        connect(browse, &QPushButton::clicked, this, browseClick[i]);
        connect(open, &QPushButton::clicked, this, openClick[i]);
        connect(eraser, &QAbstractButton::clicked, this, clearClick[i]);
    }

    btnAnnulla = makeButton(panel, u"btnAnnulla"_s, u"Annulla"_s, QRect(264, 476, 146, 34));
    btnApplica = makeButton(panel, u"btnApplica"_s, u"Applica e chiudi"_s, QRect(418, 476, 192, 34));
    for (QPushButton *b : {btnAnnulla, btnApplica})
        b->setFont(designFont(u"Verdana"_s, 10, true));
    connect(btnApplica, &QPushButton::clicked, this, &TfrmAllegaCartella::btnApplicaClick);
    connect(btnAnnulla, &QPushButton::clicked, this, &TfrmAllegaCartella::btnAnnullaClick);

    QWidget *order[] = {txtFile01, btnSfoglia01, btnApri01, txtDesc01, txtFile02, btnSfoglia02,
                        btnApri02, txtDesc02, txtFile03, btnSfoglia03, btnApri03, txtDesc03,
                        btnApplica, btnAnnulla};
    for (size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);

    lblMemory = hiddenLabel(this, u"lblMemory"_s);
}

void TfrmAllegaCartella::fillFrom(const AttachmentLabels &card)
{
    for (size_t i = 0; i < kSlots; ++i) {
        m_file[i]->setText(text::trimmed(card[2 * i]->text()));
        m_desc[i]->setText(text::trimmed(card[2 * i + 1]->text()));
    }
}

void TfrmAllegaCartella::browse(int slot)
{
    const QString chosen = m_ctx.services.files->openFile(this, u"Selezionare il file da allegare:"_s,
                                                          u"Tutti i file (*.*)"_s);
    if (chosen.isEmpty())
        return;
    QLineEdit *name = m_file[size_t(slot)];
    const QString before = name->text();
    // The name the card can store, so that the stored name finds this copy.
    const QString attached = attachments::storableName(QFileInfo(chosen).fileName());
    name->setText(attached);

    const QString appFolder = m_ctx.services.appFolder;
    const QString target = attachments::filePath(appFolder, attached);
    bool copied = !target.isEmpty() && attachments::ensureFolder(appFolder);
    if (copied && !attachments::sameFile(chosen, target)) { // a file from the folder is there already
        // Only a Yes replaces the file there: a box closed without an answer keeps it.
        if (QFileInfo::exists(target)
            && !m_ctx.services.confirmYes(this, u"Attenzione: nella cartella dei documenti allegati è presente un file "
                                             u"con lo stesso nome.\r\n\r\nSi vuole sovrascrivere il file esistente?"_s))
            return; // the slot names the file already there
        copied = attachments::copyFile(chosen, target);
    }
    if (!copied) {
        // Said, rather than leaving a slot that names a file never copied;
        // the slot keeps what it named before.
        name->setText(before);
        m_ctx.services.error(this, msg::kAccessError.toString());
    }
}

void TfrmAllegaCartella::openAttachment(int slot)
{
    // Only the last part of the name counts: no stored name opens a file
    // outside the attachments folder.
    const QString path = attachments::filePath(m_ctx.services.appFolder, m_file[size_t(slot)]->text());
    if (path.isEmpty())
        return;
    // In quotes, so that a folder with blanks in its name still works.
    TMisc::Open(m_ctx.services, u"\""_s + QDir::toNativeSeparators(path) + u"\""_s);
}

void TfrmAllegaCartella::clearSlot(int slot) { m_file[size_t(slot)]->clear(); }

void TfrmAllegaCartella::btnApplicaClick()
{
    const QString caller = text::trimmed(lblMemory->text());
    const AttachmentHook *hook = m_ctx.hook<AttachmentHook>(caller);
    if (!hook)
        return; // nobody to write to: the dialog stays open
    const AttachmentLabels &card = hook->labels;
    for (size_t i = 0; i < kSlots; ++i) {
        card[2 * i]->setText(text::trimmed(m_file[i]->text()));
        card[2 * i + 1]->setText(text::trimmed(m_desc[i]->text()));
    }
    close();
}

void TfrmAllegaCartella::btnAnnullaClick() { close(); }

} // namespace clinora
