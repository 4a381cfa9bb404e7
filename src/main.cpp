#include "app/ui/AppContext.h"
#include "common/ui/Artwork.h"
#include "common/ui/Services.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QPainter>
#include <QPixmap>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Clinora"));
    // The desktop pairs the windows with the menu entry of the installation
    // and shows the program's own tile as their icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("clinora"));
    QIcon icon;
    for (const int side : {16, 24, 32, 48, 64, 128, 256}) {
        QPixmap tile(side, side);
        tile.fill(Qt::transparent);
        QPainter painter(&tile);
        const qreal margin = side / 32.0;
        clinora::art::drawLogoTile(painter, QRectF(margin, margin, side - 2 * margin, side - 2 * margin));
        painter.end();
        icon.addPixmap(tile);
    }
    QApplication::setWindowIcon(icon);
    // The program ends only from the login screen or the start menu, never
    // because a switch between screens left no window visible for a moment.
    QApplication::setQuitOnLastWindowClosed(false);
    // The toolkit's own dialogs (the print dialog, the file chooser) speak
    // Italian like the rest of the program.
    QTranslator toolkit;
    const QLocale italian(QLocale::Italian, QLocale::Italy);
    if (toolkit.load(italian, QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        toolkit.load(italian, QStringLiteral("qtbase"), QStringLiteral("_"),
                     QApplication::applicationDirPath() + QStringLiteral("/translations")))
        QApplication::installTranslator(&toolkit);

    const auto services = clinora::Services::createDefault(QApplication::applicationDirPath());
    clinora::AppContext context(*services);
    context.createScreens();
    context.start();
    return QApplication::exec();
}
