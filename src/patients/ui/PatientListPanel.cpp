#include "patients/ui/PatientListPanel.h"

#include "common/ui/Controls.h"
#include "common/ui/LineDelegate.h"
#include "common/ui/ListLinesModel.h"
#include "common/ui/ScreenContext.h"
#include "common/ui/Widgets.h"
#include "patients/PatientList.h"

#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>

using namespace Qt::StringLiterals;

namespace clinora {

namespace {

// Every line is as wide as the longest a patient can have, so the list
// scrolls sideways over the notes.
class WideLineDelegate : public LineDelegate {
public:
    using LineDelegate::LineDelegate;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        return QSize(kItemWidth, QStyledItemDelegate::sizeHint(option, index).height());
    }
    static constexpr int kItemWidth = 1600;
};

QLabel *textLine(QWidget *parent, const QString &name, const QString &text, const QRect &geometry,
                 const QColor &ink = QColor(20, 40, 70), bool bold = false)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setFont(designFont(u"Verdana"_s, 10, bold));
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, ink);
    l->setPalette(pal);
    l->setGeometry(geometry);
    return l;
}

} // namespace

Picture *listScreenPanel(QWidget *parent, const QString &name, const QRect &geometry)
{
    auto *panel = new Picture(parent, name, [](QPainter &p, const QRectF &r) {
        QLinearGradient g(r.topLeft(), r.bottomLeft());
        g.setColorAt(0, QColor(250, 252, 255));
        g.setColorAt(1, QColor(226, 235, 246));
        p.setPen(QPen(QColor(150, 172, 200), 1));
        p.setBrush(g);
        p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), 10, 10);
    });
    panel->setGeometry(geometry);
    return panel;
}

PatientListPanel buildPatientListPanel(QWidget *parent, const QString &panelName, QPoint topLeft, bool withCount)
{
    PatientListPanel p;
    p.panel = listScreenPanel(parent, panelName, QRect(topLeft, QSize(833, 529)));
    QWidget *w = p.panel;

    textLine(w, u"lblIstruzioni01"_s,
             u"Immettere una o più parole consecutive presenti nella scheda in elenco da cercare e premere il "
             u"pulsante Trova."_s,
             QRect(16, 12, 801, 22));
    textLine(w, u"lblIstruzioni02"_s,
             u"Per spostarsi sulla voce successiva contenente la stessa chiave di ricerca, fare di nuovo clic su "
             u"Trova."_s,
             QRect(16, 34, 801, 22));

    const QFont buttonFont = designFont(u"Verdana"_s, 10, true);
    p.txtTrova = makeInput(w, u"txtTrova"_s, QRect(16, 70, 637, 32));
    p.txtTrova->setFont(designFont(u"Verdana"_s, 12, true));
    p.txtTrova->setAccessibleName(u"Parole da trovare nell'elenco"_s);
    p.btnTrova = makeButton(w, u"btnTrova"_s, u"Trova"_s, QRect(669, 70, 148, 32));
    p.btnTrova->setFont(buttonFont);

    p.lstRecords = new QListView(w);
    p.lstRecords->setObjectName(u"lstRecords"_s);
    p.lstRecords->setAccessibleName(u"Elenco dei pazienti"_s);
    p.lstRecords->setGeometry(16, 116, 801, 273);
    // The lines' own font and colour, whatever the style would give them.
    p.lstRecords->setFont(designFont(u"Courier New"_s, 12));
    {
        QPalette pal = p.lstRecords->palette();
        pal.setColor(QPalette::Text, Qt::black);
        pal.setColor(QPalette::Base, Qt::white);
        p.lstRecords->setPalette(pal);
    }
    p.lstRecords->setUniformItemSizes(true);
    p.lstRecords->setItemDelegate(new WideLineDelegate(p.lstRecords));
    p.lstRecords->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    p.lstRecords->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    p.lstRecords->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    p.lstRecords->setEditTriggers(QAbstractItemView::NoEditTriggers);
    p.lstRecords->setSelectionMode(QAbstractItemView::SingleSelection);
    p.lines = new ListLinesModel(p.lstRecords);
    p.lstRecords->setModel(p.lines);

    textLine(w, u"lblDoppioClic"_s, u"Per richiamare i dati di una scheda, selezionarla con un doppio clic."_s,
             QRect(16, 394, 801, 22), art::colors::crimson, true);

    p.btnChiudi = makeButton(w, u"btnChiudi"_s, u"Chiudi"_s, QRect(16, 481, 148, 32));
    p.btnStampa = makeButton(w, u"btnStampa"_s, u"Stampa"_s, QRect(669, 481, 148, 32));
    for (QPushButton *b : {p.btnChiudi, p.btnStampa})
        b->setFont(buttonFont);
    if (withCount) {
        p.lblTrovate = textLine(w, u"lblTrovate"_s, u"Il presente elenco contiene 0 schede."_s,
                                QRect(176, 481, 481, 32), QColor(20, 40, 70), true);
        p.lblTrovate->setAlignment(Qt::AlignCenter);
    }

    QWidget::setTabOrder(p.txtTrova, p.btnTrova);
    QWidget::setTabOrder(p.btnTrova, p.lstRecords);
    QWidget::setTabOrder(p.lstRecords, p.btnStampa);
    QWidget::setTabOrder(p.btnStampa, p.btnChiudi);
    return p;
}

PatientPicker::PatientPicker(ScreenContext &ctx, QDialog *screen, QListView *list, Act act)
    : QObject(screen), m_ctx(ctx), m_screen(screen), m_list(list), m_act(std::move(act))
{
    list->installEventFilter(this);
    list->viewport()->installEventFilter(this);
}

bool PatientPicker::eventFilter(QObject *watched, QEvent *event)
{
    // Only the two events that pick are looked at: the others include those
    // a list sends while it is being destroyed, when it is no list any more.
    if (event->type() != QEvent::MouseButtonDblClick && event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    if (m_list && watched == m_list->viewport() && event->type() == QEvent::MouseButtonDblClick
        && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        // The line under the mouse is the one picked; off the lines, the
        // selected one.
        const QModelIndex under = m_list->indexAt(static_cast<QMouseEvent *>(event)->position().toPoint());
        if (under.isValid())
            m_list->setCurrentIndex(under);
        pick();
        return true;
    }
    if (m_list && watched == m_list.data() && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            // Enter picks the line the keyboard is on, selected or not; on
            // an empty list it does nothing rather than close unasked.
            const QModelIndex current = m_list->currentIndex();
            if (current.isValid()) {
                if (!m_list->selectionModel()->isSelected(current))
                    m_list->selectionModel()->select(current, QItemSelectionModel::ClearAndSelect);
                pick();
            } else if (m_list->selectionModel()->hasSelection()) {
                pick();
            }
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void PatientPicker::pick()
{
    if (m_list && m_act) {
        const QModelIndexList selected = m_list->selectionModel()->selectedIndexes();
        if (!selected.isEmpty()) {
            const QString line = selected.constFirst().data(Qt::DisplayRole).toString();
            const PatientPick found = findPatientByLine(PatientArchivePath(m_ctx.services.appFolder), line);
            // After a failure the records matched before it stay written,
            // as each equal record is written in turn.
            if (found.found)
                m_act(found.record, found.number);
        }
    }
    if (m_screen)
        m_screen->close();
}

} // namespace clinora
