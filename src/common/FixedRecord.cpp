#include "common/FixedRecord.h"

#include "common/Text.h"

#include <algorithm>
#include <cstring>

namespace clinora {

RecordLayout::RecordLayout(std::initializer_list<std::pair<const char *, int>> fields)
{
    m_fields.reserve(fields.size());
    for (const auto &[name, capacity] : fields) {
        m_fields.push_back({name, m_size, capacity});
        m_size += capacity + 1;
    }
}

FixedRecord::FixedRecord(const RecordLayout &layout)
    : m_layout(&layout), m_bytes(layout.size(), '\0')
{
}

FixedRecord::FixedRecord(const FixedRecord &other)
    : m_layout(other.m_layout),
      m_bytes(other.m_inPlace ? QByteArray(other.m_bytes.constData(), other.m_bytes.size()) : other.m_bytes)
{
}

FixedRecord &FixedRecord::operator=(const FixedRecord &other)
{
    if (this != &other) {
        m_layout = other.m_layout;
        m_bytes = other.m_inPlace ? QByteArray(other.m_bytes.constData(), other.m_bytes.size()) : other.m_bytes;
        m_inPlace = false;
    }
    return *this;
}

void FixedRecord::showInPlace(QByteArrayView bytes)
{
    m_bytes = QByteArray::fromRawData(bytes.data(), bytes.size());
    m_inPlace = true;
}

void FixedRecord::own()
{
    if (!m_inPlace)
        return;
    m_bytes = QByteArray(m_bytes.constData(), m_bytes.size());
    m_inPlace = false;
}

int FixedRecord::length(int field) const
{
    const FieldDef &f = m_layout->field(field);
    const int stored = static_cast<unsigned char>(m_bytes[f.offset]);
    return std::min(stored, f.capacity);
}

QByteArrayView FixedRecord::trimmedBytes(int field) const
{
    const FieldDef &f = m_layout->field(field);
    const char *p = m_bytes.constData() + f.offset + 1;
    int b = 0, e = length(field);
    while (b < e && static_cast<unsigned char>(p[b]) <= 32)
        ++b;
    while (e > b && static_cast<unsigned char>(p[e - 1]) <= 32)
        --e;
    return QByteArrayView(p + b, e - b);
}

QString FixedRecord::rawText(int field) const
{
    const FieldDef &f = m_layout->field(field);
    return text::fromCp1252(QByteArrayView(m_bytes.constData() + f.offset + 1, length(field)));
}

QString FixedRecord::text(int field) const
{
    const FieldDef &f = m_layout->field(field);
    const char *p = m_bytes.constData() + f.offset + 1;
    int b = 0, e = length(field);
    // Trim on the bytes first: Windows-1252 maps every byte up to 32 to itself.
    while (b < e && static_cast<unsigned char>(p[b]) <= 32)
        ++b;
    while (e > b && static_cast<unsigned char>(p[e - 1]) <= 32)
        --e;
    if (b == e)
        return QString();
    return text::fromCp1252(QByteArrayView(p + b, e - b));
}

void FixedRecord::setText(int field, QStringView value)
{
    own();
    const FieldDef &f = m_layout->field(field);
    char *p = m_bytes.data() + f.offset;
    const int n = text::encodeCp1252(text::trimmedView(value), p + 1, f.capacity);
    p[0] = static_cast<char>(n);
}

bool FixedRecord::assign(QByteArrayView bytes)
{
    if (bytes.size() != m_layout->size())
        return false;
    own();
    std::memcpy(m_bytes.data(), bytes.data(), size_t(bytes.size()));
    return true;
}

void FixedRecord::clear()
{
    own();
    m_bytes.fill('\0');
}

} // namespace clinora
