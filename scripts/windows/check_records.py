#!/usr/bin/env python3
"""Checks, byte for byte, the records the Windows program saved under Wine
from the keys scripts/windows/test.sh types: each record is rebuilt from the
field values typed (a length byte, then the text in Windows-1252, then zeros
up to the field's size), and the file must be exactly those records.

    check_records.py patient PAZIENTI.PRO
    check_records.py analysis FILE.asl DD/MM/YYYY
"""
import sys

PATIENT = [("Paziente", 50), ("DataNasc", 30), ("ComuneNasc", 50), ("ProvNasc", 2),
           ("Sesso", 1), ("Recapito", 50), ("IndirizzoRes", 50), ("ProvRes", 2),
           ("ComuneRes", 50), ("CapRes", 5), ("Professione", 50), ("ASL", 50),
           ("TelCasa", 30), ("TelUff", 30), ("TelCel", 30), ("Fax", 30),
           ("Email", 50), ("CodFisc", 16), ("Tessera", 50), ("Gruppo", 10),
           ("PartitaIva", 11), ("Vaccinazioni", 250), ("Patologie", 250), ("Allergie", 250),
           ("Farmaci", 250), ("Interventi", 250), ("Protesi", 250), ("Handicap", 250),
           ("Questioni", 250), ("Note", 250), ("Ricontatta", 2), ("File01", 250),
           ("File02", 250), ("File03", 250), ("Desc01", 250), ("Desc02", 250),
           ("Desc03", 250)]
ANALYSIS = [("Paziente", 50), ("CodFisc", 16), ("NumRef", 20), ("DataRef", 10),
            ("Data", 10), ("Esame", 120), ("Risultato", 50), ("UM", 50),
            ("Rife", 50), ("Esito", 50), ("Commento", 250), ("Firmatario", 50),
            ("Note", 250), ("Allarme", 2), ("File01", 250), ("File02", 250),
            ("File03", 250), ("Desc01", 250), ("Desc02", 250), ("Desc03", 250)]


def record(layout, values):
    out = bytearray()
    for name, size in layout:
        text = values.pop(name, "").encode("cp1252")
        assert len(text) <= size, name
        out += bytes([len(text)]) + text + bytes(size - len(text))
    assert not values, values
    return bytes(out)


def main():
    kind, path = sys.argv[1], sys.argv[2]
    if kind == "patient":
        want = record(PATIENT, {
            "Paziente": "ROSSI MARIO", "DataNasc": "10/12/1985", "ComuneNasc": "San Giuliano Terme",
            "ProvNasc": "PI", "Sesso": "M", "Recapito": "050 123456",
            "CodFisc": "RSSMRA85T10A562S", "Ricontatta": "No"})
        assert len(want) == 4436
    else:
        day = sys.argv[3]
        want = record(ANALYSIS, {
            "Paziente": "ROSSI MARIO", "CodFisc": "RSSMRA85T10A562S", "NumRef": "R-17",
            "DataRef": day, "Data": day, "Esame": "Glicemia", "Risultato": "95",
            "Esito": "Nella norma", "Allarme": "No"})
        assert len(want) == 2498
    got = open(path, "rb").read()
    if got != want:
        first = next((i for i in range(min(len(got), len(want))) if got[i] != want[i]), min(len(got), len(want)))
        print(f"FAIL: {path}: {len(got)} bytes, {len(want)} expected; first difference at byte {first}: "
              f"{got[first:first + 24]!r} instead of {want[first:first + 24]!r}")
        return 1
    print(f"ok: {path} holds exactly the record typed ({len(got)} bytes)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
