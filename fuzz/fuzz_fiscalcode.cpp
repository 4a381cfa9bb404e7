// The fiscal-code reader over arbitrary text, the place chooser of the
// calculator, and the reader of a cadastral table.
//
// Input: the first 15 bytes are a code's first 15 characters (its check
// character is then computed, so that most inputs get past it), the next two
// move "today" back by up to 40,000 days, and the rest is both a place typed
// in the calculator (its first line) and a cadastral table.
#include "checks/CodiceFiscale.h"
#include "checks/CodiciCatastali.h"
#include "checks/DatiCodiceFiscale.h"

#include <QByteArrayView>
#include <QString>

#include <algorithm>
#include <cstdlib>

using namespace clinora;

namespace {

void check(bool ok)
{
    if (!ok)
        std::abort();
}

// What a reading says must hold whatever the code.
void checkReading(const QString &code, QDate today, const CadastralTable &table)
{
    const auto r = readFiscalCode(code, today, table);
    if (!r)
        return;
    check(CodFiscValido(code));
    check(r->birthDate.isValid() && r->birthDate <= today && r->birthDate > today.addYears(-200));
    check(r->sex == u'M' || r->sex == u'F');
    check(r->placeCode.size() == 4);
    // At most one of: a place, a known code out of use, an unknown code.
    check(!(r->place && r->known));
    check(bool(r->place) == bool(r->placeThen));
    if (r->placeThen)
        check(r->placeThen->code == r->placeCode && r->placeThen->inUseOn(r->birthDate));
    if (r->place)
        check(r->place->code == r->placeCode && (r->place->current() || r->place == r->placeThen));
    const QString s = r->sentence();
    check(s.startsWith(QStringLiteral("Nato/a il ") + r->dateText()));
    // The code computed back from what was read has the same date, sex and place.
    const QString again = computeFiscalCode({QStringLiteral("Rossi"), QStringLiteral("Mario"), r->sex,
                                             r->birthDate, r->placeCode});
    if (!again.isEmpty() && !r->omocodia)
        check(QStringView(again).sliced(6, 9) == QStringView(code).sliced(6, 9));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    static const QDate kToday(2026, 12, 10);
    const int back = size >= 17 ? (uint8_t(bytes[15]) << 8 | uint8_t(bytes[16])) % 40000 : 0;
    const QDate today = kToday.addDays(-back);

    const QString first15 = QString::fromLatin1(bytes.first(std::min<qsizetype>(15, bytes.size()))).toUpper();
    const QChar control = CodFiscCarattereControllo(first15);
    const CadastralTable &shipped = CadastralTable::instance();
    checkReading(first15 + (control.isNull() ? QChar(u'A') : control), today, shipped);
    checkReading(QString::fromLatin1(bytes.first(std::min<qsizetype>(16, bytes.size()))), today, shipped);

    const QByteArrayView rest = size > 17 ? bytes.sliced(17) : QByteArrayView();
    // A table read from anything: sorted, each code's periods together.
    const CadastralTable table = CadastralTable::parse(rest);
    for (qsizetype i = 1; i < table.size(); ++i)
        check(table.places()[size_t(i - 1)].code <= table.places()[size_t(i)].code);
    for (const CadastralPlace &p : table.places()) {
        check(p.code.size() == 4 && p.province.size() == 2);
        const auto h = table.history(p.code);
        check(!h.empty() && &h.front() <= &p && &p <= &h.back());
        check(table.byCode(p.code) == &h.back());
    }
    if (table.size() > 0)
        checkReading(first15 + (control.isNull() ? QChar(u'A') : control), today, table);

    // The place typed, against both tables: a code only where it was in use.
    const qsizetype lineEnd = rest.indexOf('\n');
    const QString typed = QString::fromUtf8(lineEnd < 0 ? rest : rest.first(lineEnd));
    for (const CadastralTable *t : {&shipped, &table}) {
        const PlaceChoice c = choosePlace(typed, today, *t);
        check(c.code.isEmpty() != c.note.isEmpty());
        if (!c.code.isEmpty())
            check(t->onDay(c.code, today) != nullptr);
    }
    QString name, province;
    splitPlaceLabel(typed, name, province);
    check(province.isEmpty() || province.size() == 2);
    return 0;
}
