#include "common/ListLines.h"

#include "common/SpareMemory.h"
#include "common/Text.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace clinora {

namespace {

// Each byte's place in the order of the lists: the rank of its character,
// with a-z taken as A-Z, among the characters of the code page. Rank 0 is
// below them all: it stands for a line that has ended.
const std::array<quint8, 256> &ranks()
{
    static const std::array<quint8, 256> table = [] {
        std::array<char16_t, 256> codes{};
        for (int b = 0; b < 256; ++b) {
            const char byte = char(b);
            const char16_t c = text::fromCp1252(QByteArrayView(&byte, 1)).at(0).unicode();
            codes[size_t(b)] = (c >= u'a' && c <= u'z') ? char16_t(c - 32) : c;
        }
        std::array<char16_t, 256> sorted = codes;
        std::sort(sorted.begin(), sorted.end());
        const auto last = std::unique(sorted.begin(), sorted.end());
        std::array<quint8, 256> r{};
        for (int b = 0; b < 256; ++b)
            r[size_t(b)] = quint8(1 + (std::lower_bound(sorted.begin(), last, codes[size_t(b)]) - sorted.begin()));
        return r;
    }();
    return table;
}

// The first characters of a line, ranked and packed so that comparing the
// numbers compares the characters.
constexpr int kPacked = 16;
// Lines that tie on them and are no more than this many are compared
// directly rather than packed again.
constexpr size_t kFewLines = 16;

} // namespace

ListLines::~ListLines() { spare::keepBytes(std::move(m_bytes)); }

ListLines &ListLines::operator=(ListLines &&other) noexcept
{
    if (this != &other) {
        spare::keepBytes(std::move(m_bytes));
        m_bytes = std::move(other.m_bytes);
        m_used = std::exchange(other.m_used, 0);
        m_ends = std::move(other.m_ends);
        m_order = std::move(other.m_order);
        m_longest = std::exchange(other.m_longest, 0);
    }
    return *this;
}

void ListLines::reserve(qsizetype lines, qsizetype bytes)
{
    m_ends.reserve(size_t(lines));
    if (bytes > m_bytes.size()) {
        QByteArray bigger = spare::takeBytes(bytes);
        text::putBytes(bigger.data(), QByteArrayView(m_bytes.constData(), m_used));
        spare::keepBytes(std::exchange(m_bytes, std::move(bigger)));
    }
}

char *ListLines::lineRoom(qsizetype most)
{
    if (m_used + most > m_bytes.size())
        reserve(qsizetype(m_ends.size()), std::max(2 * m_bytes.size(), m_used + most));
    return m_bytes.data() + m_used;
}

void ListLines::endLine(qsizetype length)
{
    m_used += length;
    m_ends.push_back(quint32(m_used));
    m_longest = std::max(m_longest, length);
    if (!m_order.empty())
        m_order.push_back(quint32(m_ends.size() - 1));
}

void ListLines::append(QByteArrayView line)
{
    text::putBytes(lineRoom(line.size()), line);
    endLine(line.size());
}

void ListLines::append(ListLines &&other)
{
    if (!other.m_order.empty() || !m_order.empty()) { // sorted already: line by line, in list order
        for (qsizetype i = 0; i < other.size(); ++i)
            append(other.bytesAt(i));
        return;
    }
    const quint32 offset = quint32(m_used);
    text::putBytes(lineRoom(other.m_used), QByteArrayView(other.m_bytes.constData(), other.m_used));
    m_used += other.m_used;
    m_ends.reserve(m_ends.size() + other.m_ends.size());
    for (const quint32 end : other.m_ends)
        m_ends.push_back(offset + end);
    m_longest = std::max(m_longest, other.m_longest);
    other = ListLines();
}

QByteArrayView ListLines::bytesAt(qsizetype i) const
{
    const size_t k = size_t(added(i));
    const quint32 begin = k == 0 ? 0 : m_ends[k - 1];
    return QByteArrayView(m_bytes.constData() + begin, m_ends[k] - begin);
}

QString ListLines::at(qsizetype i) const { return text::fromCp1252(bytesAt(i)); }

QStringList ListLines::toStringList() const
{
    QStringList out;
    out.reserve(size());
    for (qsizetype i = 0; i < size(); ++i)
        out.append(at(i));
    return out;
}

void ListLines::sort()
{
    const auto &rank = ranks();
    const auto *bytes = reinterpret_cast<const unsigned char *>(m_bytes.constData());
    struct Keyed {
        quint64 high, low; // kPacked ranks, from the place being compared on
        quint32 index;     // the order added, which settles equal lines
    };
    const auto beginOf = [&](quint32 k) { return k == 0 ? quint32(0) : m_ends[k - 1]; };
    const auto lengthOf = [&](quint32 k) { return m_ends[k] - beginOf(k); };
    // The ranks of a line's characters from `from` on; past its end, rank 0.
    const auto pack = [&](Keyed &e, quint32 from) {
        const unsigned char *p = bytes + beginOf(e.index);
        const quint32 n = lengthOf(e.index);
        quint64 packed[2] = {0, 0};
        for (quint32 c = 0; c < quint32(kPacked) && from + c < n; ++c)
            packed[c / 8] |= quint64(rank[p[from + c]]) << (8 * (7 - c % 8));
        e.high = packed[0];
        e.low = packed[1];
    };
    // Two lines compared from character `from` on: by the ranks of their
    // characters, then a line that ends first before the one that goes on.
    const auto compareFrom = [&](quint32 a, quint32 b, quint32 from) {
        const unsigned char *x = bytes + beginOf(a), *y = bytes + beginOf(b);
        const quint32 an = lengthOf(a), bn = lengthOf(b);
        const quint32 n = std::min(an, bn);
        for (quint32 c = from; c < n;) {
            // Equal bytes have equal ranks: runs of them are passed eight at a time.
            if (c + 8 <= n) {
                quint64 wx, wy;
                std::memcpy(&wx, x + c, 8);
                std::memcpy(&wy, y + c, 8);
                if (wx == wy) {
                    c += 8;
                    continue;
                }
            }
            if (rank[x[c]] != rank[y[c]])
                return rank[x[c]] < rank[y[c]] ? -1 : 1;
            ++c;
        }
        return an == bn ? 0 : (an < bn ? -1 : 1);
    };
    // Kept from one sort to the next, as the lines' own block is.
    static thread_local std::vector<Keyed> keyed;
    keyed.resize(m_ends.size());
    for (size_t k = 0; k < keyed.size(); ++k)
        keyed[k].index = quint32(k);

    // Sorted on their first kPacked characters, then each run of lines
    // that agree on them and go on past them on the next kPacked, and so
    // on: most lines are settled by their first characters, read in the
    // order they lie, and only the few that tie are looked at again.
    struct Run {
        size_t first, last;
        quint32 from;
    };
    std::vector<Run> runs{{0, keyed.size(), 0}};
    while (!runs.empty()) {
        const Run run = runs.back();
        runs.pop_back();
        if (run.last - run.first <= kFewLines) {
            // A few lines that tie: compared character by character from there on.
            std::sort(keyed.begin() + qsizetype(run.first), keyed.begin() + qsizetype(run.last),
                      [&](const Keyed &a, const Keyed &b) {
                          const int c = compareFrom(a.index, b.index, run.from);
                          return c != 0 ? c < 0 : a.index < b.index;
                      });
            continue;
        }
        for (size_t i = run.first; i < run.last; ++i)
            pack(keyed[i], run.from);
        std::sort(keyed.begin() + qsizetype(run.first), keyed.begin() + qsizetype(run.last),
                  [](const Keyed &a, const Keyed &b) {
                      if (a.high != b.high)
                          return a.high < b.high;
                      if (a.low != b.low)
                          return a.low < b.low;
                      return a.index < b.index;
                  });
        const quint32 next = run.from + quint32(kPacked);
        for (size_t i = run.first; i < run.last;) {
            size_t j = i + 1;
            bool goesOn = lengthOf(keyed[i].index) > next;
            while (j < run.last && keyed[j].high == keyed[i].high && keyed[j].low == keyed[i].low) {
                goesOn = goesOn || lengthOf(keyed[j].index) > next;
                ++j;
            }
            // Lines that all end within these characters are equal: the order added stands.
            if (j - i > 1 && goesOn)
                runs.push_back({i, j, next});
            i = j;
        }
    }
    m_order.resize(keyed.size());
    for (size_t i = 0; i < keyed.size(); ++i)
        m_order[i] = keyed[i].index;
}

} // namespace clinora
