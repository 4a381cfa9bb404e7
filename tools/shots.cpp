// Saves a picture of every screen, for looking at them without a display:
//   QT_QPA_PLATFORM=offscreen clinora_shots OUTDIR [APPFOLDER]
// Working areas are pictured at their design size and at 1366 x 768. Message
// boxes and dialogs that a screen would open while shown are answered at once.
#include "analyses/ui/FuoriIntervallo.h"
#include "analyses/ui/ImportaReferto.h"
#include "app/ui/AppContext.h"
#include "checks/ui/CalcolaCodFisc.h"
#include "common/CommonSettings.h"
#include "common/ui/Screen.h"
#include "common/ui/Services.h"
#include "summary/ui/Grafico.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QPixmap>
#include <QTemporaryDir>

namespace {
struct NoBoxes : clinora::MessageSeam {
    clinora::MsgAnswer show(QWidget *, clinora::MsgKind, const QString &) override { return clinora::MsgAnswer::No; }
};
struct NoDialogs : clinora::DialogSeam {
    int exec(QDialog *) override { return QDialog::Rejected; }
};

void save(QWidget &w, const QString &out)
{
    w.show();
    QApplication::processEvents();
    w.grab().save(QDir(out).filePath(w.objectName() + QStringLiteral(".png")));
}
} // namespace

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
    services->messages = std::make_unique<NoBoxes>();
    services->dialogs = std::make_unique<NoDialogs>();
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
        save(d, out);
    }
    {
        clinora::TfrmFuoriIntervallo d(ctx, nullptr);
        d.setLines({});
        save(d, out);
    }
    {
        clinora::TfrmGrafico d(ctx, nullptr);
        d.setTrends({}, QStringLiteral("RSSMRA80A01H501U"), QDate(2024, 1, 1), QDate(2024, 12, 31));
        save(d, out);
    }
    {
        // A short laboratory message: a result out of range, a critical one,
        // one that does not read, a comment.
        const QString report = QDir(temp.path()).filePath(QStringLiteral("referto.hl7"));
        QFile f(report);
        if (f.open(QIODevice::WriteOnly))
            f.write("MSH|^~\\&|LIS|LABORATORIO SAN MARCO|C|S|20240315||ORU^R01|1|P|2.5\r"
                    "PID|1||RSSMRA80A01H501U^^^MEF^NNITA||ROSSI^MARIO\r"
                    "OBR|1||R2024-0042||||20240314|||||||||||||||20240315|||F|||||||&Bianchi&Luca\r"
                    "OBX|1|NM|^Glucosio||182|mg/dL|70-110|H|||F\rNTE|1||A digiuno da 12 ore\r"
                    "OBX|2|NM|^Emoglobina||13.9|g/dL|13.0-17.0|N|||F\r"
                    "OBX|3|NM|^Potassio||2.4|mmol/L|3.5-5.1|LL|||F\r"
                    "OBX|4|NM|^Ferritina||12,,5|ng/mL|30-400|L|||F\r"
                    "OBX|5|SN|^Proteina C reattiva||<^0.5|mg/dL|<0.5||||F\r"
                    "OBX|6|ST|^Sangue occulto||negativo||negativo||||F\r");
        f.close();
        clinora::TfrmImportaReferto d(ctx, nullptr);
        d.setPatient(QStringLiteral("ROSSI MARIO"), QStringLiteral("RSSMRA80A01H501U"), QString());
        d.openReport(report);
        save(d, out);
    }
    return 0;
}
