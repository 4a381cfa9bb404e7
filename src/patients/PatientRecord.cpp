#include "patients/PatientRecord.h"

namespace clinora {

const RecordLayout &PatientRecord::recordLayout()
{
    static const RecordLayout layout{
        {"Paziente", 50},     {"DataNasc", 30},     {"ComuneNasc", 50}, {"ProvNasc", 2},
        {"Sesso", 1},         {"Recapito", 50},     {"IndirizzoRes", 50}, {"ProvRes", 2},
        {"ComuneRes", 50},    {"CapRes", 5},        {"Professione", 50}, {"ASL", 50},
        {"TelCasa", 30},      {"TelUff", 30},       {"TelCel", 30},     {"Fax", 30},
        {"Email", 50},        {"CodFisc", 16},      {"Tessera", 50},    {"Gruppo", 10},
        {"PartitaIva", 11},   {"Vaccinazioni", 250}, {"Patologie", 250}, {"Allergie", 250},
        {"Farmaci", 250},     {"Interventi", 250},  {"Protesi", 250},   {"Handicap", 250},
        {"Questioni", 250},   {"Note", 250},        {"Ricontatta", 2},  {"File01", 250},
        {"File02", 250},      {"File03", 250},      {"Desc01", 250},    {"Desc02", 250},
        {"Desc03", 250},
    };
    return layout;
}

} // namespace clinora

#include <QDir>

namespace clinora {
QString PatientArchivePath(const QString &appFolder)
{
    return QDir(appFolder).filePath(kPatientArchiveName.toString());
}
} // namespace clinora
