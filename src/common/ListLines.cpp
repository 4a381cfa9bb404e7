#include "common/ListLines.h"

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

} // namespace

// Out of line: one place makes it for every user of the class.
ListLines::~ListLines() = default;

void ListLines::reserve(qsizetype lines, qsizetype bytes)
{
    m_ends.reserve(size_t(lines));
    if (bytes > m_bytes.size()) {
        QByteArray bigger(bytes, Qt::Uninitialized);
        std::memcpy(bigger.data(), m_bytes.constData(), size_t(m_used));
        m_bytes = std::move(bigger);
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
    struct Keyed {
        quint64 high, low; // the first kPacked ranks
        quint32 index;     // the order added, which settles equal lines
    };
    std::vector<Keyed> keyed;
    keyed.reserve(m_ends.size());
    for (size_t k = 0; k < m_ends.size(); ++k) {
        const quint32 begin = k == 0 ? 0 : m_ends[k - 1];
        const auto *p = reinterpret_cast<const unsigned char *>(m_bytes.constData()) + begin;
        const quint32 n = m_ends[k] - begin;
        quint64 packed[2] = {0, 0};
        for (quint32 c = 0; c < quint32(kPacked) && c < n; ++c)
            packed[c / 8] |= quint64(rank[p[c]]) << (8 * (7 - c % 8));
        keyed.push_back({packed[0], packed[1], quint32(k)});
    }
    const auto *bytes = reinterpret_cast<const unsigned char *>(m_bytes.constData());
    std::sort(keyed.begin(), keyed.end(), [&](const Keyed &a, const Keyed &b) {
        if (a.high != b.high)
            return a.high < b.high;
        if (a.low != b.low)
            return a.low < b.low;
        // The first characters are the same: the rest decides, then the order added.
        const quint32 ab = a.index == 0 ? 0 : m_ends[a.index - 1];
        const quint32 bb = b.index == 0 ? 0 : m_ends[b.index - 1];
        const quint32 an = m_ends[a.index] - ab, bn = m_ends[b.index] - bb;
        const quint32 n = std::min(an, bn);
        const unsigned char *x = bytes + ab, *y = bytes + bb;
        for (quint32 c = kPacked; c < n;) {
            // Equal bytes have equal ranks: runs of them are passed eight at a time.
            quint64 wx, wy;
            if (c + 8 <= n) {
                std::memcpy(&wx, x + c, 8);
                std::memcpy(&wy, y + c, 8);
                if (wx == wy) {
                    c += 8;
                    continue;
                }
            }
            const quint8 rx = rank[x[c]], ry = rank[y[c]];
            if (rx != ry)
                return rx < ry;
            ++c;
        }
        if (an != bn)
            return an < bn;
        return a.index < b.index;
    });
    m_order.resize(keyed.size());
    for (size_t i = 0; i < keyed.size(); ++i)
        m_order[i] = keyed[i].index;
}

} // namespace clinora
