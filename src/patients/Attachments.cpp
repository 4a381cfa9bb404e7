#include "patients/Attachments.h"

#include "common/FileIo.h"
#include "common/FileNames.h"
#include "common/Text.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace clinora::attachments {

namespace {

// Large enough to copy quickly, small enough to keep memory flat for any size.
constexpr qint64 kChunk = 1 << 20;

bool isSeparator(QChar c) { return c == u'/' || c == u'\\'; }

} // namespace

QString folderPath(const QString &appFolder) { return QDir(appFolder).filePath(kFolderName.toString()); }

QString bareName(QStringView stored)
{
    QStringView name = text::trimmedView(stored);
    for (qsizetype i = name.size(); i > 0; --i) {
        if (isSeparator(name[i - 1])) {
            name = name.sliced(i);
            break;
        }
    }
    name = text::trimmedView(name);
    // "." and ".." (and the all-dots names that Windows reads as them) name a
    // folder, never a file.
    bool dotsOnly = true;
    for (QChar c : name)
        dotsOnly = dotsOnly && c == u'.';
    return dotsOnly ? QString() : name.toString();
}

QString filePath(const QString &appFolder, QStringView stored)
{
    const QString name = bareName(stored);
    // A name this system cannot hold as a file (on Windows "a:b.pdf" is a
    // hidden stream of "a", "NUL.pdf" no file at all) names no attachment.
    if (name.isEmpty() || !names::fitsHere(name))
        return QString();
    // Joined as text: the name has no separator, so the result lies in the
    // folder whatever the name looks like.
    const QString folder = folderPath(appFolder);
    const QString exact = folder + u'/' + name;
    if (QFileInfo::exists(exact))
        return exact;
    // A folder filled on Windows, where "Referto.PDF" finds "referto.pdf":
    // the first name that differs only in case, in name order.
    const QStringList entries = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString &entry : entries)
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return folder + u'/' + entry;
    return exact;
}

QString storableName(QStringView chosenFileName)
{
    // Composed first, so that a name written letter and accent apart keeps
    // its letters.
    const QString bare = bareName(chosenFileName).normalized(QString::NormalizationForm_C);
    QString name;
    name.reserve(bare.size());
    for (const char32_t c : bare.toUcs4()) {
        // The closest letter, as any stored text; "_" where none fits, since
        // "?" is no part of a file name where the folder may come from.
        if (QChar::category(c) == QChar::Mark_NonSpacing)
            continue;
        const std::optional<char16_t> fit = text::closestCp1252(c);
        name += fit ? QChar(*fit) : QChar(u'_');
    }
    if (name.size() > kStoredNameLength) {
        // Keep a short extension, so that the file still opens with its program.
        const qsizetype dot = name.lastIndexOf(u'.');
        const qsizetype extLength = dot > 0 && name.size() - dot <= 16 ? name.size() - dot : 0;
        name = text::trimmed(QStringView(name).first(kStoredNameLength - extLength)) + QStringView(name).last(extLength);
    }
    // The folder may be copied to Windows: a name it refuses is made to fit
    // there, on every system ("CON.pdf" -> "CON_.pdf", "a:b" -> "a_b").
    if (name.isEmpty() || names::fitsWindows(name))
        return name;
    const QString fit = names::fitForWindows(name);
    return fit.size() <= kStoredNameLength ? fit : text::trimmed(QStringView(fit).first(kStoredNameLength));
}

bool ensureFolder(const QString &appFolder) { return io::makeFolder(folderPath(appFolder)); }

bool sameFile(const QString &a, const QString &b)
{
    const QFileInfo fa(a), fb(b);
    return fa.exists() && fb.exists() && fa == fb;
}

bool copyFile(const QString &source, const QString &target)
{
    if (io::injectFault(io::Op::Copy, target))
        return false;
    QFile in(source);
    if (io::injectFault(io::Op::Open, source) || !io::openRegular(in, QIODevice::ReadOnly))
        return false;
    // Written beside the target under a temporary name, which takes the
    // target's place only once the copy is whole.
    io::ReplacedFile out(target);
    if (!out.open())
        return false;
    QByteArray chunk(kChunk, Qt::Uninitialized);
    for (;;) {
        if (io::injectFault(io::Op::Read, source))
            return false;
        const qint64 n = in.read(chunk.data(), chunk.size());
        if (n < 0)
            return false;
        if (n == 0)
            break;
        if (!out.write(QByteArrayView(chunk.data(), n)))
            return false;
    }
    // As a copy in the file manager does; a file system that cannot set the
    // time still gets the copy.
    out.setModificationTime(in.fileTime(QFileDevice::FileModificationTime));
    return out.commit();
}

} // namespace clinora::attachments

namespace clinora {

QString patientFolderPath(const QString &appFolder, QStringView recordNumber)
{
    const QStringView digits = text::trimmedView(recordNumber);
    if (digits.isEmpty() || digits.size() > 18)
        return QString();
    for (QChar c : digits)
        if (c < u'0' || c > u'9')
            return QString();
    const qint64 number = digits.toLongLong();
    if (number < 1)
        return QString();
    // The number as the position label shows it: no leading zeros.
    return QDir(appFolder).filePath(u"Paziente_" + QString::number(number));
}

} // namespace clinora
