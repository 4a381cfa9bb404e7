#pragma once

#include "analyses/AnalysisRecord.h"
#include "patients/PatientRecord.h"

#include <QDate>
#include <QRandomGenerator>

#include <span>
#include <QString>

// Realistic practice data: Italian names and towns, fiscal codes and VAT
// numbers with correct check characters, clinical histories, years of
// laboratory results with some alarming ones. Used by the benchmarks and to
// write a demo data folder.
namespace clinora::demo {

struct Patient {
    PatientRecord record;
    QString name;
    QString fiscalCode;
};

class Generator {
public:
    explicit Generator(quint32 seed = 20261210) : m_rng(seed) {}

    // Patient number `index` (0-based): its record, name and fiscal code.
    Patient patient(int index);
    // One exam result of a patient, sampled around `date`.
    AnalysisRecord result(const Patient &p, const QDate &date, int reportNumber);

    QRandomGenerator &rng() { return m_rng; }

private:
    QRandomGenerator m_rng;
};

// The frequent exams a practice keeps: exam, unit of measure, reference values.
struct Exam {
    const char16_t *name;
    const char16_t *unit;
    const char16_t *reference;
    double low, high; // the normal range the generator draws around
    int decimals;
};
std::span<const Exam> exams();

// Writes `count` patients to a new patient archive at `path`.
bool writePatientArchive(const QString &path, int count, quint32 seed = 20261210);
// Writes `count` results of one patient, over the years up to `last`, to a
// new analysis archive at `path`.
bool writeAnalysisArchive(const QString &path, const Patient &p, int count, const QDate &last,
                          quint32 seed = 20261210);

struct FolderOptions {
    int patients = 500;
    int patientsWithResults = 60;
    int resultsPerPatient = 120;
    QDate today = QDate::currentDate();
};
// A whole AppFolder: Pazienti.pro, Analisi_Cliniche/ and Esami_Frequenti.lst.
bool writeDemoFolder(const QString &folder, const FolderOptions &options);

} // namespace clinora::demo
