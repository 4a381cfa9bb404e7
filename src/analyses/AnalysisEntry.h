#pragma once

#include "analyses/AnalysisRecord.h"
#include "common/CardLogic.h"

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

// The analysis card's rules for browsing and saving (see CardRules): a
// position label that holds no number is no position, and "Indietro" on the
// first card still opens and closes the archive.
inline constexpr CardRules kAnalysisCardRules{.strictPosition = false, .firstCardOpensArchive = true};

// The fields a card cannot be stored without, checked on the card's record
// in this order: the first one missing is the one reported.
inline constexpr std::array<RequiredField<AnalysisRecord::Field>, 6> kAnalysisRequiredFields{{
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
const RequiredField<AnalysisRecord::Field> *firstMissingField(const AnalysisRecord &record);

// The alarm mark as read: true for "Sì", false for "No", nothing for any
// other content (which leaves the reader's state as it was).
std::optional<bool> alarmMark(const AnalysisRecord &record);
// Writes exactly "Sì" or "No".
void setAlarmMark(AnalysisRecord &record, bool alarming);

} // namespace clinora
