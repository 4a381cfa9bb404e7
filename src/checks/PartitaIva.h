#pragma once

#include <QString>
#include <QStringView>

#include <span>

// The check digit of an Italian VAT number (partita IVA) and the provincial
// VAT offices that issue them.
namespace clinora {

inline constexpr int kPartitaIvaLength = 11;

// True when `number` is exactly 11 digits 0-9 and the 11th is the check
// digit computed from the first ten.
bool PartitaIvaValida(QStringView number);

// The office code of a VAT number: its characters 8 to 10.
QStringView CodiceUfficioIva(QStringView number);

struct UfficioIva {
    QStringView code; // three digits
    QStringView name;
};

// The 104 VAT offices, in code order: 001 to 102, then 120 and 121.
std::span<const UfficioIva> TabellaUfficiIva();

// The name of the office whose code is exactly `code`; empty when there is none.
QString UfficiIva(QStringView code);

} // namespace clinora
