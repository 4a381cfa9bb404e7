#include "app/Backup.h"

#include "analyses/AnalysisRecord.h"
#include "analyses/FrequentExams.h"
#include "app/PasswordStore.h"
#include "common/FileIo.h"
#include "common/FileLock.h"
#include "common/FileNames.h"
#include "common/RecordFile.h"
#include "patients/Attachments.h"
#include "patients/PatientRecord.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QUrl>

#include <libdeflate.h>
#include <zip.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <vector>

using namespace Qt::StringLiterals;

namespace clinora::backup {

namespace {

// The index every backup carries as its last entry: what it holds, with the
// checksum and size of every file as read from the data folder.
constexpr QStringView kIndexName = u"Indice-backup-Clinora.txt";
constexpr QStringView kIndexHeader = u"Backup dei dati di Clinora";
constexpr QStringView kSettingsName = u"Clinora-backup.ini";
constexpr QStringView kSettingsSection = u"Backup";
// A backup still being written, or left by a failure that could not clean up:
// never a name that passes for a backup.
constexpr QStringView kIncompleteSuffix = u".incompleto";
// Beside the data while a restore swaps them.
constexpr QStringView kStagingName = u".Clinora-ripristino";
constexpr QStringView kSetAsideName = u".Clinora-ripristino-precedenti";
// The journal of a swap under way: what is set aside and what is brought in,
// and whether the swap is complete. Written (and on the disk) before the
// first item moves.
constexpr QStringView kSwapJournalName = u".Clinora-ripristino-registro.txt";
constexpr QStringView kSwapJournalHeader = u"Ripristino dei dati di Clinora";
// Items found in the way when an interrupted swap is finished or undone
// (a file made while the swap stood half done): kept, never removed.
constexpr QStringView kKeptName = u".Clinora-ripristino-interrotto";

// The pieces in which data files are read, the backup file is written and
// read back: a backup of gigabytes makes few system calls, and the buffers
// stay in the processor's cache (4 MB ones made it a third slower).
constexpr qint64 kCopyChunk = 1 << 20;
// Bytes written to the backup file after which its writing to the disk is
// started, so that the disk works while the next files are read.
constexpr qint64 kToDiskStep = 16 << 20;

// ---- names ------------------------------------------------------------------

bool isPatientFolderName(const QString &name)
{
    static const QRegularExpression re(u"^Paziente_[0-9]+$"_s);
    return re.match(name).hasMatch();
}

QString journalName(QStringView archive) { return QFileInfo(RecordFile::journalPath(archive.toString())).fileName(); }

// The data files that lie at the top of the data folder.
QStringList topFiles()
{
    return {kPatientArchiveName.toString(), journalName(kPatientArchiveName), kFrequentExamsFileName.toString(),
            kPasswordFileName.toString()};
}

bool isTopFolder(const QString &name)
{
    return name == kAnalysisFolderName || name == attachments::kFolderName || isPatientFolderName(name);
}

// A name a backup may hold: relative, with no way out of the data folder,
// under one of the data items.
bool safeEntryName(const QString &name)
{
    if (name.isEmpty() || name.startsWith(u'/') || name.contains(u'\\') || name.contains(QChar(0)))
        return false;
    const bool folder = name.endsWith(u'/');
    QStringList parts = name.split(u'/');
    if (folder)
        parts.removeLast();
    for (const QString &p : parts) {
        if (p.isEmpty() || p == u"."_s || p == u".."_s || (p.size() == 2 && p[1] == u':'))
            return false;
        if (!names::fitsHere(p)) // e.g. "AUX.pdf" or "a:b" restored on Windows
            return false;
    }
    if (parts.size() == 1 && !folder)
        return topFiles().contains(parts.first());
    return isTopFolder(parts.first());
}

QString topItem(const QString &name) { return name.section(u'/', 0, 0); }

QString encodeName(const QString &name) { return QString::fromLatin1(QUrl::toPercentEncoding(name, "/ ()-_.,'+&")); }
QString decodeName(QStringView text) { return QString::fromUtf8(QByteArray::fromPercentEncoding(text.toLatin1())); }

// A folder and what it holds, links followed. `inside` holds the real
// paths of the folders it lies in: a link back into one of them would never
// end, so it is left out, as are special files (never opened: a pipe would
// wait for ever) and links that lead nowhere.
void collectFolder(const QString &root, const QString &relative, QStringList &out, QStringList *leftOut,
                   QStringList inside)
{
    const QString abs = QDir(root).filePath(relative);
    const QString real = QFileInfo(abs).canonicalFilePath();
    if (real.isEmpty() || inside.contains(real) || !QFileInfo(abs).isReadable()) {
        if (leftOut)
            *leftOut << relative + u'/';
        return;
    }
    inside << real;
    out << relative + u'/';
    const QFileInfoList items = QDir(abs).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System
                                                            | QDir::NoDotAndDotDot,
                                                        QDir::Name | QDir::DirsLast);
    for (const QFileInfo &fi : items) {
        const QString rel = relative + u'/' + fi.fileName();
        if (fi.isDir())
            collectFolder(root, rel, out, leftOut, inside);
        else if (fi.isFile())
            out << rel;
        else if (leftOut)
            *leftOut << rel;
    }
}

// ---- the index --------------------------------------------------------------

struct Index {
    QDateTime created;
    QList<Entry> entries;

    Summary summary() const
    {
        Summary s;
        s.created = created;
        for (const Entry &e : entries) {
            if (e.folder) {
                ++s.folders;
                continue;
            }
            ++s.files;
            s.dataBytes += e.size;
            if (e.name == kPatientArchiveName)
                s.patients = e.size / PatientRecord::kSize;
            else if (e.name.startsWith(kAnalysisFolderName.toString() + u'/') && e.name.endsWith(u".asl"_s))
                ++s.analysisArchives;
        }
        return s;
    }

    QByteArray text() const
    {
        const Summary s = summary();
        QString t;
        t += kIndexHeader.toString() + u'\n';
        t += u"Versione: 1\n"_s;
        t += u"Data: "_s + created.toString(Qt::ISODate) + u'\n';
        t += u"Pazienti: "_s + QString::number(s.patients) + u'\n';
        t += u"Archivi analisi: "_s + QString::number(s.analysisArchives) + u'\n';
        t += u"File: "_s + QString::number(s.files) + u'\n';
        t += u"Cartelle: "_s + QString::number(s.folders) + u'\n';
        for (const Entry &e : entries) {
            if (e.folder)
                t += u"cartella\t"_s + encodeName(e.name) + u'\n';
            else
                t += u"file\t%1\t%2\t"_s.arg(e.crc, 8, 16, QChar(u'0')).arg(e.size) + encodeName(e.name) + u'\n';
        }
        return t.toUtf8();
    }

    // False when the text is not an index this program wrote.
    bool parse(const QByteArray &bytes)
    {
        const QStringList lines = QString::fromUtf8(bytes).split(u'\n', Qt::SkipEmptyParts);
        if (lines.isEmpty() || lines.first() != kIndexHeader)
            return false;
        int files = -1;
        int folders = -1;
        for (const QString &line : lines.mid(1)) {
            const QStringList f = line.split(u'\t');
            if (f.first() == u"file"_s && f.size() == 4) {
                bool okCrc = false, okSize = false;
                Entry e{decodeName(f[3]), f[1].toUInt(&okCrc, 16), f[2].toLongLong(&okSize), false};
                if (!okCrc || !okSize || e.size < 0)
                    return false;
                entries << e;
            } else if (f.first() == u"cartella"_s && f.size() == 2) {
                entries << Entry{decodeName(f[1]), 0, 0, true};
            } else if (line.startsWith(u"Data: "_s)) {
                created = QDateTime::fromString(line.mid(6), Qt::ISODate);
            } else if (line.startsWith(u"File: "_s)) {
                files = line.mid(6).toInt();
            } else if (line.startsWith(u"Cartelle: "_s)) {
                folders = line.mid(10).toInt();
            }
        }
        const Summary s = summary();
        return created.isValid() && s.files == files && s.folders == folders;
    }
};

// ---- the work under way -----------------------------------------------------

struct Work {
    Progress progress;
    qint64 done = 0;
    qint64 total = 0;
    Failure failure = Failure::None;
    QString detail;
    int zipError = 0; // the zip library's code for the last entry that could not be opened
    // One buffer for every data file in turn, never cleared: it is always
    // read into before it is read from.
    struct Buffer {
        std::unique_ptr<char[]> bytes;
        char *data()
        {
            if (!bytes)
                bytes = std::make_unique_for_overwrite<char[]>(size_t(kCopyChunk));
            return bytes.get();
        }
    } buffer;

    bool advance(qint64 bytes)
    {
        done += bytes;
        if (progress && !progress(done, total)) {
            fail(Failure::Cancelled, QString());
            return false;
        }
        return true;
    }
    void fail(Failure f, const QString &what)
    {
        if (failure == Failure::None) {
            failure = f;
            detail = what;
        }
    }
};

void setSystemError(zip_error_t *error, int zipError)
{
    zip_error_set(error, zipError, errno != 0 ? errno : EIO);
}

// ---- the backup file, read and written through the file I/O seam ---------

// The zip file itself: written once under its temporary name (never over
// an existing file), or read for a check. Every operation goes through the
// program's file primitives, so that tests can fail any of them.
struct ZipFile {
    explicit ZipFile(QString p) : path(std::move(p)), file(path) { zip_error_init(&error); }
    ~ZipFile() { zip_error_fini(&error); }

    QString path;
    QFile file;
    zip_error_t error;
    bool writing = false;
    bool written = false;
    // Made empty and locked before the archive is written (see reserve()):
    // the archive is new even though its file is there.
    bool fresh = false;
    // Written bytes not yet handed to the system, and how far the file has
    // been sent on to the disk.
    std::vector<char> pending;
    qint64 toDisk = 0;

    bool writePending()
    {
        if (pending.empty())
            return true;
        if (!io::writeAll(file, QByteArrayView(pending.data(), qsizetype(pending.size()))))
            return false;
        pending.clear();
        const qint64 end = file.pos();
        if (end - toDisk >= kToDiskStep) {
            io::startToDisk(file, toDisk, end - toDisk);
            toDisk = end;
        }
        return true;
    }

    static zip_int64_t callback(void *state, void *data, zip_uint64_t len, zip_source_cmd_t cmd)
    {
        return static_cast<ZipFile *>(state)->handle(data, len, cmd);
    }

    zip_int64_t fail(int zipError)
    {
        setSystemError(&error, zipError);
        return -1;
    }

    zip_int64_t seekTo(QFile &f, void *data, zip_uint64_t len)
    {
        auto *args = ZIP_SOURCE_GET_ARGS(zip_source_args_seek_t, data, len, &error);
        if (!args)
            return -1;
        qint64 base = 0;
        if (args->whence == SEEK_CUR)
            base = f.pos();
        else if (args->whence == SEEK_END)
            base = f.size();
        const qint64 to = base + args->offset;
        if (to < 0 || !f.seek(to)) {
            zip_error_set(&error, ZIP_ER_SEEK, EINVAL);
            return -1;
        }
        return 0;
    }

    zip_int64_t handle(void *data, zip_uint64_t len, zip_source_cmd_t cmd)
    {
        switch (cmd) {
        case ZIP_SOURCE_SUPPORTS:
            return ZIP_SOURCE_SUPPORTS_WRITABLE;
        case ZIP_SOURCE_STAT: {
            auto *st = ZIP_SOURCE_GET_ARGS(zip_stat_t, data, len, &error);
            if (!st)
                return -1;
            const QFileInfo fi(path);
            if (!fi.exists() || fresh) {
                zip_error_set(&error, ZIP_ER_READ, ENOENT);
                return -1;
            }
            zip_stat_init(st);
            st->valid = ZIP_STAT_SIZE;
            st->size = zip_uint64_t(fi.size());
            return sizeof(*st);
        }
        case ZIP_SOURCE_ERROR:
            return zip_error_to_data(&error, data, len);
        case ZIP_SOURCE_FREE:
            return 0;
        case ZIP_SOURCE_OPEN:
            if (io::injectFault(io::Op::Open, path) || !file.open(QIODevice::ReadOnly))
                return fail(ZIP_ER_OPEN);
            return 0;
        case ZIP_SOURCE_READ: {
            if (io::injectFault(io::Op::Read, path))
                return fail(ZIP_ER_READ);
            const qint64 n = file.read(static_cast<char *>(data), qint64(len));
            return n < 0 ? fail(ZIP_ER_READ) : n;
        }
        case ZIP_SOURCE_CLOSE:
            file.close();
            return 0;
        case ZIP_SOURCE_SEEK:
            return seekTo(file, data, len);
        case ZIP_SOURCE_TELL:
            return file.pos();
        case ZIP_SOURCE_BEGIN_WRITE:
            // Already open when reserved; NewOnly otherwise: a name that
            // appeared meanwhile is never written over.
            if (!file.isOpen()
                && (io::injectFault(io::Op::Open, path)
                    || !file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered)))
                return fail(ZIP_ER_OPEN);
            // It holds every record and the password file: the owner's alone,
            // whatever the umask or the folder it goes to.
            if (!file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner))
                return fail(ZIP_ER_OPEN);
            writing = true;
            pending.reserve(size_t(kCopyChunk));
            toDisk = 0;
            return 0;
        case ZIP_SOURCE_WRITE: {
            // Gathered here: the archive comes in small pieces. Handed on
            // before the buffer would have to grow.
            const char *bytes = static_cast<const char *>(data);
            if (pending.size() + len > pending.capacity() && !writePending())
                return fail(ZIP_ER_WRITE);
            if (len > pending.capacity()) {
                if (!io::writeAll(file, QByteArrayView(bytes, qsizetype(len))))
                    return fail(ZIP_ER_WRITE);
            } else {
                pending.insert(pending.end(), bytes, bytes + len);
            }
            return zip_int64_t(len);
        }
        case ZIP_SOURCE_SEEK_WRITE:
            if (!writePending())
                return fail(ZIP_ER_WRITE);
            return seekTo(file, data, len);
        case ZIP_SOURCE_TELL_WRITE:
            return file.pos() + qint64(pending.size());
        case ZIP_SOURCE_COMMIT_WRITE: {
            // On the disk before anyone is told it is there.
            if (!writePending())
                return fail(ZIP_ER_WRITE);
            const bool flushed = !io::injectFault(io::Op::Flush, path) && file.flush();
            if (!flushed || !io::syncToDisk(file) || io::injectFault(io::Op::Close, path))
                return fail(ZIP_ER_WRITE);
            file.close();
            if (file.error() != QFileDevice::NoError)
                return fail(ZIP_ER_WRITE);
            writing = false;
            written = true;
            fresh = false;
            return 0;
        }
        case ZIP_SOURCE_ROLLBACK_WRITE:
            pending.clear();
            file.close();
            writing = false;
            io::removeFile(path);
            return 0;
        case ZIP_SOURCE_REMOVE:
            if (!io::removeFile(path))
                return fail(ZIP_ER_REMOVE);
            return 0;
        default:
            zip_error_set(&error, ZIP_ER_OPNOTSUPP, 0);
            return -1;
        }
    }
};

// One data file as the backup reads it: opened and locked when the archive
// reaches it, its checksum taken from the very bytes handed on, released as
// soon as it is copied.
struct DataFile {
    DataFile(Work &w, QString abs, Entry &e) : work(w), path(std::move(abs)), entry(e), file(path)
    {
        zip_error_init(&error);
    }
    ~DataFile() { zip_error_fini(&error); }

    Work &work;
    QString path;
    Entry &entry;
    QFile file;
    lock::FileLock guard;
    zip_error_t error;
    quint32 crc = 0;
    qint64 size = 0;
    // The part of work.buffer not yet handed to the archive.
    qint64 at = 0;
    qint64 filled = 0;

    // Reads the next piece of the file; its checksum is taken once, here.
    bool refill()
    {
        if (io::injectFault(io::Op::Read, path)) {
            work.fail(Failure::DataUnreadable, path);
            return false;
        }
        char *buffer = work.buffer.data();
        const qint64 n = file.read(buffer, kCopyChunk);
        if (n < 0) {
            work.fail(Failure::DataUnreadable, path);
            return false;
        }
        crc = quint32(libdeflate_crc32(crc, buffer, size_t(n)));
        size += n;
        at = 0;
        filled = n;
        return n == 0 || work.advance(n);
    }

    static zip_int64_t callback(void *state, void *data, zip_uint64_t len, zip_source_cmd_t cmd)
    {
        return static_cast<DataFile *>(state)->handle(data, len, cmd);
    }

    // Shared, as every reading command takes it: a save (exclusive) waits
    // until the file is copied, and a save under way is waited for.
    bool acquire()
    {
        if (file.isOpen())
            return true;
        switch (guard.acquire(path, lock::Mode::Shared, lock::Missing::Skip)) {
        case lock::Outcome::Locked:
            break;
        case lock::Outcome::Busy:
            work.fail(Failure::Locked, path);
            zip_error_set(&error, ZIP_ER_OPEN, EAGAIN);
            return false;
        case lock::Outcome::Failed:
            work.fail(Failure::DataUnreadable, path);
            zip_error_set(&error, ZIP_ER_OPEN, EIO);
            return false;
        }
        if (io::injectFault(io::Op::Open, path) || !file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
            guard.release();
            work.fail(Failure::DataUnreadable, path);
            zip_error_set(&error, ZIP_ER_OPEN, EIO);
            return false;
        }
        return true;
    }

    zip_int64_t handle(void *data, zip_uint64_t len, zip_source_cmd_t cmd)
    {
        switch (cmd) {
        case ZIP_SOURCE_SUPPORTS:
            return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT,
                                                  ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, -1);
        case ZIP_SOURCE_STAT: {
            auto *st = ZIP_SOURCE_GET_ARGS(zip_stat_t, data, len, &error);
            if (!st || !acquire())
                return -1;
            // Under the lock: the size the copy will find.
            zip_stat_init(st);
            st->valid = ZIP_STAT_SIZE;
            st->size = zip_uint64_t(file.size());
            return sizeof(*st);
        }
        case ZIP_SOURCE_OPEN:
            if (!acquire())
                return -1;
            crc = 0;
            size = 0;
            at = filled = 0;
            return 0;
        case ZIP_SOURCE_READ: {
            if (work.failure != Failure::None) {
                zip_error_set(&error, ZIP_ER_CANCELLED, 0);
                return -1;
            }
            if (at == filled && !refill()) {
                zip_error_set(&error, work.failure == Failure::Cancelled ? ZIP_ER_CANCELLED : ZIP_ER_READ, EIO);
                return -1;
            }
            const qint64 n = std::min(qint64(len), filled - at);
            if (n > 0)
                memcpy(data, work.buffer.data() + at, size_t(n));
            at += n;
            return n;
        }
        case ZIP_SOURCE_CLOSE:
            entry.crc = quint32(crc);
            entry.size = size;
            file.close();
            guard.release();
            return 0;
        case ZIP_SOURCE_ERROR:
            return zip_error_to_data(&error, data, len);
        case ZIP_SOURCE_FREE:
            file.close();
            guard.release();
            return 0;
        default:
            zip_error_set(&error, ZIP_ER_OPNOTSUPP, 0);
            return -1;
        }
    }
};

// The index, made when the archive reaches it: after every file it lists.
struct IndexSource {
    explicit IndexSource(const Index &i) : index(i) { zip_error_init(&error); }
    ~IndexSource() { zip_error_fini(&error); }

    const Index &index;
    zip_error_t error;
    QByteArray bytes;
    qint64 at = 0;

    static zip_int64_t callback(void *state, void *data, zip_uint64_t len, zip_source_cmd_t cmd)
    {
        auto *self = static_cast<IndexSource *>(state);
        switch (cmd) {
        case ZIP_SOURCE_SUPPORTS:
            return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT,
                                                  ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, -1);
        case ZIP_SOURCE_STAT: {
            auto *st = ZIP_SOURCE_GET_ARGS(zip_stat_t, data, len, &self->error);
            if (!st)
                return -1;
            self->bytes = self->index.text();
            zip_stat_init(st);
            st->valid = ZIP_STAT_SIZE;
            st->size = zip_uint64_t(self->bytes.size());
            return sizeof(*st);
        }
        case ZIP_SOURCE_OPEN:
            self->bytes = self->index.text();
            self->at = 0;
            return 0;
        case ZIP_SOURCE_READ: {
            const qint64 n = qMin(qint64(len), self->bytes.size() - self->at);
            memcpy(data, self->bytes.constData() + self->at, size_t(n));
            self->at += n;
            return n;
        }
        case ZIP_SOURCE_CLOSE:
        case ZIP_SOURCE_FREE:
            return 0;
        case ZIP_SOURCE_ERROR:
            return zip_error_to_data(&self->error, data, len);
        default:
            zip_error_set(&self->error, ZIP_ER_OPNOTSUPP, 0);
            return -1;
        }
    }
};

// An archive open for reading through the file I/O seam.
struct Reader {
    explicit Reader(const QString &path) : file(path) {}
    ~Reader()
    {
        if (za)
            zip_discard(za);
        else if (src)
            zip_source_free(src);
    }

    // 0 when open; otherwise the libzip error code. Encrypted entries are
    // read with `passphrase`.
    int open(const QString &passphrase = QString())
    {
        zip_error_t err;
        zip_error_init(&err);
        src = zip_source_function_create(&ZipFile::callback, &file, &err);
        if (src)
            za = zip_open_from_source(src, ZIP_RDONLY | ZIP_CHECKCONS, &err);
        const int code = za ? 0 : zip_error_code_zip(&err);
        zip_error_fini(&err);
        if (za && !passphrase.isEmpty())
            zip_set_default_password(za, passphrase.toUtf8().constData());
        return za ? 0 : (code ? code : ZIP_ER_INTERNAL);
    }

    ZipFile file;
    zip_source_t *src = nullptr;
    zip_t *za = nullptr;
};

// Reads one entry whole, handing each piece to `sink`; libzip checks the
// entry's checksum as it reaches the end. Stops as soon as the entry gives
// more than `limit` bytes (a zip whose entry inflates past the size it
// declares), without counting them as done. False on any failure.
template <class Sink>
bool readEntry(zip_t *za, zip_uint64_t index, Work &work, qint64 limit, Sink &&sink)
{
    zip_file_t *zf = zip_fopen_index(za, index, 0);
    if (!zf) {
        work.zipError = zip_error_code_zip(zip_get_error(za));
        return false;
    }
    char *buffer = work.buffer.data();
    bool ok = true;
    qint64 seen = 0;
    for (;;) {
        // One byte past the limit is enough to know it lies.
        const qint64 want = std::min<qint64>(kCopyChunk, limit - seen + 1);
        const zip_int64_t n = zip_fread(zf, buffer, zip_uint64_t(want));
        if (n < 0) {
            ok = false;
            break;
        }
        if (n == 0)
            break;
        seen += n;
        if (seen > limit || !sink(QByteArrayView(buffer, qsizetype(n))) || !work.advance(n)) {
            ok = false;
            break;
        }
    }
    zip_fclose(zf);
    return ok;
}

// The failure an entry that cannot be opened stands for.
Failure openFailure(const Work &work)
{
    switch (work.zipError) {
    case ZIP_ER_NOPASSWD: return Failure::PassphraseNeeded;
    case ZIP_ER_WRONGPASSWD: return Failure::WrongPassphrase;
    default: return Failure::Damaged;
    }
}

// Checks an open backup against its index: the same entries, the same sizes
// and checksums, every file read whole. Fills `index`; `encrypted` tells
// whether the index was.
Failure checkArchive(zip_t *za, Index &index, Work &work, bool *encrypted = nullptr)
{
    const zip_int64_t count = zip_get_num_entries(za, 0);
    zip_int64_t indexAt = -1;
    for (zip_int64_t i = 0; i < count; ++i) {
        const char *n = zip_get_name(za, zip_uint64_t(i), ZIP_FL_ENC_GUESS);
        if (n && QString::fromUtf8(n) == kIndexName)
            indexAt = i;
    }
    if (indexAt < 0)
        return Failure::NotABackup;
    {
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(za, zip_uint64_t(indexAt), 0, &st) < 0)
            return Failure::Damaged;
        if (encrypted)
            *encrypted = (st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE;
    }
    QByteArray indexBytes;
    Work quiet; // the index is not part of the data the progress counts
    quiet.buffer.bytes.swap(work.buffer.bytes);
    const bool indexRead = readEntry(za, zip_uint64_t(indexAt), quiet, 64 << 20, [&](QByteArrayView b) {
        indexBytes += b;
        return true;
    });
    work.buffer.bytes.swap(quiet.buffer.bytes);
    if (!indexRead)
        return openFailure(quiet);
    if (!index.parse(indexBytes) || index.entries.size() != count - 1)
        return Failure::Damaged;

    QHash<QString, const Entry *> byName;
    for (const Entry &e : index.entries) {
        if (!safeEntryName(e.name) || e.folder != e.name.endsWith(u'/'))
            return Failure::UnsafeName;
        if (byName.contains(e.name))
            return Failure::Damaged;
        byName.insert(e.name, &e);
    }
    work.total = 0;
    for (const Entry &e : index.entries)
        work.total += e.size;
    for (zip_int64_t i = 0; i < count; ++i) {
        if (i == indexAt)
            continue;
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(za, zip_uint64_t(i), 0, &st) < 0 || !(st.valid & ZIP_STAT_NAME))
            return Failure::Damaged;
        const Entry *e = byName.value(QString::fromUtf8(st.name));
        if (!e)
            return Failure::Damaged;
        if (e->folder)
            continue;
        // An encrypted entry's own checksum may be left out of the zip's
        // headers (its authentication code stands for it); ours is taken below.
        const bool sealed = (st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE;
        if (!(st.valid & ZIP_STAT_SIZE) || qint64(st.size) != e->size
            || (!sealed && (!(st.valid & ZIP_STAT_CRC) || st.crc != e->crc)))
            return Failure::Damaged;
        qint64 seen = 0;
        quint32 crc = 0;
        if (!readEntry(za, zip_uint64_t(i), work, e->size, [&](QByteArrayView b) {
                seen += b.size();
                crc = quint32(libdeflate_crc32(crc, b.data(), size_t(b.size())));
                return true;
            }))
            return work.failure == Failure::Cancelled ? Failure::Cancelled : openFailure(work);
        // The bytes themselves against the backup's own index: a zip whose
        // entry was replaced together with its zip checksum is caught here.
        if (seen != e->size || crc != e->crc)
            return Failure::Damaged;
    }
    return Failure::None;
}

bool exists(const QString &path)
{
    const QFileInfo fi(path);
    return fi.exists() || fi.isSymLink();
}

// Removes the unfinished backups in `folder` that no run is writing any more
// (each run holds its own locked); returns those that could not be removed.
QStringList removeStaleIncomplete(const QString &folder)
{
    QStringList kept;
    const QFileInfoList found = QDir(folder).entryInfoList({u"Clinora-backup-*.zip"_s + kIncompleteSuffix},
                                                           QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo &fi : found) {
        // Just made by a run that locks it a moment later.
        if (fi.size() == 0 && fi.lastModified().secsTo(QDateTime::currentDateTime()) < 60)
            continue;
        lock::FileLock probe;
        switch (probe.acquire(fi.filePath(), lock::Mode::Exclusive, lock::Missing::Skip)) {
        case lock::Outcome::Locked:
            if (probe.held() && !io::removeFile(fi.filePath()))
                kept << fi.filePath();
            break;
        case lock::Outcome::Busy: // being written
            break;
        case lock::Outcome::Failed:
            kept << fi.filePath();
            break;
        }
    }
    return kept;
}

// The next free name in `folder` for a backup made at `when`: its
// unfinished file made (never over an existing one, so that two runs at
// once each take their own) and locked, open in `out`. Empty when no file
// can be made there.
QString reserve(const QString &folder, const QDateTime &when, const QString &suffix, ZipFile &out,
                lock::FileLock &guard)
{
    const QDir dir(folder);
    const QString base = fileName(when, suffix);
    for (int n = 1; n < 100000; ++n) {
        const QString finalPath =
            dir.filePath(n == 1 ? base : base.chopped(4) + u'-' + QString::number(n) + u".zip"_s);
        const QString temp = finalPath + kIncompleteSuffix;
        if (exists(finalPath))
            continue;
        out.path = temp;
        out.file.setFileName(temp);
        if (io::injectFault(io::Op::Open, temp))
            return QString();
        if (!out.file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered)) {
            if (exists(temp))
                continue; // another run's
            return QString();
        }
        // The owner's alone from the first byte (see ZIP_SOURCE_BEGIN_WRITE).
        (void)out.file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        if (guard.acquire(temp, lock::Mode::Exclusive, lock::Missing::Skip) != lock::Outcome::Locked
            || !QFileInfo::exists(temp)) {
            out.file.close();
            io::removeFile(temp);
            return QString();
        }
        out.fresh = true;
        return finalPath;
    }
    return QString();
}

// The top-level data items now in `dataFolder`.
QStringList topItems(const QString &dataFolder)
{
    QStringList out;
    for (const QString &e : dataEntries(dataFolder)) {
        const QString top = topItem(e);
        if (out.isEmpty() || out.last() != top)
            out << top;
    }
    return out;
}

// The files of `dataFolder` that saves lock (the archives, the frequent
// exams list and, when asked, the password file), as absolute paths.
QStringList filesSavesLock(const QString &dataFolder, bool withPassword)
{
    const QString analyses = kAnalysisFolderName.toString() + u'/';
    QStringList out;
    for (const QString &name : dataEntries(dataFolder)) {
        if (name.endsWith(u'/'))
            continue;
        if (name == kPatientArchiveName || name == kFrequentExamsFileName
            || (withPassword && name == kPasswordFileName) || name.startsWith(analyses))
            out << QDir(dataFolder).filePath(name);
    }
    return out;
}

// The CRC-32 of a whole file, false when it cannot be read.
bool fileChecksum(const QString &path, quint32 &crc)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return false;
    std::vector<char> buffer(static_cast<size_t>(kCopyChunk));
    crc = 0;
    for (;;) {
        const qint64 n = f.read(buffer.data(), kCopyChunk);
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        crc = quint32(libdeflate_crc32(crc, buffer.data(), size_t(n)));
    }
}

// Whether the data are still what a backup made of them holds: the same
// files and folders, each file of the same size, and the files saves write
// (`lockedFiles`, read under their locks) of the same bytes.
bool stillAsBackedUp(const QString &dataFolder, const QList<Entry> &before, const QStringList &lockedFiles,
                     bool keepPassword)
{
    const QStringList now = dataEntries(dataFolder);
    if (now.size() != before.size())
        return false;
    const QDir data(dataFolder);
    const QSet<QString> checked(lockedFiles.begin(), lockedFiles.end());
    for (qsizetype i = 0; i < now.size(); ++i) {
        const Entry &e = before[i];
        if (now[i] != e.name)
            return false;
        // Not replaced, so not lost, when the restored data do not hold one.
        if (e.folder || (keepPassword && e.name == kPasswordFileName))
            continue;
        const QString path = data.filePath(e.name);
        if (QFileInfo(path).size() != e.size)
            return false;
        quint32 crc = 0;
        if (checked.contains(path) && (!fileChecksum(path, crc) || crc != e.crc))
            return false;
    }
    return true;
}

bool moveItem(const QString &from, const QString &to)
{
    if (io::injectFault(io::Op::Rename, from))
        return false;
    return QDir().rename(from, to);
}

// A restored item takes the permissions of the one it replaces, file by
// file (an archive an administrator closed stays closed); what is new keeps
// those of the data folder.
void keepPermissions(const QString &replaced, const QString &restored)
{
    (void)io::copyPermissions(replaced, restored);
    if (!QFileInfo(restored).isDir() || QFileInfo(restored).isSymLink())
        return;
    const QDir dir(restored);
    for (const QString &name : dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot))
        keepPermissions(QDir(replaced).filePath(name), dir.filePath(name));
}

void removeItem(const QString &path)
{
    if (io::injectFault(io::Op::Remove, path))
        return;
    const QFileInfo fi(path);
    if (fi.isDir() && !fi.isSymLink())
        QDir(path).removeRecursively();
    else if (fi.exists() || fi.isSymLink())
        QFile::remove(path);
}

// ---- the journal of a swap --------------------------------------------------

struct SwapJournal {
    QDateTime backupCreated;
    bool passwordReplaced = false;
    bool complete = false;
    QStringList setAside; // the data's items, in the order they are set aside
    QStringList brought;  // the backup's items, in the order they are put in place

    QByteArray text() const
    {
        QString t = kSwapJournalHeader.toString() + u'\n';
        t += u"Backup: "_s + backupCreated.toString(Qt::ISODate) + u'\n';
        t += u"Password: "_s + (passwordReplaced ? u"sostituita"_s : u"mantenuta"_s) + u'\n';
        t += u"Stato: "_s + (complete ? u"completato"_s : u"in corso"_s) + u'\n';
        for (const QString &item : setAside)
            t += u"precedente\t"_s + encodeName(item) + u'\n';
        for (const QString &item : brought)
            t += u"nuovo\t"_s + encodeName(item) + u'\n';
        return t.toUtf8();
    }

    bool parse(const QByteArray &bytes)
    {
        const QStringList lines = QString::fromUtf8(bytes).split(u'\n', Qt::SkipEmptyParts);
        if (lines.isEmpty() || lines.first() != kSwapJournalHeader)
            return false;
        bool state = false;
        for (const QString &line : lines.mid(1)) {
            const QStringList f = line.split(u'\t');
            // Only plain top items: never a way out of the data folder.
            if (f.size() == 2 && (f[0] == u"precedente"_s || f[0] == u"nuovo"_s)) {
                const QString item = decodeName(f[1]);
                if (item.contains(u'/') || !(safeEntryName(item) || safeEntryName(item + u'/')))
                    return false;
                (f[0] == u"nuovo"_s ? brought : setAside) << item;
            } else if (line.startsWith(u"Backup: "_s)) {
                backupCreated = QDateTime::fromString(line.mid(8), Qt::ISODate);
            } else if (line.startsWith(u"Password: "_s)) {
                passwordReplaced = line.mid(10) == u"sostituita"_s;
            } else if (line.startsWith(u"Stato: "_s)) {
                complete = line.mid(7) == u"completato"_s;
                state = true;
            }
        }
        return state;
    }

    static QString path(const QString &dataFolder)
    {
        return QDir(dataFolder).filePath(kSwapJournalName.toString());
    }
    bool write(const QString &dataFolder) const { return io::replaceFile(path(dataFolder), text()); }
};

// Moves `item` out of the way into the kept folder beside the data, under a
// name not yet taken there.
bool keepAside(const QString &dataFolder, const QString &item, QString &keptFolder)
{
    keptFolder = QDir(dataFolder).filePath(kKeptName.toString());
    if (!io::makeFolder(keptFolder))
        return false;
    QString target = QDir(keptFolder).filePath(item);
    for (int n = 2; exists(target); ++n)
        target = QDir(keptFolder).filePath(item + u'-' + QString::number(n));
    return moveItem(QDir(dataFolder).filePath(item), target);
}

// Moves `from` to `to`, first keeping aside whatever stands at `to`.
bool moveInto(const QString &dataFolder, const QString &from, const QString &item, QString &keptFolder)
{
    const QString to = QDir(dataFolder).filePath(item);
    if (exists(to) && !keepAside(dataFolder, item, keptFolder))
        return false;
    return moveItem(from, to);
}

// Finishes a swap its journal describes: each item still in the data that
// was to be set aside goes aside, each item still waiting beside the data
// goes in. Every step looks where the item is, so that finishing again
// after another crash goes on from there.
bool finishSwap(const QString &dataFolder, const SwapJournal &j, QString &failedAt, QString &keptFolder)
{
    const QDir data(dataFolder);
    const QString staging = data.filePath(kStagingName.toString());
    const QString aside = data.filePath(kSetAsideName.toString());
    if (!io::makeFolder(aside)) {
        failedAt = aside;
        return false;
    }
    for (const QString &item : j.setAside) {
        // In the data and not yet aside: still the old one.
        if (exists(data.filePath(item)) && !exists(QDir(aside).filePath(item))
            && !moveItem(data.filePath(item), QDir(aside).filePath(item))) {
            failedAt = data.filePath(item);
            return false;
        }
    }
    for (const QString &item : j.brought) {
        const QString waiting = QDir(staging).filePath(item);
        if (exists(waiting) && !moveInto(dataFolder, waiting, item, keptFolder)) {
            failedAt = data.filePath(item);
            return false;
        }
    }
    return true;
}

// Whether the swap can be finished: every item to bring in is either
// waiting beside the data or already in place.
bool canFinish(const QString &dataFolder, const SwapJournal &j)
{
    const QDir data(dataFolder);
    const QString staging = data.filePath(kStagingName.toString());
    const QString aside = data.filePath(kSetAsideName.toString());
    for (const QString &item : j.brought) {
        if (exists(QDir(staging).filePath(item)))
            continue;
        // In place: in the data, and not the old item of that name still there.
        if (!exists(data.filePath(item)) || (j.setAside.contains(item) && !exists(QDir(aside).filePath(item))))
            return false;
    }
    return true;
}

// Puts back every item of the set-aside folder, when nothing tells that the
// copy beside the data was whole; the items a journal says were brought in
// go back beside the data first.
bool undoSwap(const QString &dataFolder, const SwapJournal *j, QString &failedAt, QString &keptFolder)
{
    const QDir data(dataFolder);
    const QString aside = data.filePath(kSetAsideName.toString());
    const QString staging = data.filePath(kStagingName.toString());
    if (j) {
        for (const QString &item : j->brought) {
            const bool placed = exists(data.filePath(item)) && !exists(QDir(staging).filePath(item))
                                && (!j->setAside.contains(item) || exists(QDir(aside).filePath(item)));
            if (placed && (!io::makeFolder(staging) || !moveItem(data.filePath(item), QDir(staging).filePath(item)))) {
                failedAt = data.filePath(item);
                return false;
            }
        }
    }
    const QStringList items =
        QDir(aside).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &item : items) {
        if (!moveInto(dataFolder, QDir(aside).filePath(item), item, keptFolder)) {
            failedAt = QDir(aside).filePath(item);
            return false;
        }
    }
    return true;
}

} // namespace

QString fileName(const QDateTime &when, const QString &suffix)
{
    return u"Clinora-backup-"_s + when.toString(u"yyyy-MM-dd-HHmm"_s) + suffix + u".zip"_s;
}

bool looksLikeBackupName(const QString &name)
{
    return name.startsWith(u"Clinora-backup-"_s) && name.endsWith(u".zip"_s, Qt::CaseInsensitive);
}

QStringList dataEntries(const QString &dataFolder, QStringList *leftOut)
{
    QStringList out;
    const QDir dir(dataFolder);
    for (const QString &name : topFiles()) {
        const QFileInfo fi(dir.filePath(name));
        if (fi.isFile())
            out << name;
        else if (leftOut && !fi.isDir() && (fi.exists() || fi.isSymLink()))
            *leftOut << name;
    }
    QStringList folders;
    const QFileInfoList all =
        dir.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name);
    for (const QFileInfo &fi : all) {
        if (!isTopFolder(fi.fileName()))
            continue;
        if (fi.isDir())
            folders << fi.fileName();
        else if (leftOut && (fi.isSymLink() || !fi.isFile()))
            *leftOut << fi.fileName() + u'/';
    }
    // Patient folders in the order of their numbers.
    std::sort(folders.begin(), folders.end(), [](const QString &a, const QString &b) {
        const bool pa = isPatientFolderName(a), pb = isPatientFolderName(b);
        if (pa != pb)
            return pb;
        if (pa)
            return a.mid(9).toLongLong() < b.mid(9).toLongLong();
        return a < b;
    });
    for (const QString &f : folders)
        collectFolder(dataFolder, f, out, leftOut, {});
    return out;
}

Result create(const QString &dataFolder, const QString &targetFolder, const QDateTime &when,
              const Progress &progress, const QString &suffix, const QString &passphrase)
{
    Result r;
    if (targetFolder.isEmpty() || !QFileInfo(targetFolder).isDir()) {
        r.failure = Failure::FolderMissing;
        r.detail = targetFolder;
        return r;
    }
    // Room first: what crashed runs left.
    const QStringList stale = removeStaleIncomplete(targetFolder);

    Work work;
    work.progress = progress;
    Index index;
    index.created = when;
    const QStringList names = dataEntries(dataFolder, &r.leftOut);
    index.entries.reserve(names.size());
    for (const QString &name : names) {
        const bool folder = name.endsWith(u'/');
        index.entries.append(Entry{name, 0, 0, folder});
        if (!folder)
            work.total += QFileInfo(QDir(dataFolder).filePath(name)).size();
    }
    work.total *= 2; // written, then read back

    ZipFile out{QString()};
    lock::FileLock writing; // held until the file is a backup or gone
    const QString finalPath = reserve(targetFolder, when, suffix, out, writing);
    const QString tempPath = out.path;
    r.path = finalPath;

    auto failWith = [&](Failure f, const QString &detail) {
        // Only this run's own file.
        if (!finalPath.isEmpty()) {
            out.file.close();
            io::removeFile(tempPath);
        }
        r.failure = f;
        r.detail = detail;
        r.leftovers = stale;
        if (!finalPath.isEmpty() && exists(tempPath))
            r.leftovers << tempPath;
        return r;
    };
    if (finalPath.isEmpty())
        return failWith(Failure::WriteFailed, targetFolder);
    const QByteArray secret = passphrase.toUtf8();
    auto seal = [&](zip_t *za, zip_int64_t at) {
        return secret.isEmpty() || zip_file_set_encryption(za, zip_uint64_t(at), ZIP_EM_AES_256, secret.constData()) == 0;
    };

    // Written.
    {
        zip_error_t err;
        zip_error_init(&err);
        zip_source_t *src = zip_source_function_create(&ZipFile::callback, &out, &err);
        zip_t *za = src ? zip_open_from_source(src, ZIP_CREATE | ZIP_EXCL, &err) : nullptr;
        zip_error_fini(&err);
        if (!za) {
            if (src)
                zip_source_free(src);
            return failWith(Failure::WriteFailed, targetFolder);
        }
        std::vector<std::unique_ptr<DataFile>> files;
        files.reserve(size_t(index.entries.size()));
        bool added = true;
        for (Entry &e : index.entries) {
            const QByteArray utf8 = e.name.toUtf8();
            if (e.folder) {
                added = zip_dir_add(za, utf8.constData(), ZIP_FL_ENC_UTF_8) >= 0;
            } else {
                const QString abs = QDir(dataFolder).filePath(e.name);
                files.push_back(std::make_unique<DataFile>(work, abs, e));
                zip_source_t *zs = zip_source_function_create(&DataFile::callback, files.back().get(), nullptr);
                const zip_int64_t at = zs ? zip_file_add(za, utf8.constData(), zs, ZIP_FL_ENC_UTF_8) : -1;
                if (at < 0 && zs)
                    zip_source_free(zs);
                // Stored: archives and attachments are copied at the speed of the disk.
                added = at >= 0 && zip_set_file_compression(za, zip_uint64_t(at), ZIP_CM_STORE, 0) == 0
                        && seal(za, at);
                if (added) {
                    const QDateTime mtime = QFileInfo(abs).lastModified();
                    if (mtime.isValid())
                        zip_file_set_mtime(za, zip_uint64_t(at), time_t(mtime.toSecsSinceEpoch()), 0);
                }
            }
            if (!added)
                break;
        }
        IndexSource indexSource(index);
        if (added) {
            zip_source_t *zs = zip_source_function_create(&IndexSource::callback, &indexSource, nullptr);
            const QByteArray utf8 = kIndexName.toString().toUtf8();
            const zip_int64_t at = zs ? zip_file_add(za, utf8.constData(), zs, ZIP_FL_ENC_UTF_8) : -1;
            if (at < 0 && zs)
                zip_source_free(zs);
            added = at >= 0 && seal(za, at);
        }
        if (!added) {
            zip_discard(za);
            return failWith(Failure::WriteFailed, targetFolder);
        }
        const bool closed = zip_close(za) == 0;
        if (!closed)
            zip_discard(za);
        if (!closed || !out.written) {
            if (work.failure != Failure::None)
                return failWith(work.failure, work.detail);
            return failWith(Failure::WriteFailed, targetFolder);
        }
    }

    // Read back whole from the disk, and every file compared with the
    // checksum of the data as they were read.
    {
        QFile cached(tempPath);
        if (cached.open(QIODevice::ReadOnly)) {
            io::dropCached(cached);
            cached.close();
        }
        Reader reader(tempPath);
        if (reader.open(passphrase) != 0)
            return failWith(Failure::VerifyFailed, tempPath);
        Index read;
        Work check;
        check.buffer.bytes.swap(work.buffer.bytes);
        if (progress)
            check.progress = [&](qint64 done, qint64) { return progress(work.total / 2 + done, work.total); };
        const Failure f = checkArchive(reader.za, read, check);
        if (f == Failure::Cancelled)
            return failWith(Failure::Cancelled, QString());
        if (f != Failure::None || read.entries.size() != index.entries.size())
            return failWith(Failure::VerifyFailed, tempPath);
        for (qsizetype i = 0; i < read.entries.size(); ++i) {
            const Entry &a = read.entries[i];
            const Entry &b = index.entries[i];
            if (a.name != b.name || a.folder != b.folder || a.crc != b.crc || a.size != b.size)
                return failWith(Failure::VerifyFailed, tempPath);
        }
    }

    // Only now under the name of a backup, and the name on the disk too.
    if (!moveItem(tempPath, finalPath))
        return failWith(Failure::WriteFailed, targetFolder);
    if (!io::syncFolderToDisk(targetFolder)) {
        io::removeFile(finalPath);
        return failWith(Failure::WriteFailed, targetFolder);
    }
    r.summary = index.summary();
    r.summary.zipBytes = QFileInfo(finalPath).size();
    r.summary.encrypted = !passphrase.isEmpty();
    r.entries = std::move(index.entries);
    return r;
}

Result inspect(const QString &zipPath, const Progress &progress, const QString &passphrase)
{
    Result r;
    r.path = zipPath;
    if (!QFileInfo(zipPath).isFile()) {
        r.failure = Failure::NotABackup;
        return r;
    }
    Reader reader(zipPath);
    const int opened = reader.open(passphrase);
    if (opened != 0) {
        r.failure = opened == ZIP_ER_NOZIP ? Failure::NotABackup : Failure::Damaged;
        return r;
    }
    Work work;
    work.progress = progress;
    Index index;
    bool encrypted = false;
    r.failure = checkArchive(reader.za, index, work, &encrypted);
    if (r.ok()) {
        r.summary = index.summary();
        r.summary.zipBytes = QFileInfo(zipPath).size();
        r.summary.encrypted = encrypted;
        r.entries = std::move(index.entries);
    }
    return r;
}

bool changesPassword(const Result &seen, const QString &dataFolder)
{
    for (const Entry &e : seen.entries) {
        if (e.name != kPasswordFileName)
            continue;
        const QString current = QDir(dataFolder).filePath(kPasswordFileName.toString());
        quint32 crc = 0;
        return !QFileInfo(current).isFile() || QFileInfo(current).size() != e.size || !fileChecksum(current, crc)
               || crc != e.crc;
    }
    return false; // the password file there is kept
}

Result restore(const QString &zipPath, const QString &dataFolder, const Progress &progress,
               const QList<Entry> *unchangedSince, const QString &passphrase)
{
    // Checked whole before anything is touched.
    Progress half;
    if (progress)
        half = [&](qint64 done, qint64 total) { return progress(done, total * 2); };
    Result r = inspect(zipPath, half, passphrase);
    if (!r.ok())
        return r;

    const QDir data(dataFolder);
    const QString staging = data.filePath(kStagingName.toString());
    const QString aside = data.filePath(kSetAsideName.toString());
    // A swap left unfinished is finished (or undone) first; what is left
    // beside the data after that is only an unpacked copy.
    const Recovery recovered = recoverSwap(dataFolder);
    if (recovered.action == Recovery::Action::Locked) {
        r.failure = Failure::Locked;
        r.detail = recovered.detail;
        return r;
    }
    if (recovered.action == Recovery::Action::Failed) {
        r.failure = Failure::ReplaceFailed;
        r.detail = recovered.detail;
        return r;
    }
    removeItem(staging);

    auto fail = [&](Failure f, const QString &detail) {
        removeItem(staging);
        r.failure = f;
        r.detail = detail;
        return r;
    };

    // Unpacked beside the data, each file checked again as it is written.
    if (!io::makeFolder(staging))
        return fail(Failure::ReplaceFailed, staging);
    QStringList restoredTop;
    {
        QHash<QString, qint64> declared;
        for (const Entry &e : std::as_const(r.entries))
            declared.insert(e.name, e.size);
        Reader reader(zipPath);
        if (reader.open(passphrase) != 0)
            return fail(Failure::Damaged, zipPath);
        Work work;
        work.total = r.summary.dataBytes * 2;
        work.done = r.summary.dataBytes;
        work.progress = progress;
        QStringList madeFolders{staging};
        const zip_int64_t count = zip_get_num_entries(reader.za, 0);
        for (zip_int64_t i = 0; i < count; ++i) {
            zip_stat_t st;
            zip_stat_init(&st);
            if (zip_stat_index(reader.za, zip_uint64_t(i), 0, &st) < 0)
                return fail(Failure::Damaged, zipPath);
            const QString name = QString::fromUtf8(st.name);
            if (name == kIndexName)
                continue;
            if (!safeEntryName(name))
                return fail(Failure::UnsafeName, name);
            // The file read may differ from the one checked: only what the index holds, at its size.
            if (!declared.contains(name))
                return fail(Failure::Damaged, zipPath);
            if (restoredTop.isEmpty() || restoredTop.last() != topItem(name))
                restoredTop << topItem(name);
            const QString target = QDir(staging).filePath(name);
            if (name.endsWith(u'/')) {
                if (!io::makeFolder(target))
                    return fail(Failure::ReplaceFailed, target);
                madeFolders << target;
                continue;
            }
            if (!io::makeFolder(QFileInfo(target).absolutePath()))
                return fail(Failure::ReplaceFailed, target);
            QFile out(target);
            if (io::injectFault(io::Op::Open, target) || !io::openFresh(out))
                return fail(Failure::ReplaceFailed, target);
            qint64 written = 0;
            const bool copied = readEntry(reader.za, zip_uint64_t(i), work, declared.value(name), [&](QByteArrayView b) {
                written += b.size();
                return io::writeAll(out, b);
            });
            if (!copied || written != declared.value(name)) {
                if (work.failure == Failure::Cancelled)
                    return fail(Failure::Cancelled, target);
                return fail(written > declared.value(name) || work.zipError ? Failure::Damaged : Failure::ReplaceFailed,
                            target);
            }
            if (io::injectFault(io::Op::Flush, target) || !out.flush() || !io::syncToDisk(out))
                return fail(Failure::ReplaceFailed, target);
            out.close();
            if (st.valid & ZIP_STAT_MTIME) {
                QFile touched(target);
                if (touched.open(QIODevice::ReadWrite))
                    touched.setFileTime(QDateTime::fromSecsSinceEpoch(st.mtime), QFileDevice::FileModificationTime);
            }
        }
        // Every name of the copy on the disk before the journal says it is whole.
        for (const QString &folder : madeFolders)
            io::syncFolderToDisk(folder);
    }
    const bool keepPassword = !restoredTop.contains(kPasswordFileName.toString());

    // Every file a save locks, locked as a save locks it, until the new data
    // are in place: a save on another computer is either wholly in the data
    // set aside or made afterwards on the restored data, never torn by the
    // swap. A lock held elsewhere for the whole wait stops the restore here,
    // with nothing changed.
    std::vector<lock::FileLock> guards;
    const QStringList locked = filesSavesLock(dataFolder, keepPassword);
    {
        lock::reserveHandles(locked.size());
        guards.reserve(size_t(locked.size()));
        for (const QString &path : locked) {
            guards.emplace_back();
            switch (guards.back().acquire(path, lock::Mode::Exclusive, lock::Missing::Skip)) {
            case lock::Outcome::Locked: break;
            case lock::Outcome::Busy: return fail(Failure::Locked, path);
            case lock::Outcome::Failed: return fail(Failure::ReplaceFailed, path);
            }
        }
    }
    // A save made after the backup of the current data would be lost with
    // the data set aside: the restore stops instead.
    if (unchangedSince && !stillAsBackedUp(dataFolder, *unchangedSince, locked, keepPassword))
        return fail(Failure::Changed, dataFolder);

    // The swap, recorded before the first item moves: a crash from here on
    // is finished at the next start.
    SwapJournal journal;
    journal.backupCreated = r.summary.created;
    journal.passwordReplaced = !keepPassword;
    for (const QString &item : topItems(dataFolder)) {
        if (!(keepPassword && item == kPasswordFileName))
            journal.setAside << item;
    }
    journal.brought = restoredTop;
    if (!journal.write(dataFolder))
        return fail(Failure::ReplaceFailed, SwapJournal::path(dataFolder));
    auto dropJournal = [&] {
        io::syncFolderToDisk(dataFolder);
        io::removeFile(SwapJournal::path(dataFolder));
        io::syncFolderToDisk(dataFolder);
    };

    // The old data set aside, the new put in place; any failure puts back
    // what was moved.
    // Windows will not rename a file held open: the locks' handles are let go
    // here (nothing on other systems), the swap being recorded already.
    for (lock::FileLock &g : guards)
        g.releaseForRename();
    if (!io::makeFolder(aside)) {
        dropJournal();
        return fail(Failure::ReplaceFailed, aside);
    }
    QStringList setAside, placed;
    auto rollBack = [&]() {
        bool whole = true;
        for (const QString &item : placed)
            whole = moveItem(data.filePath(item), QDir(staging).filePath(item)) && whole;
        for (const QString &item : setAside)
            whole = moveItem(QDir(aside).filePath(item), data.filePath(item)) && whole;
        if (whole) {
            removeItem(aside);
            dropJournal();
        }
        return whole;
    };
    for (const QString &item : std::as_const(journal.setAside)) {
        if (!moveItem(data.filePath(item), QDir(aside).filePath(item))) {
            const bool whole = rollBack();
            if (!whole) {
                r.failure = Failure::RollbackFailed;
                r.detail = aside;
                return r; // the journal stays: the next start finishes the swap
            }
            return fail(Failure::ReplaceFailed, item);
        }
        setAside << item;
    }
    for (const QString &item : std::as_const(restoredTop)) {
        if (!moveItem(QDir(staging).filePath(item), data.filePath(item))) {
            const bool whole = rollBack();
            if (!whole) {
                r.failure = Failure::RollbackFailed;
                r.detail = aside;
                return r;
            }
            return fail(Failure::ReplaceFailed, item);
        }
        placed << item;
        keepPermissions(QDir(aside).filePath(item), data.filePath(item));
    }
    io::syncFolderToDisk(dataFolder);
    // Complete: only now may what was set aside go.
    journal.complete = true;
    if (!journal.write(dataFolder)) {
        r.failure = Failure::None; // in place; the next start tidies up
        return r;
    }
    guards.clear();
    removeItem(aside);
    removeItem(staging);
    dropJournal();
    return r;
}

Recovery recoverSwap(const QString &dataFolder)
{
    Recovery rec;
    const QDir data(dataFolder);
    const QString staging = data.filePath(kStagingName.toString());
    const QString aside = data.filePath(kSetAsideName.toString());
    const QString journalPath = SwapJournal::path(dataFolder);
    // A journal's copy stopped while being written (it replaces the journal
    // by a rename) is never data: the journal itself, or its absence, says
    // how far the swap went. It goes under the locks, as a restore running
    // elsewhere writes its journal only while holding them.
    const QStringList unfinishedCopies = data.entryList({kSwapJournalName.toString() + u".*"_s},
                                                        QDir::Files | QDir::Hidden | QDir::System);
    const bool hasJournal = exists(journalPath);
    if (!hasJournal && !exists(aside) && unfinishedCopies.isEmpty()) {
        // Only an unpacked copy, stopped before any swap: the data are whole.
        if (exists(staging))
            removeItem(staging);
        return rec;
    }

    // As a restore swaps: under the locks saves take.
    std::vector<lock::FileLock> guards;
    const QStringList locked = filesSavesLock(dataFolder, true);
    lock::reserveHandles(locked.size());
    guards.reserve(size_t(locked.size()));
    for (const QString &path : locked) {
        guards.emplace_back();
        switch (guards.back().acquire(path, lock::Mode::Exclusive, lock::Missing::Skip)) {
        case lock::Outcome::Locked: break;
        case lock::Outcome::Busy:
            rec.action = Recovery::Action::Locked;
            rec.detail = path;
            return rec;
        case lock::Outcome::Failed:
            rec.action = Recovery::Action::Failed;
            rec.detail = path;
            return rec;
        }
    }
    for (const QString &copy : unfinishedCopies)
        io::removeFile(data.filePath(copy));
    if (!hasJournal && !exists(aside)) {
        if (exists(staging))
            removeItem(staging);
        return rec;
    }

    SwapJournal journal;
    bool known = false;
    if (hasJournal) {
        QFile f(journalPath);
        known = f.open(QIODevice::ReadOnly) && journal.parse(f.read(1 << 20));
    }
    QString failedAt;
    QString kept;
    bool done = false;
    if (known && (journal.complete || canFinish(dataFolder, journal))) {
        done = journal.complete || finishSwap(dataFolder, journal, failedAt, kept);
        if (done) {
            io::syncFolderToDisk(dataFolder);
            if (!journal.complete) {
                journal.complete = true;
                done = journal.write(dataFolder);
                if (!done)
                    failedAt = journalPath;
            }
        }
        rec.action = Recovery::Action::Finished;
        rec.backupCreated = journal.backupCreated;
        rec.passwordReplaced = journal.passwordReplaced;
    } else {
        // Nothing says the copy beside the data was whole: the data set aside go back.
        done = undoSwap(dataFolder, known ? &journal : nullptr, failedAt, kept);
        rec.action = Recovery::Action::RolledBack;
    }
    rec.keptFolder = kept;
    if (!done) {
        rec.action = Recovery::Action::Failed;
        rec.detail = failedAt;
        return rec;
    }
    io::syncFolderToDisk(dataFolder);
    guards.clear();
    removeItem(aside);
    removeItem(staging);
    io::removeFile(journalPath);
    io::syncFolderToDisk(dataFolder);
    return rec;
}

QString Settings::path(const QString &appFolder) { return QDir(appFolder).filePath(kSettingsName.toString()); }

Settings Settings::load(const QString &appFolder)
{
    Settings s;
    QFile f(path(appFolder));
    if (!f.open(QIODevice::ReadOnly))
        return s;
    const QString text = QString::fromUtf8(f.read(1 << 16));
    s.folder = iniValue(text, kSettingsSection, u"Cartella");
    s.lastTime = QDateTime::fromString(iniValue(text, kSettingsSection, u"UltimoBackup"), Qt::ISODate);
    s.lastPath = iniValue(text, kSettingsSection, u"UltimoFile");
    s.lastBytes = iniValue(text, kSettingsSection, u"UltimaDimensione").toLongLong();
    s.lastFiles = iniValue(text, kSettingsSection, u"UltimoNumeroFile").toInt();
    return s;
}

bool Settings::save(const QString &appFolder) const
{
    QString text;
    text = iniWithValue(text, kSettingsSection, u"Cartella", folder);
    if (lastTime.isValid()) {
        text = iniWithValue(text, kSettingsSection, u"UltimoBackup", lastTime.toString(Qt::ISODate));
        text = iniWithValue(text, kSettingsSection, u"UltimoFile", lastPath);
        text = iniWithValue(text, kSettingsSection, u"UltimaDimensione", QString::number(lastBytes));
        text = iniWithValue(text, kSettingsSection, u"UltimoNumeroFile", QString::number(lastFiles));
    }
    return io::replaceFile(path(appFolder), text.toUtf8());
}

bool reminderDue(const Settings &s, const QDateTime &now)
{
    return !s.lastTime.isValid() || s.lastTime.addDays(kReminderDays) < now;
}

} // namespace clinora::backup
