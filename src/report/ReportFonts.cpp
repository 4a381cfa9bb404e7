#include "report/ReportFonts.h"

#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>

using namespace Qt::StringLiterals;

namespace clinora::report {

void registerCompatibleFonts()
{
    static bool done = false;
    if (done || !qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return;
    done = true;
    if (QFontDatabase::families().contains(u"Tahoma"_s))
        return;
    // Debian's fonts-wine carries a Tahoma with Tahoma's own widths, in a
    // folder the system's font search does not look into.
    for (const QString &path : {u"/usr/share/wine/fonts/tahoma.ttf"_s, u"/usr/share/wine/fonts/tahomabd.ttf"_s}) {
        if (QFile::exists(path))
            QFontDatabase::addApplicationFont(path);
    }
}

QStringList familyWithStandIns(const QString &family)
{
    // Liberation Sans, Mono and Serif have the widths of Arial, Courier New
    // and Times New Roman letter for letter. Verdana has no such twin among
    // the free fonts: DejaVu Sans, drawn on the same model, is the nearest
    // (a little wider).
    if (family.compare(u"Arial"_s, Qt::CaseInsensitive) == 0)
        return {family, u"Liberation Sans"_s, u"Arimo"_s};
    if (family.compare(u"Courier New"_s, Qt::CaseInsensitive) == 0)
        return {family, u"Liberation Mono"_s, u"Cousine"_s};
    if (family.compare(u"Times New Roman"_s, Qt::CaseInsensitive) == 0)
        return {family, u"Liberation Serif"_s, u"Tinos"_s};
    if (family.compare(u"Verdana"_s, Qt::CaseInsensitive) == 0 || family.compare(u"Tahoma"_s, Qt::CaseInsensitive) == 0)
        return {family, u"DejaVu Sans"_s};
    return {family};
}

QFont reportFont(const QString &family, double pointSize, bool bold)
{
    registerCompatibleFonts();
    QFont f;
    f.setFamilies(familyWithStandIns(family));
    f.setStyleHint(family.contains(u"Courier"_s, Qt::CaseInsensitive) ? QFont::TypeWriter : QFont::SansSerif);
    f.setPointSizeF(pointSize);
    f.setBold(bold);
    // Paper has no pixels to snap to: keep the font's own widths.
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

} // namespace clinora::report
