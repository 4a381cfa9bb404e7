#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <vector>

// The lines of a list as a reading command makes them from an archive:
// Windows-1252 bytes one after another in a single block, sorted once in the
// order of every list (ListOrder.h). However many lines there are, they cost
// about their own bytes; a line becomes a text only when it is shown, found
// or printed.
namespace clinora {

class ListLines {
public:
    ListLines() = default;
    ListLines(const ListLines &) = default;
    ListLines(ListLines &&) noexcept = default;
    ListLines &operator=(const ListLines &) = default;
    // The block of lines replaced is kept for the next list (SpareMemory.h).
    ListLines &operator=(ListLines &&other) noexcept;
    ~ListLines();

    // Room for `lines` lines of `bytes` bytes in all.
    void reserve(qsizetype lines, qsizetype bytes);
    // Adds a line after the others.
    void append(QByteArrayView line);
    // Adds the lines of `other` after these, in their order.
    void append(ListLines &&other);
    // Room after the others for a line of at most `most` bytes, to be
    // written in place; endLine() then adds it, `length` bytes long.
    char *lineRoom(qsizetype most);
    void endLine(qsizetype length);

    qsizetype size() const { return qsizetype(m_ends.size()); }
    bool isEmpty() const { return m_ends.empty(); }
    // Line `i`, in list order once sorted (in the order added before).
    QByteArrayView bytesAt(qsizetype i) const;
    QString at(qsizetype i) const;
    // The length of the longest line, in characters.
    qsizetype longest() const { return m_longest; }
    QStringList toStringList() const;

    // Sorts the lines in the order of every list: character codes compared
    // one by one with a-z taken as A-Z, a line that begins another first;
    // equal lines keep the order they were added in.
    void sort();

private:
    qsizetype added(qsizetype i) const { return m_order.empty() ? i : qsizetype(m_order[size_t(i)]); }

    QByteArray m_bytes;   // the lines, then room for more
    qsizetype m_used = 0; // the bytes of m_bytes the lines take
    std::vector<quint32> m_ends;  // where each line ends in m_bytes, in the order added
    std::vector<quint32> m_order; // after sorting: the added line at each place
    qsizetype m_longest = 0;
};

} // namespace clinora
