#pragma once

#include "analyses/AnalysisRecord.h"

#include <QString>
#include <QStringView>

#include <array>
#include <optional>

// The rules of entering results that need no screen: where the archives'
// folder comes from, which fields a card must have before it is stored, and
// how the alarm mark reads and writes.
namespace clinora {

// Makes sure AppFolder/Analisi_Cliniche exists, creating any missing parent
// folder too; false when it cannot be made.
bool ensureAnalysisFolder(const QString &appFolder);

// A field a card cannot be stored without, with the warning that names it.
struct RequiredField {
    AnalysisRecord::Field field;
    QStringView message;
};

// In the order they are checked: the first one missing is the one reported.
inline constexpr std::array<RequiredField, 6> kRequiredFields{{
    {AnalysisRecord::NumRef,
     u"Attenzione: per salvare la scheda è necessario indicare il numero del referto."},
    {AnalysisRecord::DataRef,
     u"Attenzione: per salvare la scheda è necessario indicare la data del referto."},
    {AnalysisRecord::Data,
     u"Attenzione: per salvare la scheda è necessario indicare la data del prelievo."},
    {AnalysisRecord::Esame,
     u"Attenzione: per salvare la scheda è necessario indicare l'esame clinico effettuato."},
    {AnalysisRecord::Risultato,
     u"Attenzione: per salvare la scheda è necessario indicare il risultato dell'esame clinico."},
    {AnalysisRecord::Esito,
     u"Attenzione: per salvare la scheda è necessario indicare l'esito dell'esame clinico."},
}};

// The first required field that `record` leaves blank, or nullptr.
const RequiredField *firstMissingField(const AnalysisRecord &record);

// The alarm mark as read: true for "Sì", false for "No", nothing for any
// other content (which leaves the reader's state as it was).
std::optional<bool> alarmMark(const AnalysisRecord &record);
// Writes exactly "Sì" or "No".
void setAlarmMark(AnalysisRecord &record, bool alarming);

} // namespace clinora
