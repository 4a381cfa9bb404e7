#include "app/ui/LoginWait.h"

#include "app/LoginDelay.h"
#include "app/ui/AppContext.h"
#include "common/ui/Widgets.h"

#include <QAccessible>
#include <QLabel>

using namespace Qt::StringLiterals;

namespace clinora {

LoginWait::LoginWait(AppContext &app, QWidget *parent, const QRect &geometry, std::function<void()> changed)
    : QObject(parent), m_app(app), m_label(new QLabel(parent)), m_changed(std::move(changed))
{
    m_label->setObjectName(u"lblAttesa"_s);
    m_label->setGeometry(geometry);
    m_label->setAlignment(Qt::AlignCenter);
    m_label->setWordWrap(true);
    m_label->setFont(designFont(u"Verdana"_s, 9, true));
    m_label->setStyleSheet(u"color: #b0171f;"_s);
    m_label->setAccessibleDescription(u"Attesa prima del prossimo tentativo"_s);
    m_label->hide();
    m_tick.setInterval(1000);
    connect(&m_tick, &QTimer::timeout, this, &LoginWait::refresh);
}

QString LoginWait::text(int seconds)
{
    return seconds == 1 ? u"Password errata: attendere 1 secondo prima di riprovare."_s
                        : u"Password errata: attendere %1 secondi prima di riprovare."_s.arg(seconds);
}

bool LoginWait::waiting()
{
    refresh();
    return m_waiting;
}

void LoginWait::refresh()
{
    const int left = m_app.loginDelay.secondsLeft(m_app.services.clock->now());
    const bool was = m_waiting;
    m_waiting = left > 0;
    if (m_waiting) {
        m_label->setText(text(left));
        m_label->setAccessibleName(m_label->text());
        m_label->show();
        if (!m_tick.isActive())
            m_tick.start();
    } else {
        m_label->hide();
        m_label->clear();
        m_tick.stop();
    }
    if (was != m_waiting && m_changed)
        m_changed();
}

void LoginWait::failed()
{
    m_app.loginDelay.failed(m_app.services.clock->now());
    refresh();
    // Said once as the wait starts, not at every second of it.
    QAccessibleEvent alert(m_label, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}

void LoginWait::succeeded()
{
    m_app.loginDelay.succeeded();
    refresh();
}

} // namespace clinora
