// Saves a picture of every screen, for looking at them without a display:
//   QT_QPA_PLATFORM=offscreen clinora_shots OUTDIR [APPFOLDER]
// Working areas are pictured at their design size and at 1366 x 768.
#include "app/ui/AppContext.h"
#include "checks/ui/CalcolaCodFisc.h"
#include "common/CommonSettings.h"
#include "common/ui/Screen.h"
#include "common/ui/Services.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTemporaryDir>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc < 2) {
        fprintf(stderr, "usage: clinora_shots OUTDIR [APPFOLDER]\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out);
    QTemporaryDir temp;
    const QString folder = argc > 2 ? QString::fromLocal8Bit(argv[2]) : temp.path();
    auto services = clinora::Services::createDefault(folder);
    clinora::AppContext ctx(*services);
    ctx.onEnd = [] {};
    ctx.createScreens();
    for (QWidget *w : ctx.allScreens()) {
        // The summary view is a working area too, though it opens as a modal dialog.
        const bool area = qobject_cast<clinora::WorkingArea *>(w) != nullptr
                          || w->inherits("clinora::TfrmRiepLavoro");
        const QList<QSize> sizes = area ? QList<QSize>{clinora::WorkingArea::kDesignSize, QSize(1366, 768)}
                                        : QList<QSize>{w->size()};
        for (const QSize &s : sizes) {
            if (area) {
                w->setWindowState(Qt::WindowNoState);
                w->resize(s);
            }
            w->show();
            QApplication::processEvents();
            const QString name = w->objectName() + (area && s != sizes.first() ? QStringLiteral("-wide") : QString());
            w->grab().save(QDir(out).filePath(name + QStringLiteral(".png")));
            w->hide();
        }
    }
    // A dialog made on demand, filled as the patient card fills it.
    {
        clinora::TfrmCalcolaCodFisc d(ctx, nullptr);
        d.precompila(QStringLiteral("DE ROSSI MARIA GRAZIA"), QStringLiteral("F"), QStringLiteral("05/03/1972"),
                     QStringLiteral("San Giuliano Terme"), QStringLiteral("PI"));
        d.show();
        QApplication::processEvents();
        d.grab().save(QDir(out).filePath(d.objectName() + QStringLiteral(".png")));
    }
    return 0;
}
