#pragma once

#include "report/ReportTemplate.h"

#include <QList>
#include <utility>

// What every card template shares: a one-page A4 portrait form whose text
// objects the program fills by name, with the date and time of printing in
// its footer.
namespace clinora::report {

// "Stampa eseguita in data " + dd/mm/yyyy + " alle ore " + hh:mm:ss
QString printedAt(const QDateTime &now);

// An empty card template: A4 portrait, 10 mm margins, no bands.
std::unique_ptr<ReportTemplate> makeCardTemplate(const QString &name, const QString &pageName = QStringLiteral("Page1"));

// A text look for card objects: word wrap and expressions off, so a value
// that fits prints on one line as laid out and brackets print as typed; one
// that does not is never cut silently (TextLook::neverCut).
TextLook cardText(const QString &family, double pointSize, const QColor &color = Qt::black,
                  const QColor &fill = QColor(), Qt::Alignment hAlign = Qt::AlignLeft,
                  Qt::Alignment vAlign = Qt::AlignVCenter, bool bold = false);

// The card print pattern: page 1 portrait, each named text object its text,
// the footer object the moment of printing, then laid out into its page.
void prepareCard(ReportTemplate &rep, const QList<std::pair<QString, QString>> &texts, QStringView footer,
                 const QDateTime &now);

} // namespace clinora::report
