#pragma once

#include "common/CardLogic.h"
#include "patients/PatientRecord.h"

#include <array>

// The rules of the patient card that need no screen.
namespace clinora {

// The patient card's rules for browsing and saving (see CardRules): a
// position label that holds no number means a damaged archive, and
// "Indietro" on the first card leaves the archive alone.
inline constexpr CardRules kPatientCardRules{.strictPosition = true, .firstCardOpensArchive = false};

// What a card must have before it is stored, checked on the texts as typed
// in this order: the first one unmet is the one reported.
inline constexpr std::array<RequiredField<PatientRecord::Field>, 4> kPatientRequiredFields{{
    {PatientRecord::Paziente, u"Attenzione: per salvare la scheda è necessario indicare il nome del paziente."},
    {PatientRecord::Recapito,
     u"Attenzione: per salvare la scheda è necessario indicare il recapito telefonico preferenziale del "
     u"paziente."},
    {PatientRecord::CodFisc, u"Attenzione: per salvare la scheda è necessario indicare il codice fiscale del paziente."},
    {PatientRecord::CodFisc, u"Attenzione: il codice fiscale deve essere composto da 16 caratteri alfanumerici.", 16},
}};

} // namespace clinora
