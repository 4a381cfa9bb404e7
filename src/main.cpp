#include "app/ui/AppContext.h"
#include "common/ui/Services.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Clinora"));
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
