#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <initializer_list>
#include <span>
#include <vector>

// A fixed-size record of ShortText fields: each field is one length byte L
// followed by its capacity N of Windows-1252 bytes, of which the first L are
// the text. Fields follow one another with no padding.
namespace clinora {

struct FieldDef {
    const char *name;
    int offset;
    int capacity;
};

class RecordLayout {
public:
    // Offsets follow from the capacities, in order.
    RecordLayout(std::initializer_list<std::pair<const char *, int>> fields);

    int size() const { return m_size; }
    int fieldCount() const { return int(m_fields.size()); }
    const FieldDef &field(int i) const { return m_fields[size_t(i)]; }
    std::span<const FieldDef> fields() const { return m_fields; }

private:
    std::vector<FieldDef> m_fields;
    int m_size = 0;
};

class FixedRecord {
public:
    explicit FixedRecord(const RecordLayout &layout);
    // A copy owns its bytes, even of a record shown in place.
    FixedRecord(const FixedRecord &other);
    FixedRecord &operator=(const FixedRecord &other);
    FixedRecord(FixedRecord &&) noexcept = default;
    FixedRecord &operator=(FixedRecord &&) noexcept = default;
    ~FixedRecord() = default;

    const RecordLayout &layout() const { return *m_layout; }

    // The field's text as stored, decoded; a length byte above the field's
    // capacity (a damaged or foreign file) is read as the capacity.
    QString rawText(int field) const;
    // As the screens see it: decoded, leading and trailing blanks removed.
    QString text(int field) const;
    // Trimmed, encoded and cut to the capacity; the bytes after the text are
    // left as they were.
    void setText(int field, QStringView value);

    // The stored length of a field, clamped to its capacity.
    int length(int field) const;
    // The field's stored bytes without the leading and trailing ones up to
    // code 32 (Windows-1252 maps each of them to the same blank): the text
    // that text() decodes, for readers that work on the bytes.
    QByteArrayView trimmedBytes(int field) const;

    const QByteArray &bytes() const { return m_bytes; }
    QByteArray &bytes()
    {
        own();
        return m_bytes;
    }
    // Takes a whole record's bytes; false when the size does not match.
    bool assign(QByteArrayView bytes);
    void clear();

    // Shows a whole record's bytes where they lie, without copying them,
    // for a reader that looks at one record at a time: they must outlive
    // every use of this record until it is changed or shown another.
    void showInPlace(QByteArrayView bytes);

private:
    // Copies bytes shown in place, before they are changed or kept.
    void own();

    const RecordLayout *m_layout;
    QByteArray m_bytes;
    bool m_inPlace = false;
};

} // namespace clinora
