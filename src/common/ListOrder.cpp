#include "common/ListOrder.h"

#include <algorithm>
#include <array>
#include <vector>

namespace clinora {

namespace {
constexpr char16_t upperAZ(char16_t c) { return (c >= u'a' && c <= u'z') ? char16_t(c - 32) : c; }
} // namespace

int compareListText(QStringView a, QStringView b)
{
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t x = upperAZ(a[i].unicode());
        const char16_t y = upperAZ(b[i].unicode());
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

void sortListLines(QStringList &lines)
{
    // Most lines differ within their first sixteen characters (the name):
    // those, folded and packed four to an integer, decide most comparisons
    // without touching the lines; the whole lines decide the rest. A missing
    // character packs as 0, below every other, so the packed order never
    // contradicts the lines' own.
    constexpr qsizetype kPacked = 16;
    struct Keyed {
        std::array<quint64, kPacked / 4> key;
        qsizetype index;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(size_t(lines.size()));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString &line = lines[i];
        Keyed k{{}, i};
        for (qsizetype c = 0; c < kPacked; ++c) {
            const quint64 code = c < line.size() ? upperAZ(line[c].unicode()) : 0;
            k.key[size_t(c / 4)] |= code << (16 * (3 - c % 4));
        }
        keyed.push_back(k);
    }
    std::stable_sort(keyed.begin(), keyed.end(), [&lines](const Keyed &a, const Keyed &b) {
        if (a.key != b.key)
            return a.key < b.key;
        const QString &x = lines[a.index];
        const QString &y = lines[b.index];
        if (x.size() < kPacked || y.size() < kPacked)
            return listLineLess(x, y);
        return listLineLess(QStringView(x).sliced(kPacked), QStringView(y).sliced(kPacked));
    });
    QStringList sorted;
    sorted.reserve(lines.size());
    for (const Keyed &k : keyed)
        sorted.append(std::move(lines[k.index]));
    lines = std::move(sorted);
}

} // namespace clinora
