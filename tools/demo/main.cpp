// Writes a demo data folder for trying Clinora on a full archive: the
// patients, their results and the frequent-exams list.
//   clinora_demo FOLDER [PATIENTS] [PATIENTS_WITH_RESULTS] [RESULTS_EACH]
#include "demo/DemoData.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: clinora_demo FOLDER [PATIENTS] [PATIENTS_WITH_RESULTS] [RESULTS_EACH]\n");
        return 2;
    }
    clinora::demo::FolderOptions o;
    if (args.size() > 2)
        o.patients = args[2].toInt();
    if (args.size() > 3)
        o.patientsWithResults = args[3].toInt();
    if (args.size() > 4)
        o.resultsPerPatient = args[4].toInt();
    if (!clinora::demo::writeDemoFolder(args[1], o)) {
        std::fprintf(stderr, "cannot write the demo folder\n");
        return 1;
    }
    std::printf("%d patients, %d of them with %d results each, and the frequent-exams list, in %s\n",
                o.patients, o.patientsWithResults, o.resultsPerPatient, qPrintable(args[1]));
    return 0;
}
