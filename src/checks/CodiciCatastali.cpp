#include "checks/CodiciCatastali.h"

#include <QFile>

#include <algorithm>

using namespace Qt::StringLiterals;

static void initCadastralResource()
{
    // The table is compiled into the core library, which is static.
    Q_INIT_RESOURCE(cadastral);
}

namespace clinora {

namespace {

QDate parseDay(QByteArrayView d)
{
    if (d.size() != 8)
        return {};
    int v[3] = {0, 0, 0};
    const int widths[3] = {4, 2, 2};
    qsizetype at = 0;
    for (int part = 0; part < 3; ++part)
        for (int i = 0; i < widths[part]; ++i, ++at) {
            const char c = d[at];
            if (c < '0' || c > '9')
                return {};
            v[part] = v[part] * 10 + (c - '0');
        }
    return QDate(v[0], v[1], v[2]);
}

} // namespace

bool CadastralPlace::inUseOn(QDate day) const
{
    if (!day.isValid())
        return true;
    return (!from.isValid() || from <= day) && (!to.isValid() || day <= to);
}

QString CadastralPlace::label() const { return name + u" ("_s + province + u')'; }

CadastralTable CadastralTable::parse(QByteArrayView utf8)
{
    CadastralTable t;
    t.m_places.reserve(size_t(utf8.count('\n')) + 1);
    qsizetype start = 0;
    QByteArrayView lastName;
    while (start < utf8.size()) {
        qsizetype end = utf8.indexOf('\n', start);
        if (end < 0)
            end = utf8.size();
        const QByteArrayView line = utf8.sliced(start, end - start);
        start = end + 1;
        QByteArrayView parts[5];
        int n = 0;
        qsizetype from = 0;
        for (; n < 5; ++n) {
            const qsizetype semi = n < 4 ? line.indexOf(';', from) : line.size();
            if (semi < 0)
                break;
            parts[n] = line.sliced(from, semi - from);
            from = semi + 1;
        }
        if (n < 5 || parts[0].size() != 4 || parts[1].isEmpty() || parts[2].size() != 2)
            continue;
        CadastralPlace p;
        p.code = QString::fromLatin1(parts[0]);
        p.province = QString::fromLatin1(parts[2]);
        p.from = parseDay(parts[3]);
        p.to = parseDay(parts[4]);
        // The periods of one code mostly share a name: decode and reduce it once.
        const CadastralPlace *previous = t.m_places.empty() ? nullptr : &t.m_places.back();
        if (previous && previous->code == p.code && parts[1] == lastName) {
            p.name = previous->name;
            p.key = previous->key;
        } else {
            p.name = QString::fromUtf8(parts[1]);
            p.key = placeKey(p.name);
            lastName = parts[1];
        }
        t.m_places.push_back(std::move(p));
    }
    // The file comes sorted; a table from elsewhere is sorted here.
    const auto before = [](const CadastralPlace &a, const CadastralPlace &b) {
        if (a.code != b.code)
            return a.code < b.code;
        return a.from.isValid() ? b.from.isValid() && a.from < b.from : b.from.isValid();
    };
    if (!std::is_sorted(t.m_places.begin(), t.m_places.end(), before))
        std::stable_sort(t.m_places.begin(), t.m_places.end(), before);
    return t;
}

CadastralTable CadastralTable::load()
{
    initCadastralResource();
    QFile f(u":/checks/CodiciCatastali.txt"_s);
    return f.open(QIODevice::ReadOnly) ? parse(f.readAll()) : CadastralTable();
}

const CadastralTable &CadastralTable::instance()
{
    static const CadastralTable table = load();
    return table;
}

std::span<const CadastralPlace> CadastralTable::history(QStringView code) const
{
    const auto first = std::lower_bound(m_places.begin(), m_places.end(), code,
                                        [](const CadastralPlace &p, QStringView c) { return QStringView(p.code) < c; });
    auto last = first;
    while (last != m_places.end() && last->code == code)
        ++last;
    return {first, last};
}

const CadastralPlace *CadastralTable::byCode(QStringView code) const
{
    const auto h = history(code);
    return h.empty() ? nullptr : &h.back();
}

const CadastralPlace *CadastralTable::onDay(QStringView code, QDate day) const
{
    for (const CadastralPlace &p : history(code))
        if (p.inUseOn(day))
            return &p;
    return nullptr;
}

QList<const CadastralPlace *> CadastralTable::byName(QStringView name, QStringView province, QDate day) const
{
    const QString key = placeKey(name);
    QList<const CadastralPlace *> found;
    if (key.isEmpty())
        return found;
    for (auto p = m_places.begin(); p != m_places.end(); ++p) {
        if (p->key != key || !(province.isEmpty() || p->province == province))
            continue;
        // The code once, by its last period.
        auto last = p;
        while (last + 1 != m_places.end() && (last + 1)->code == p->code)
            ++last;
        found << &*last;
        p = last;
    }
    std::stable_sort(found.begin(), found.end(), [this, day](const CadastralPlace *a, const CadastralPlace *b) {
        return onDay(a->code, day) && !onDay(b->code, day);
    });
    return found;
}

QStringList CadastralTable::labels() const
{
    QStringList out;
    out.reserve(size());
    for (auto p = m_places.begin(); p != m_places.end(); ++p) {
        auto last = p;
        while (last + 1 != m_places.end() && (last + 1)->code == p->code)
            ++last;
        out << last->label();
        for (; p != last; ++p)
            if (p->key != last->key)
                out << p->name + u" ("_s + last->province + u')';
    }
    out.sort(Qt::CaseInsensitive);
    out.removeDuplicates();
    return out;
}

QString placeKey(QStringView name)
{
    const QString decomposed = name.toString().normalized(QString::NormalizationForm_D);
    QString out;
    out.reserve(decomposed.size());
    bool blank = false;
    for (QChar c : decomposed) {
        if (c.category() == QChar::Mark_NonSpacing)
            continue;
        if (c.isLetterOrNumber()) {
            if (blank && !out.isEmpty())
                out += u' ';
            blank = false;
            out += c.toUpper();
        } else {
            blank = true; // blanks, apostrophes, hyphens, dots
        }
    }
    return out;
}

void splitPlaceLabel(QStringView label, QString &name, QString &province)
{
    const QStringView t = label.trimmed();
    const qsizetype n = t.size();
    if (n >= 5 && t[n - 1] == u')' && t[n - 4] == u'(' && t[n - 2].isLetter() && t[n - 3].isLetter()) {
        name = t.first(n - 4).trimmed().toString();
        province = t.sliced(n - 3, 2).toString().toUpper();
        return;
    }
    name = t.toString();
    province.clear();
}

} // namespace clinora
