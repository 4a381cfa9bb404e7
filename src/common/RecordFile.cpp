#include "common/RecordFile.h"

#include "common/SpareMemory.h"

#include <QCryptographicHash>
#include <QtEndian>

#include <algorithm>
#include <cstring>

namespace clinora {

namespace {

// Journal: "CLNJ", version, record size, record number, the new record, and
// a SHA-256 of everything before it.
constexpr char kJournalMagic[4] = {'C', 'L', 'N', 'J'};
constexpr quint32 kJournalVersion = 1;
constexpr int kJournalHeader = 4 + 4 + 4 + 8;
constexpr int kJournalHash = 32;

QByteArray journalBytes(int size, qint64 k, const QByteArray &record)
{
    QByteArray j(kJournalHeader, '\0');
    std::memcpy(j.data(), kJournalMagic, 4);
    qToLittleEndian<quint32>(kJournalVersion, j.data() + 4);
    qToLittleEndian<quint32>(quint32(size), j.data() + 8);
    qToLittleEndian<quint64>(quint64(k), j.data() + 12);
    j += record;
    j += QCryptographicHash::hash(j, QCryptographicHash::Sha256);
    return j;
}

} // namespace

RecordFile::RecordFile(int recordSize) : m_size(recordSize) {}

QString RecordFile::journalPath(const QString &archivePath) { return archivePath + QStringLiteral(".jrn"); }

RecordFile::~RecordFile()
{
    if (m_file.isOpen())
        m_file.close();
    spare::keepBytes(std::move(m_chunk));
}

IoResult RecordFile::fail(IoError e)
{
    if (m_file.isOpen())
        m_file.close();
    m_count = 0;
    m_current = 0;
    m_chunkCount = 0;
    return {e};
}

IoResult RecordFile::open(const QString &path)
{
    if (m_file.isOpen())
        m_file.close();
    m_file.setFileName(path);
    m_count = 0;
    m_current = 0;
    m_chunkCount = 0;
    if (io::injectFault(io::Op::Open, path))
        return {IoError::Open};
    // ReadWrite creates a missing file, and fails without touching an
    // existing one that may not be written.
    if (!m_file.open(QIODevice::ReadWrite))
        return {IoError::Open};
    m_count = m_file.size() / m_size;
    if (QFile::exists(journalPath(path)))
        return replayJournal();
    return {};
}

IoResult RecordFile::replayJournal()
{
    const QString jpath = journalPath(m_file.fileName());
    QFile j(jpath);
    if (io::injectFault(io::Op::Open, jpath) || !j.open(QIODevice::ReadOnly))
        return fail(IoError::Open);
    if (io::injectFault(io::Op::Read, jpath))
        return fail(IoError::Read);
    const QByteArray bytes = j.read(kJournalHeader + m_size + kJournalHash + 1);
    if (j.error() != QFileDevice::NoError)
        return fail(IoError::Read);
    j.close();
    const bool whole = bytes.size() == kJournalHeader + m_size + kJournalHash
                       && std::memcmp(bytes.constData(), kJournalMagic, 4) == 0
                       && qFromLittleEndian<quint32>(bytes.constData() + 4) == kJournalVersion
                       && qFromLittleEndian<quint32>(bytes.constData() + 8) == quint32(m_size)
                       && QCryptographicHash::hash(QByteArrayView(bytes).first(kJournalHeader + m_size),
                                                   QCryptographicHash::Sha256)
                              == QByteArrayView(bytes).last(kJournalHash);
    if (whole) {
        // The rewrite may have stopped half-way: finish it.
        const qint64 k = qint64(qFromLittleEndian<quint64>(bytes.constData() + 12));
        if (k >= 1 && k <= m_count) {
            const IoResult r = writeAt(k, bytes.mid(kJournalHeader, m_size));
            if (!r)
                return fail(r.error);
        }
    }
    // A journal cut short was written before the archive was touched: drop
    // it. One that cannot be removed is replayed again, to the same effect.
    (void)io::removeFile(jpath);
    m_current = 0;
    return {};
}

IoResult RecordFile::writeJournal(qint64 k, const QByteArray &record)
{
    const QString jpath = journalPath(m_file.fileName());
    IoError error = IoError::None;
    {
        QFile j(jpath);
        if (io::injectFault(io::Op::Open, jpath) || !j.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return fail(IoError::Open);
        if (!io::writeAll(j, journalBytes(m_size, k, record)))
            error = IoError::Write;
        else if (io::injectFault(io::Op::Flush, jpath) || !j.flush())
            error = IoError::Flush;
        else if (!io::syncToDisk(j))
            error = IoError::Sync;
        else if (io::injectFault(io::Op::Close, jpath))
            error = IoError::Close;
        j.close();
        if (error == IoError::None && j.error() != QFileDevice::NoError)
            error = IoError::Close;
    }
    if (error == IoError::None)
        return {};
    // The archive is untouched: a journal left behind, even a whole one,
    // would make the next open apply a save that was reported failed.
    (void)io::removeFile(jpath);
    return fail(error);
}

IoResult RecordFile::read(qint64 k, QByteArray &out)
{
    if (!m_file.isOpen())
        return {IoError::NotOpen};
    if (k < 1 || k > m_count)
        return {IoError::Range};
    if (!m_file.seek((k - 1) * m_size))
        return fail(IoError::Seek);
    m_current = k - 1;
    bool end = false;
    const IoResult r = readNext(out, end);
    if (r && end)
        return fail(IoError::Read);
    return r;
}

IoResult RecordFile::readNext(QByteArray &out, bool &end)
{
    QByteArrayView record;
    const IoResult r = readNextInPlace(record, end);
    if (r && !end) {
        out.resize(record.size());
        std::memcpy(out.data(), record.data(), size_t(record.size()));
    }
    return r;
}

void RecordFile::startAt(qint64 number) { m_current = std::clamp<qint64>(number - 1, 0, m_count); }

IoResult RecordFile::readNextInPlace(QByteArrayView &out, bool &end)
{
    end = false;
    out = {};
    if (!m_file.isOpen())
        return {IoError::NotOpen};
    if (m_current >= m_count) {
        end = true;
        return {};
    }
    // Checked for every record, so without making the file's name when no test listens.
    if (io::faultHookInstalled() && io::injectFault(io::Op::Read, m_file.fileName()))
        return fail(IoError::Read);
    if (m_current < m_chunkFirst || m_current >= m_chunkFirst + m_chunkCount) {
        // Read ahead a few hundred kilobytes of whole records at once.
        const qint64 most = std::max<qint64>(1, (256 * 1024) / m_size);
        const qint64 wanted = std::min<qint64>(m_count - m_current, most);
        if (m_chunk.size() < most * m_size)
            m_chunk = spare::takeBytes(most * m_size);
        m_chunkCount = 0;
        // Reading on from the last chunk needs no seek (a call to the system each).
        if (m_file.pos() != m_current * m_size && !m_file.seek(m_current * m_size))
            return fail(IoError::Seek);
        if (m_file.read(m_chunk.data(), wanted * m_size) != wanted * m_size)
            return fail(IoError::Read);
        m_chunkFirst = m_current;
        m_chunkCount = wanted;
    }
    out = QByteArrayView(m_chunk.constData() + (m_current - m_chunkFirst) * m_size, m_size);
    ++m_current;
    return {};
}

IoResult RecordFile::writeAt(qint64 k, const QByteArray &record)
{
    if (record.size() != m_size)
        return {IoError::Range};
    const QString &path = m_file.fileName();
    m_chunkCount = 0; // the chunk may hold the record being replaced
    if (!m_file.seek((k - 1) * m_size))
        return {IoError::Seek};
    if (!io::writeAll(m_file, record))
        return {IoError::Write};
    // A save is reported only once it has reached the disk.
    if (io::injectFault(io::Op::Flush, path) || !m_file.flush())
        return {IoError::Flush};
    if (!io::syncToDisk(m_file))
        return {IoError::Sync};
    m_current = k;
    return {};
}

IoResult RecordFile::write(qint64 k, const QByteArray &record)
{
    if (!m_file.isOpen())
        return {IoError::NotOpen};
    if (k < 1 || k > m_count)
        return {IoError::Range};
    if (record.size() != m_size)
        return {IoError::Range};
    if (const IoResult r = writeJournal(k, record); !r)
        return r;
    if (const IoResult r = writeAt(k, record); !r) {
        // The record may be half-written: the journal stays, and the next
        // open finishes the rewrite from it.
        return fail(r.error);
    }
    // Once the record is on the disk the journal holds nothing new; one that
    // cannot be removed is replayed to the same bytes.
    (void)io::removeFile(journalPath(m_file.fileName()));
    return {};
}

IoResult RecordFile::append(const QByteArray &record, qint64 *newNumber)
{
    if (!m_file.isOpen())
        return {IoError::NotOpen};
    // Written at count * size: over a trailing fragment, if there is one.
    if (const IoResult r = writeAt(m_count + 1, record); !r) {
        // A save reported failed leaves no record behind, whole or in part:
        // saving again would store the card twice.
        if (!io::injectFault(io::Op::Write, m_file.fileName()))
            (void)m_file.resize(m_count * m_size);
        return fail(r.error);
    }
    ++m_count;
    if (newNumber)
        *newNumber = m_count;
    return {};
}

IoResult RecordFile::close()
{
    if (!m_file.isOpen())
        return {};
    const bool injected = io::injectFault(io::Op::Close, m_file.fileName());
    m_file.close();
    m_count = 0;
    m_current = 0;
    if (injected || m_file.error() != QFileDevice::NoError)
        return {IoError::Close};
    return {};
}

} // namespace clinora
