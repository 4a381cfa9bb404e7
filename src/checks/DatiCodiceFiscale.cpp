#include "checks/DatiCodiceFiscale.h"

#include "checks/CodiceFiscale.h"

#include <QStringList>

using namespace Qt::StringLiterals;

namespace clinora {

namespace {

// The month letters, January to December.
constexpr QStringView kMonths = u"ABCDEHLMPRST";
// The letters that stand for 0-9 in a code changed for omocodia.
constexpr QStringView kOmocodia = u"LMNPQRSTUV";
// The positions (0-based) that hold digits, or their omocodia letters.
constexpr int kDigitPositions[] = {6, 7, 9, 10, 12, 13, 14};

bool isAZ(QChar c) { return c.unicode() >= u'A' && c.unicode() <= u'Z'; }
bool is09(QChar c) { return c.unicode() >= u'0' && c.unicode() <= u'9'; }

// The letters A-Z of a text, accents dropped, upper-cased.
QString plainLetters(QStringView text)
{
    const QString decomposed = text.toString().normalized(QString::NormalizationForm_D);
    QString out;
    for (QChar c : decomposed) {
        const QChar u = c.toUpper();
        if (isAZ(u))
            out += u;
    }
    return out;
}

bool isVowel(QChar c) { return u"AEIOU"_s.contains(c); }

} // namespace

QString FiscalCodeReading::sentence() const
{
    QString s = u"Nato/a il "_s + dateText();
    if (!place) {
        const QString what = u" (codice del luogo di nascita "_s + placeCode;
        if (!known)
            return s + what + u" sconosciuto)"_s;
        if (known->from.isValid() && birthDate < known->from)
            return s + what + u" non ancora in uso a quella data: "_s + known->label() + u", in uso dal "_s +
                   known->from.toString(u"dd/MM/yyyy") + u')';
        return s + what + u" non più in uso a quella data: "_s + known->label() + u", in uso fino al "_s +
               known->to.toString(u"dd/MM/yyyy") + u')';
    }
    if (place->foreign())
        return s + u" all'estero ("_s + place->name + u')';
    s += u" a "_s + place->label();
    if (abolished())
        return s + u", comune soppresso"_s;
    if (placeThen && placeThen->key != place->key)
        s += u", allora "_s + placeThen->name;
    return s;
}

std::optional<FiscalCodeReading> readFiscalCode(QStringView code, QDate today, const CadastralTable &table)
{
    if (!CodFiscValido(code))
        return std::nullopt;
    QString plain = code.toString();
    FiscalCodeReading r;
    for (int i : kDigitPositions) {
        const QChar c = plain[i];
        if (is09(c))
            continue;
        const qsizetype d = kOmocodia.indexOf(c);
        if (d < 0)
            return std::nullopt;
        plain[i] = QChar(char16_t(u'0' + d));
        r.omocodia = true;
    }
    for (int i : {0, 1, 2, 3, 4, 5, 8, 11})
        if (!isAZ(plain[i]))
            return std::nullopt;
    const qsizetype month = kMonths.indexOf(plain[8]);
    if (month < 0)
        return std::nullopt;
    const int yy = QStringView(plain).sliced(6, 2).toInt();
    int day = QStringView(plain).sliced(9, 2).toInt();
    r.sex = u'M';
    if (day > 40) {
        day -= 40;
        r.sex = u'F';
    }
    if (day < 1)
        return std::nullopt;
    if (!today.isValid())
        today = QDate::currentDate();
    r.placeCode = plain.sliced(11, 4);

    // A birth is never after today: the latest two days that the code may
    // mean, in the centuries ending in `yy` (29 February may exist in only
    // one of them).
    QDate candidates[2];
    int found = 0;
    for (int year = today.year() - ((today.year() % 100 - yy + 100) % 100); found < 2 && year > today.year() - 300;
         year -= 100) {
        const QDate d(year, int(month) + 1, day);
        if (d.isValid() && d <= today)
            candidates[found++] = d;
    }
    if (!found)
        return std::nullopt;
    r.birthDate = candidates[0];
    // The century in which the place code was in use, when only the older fits.
    if (found == 2 && !table.onDay(r.placeCode, candidates[0]) && table.onDay(r.placeCode, candidates[1]))
        r.birthDate = candidates[1];

    const auto history = table.history(r.placeCode);
    r.placeThen = table.onDay(r.placeCode, r.birthDate);
    if (r.placeThen) {
        r.place = history.back().current() ? &history.back() : r.placeThen;
    } else if (!history.empty()) {
        r.known = &history.front();
        for (const CadastralPlace &p : history)
            if (p.to.isValid() && p.to < r.birthDate)
                r.known = &p;
    }
    return r;
}

PlaceChoice choosePlace(QStringView typed, QDate birthDate, const CadastralTable &table)
{
    QString name, province;
    splitPlaceLabel(typed, name, province);
    const auto found = table.byName(name, province, birthDate);
    QList<const CadastralPlace *> inUse;
    for (const CadastralPlace *p : found)
        if (table.onDay(p->code, birthDate))
            inUse << p;
    if (inUse.isEmpty())
        return {QString(), found.isEmpty()
                               ? u"Luogo di nascita non trovato: sceglierlo dall'elenco che compare mentre si "
                                 u"scrive."_s
                               : u"Il luogo di nascita indicato non aveva un codice alla data di nascita."_s};
    if (inUse.size() > 1 && province.isEmpty())
        return {QString(), u"Più comuni hanno questo nome: indicare anche la provincia, scegliendo dall'elenco."_s};
    return {inUse.first()->code, QString()};
}

QString fiscalCodeLetters(QStringView text, bool givenNames)
{
    const QString letters = plainLetters(text);
    QString consonants, vowels;
    for (QChar c : letters)
        (isVowel(c) ? vowels : consonants) += c;
    if (givenNames && consonants.size() > 3)
        return QString(consonants[0]) + consonants[2] + consonants[3];
    return QString(consonants + vowels + u"XXX"_s).left(3);
}

QString computeFiscalCode(const FiscalCodeInput &in)
{
    if (plainLetters(in.surname).isEmpty() || plainLetters(in.givenNames).isEmpty())
        return {};
    const QChar sex = in.sex.toUpper();
    if ((sex != u'M' && sex != u'F') || !in.birthDate.isValid())
        return {};
    const QString place = in.placeCode.toUpper();
    if (place.size() != 4 || !isAZ(place[0]) || !is09(place[1]) || !is09(place[2]) || !is09(place[3]))
        return {};
    QString code = fiscalCodeLetters(in.surname, false) + fiscalCodeLetters(in.givenNames, true);
    code += u"%1"_s.arg(in.birthDate.year() % 100, 2, 10, QChar(u'0'));
    code += kMonths[in.birthDate.month() - 1];
    code += u"%1"_s.arg(in.birthDate.day() + (sex == u'F' ? 40 : 0), 2, 10, QChar(u'0'));
    code += place;
    code += CodFiscCarattereControllo(code);
    return code;
}

void splitPatientName(QStringView full, QString &surname, QString &givenNames)
{
    // Particles that open a surname, compared without case.
    static const QStringList particles = {
        u"DE"_s,  u"DI"_s,   u"DA"_s,    u"DEL"_s,   u"DELLA"_s, u"DELLE"_s, u"DELLO"_s, u"DEI"_s,
        u"DEGLI"_s, u"DAL"_s, u"DALLA"_s, u"DALLE"_s, u"DALLO"_s, u"LO"_s,   u"LA"_s,    u"LE"_s,
        u"LI"_s,  u"VAN"_s,  u"VON"_s,   u"DER"_s,   u"MC"_s,    u"MAC"_s,   u"SAN"_s,   u"SANTA"_s,
        u"SANT'"_s, u"D'"_s, u"DELL'"_s, u"DALL'"_s, u"L'"_s,
    };
    const QStringList words = full.toString().simplified().split(u' ', Qt::SkipEmptyParts);
    qsizetype taken = 0;
    QString sur;
    while (taken < words.size()) {
        const QString &w = words[taken];
        sur += (sur.isEmpty() ? QString() : u" "_s) + w;
        ++taken;
        const QString upper = w.toUpper();
        const bool particle = particles.contains(upper);
        // "D'Angelo" in one word is a whole surname; "D' Angelo" goes on.
        if (!particle || taken == words.size())
            break;
    }
    surname = sur;
    givenNames = words.sliced(taken).join(u' ');
}

QDate parseCardDate(QStringView text)
{
    const QString t = text.trimmed().toString();
    QStringList parts = t.split(u'/');
    if (parts.size() != 3)
        parts = t.split(u'.');
    if (parts.size() != 3)
        parts = t.split(u'-');
    if (parts.size() != 3 || parts[2].size() != 4)
        return {};
    bool okD = false, okM = false, okY = false;
    const int d = parts[0].toInt(&okD), m = parts[1].toInt(&okM), y = parts[2].toInt(&okY);
    if (!okD || !okM || !okY || parts[0].size() > 2 || parts[1].size() > 2)
        return {};
    return QDate(y, m, d);
}

} // namespace clinora
