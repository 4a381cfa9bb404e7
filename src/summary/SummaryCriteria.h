#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <QStringView>

// The criteria of a results summary as the criteria screen gathers them: a
// year, a fiscal code and a start and an end day and month of that year, and
// the checks they pass, one after the other, before a summary is built.
namespace clinora::summary {

// "01" ... "31", as the day lists offer them.
const QStringList &dayNames();
// "Gennaio" ... "Dicembre", as the month lists offer them.
const QStringList &monthNames();

// True when `text`, trimmed, is one of the day names.
bool isDayName(QStringView text);
// The number 1-12 of a month name, trimmed and compared without regard to
// case (a-z only); 0 when it names no month.
int monthNumber(QStringView name);

// The date text of a day and month list and its year label: the trimmed day,
// "/", the two-digit month number, "/", the trimmed year (05/03/2024). A
// month that names no month leaves its place empty, so the text is no date.
QString intervalDate(QStringView day, QStringView month, QStringView year);

// The controls a failed check sends the focus to.
enum class Field { None, Anno, CodFisc, GiornoInizio, MeseInizio, GiornoFine, MeseFine };

// How a failed check is told: a warning box or a plain message box.
enum class Box { Warning, Plain };

// The texts of the criteria screen as they stand when "Visualizza riepilogo"
// is pressed.
struct CriteriaInput {
    QString anno;      // txtAnno
    QString codFisc;   // txtCodFisc
    QString giornoInizio, meseInizio, giornoFine, meseFine;
    QString annoInizio, annoFine; // the year labels beside the two boxes
};

struct CriteriaCheck {
    // 0 when every check passes, otherwise the failing step, 1 to 10.
    int step = 0;
    QString message;
    Box box = Box::Warning;
    Field focus = Field::None; // None: the focus stays where it is
    // What the hidden date labels hold after the checks: empty until their
    // step has built them.
    QString dataInizio, dataFine;
    // The interval, when every check passes.
    QDate start, end;

    bool passed() const { return step == 0; }
};

// Runs the ten checks in order and stops at the first that fails.
CriteriaCheck checkCriteria(const CriteriaInput &input);

} // namespace clinora::summary
