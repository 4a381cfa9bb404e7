#include "common/RecordFile.h"

#include "common/SpareMemory.h"

#include <QCryptographicHash>
#include <QtEndian>

#include <algorithm>
#include <cstring>

namespace clinora {

namespace {

// Journal: "CLNJ", version, record size, record number, the archive's
// length when the journal was written, the record as it stood, the new
// record, and a SHA-256 of everything before it. The length and the record
// as it stood tie the journal to its archive: a journal is applied only to
// an archive that still has that length and whose record is, byte by byte,
// the old one, the new one, or a mixture of the two left by a cut write.
constexpr char kJournalMagic[4] = {'C', 'L', 'N', 'J'};
constexpr quint32 kJournalVersion = 2;
constexpr int kJournalHeader = 4 + 4 + 4 + 8 + 8;
constexpr int kJournalHash = 32;

QByteArray journalBytes(int size, qint64 k, qint64 archiveLength, const QByteArray &oldRecord,
                        const QByteArray &record)
{
    QByteArray j(kJournalHeader, '\0');
    std::memcpy(j.data(), kJournalMagic, 4);
    qToLittleEndian<quint32>(kJournalVersion, j.data() + 4);
    qToLittleEndian<quint32>(quint32(size), j.data() + 8);
    qToLittleEndian<quint64>(quint64(k), j.data() + 12);
    qToLittleEndian<quint64>(quint64(archiveLength), j.data() + 20);
    j += oldRecord;
    j += record;
    j += QCryptographicHash::hash(j, QCryptographicHash::Sha256);
    return j;
}

// Whether every byte of `disk` is the byte of `oldRecord` or of `newRecord` there.
bool mixtureOf(QByteArrayView disk, QByteArrayView oldRecord, QByteArrayView newRecord)
{
    if (disk.size() != oldRecord.size() || disk.size() != newRecord.size())
        return false;
    for (qsizetype i = 0; i < disk.size(); ++i)
        if (disk[i] != oldRecord[i] && disk[i] != newRecord[i])
            return false;
    return true;
}

} // namespace

RecordFile::RecordFile(int recordSize) : m_size(recordSize) {}

QString RecordFile::journalPath(const QString &archivePath) { return archivePath + QStringLiteral(".jrn"); }

QString RecordFile::foreignJournalPath(const QString &archivePath)
{
    const QString base = journalPath(archivePath) + QStringLiteral(".estraneo");
    QString candidate = base;
    for (int n = 2; QFile::exists(candidate); ++n)
        candidate = base + QString::number(n);
    return candidate;
}

RecordFile::~RecordFile()
{
    if (m_file.isOpen())
        m_file.close();
    m_lock.release();
    spare::keepBytes(std::move(m_chunk));
}

IoResult RecordFile::fail(IoError e)
{
    if (m_file.isOpen())
        m_file.close();
    m_lock.release();
    m_count = 0;
    m_current = 0;
    m_chunkCount = 0;
    return {e};
}

IoResult RecordFile::open(const QString &path, lock::Mode mode)
{
    if (m_file.isOpen())
        m_file.close();
    m_lock.release();
    m_file.setFileName(path);
    m_count = 0;
    m_current = 0;
    m_chunkCount = 0;
    if (io::injectFault(io::Op::Open, path))
        return {IoError::Open};
    // Locked before anything is looked at, so that the count and any
    // unfinished rewrite are those of a file nobody else is writing.
    switch (m_lock.acquire(path, mode)) {
    case lock::Outcome::Locked: break;
    case lock::Outcome::Busy: return {IoError::Busy};
    case lock::Outcome::Failed: return {IoError::Open};
    }
    // A missing file is created (the lock has made it already), and an
    // existing one that may not be written is left alone: the open fails. A
    // FIFO or a device at the name fails too, at once.
    if (!io::openRegular(m_file, QIODevice::ReadWrite, true))
        return fail(IoError::Open);
    if (QFile::exists(journalPath(path))) {
        // Finishing a rewrite is a write: a reader takes the file alone for it.
        if (mode == lock::Mode::Shared) {
            switch (m_lock.change(lock::Mode::Exclusive)) {
            case lock::Outcome::Locked: break;
            case lock::Outcome::Busy: return fail(IoError::Busy);
            case lock::Outcome::Failed: return fail(IoError::Open);
            }
        }
        m_count = m_file.size() / m_size;
        // Another copy may have finished it while the lock changed hands.
        if (QFile::exists(journalPath(path))) {
            if (const IoResult r = replayJournal(); !r)
                return r;
        }
        if (mode == lock::Mode::Shared && m_lock.change(lock::Mode::Shared) != lock::Outcome::Locked)
            return fail(IoError::Open);
    }
    m_count = m_file.size() / m_size;
    return {};
}

IoResult RecordFile::replayJournal()
{
    const QString archive = m_file.fileName();
    const QString jpath = journalPath(archive);
    const qint64 whole = kJournalHeader + 2 * qint64(m_size) + kJournalHash;
    QByteArray bytes;
    {
        QFile j(jpath);
        if (io::injectFault(io::Op::Open, jpath) || !io::openRegular(j, QIODevice::ReadOnly))
            return fail(IoError::Open);
        if (io::injectFault(io::Op::Read, jpath))
            return fail(IoError::Read);
        bytes = j.read(whole + 1);
        if (j.error() != QFileDevice::NoError)
            return fail(IoError::Read);
    }
    const QByteArrayView view(bytes);
    const bool intact = bytes.size() == whole && std::memcmp(bytes.constData(), kJournalMagic, 4) == 0
                        && qFromLittleEndian<quint32>(bytes.constData() + 4) == kJournalVersion
                        && qFromLittleEndian<quint32>(bytes.constData() + 8) == quint32(m_size)
                        && QCryptographicHash::hash(view.first(whole - kJournalHash), QCryptographicHash::Sha256)
                               == view.last(kJournalHash);
    if (!intact) {
        // A journal cut short (or damaged) was never followed by a write to
        // the archive, which is synced only after the journal: drop it. One
        // that cannot be removed is looked at again next time, to the same effect.
        (void)io::removeFile(jpath);
        m_current = 0;
        return {};
    }
    const qint64 k = qint64(qFromLittleEndian<quint64>(bytes.constData() + 12));
    const qint64 length = qint64(qFromLittleEndian<quint64>(bytes.constData() + 20));
    const QByteArrayView oldRecord = view.sliced(kJournalHeader, m_size);
    const QByteArrayView newRecord = view.sliced(kJournalHeader + m_size, m_size);
    bool belongs = k >= 1 && k <= m_count && m_file.size() == length;
    if (belongs) {
        if (!m_file.seek((k - 1) * m_size))
            return fail(IoError::Seek);
        const QByteArray disk = m_file.read(m_size);
        if (m_file.error() != QFileDevice::NoError)
            return fail(IoError::Read);
        belongs = mixtureOf(disk, oldRecord, newRecord);
    }
    if (!belongs) {
        // Not this archive's (a folder restored from a copy, an archive put
        // back by hand): never applied. It is kept under a name that says so.
        if (io::injectFault(io::Op::Rename, jpath) || !QFile::rename(jpath, foreignJournalPath(archive)))
            return fail(IoError::Write);
        m_current = 0;
        return {};
    }
    // The rewrite may have stopped half-way: finish it.
    if (const IoResult r = writeAt(k, newRecord.toByteArray()); !r)
        return fail(r.error);
    (void)io::removeFile(jpath);
    m_current = 0;
    return {};
}

IoResult RecordFile::writeJournal(qint64 k, const QByteArray &oldRecord, const QByteArray &record)
{
    const QString jpath = journalPath(m_file.fileName());
    IoError error = IoError::None;
    {
        QFile j(jpath);
        // Written anew: a link planted at the journal's name is replaced, never written through.
        if (io::injectFault(io::Op::Open, jpath) || !io::openFresh(j))
            return fail(IoError::Open);
        if (!io::writeAll(j, journalBytes(m_size, k, m_file.size(), oldRecord, record)))
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
    // The journal's name must reach the disk too before the archive is touched.
    if (error == IoError::None && !io::syncFolderOf(jpath))
        error = IoError::Sync;
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
    if (m_lock.mode() != lock::Mode::Exclusive)
        return {IoError::NotOpen};
    // The record as it stands goes into the journal, to tie it to this archive.
    m_chunkCount = 0;
    if (!m_file.seek((k - 1) * m_size))
        return fail(IoError::Seek);
    const QByteArray oldRecord = m_file.read(m_size);
    if (oldRecord.size() != m_size)
        return fail(IoError::Read);
    if (const IoResult r = writeJournal(k, oldRecord, record); !r)
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
    if (!m_file.isOpen() || m_lock.mode() != lock::Mode::Exclusive)
        return {IoError::NotOpen};
    // The number comes from the file as it is now, under the lock.
    m_count = m_file.size() / m_size;
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

IoResult RecordFile::appendAll(const QByteArray &records, qint64 *firstNumber)
{
    if (!m_file.isOpen() || m_lock.mode() != lock::Mode::Exclusive)
        return {IoError::NotOpen};
    if (records.isEmpty() || records.size() % m_size != 0)
        return {IoError::Range};
    m_count = m_file.size() / m_size;
    m_chunkCount = 0;
    const QString &path = m_file.fileName();
    IoError error = IoError::None;
    if (!m_file.seek(m_count * m_size))
        error = IoError::Seek;
    else if (!io::writeAll(m_file, records))
        error = IoError::Write;
    else if (io::injectFault(io::Op::Flush, path) || !m_file.flush())
        error = IoError::Flush;
    else if (!io::syncToDisk(m_file))
        error = IoError::Sync;
    if (error != IoError::None) {
        // As for one record: a failed save leaves nothing behind.
        if (!io::injectFault(io::Op::Write, path))
            (void)m_file.resize(m_count * m_size);
        return fail(error);
    }
    if (firstNumber)
        *firstNumber = m_count + 1;
    m_count += records.size() / m_size;
    m_current = m_count;
    return {};
}

IoResult RecordFile::close()
{
    if (!m_file.isOpen())
        return {};
    const bool injected = io::injectFault(io::Op::Close, m_file.fileName());
    m_file.close();
    m_lock.release();
    m_count = 0;
    m_current = 0;
    if (injected || m_file.error() != QFileDevice::NoError)
        return {IoError::Close};
    return {};
}

} // namespace clinora
