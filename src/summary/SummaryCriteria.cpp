#include "summary/SummaryCriteria.h"

#include "common/CommonSettings.h"
#include "common/Text.h"

using namespace Qt::StringLiterals;

namespace clinora::summary {

namespace {

// Two line breaks, each a line feed followed by a carriage return.
constexpr QStringView kTwoBreaks = u"\n\r\n\r";

QStringList makeDayNames()
{
    QStringList days;
    for (int d = 1; d <= 31; ++d)
        days << QString::number(d).rightJustified(2, u'0');
    return days;
}

CriteriaCheck failed(CriteriaCheck check, int step, const QString &message, Box box, Field focus)
{
    check.step = step;
    check.message = message;
    check.box = box;
    check.focus = focus;
    return check;
}

} // namespace

const QStringList &dayNames()
{
    static const QStringList days = makeDayNames();
    return days;
}

const QStringList &monthNames()
{
    static const QStringList months{u"Gennaio"_s, u"Febbraio"_s, u"Marzo"_s,     u"Aprile"_s,
                                    u"Maggio"_s,  u"Giugno"_s,   u"Luglio"_s,    u"Agosto"_s,
                                    u"Settembre"_s, u"Ottobre"_s, u"Novembre"_s, u"Dicembre"_s};
    return months;
}

bool isDayName(QStringView text) { return dayNames().contains(text::trimmedView(text)); }

int monthNumber(QStringView name)
{
    const QString wanted = text::lowerAZ(text::trimmedView(name));
    const QStringList &months = monthNames();
    for (int i = 0; i < months.size(); ++i)
        if (text::lowerAZ(months[i]) == wanted)
            return i + 1;
    return 0;
}

QString intervalDate(QStringView day, QStringView month, QStringView year)
{
    const int m = monthNumber(month);
    const QString number = m > 0 ? QString::number(m).rightJustified(2, u'0') : QString();
    return text::trimmed(day) + u'/' + number + u'/' + text::trimmedView(year);
}

CriteriaCheck checkCriteria(const CriteriaInput &in)
{
    CriteriaCheck check;
    if (in.anno.size() != 4)
        return failed(check, 1, u"Attenzione: indicare l'anno solare utilizzando quattro cifre."_s, Box::Warning,
                      Field::Anno);
    if (text::isBlank(in.codFisc))
        return failed(check, 2, u"Attenzione: indicare il codice fiscale del paziente."_s, Box::Warning,
                      Field::CodFisc);
    if (in.codFisc.size() != 16)
        return failed(check, 3,
                      u"Attenzione: indicare il codice fiscale del paziente utilizzando 16 caratteri "
                      u"alfanumerici."_s,
                      Box::Warning, Field::CodFisc);
    const struct {
        const QString &text;
        QStringView what;
        Field field;
    } pickers[] = {
        {in.giornoInizio, u"il giorno di inizio", Field::GiornoInizio},
        {in.meseInizio, u"il mese di inizio", Field::MeseInizio},
        {in.giornoFine, u"il giorno di fine", Field::GiornoFine},
        {in.meseFine, u"il mese di fine", Field::MeseFine},
    };
    int step = 4;
    for (const auto &p : pickers) {
        if (text::isBlank(p.text))
            return failed(check, step,
                          u"Attenzione: indicare "_s + p.what + u" intervallo selezionandolo dall'elenco a cascata."_s,
                          Box::Warning, p.field);
        ++step;
    }

    check.dataInizio = intervalDate(in.giornoInizio, in.meseInizio, in.annoInizio);
    const std::optional<QDate> start = settings::parseDate(text::trimmedView(check.dataInizio));
    if (!start)
        return failed(check, 8,
                      u"Attenzione: la data "_s + text::trimmedView(check.dataInizio)
                          + u" di inizio intervallo non esiste."_s + kTwoBreaks
                          + u"Per poter visualizzare il riepilogo è necessario indicare una data valida."_s,
                      Box::Plain, Field::GiornoInizio);
    check.dataFine = intervalDate(in.giornoFine, in.meseFine, in.annoFine);
    const std::optional<QDate> end = settings::parseDate(text::trimmedView(check.dataFine));
    if (!end)
        return failed(check, 9,
                      u"Attenzione: la data "_s + text::trimmedView(check.dataFine)
                          + u" di fine intervallo non esiste."_s + kTwoBreaks
                          + u"Per poter visualizzare il riepilogo è necessario indicare una data valida."_s,
                      Box::Plain, Field::GiornoFine);
    if (*start > *end)
        return failed(check, 10,
                      u"Attenzione: la data di fine intervallo ("_s + text::trimmedView(check.dataFine)
                          + u") non può essere anteriore a quella di inizio intervallo ("_s
                          + text::trimmedView(check.dataInizio) + u")."_s + kTwoBreaks
                          + u"Per poter visualizzare il riepilogo è necessario indicare un intervallo di tempo "
                            u"valido."_s,
                      Box::Plain, Field::None);
    check.start = *start;
    check.end = *end;
    return check;
}

} // namespace clinora::summary
