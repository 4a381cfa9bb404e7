#include "common/ui/ExportScreen.h"

#include "common/ExportGrid.h"
#include "common/ui/Behaviours.h"
#include "common/ui/LineDelegate.h"
#include "common/ui/OpenURL.h"
#include "common/ui/ScreenContext.h"
#include "common/ui/Widgets.h"

#include <QDir>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QShowEvent>

using namespace Qt::StringLiterals;

namespace clinora {

namespace {

struct WaitCursor {
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
};

constexpr int kRowHeight = 21;

} // namespace

void ExportGridView::commitEdit()
{
    if (state() != EditingState)
        return;
    if (QWidget *editor = indexWidget(currentIndex())) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

ExportScreen::ExportScreen(ScreenContext &ctx, QWidget *parent, const QString &title,
                           QList<TextGridModel::Column> gridColumns, Export exportSettings)
    : DialogScreen(ctx, parent, title, QSize(862, 560), Centre::Screen), m_export(std::move(exportSettings))
{
    setAutoFillBackground(true);
    {
        QPalette pal = palette();
        pal.setColor(QPalette::Window, QColor(0xE4, 0xE6, 0xEA));
        setPalette(pal);
    }

    const QString heading = m_export.heading;
    imgLogo = new Picture(this, u"imgLogo"_s, [heading](QPainter &p, const QRectF &r) {
        p.fillRect(r, Qt::white);
        p.setPen(QPen(QColor(0xB8, 0xC0, 0xCC), 1));
        p.drawLine(r.bottomLeft() + QPointF(0, -0.5), r.bottomRight() + QPointF(0, -0.5));
        art::drawLogo(p, QRectF(r.left() + 16, r.top() + 11, 190, r.height() - 22));
        p.setPen(QColor(0xC8, 0xD0, 0xDC));
        p.drawLine(QPointF(r.left() + 222.5, r.top() + 16), QPointF(r.left() + 222.5, r.bottom() - 16));
        p.setPen(QColor(20, 60, 120));
        p.setFont(designFont(u"Verdana"_s, 14, true));
        p.drawText(QRectF(r.left() + 238, r.top() + 14, 400, 28), Qt::AlignLeft | Qt::AlignVCenter, heading);
        p.setPen(QColor(90, 100, 115));
        p.setFont(designFont(u"Verdana"_s, 10));
        p.drawText(QRectF(r.left() + 238, r.top() + 42, 400, 22), Qt::AlignLeft | Qt::AlignVCenter,
                   u"Tabella per Microsoft Excel"_s);
    });
    imgLogo->setGeometry(0, 0, 862, 82);
    imgLogo->keepDrawing(u"export banner|"_s + heading);
    imgLogo->setAccessibleName(heading);

    cmdEsporta = new PictureButton(this, u"cmdEsporta"_s, u"Esporta in Excel"_s, art::Glyph::Export,
                                   PictureButton::Style::Icon);
    cmdEsporta->setGeometry(654, 13, 56, 56);
    cmdGuida = new PictureButton(this, u"cmdGuida"_s, u"Guida"_s, art::Glyph::Help, PictureButton::Style::Icon);
    cmdGuida->setGeometry(722, 13, 56, 56);
    cmdEsci = new PictureButton(this, u"cmdEsci"_s, u"Esci"_s, art::Glyph::Exit, PictureButton::Style::Icon);
    cmdEsci->setGeometry(790, 13, 56, 56);

    m_model = new TextGridModel(std::move(gridColumns), this);
    {
        TextGridModel::Rows empty(int(m_model->columns().size()));
        empty.appendEmptyRows(kExportEmptyRows);
        m_model->setRows(std::move(empty));
    }
    grdRecords = new ExportGridView(this);
    grdRecords->setObjectName(u"grdRecords"_s);
    grdRecords->setAccessibleName(u"Schede in archivio"_s);
    grdRecords->setGeometry(20, 96, 821, 409);
    grdRecords->setFont(designFont(u"Tahoma"_s, 9));
    grdRecords->setModel(m_model);
    grdRecords->setAlternatingRowColors(true);
    {
        QPalette pal = grdRecords->palette();
        pal.setColor(QPalette::Base, Qt::white);
        pal.setColor(QPalette::AlternateBase, QColor(0xEE, 0xF3, 0xFA));
        grdRecords->setPalette(pal);
    }
    grdRecords->setSelectionMode(QAbstractItemView::SingleSelection);
    grdRecords->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                                | QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
    grdRecords->setWordWrap(false);
    grdRecords->setItemDelegate(new LineDelegate(grdRecords));
    // Fixed row heights: the grid never measures its rows, however many.
    QHeaderView *rows = grdRecords->verticalHeader();
    rows->hide();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setMinimumSectionSize(kRowHeight);
    rows->setDefaultSectionSize(kRowHeight);
    QHeaderView *header = grdRecords->horizontalHeader();
    header->setFont(designFont(u"Verdana"_s, 8, true));
    header->setStyleSheet(u"QHeaderView::section { font-weight: bold; color: #14325F; background: #E6ECF4; "
                          u"padding: 2px 4px; border: none; border-right: 1px solid #BCC8D8; "
                          u"border-bottom: 1px solid #BCC8D8; }"_s);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setHighlightSections(false);
    for (int c = 0; c < m_model->columns().size(); ++c)
        grdRecords->setColumnWidth(c, m_model->columns()[c].width);

    auto *bar = new Picture(this, u"panStato"_s, [](QPainter &p, const QRectF &r) {
        p.setPen(Qt::NoPen);
        p.setBrush(art::colors::slateBlue);
        p.drawRoundedRect(r, 6, 6);
    });
    bar->setGeometry(10, 518, 842, 32);
    panInfo = new QLabel(u"Esportazione archivio in Microsoft Excel."_s, bar);
    panInfo->setObjectName(u"panInfo"_s);
    panInfo->setFont(designFont(u"Tahoma"_s, 12));
    {
        QPalette pal = panInfo->palette();
        pal.setColor(QPalette::WindowText, Qt::white);
        panInfo->setPalette(pal);
    }
    panInfo->setGeometry(12, 0, 818, 32);
    panInfo->setAttribute(Qt::WA_TransparentForMouseEvents);

    m_hints = new HintLine(panInfo);
    m_hints->addCommands({
        {cmdEsporta, u"Esporta l'archivio in formato Microsoft Excel."_s},
        {cmdGuida, u"Visualizza la pagina della guida sensibile al contesto."_s},
        {cmdEsci, u"Esci da questo ambiente di lavoro."_s},
    });
    m_hints->addBackground({this, imgLogo, bar, grdRecords, grdRecords->viewport(), header->viewport()});

    connect(cmdEsporta, &QAbstractButton::clicked, this, &ExportScreen::cmdEsportaClick);
    connect(cmdGuida, &QAbstractButton::clicked, this, &ExportScreen::cmdGuidaClick);
    connect(cmdEsci, &QAbstractButton::clicked, this, &ExportScreen::cmdEsciClick);
}

void ExportScreen::showEvent(QShowEvent *event)
{
    DialogScreen::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void ExportScreen::FormShow()
{
    // Filled once: what is typed in the grid stays until the screen closes.
    if (m_filled)
        return;
    m_filled = true;
    const WaitCursor wait;
    // A failure while reading ends the filling without a message.
    m_model->setRows(readGrid());
    grdRecords->setFocus(Qt::OtherFocusReason);
}

void ExportScreen::cmdEsportaClick()
{
    grdRecords->commitEdit();
    if (!m_ctx.services.confirm(this, u"L'esportazione dei dati in Excel può richiedere diversi minuti a seconda del "
                                      u"numero di schede presenti in archivio.\r\n\r\nSi vuole esportare i dati "
                                      u"adesso?"_s))
        return;
    const QString path = m_ctx.services.appPath(m_export.fileName);
    bool written = false;
    {
        const WaitCursor wait;
        const TextGridModel *grid = m_model;
        // The grid's row number (column 0) stays out of the file.
        written = ExcelHtmlEnvelope(path, m_export.sheetName, m_export.columns, grid->rowCount(),
                                    [grid](qsizetype row, int column) { return grid->cell(row, column + 1); });
    }
    if (!written) {
        m_ctx.services.plain(this, kExportFailed.toString());
        return;
    }
    if (m_ctx.services.confirm(this, u"Le schede in archivio sono state esportate con successo.\r\n\r\nSi vuole aprire "
                                     u"il file di Excel?"_s))
        TMisc::Open(m_ctx.services, u"\""_s + QDir::toNativeSeparators(path) + u"\""_s);
}

void ExportScreen::cmdGuidaClick() { m_ctx.showHelp(this, m_export.helpTopic); }

void ExportScreen::cmdEsciClick() { close(); }

} // namespace clinora
