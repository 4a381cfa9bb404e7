#include "support/PdfTools.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace clinora::test {

QString runTool(const QString &program, const QStringList &arguments)
{
    QProcess p;
    p.start(program, arguments);
    if (!p.waitForStarted() || !p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit ||
        p.exitCode() != 0)
        return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

QString pdfText(const QString &pdf) { return runTool(u"pdftotext"_s, {u"-layout"_s, pdf, u"-"_s}); }

QString pdfInfo(const QString &pdf, const QString &key)
{
    const QString info = runTool(u"pdfinfo"_s, {pdf});
    const auto m = QRegularExpression(u"^"_s + QRegularExpression::escape(key) + u":\\s*(.*)$"_s,
                                      QRegularExpression::MultilineOption)
                       .match(info);
    return m.hasMatch() ? m.captured(1).trimmed() : QString();
}

int pdfPageCount(const QString &pdf) { return pdfInfo(pdf, u"Pages"_s).toInt(); }

void keepForReview(const QString &pdf)
{
    const QString dir = qEnvironmentVariable("CLINORA_REVIEW_DIR");
    if (dir.isEmpty())
        return;
    QDir().mkpath(dir);
    const QString target = QDir(dir).filePath(QFileInfo(pdf).fileName());
    QFile::remove(target);
    QFile::copy(pdf, target);
}

QImage pdfPage(const QString &pdf, int page, int dpi)
{
    QTemporaryDir dir;
    const QString prefix = dir.filePath(u"page"_s);
    runTool(u"pdftoppm"_s, {u"-png"_s, u"-r"_s, QString::number(dpi), u"-f"_s, QString::number(page), u"-l"_s,
                            QString::number(page), u"-singlefile"_s, pdf, prefix});
    return QImage(prefix + u".png"_s);
}

} // namespace clinora::test
