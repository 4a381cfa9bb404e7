#include "analyses/ui/Calendario.h"

#include "analyses/ui/AnalysisCardHook.h"
#include "common/CommonSettings.h"
#include "common/ui/Accessibility.h"
#include "common/ui/Controls.h"
#include "common/ui/Palette.h"
#include "common/ui/Panel.h"
#include "common/ui/ScreenContext.h"
#include "common/ui/Widgets.h"

#include <QCalendarWidget>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTextCharFormat>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace clinora {

TfrmCalendario::TfrmCalendario(ScreenContext &ctx, QWidget *parent)
    : DialogScreen(ctx, parent, u" Importazione data"_s, QSize(253, 294), Centre::Owner)
{
    setObjectName(u"frmCalendario"_s);
    settings::apply();

    lblTitolo = new QLabel(u"Importare una data:"_s, this);
    lblTitolo->setObjectName(u"lblTitolo"_s);
    lblTitolo->setFont(designFont(u"Verdana"_s, 10, true));
    lblTitolo->setGeometry(10, 6, 233, 24);

    panCalendario = new Picture(this, u"panCalendario"_s, [](QPainter &p, const QRectF &r) {
        paintFlatPanel(p, r, 6, palette::calendarGrey, QColor(185, 190, 198));
    });
    panCalendario->setGeometry(6, 32, 241, 214);

    calAppuntamenti = new QCalendarWidget(panCalendario);
    calAppuntamenti->setObjectName(u"calAppuntamenti"_s);
    calAppuntamenti->setAccessibleName(u"Calendario"_s);
    // The calendar's own parts, named for a screen reader.
    const std::pair<const char16_t *, const char16_t *> parts[] = {
        {u"qt_calendar_prevmonth", u"Mese precedente"},
        {u"qt_calendar_nextmonth", u"Mese successivo"},
        {u"qt_calendar_calendarview", u"Giorni del mese"},
        {u"qt_calendar_yearedit", u"Anno"},
    };
    for (const auto &[name, accessible] : parts)
        if (auto *w = calAppuntamenti->findChild<QWidget *>(QString::fromUtf16(name)))
            w->setAccessibleName(QString::fromUtf16(accessible));
    calAppuntamenti->setLocale(QLocale(QLocale::Italian, QLocale::Italy));
    calAppuntamenti->setFirstDayOfWeek(Qt::Monday);
    calAppuntamenti->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    calAppuntamenti->setHorizontalHeaderFormat(QCalendarWidget::ShortDayNames);
    calAppuntamenti->setGridVisible(false);
    calAppuntamenti->setFont(designFont(u"Verdana"_s, 8));
    calAppuntamenti->setGeometry(5, 5, 231, 204);
    // The picker always opens on today.
    const QDate today = ctx.services.clock->now().date();
    calAppuntamenti->setSelectedDate(today);
    QTextCharFormat todayFormat;
    todayFormat.setFontWeight(QFont::Bold);
    todayFormat.setForeground(QColor(200, 30, 40));
    calAppuntamenti->setDateTextFormat(today, todayFormat);

    btnAnnulla = makeButton(this, u"btnAnnulla"_s, u"Annulla"_s, QRect(6, 254, 116, 32));
    btnImportaData = makeButton(this, u"btnImportaData"_s, u"Importa"_s, QRect(131, 254, 116, 32));
    for (QPushButton *b : {btnAnnulla, btnImportaData})
        b->setFont(designFont(u"Verdana"_s, 10, true));

    lblMemory = hiddenLabel(this, u"lblMemory"_s);

    setTabOrder(calAppuntamenti, btnImportaData);
    setTabOrder(btnImportaData, btnAnnulla);
    calAppuntamenti->setFocus(Qt::OtherFocusReason);

    connect(btnImportaData, &QPushButton::clicked, this, &TfrmCalendario::btnImportaDataClick);
    connect(btnAnnulla, &QPushButton::clicked, this, &TfrmCalendario::btnAnnullaClick);
    // A day's cell says only its number: the whole date is said as the
    // cursor moves, so that Enter never takes a date the user did not hear.
    connect(calAppuntamenti, &QCalendarWidget::selectionChanged, this, [this] {
        calAppuntamenti->setAccessibleDescription(dateInWords());
        if (isVisible())
            access::announce(this, dateInWords());
    });
    calAppuntamenti->setAccessibleDescription(dateInWords());
    // A double-click on a day, or Enter on it, imports it as "Importa" does.
    connect(calAppuntamenti, &QCalendarWidget::activated, this, &TfrmCalendario::btnImportaDataClick);
}

void TfrmCalendario::btnImportaDataClick()
{
    const DateFieldHook *hook = m_ctx.hook<DateFieldHook>(lblMemory->text());
    if (!hook)
        return; // a mode naming no field: the picker stays open
    hook->field->setText(settings::formatDate(calAppuntamenti->selectedDate()));
    accept();
}

void TfrmCalendario::btnAnnullaClick() { reject(); }

QString TfrmCalendario::dateInWords() const
{
    return QLocale(QLocale::Italian, QLocale::Italy).toString(calAppuntamenti->selectedDate(), u"dddd d MMMM yyyy"_s);
}

void TfrmCalendario::FormShow()
{
    // Said once the dialog has been announced.
    QTimer::singleShot(200, this, [this] { access::announce(this, dateInWords()); });
}

} // namespace clinora
