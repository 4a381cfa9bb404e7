#include "app/ui/AppContext.h"
#include "common/ui/Services.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Clinora"));
    // The program ends only from the login screen or the start menu, never
    // because a switch between screens left no window visible for a moment.
    QApplication::setQuitOnLastWindowClosed(false);

    const auto services = clinora::Services::createDefault(QApplication::applicationDirPath());
    clinora::AppContext context(*services);
    context.createScreens();
    context.start();
    return QApplication::exec();
}
