"""What a blind user hears: Clinora driven with the keyboard alone (xdotool)
while the Orca screen reader runs, through a secretary's day: log in, open
the registry, type and save a new card, find the patient again and open the
card, enter an analysis with its reference range, open the summary, go back.
Every step checks what Orca said: each value whole, the password never,
the line of a list when it is selected, the hint line's reason for an
outcome, the date under the picker's cursor in full.

usage: tst_orca.py CLINORA_EXECUTABLE SOURCE_DIR WORK_DIR
Exits 77 (skipped) where Orca or the tools it needs are missing.
"""
import datetime
import os
import re
import shutil
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from orca_desk import OrcaDesk, missing_tools  # noqa: E402

SKIP = 77
PATIENT = "Verdi Giuseppe"
PHONE = "3331234567"
CODE = "RSSNCC80A01H501U"
PASSWORD = "clinora"
WEEKDAYS = ["lunedì", "martedì", "mercoledì", "giovedì", "venerdì", "sabato", "domenica"]
MONTHS = ["gennaio", "febbraio", "marzo", "aprile", "maggio", "giugno", "luglio", "agosto", "settembre",
          "ottobre", "novembre", "dicembre"]

failures = []


def check(ok, what, said):
    sys.stdout.flush()
    if ok:
        print("ok   " + what, flush=True)
    else:
        failures.append(what)
        print("FAIL " + what + "\n     Orca said: %r" % (said,))
    sys.stdout.flush()


def heard_whole(said, value):
    """The value said as a whole, and never cut short by a character."""
    words = [w for s in said for w in re.split(r"[\s.,:;]+", s)]
    return value in words and value[:-1] not in words


class Day:
    def __init__(self, desk):
        self.d = desk

    def tab_to(self, pattern, key="Tab", tries=45):
        """Presses `key` until Orca names what matches `pattern`; returns what it said there."""
        rx = re.compile(pattern)
        for _ in range(tries):
            said = self.d.press(key)
            if not any(rx.search(s) for s in said):
                # Orca may still be on its way there.
                self.d.settle(0.6)
                said = self.d.said()
            if any(rx.search(s) for s in said):
                return said
        raise AssertionError("%s never reached /%s/" % (key, pattern))

    def type(self, text):
        self.d.mark()
        self.d.type(text)
        end = time.monotonic() + 2
        while time.monotonic() < end and not self.d.said():
            time.sleep(0.05)
        return self.d.settle(0.4)

    def wait(self, pattern, timeout=15):
        return self.d.hear(pattern, timeout)


def run(clinora, source, work):
    app_dir = os.path.join(work, "app")
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(app_dir)
    shutil.copy2(clinora, app_dir)
    shutil.copy2(os.path.join(source, "dist", "unins000.dll"), app_dir)
    # Laid out as scripts/install.sh does: the folder and its files are the
    # user's alone, so no warning about others reading them comes first.
    os.chmod(app_dir, 0o700)
    os.chmod(os.path.join(app_dir, os.path.basename(clinora)), 0o700)
    os.chmod(os.path.join(app_dir, "unins000.dll"), 0o600)
    today = datetime.date.today()

    with OrcaDesk(os.path.join(work, "desk")) as desk:
        day = Day(desk)
        desk.mark()
        desk.spawn([os.path.join(app_dir, os.path.basename(clinora))],
                   {"ASAN_OPTIONS": "detect_leaks=0", "LSAN_OPTIONS": "detect_leaks=0"})
        day.wait(r"(?i)password", 60)
        desk.settle(0.5)

        # 1. Log in: the password is never said, only an asterisk a character.
        said = day.type(PASSWORD)
        echoed = [s for s in said if "password" not in s.lower()]
        check(echoed and all(s.strip() in ("*", "") for s in echoed),
              "password typed: an asterisk for each letter, nothing of it said", said)
        desk.mark()
        desk.keys("Return")
        said = [day.wait(r"ANAGRAFICA PAZIENTI")] + desk.settle(0.5)
        check(True, "logged in: start menu", said)

        # 2. The registry: a new card typed and saved.
        desk.mark()
        desk.keys("Return")
        day.wait(r"Cognome e nome|Anagrafica Pazienti")
        desk.settle(0.5)
        day.type(PATIENT)
        day.tab_to(r"Tel\. preferenziale")
        day.type(PHONE)
        said = day.tab_to(r"^Sesso", key="shift+Tab")
        said = day.tab_to(r"Tel\. preferenziale|" + PHONE[:-1])
        check(heard_whole(said, PHONE), "phone heard whole on coming back to it", said)
        day.tab_to(r"^Codice fiscale")
        day.type(CODE)
        day.tab_to(r"Calcola codice fiscale")
        said = day.tab_to(r"^Codice fiscale|" + CODE[:-1], key="shift+Tab")
        check(heard_whole(said, CODE), "fiscal code heard whole", said)
        desk.mark()
        desk.keys("alt+s")
        said = [day.wait(r"Il codice fiscale indica|inserita in archivio")]
        for _ in range(3):
            if any("inserita in archivio" in s for s in desk.said()):
                break
            desk.mark()
            desk.keys("Return")
            time.sleep(0.8)
        said = desk.settle(0.5)
        desk.keys("Return")
        desk.settle(0.5)

        # 3. The patient found again: every list line is said when selected.
        desk.mark()
        desk.keys("alt+n")
        said = [day.wait(r"Nuova scheda")]
        check(True, "Nuovo: the new card announced", said)
        desk.mark()
        desk.keys("alt+t")
        said = [day.wait(r"Trova pazienti")] + desk.settle(0.5)
        check(not any("Questioni in sospeso" in s for s in said), "search: no stray caption after its instructions", said)
        day.type("verdi")
        desk.settle(0.5)
        desk.mark()
        desk.keys("Tab")
        said = [day.wait(r"^Comune di residenza")]
        check(True, "search: the first Tab names the field", said)
        day.tab_to(r"^Cerca")
        desk.keys("Return")
        desk.settle(0.6)
        said = day.tab_to(PATIENT)
        check(any(s.startswith(PATIENT) and CODE in s for s in said), "search: the line said on entering the list", said)
        said = desk.press("KP_Enter")
        check(any(PATIENT in s for s in said), "search: where-am-I says the line", said)
        desk.mark()
        desk.keys("Return")
        said = [day.wait(r"Scheda 1: " + PATIENT)]
        check(True, "the picked card announced", said)
        desk.press("shift+Tab")
        said = day.tab_to(r"^Cognome e nome|" + PATIENT)
        check(heard_whole(said, "Giuseppe"), "picked card: the name heard whole", said)
        desk.mark()
        desk.keys("alt+e")
        day.wait(r"ANAGRAFICA PAZIENTI|ANALISI CLINICHE")
        desk.settle(0.4)

        # 4. An analysis with its reference range.
        day.tab_to(r"ANALISI CLINICHE")
        desk.mark()
        desk.keys("Return")
        day.wait(r"Seleziona paziente")
        desk.settle(0.4)
        desk.mark()
        desk.keys("Return")
        day.wait(r"Trova pazienti")
        desk.settle(0.4)
        day.tab_to(r"^Cerca")
        desk.keys("Return")
        desk.settle(0.6)
        said = day.tab_to(PATIENT)
        check(any(PATIENT in s for s in said), "analyses: the search line said", said)
        desk.mark()
        desk.keys("Return")
        said = [day.wait(r"Paziente scelto: " + PATIENT + ", codice fiscale " + CODE)]
        check(True, "analyses: the chosen patient announced", said)
        day.tab_to(r"Registra analisi cliniche")
        desk.mark()
        desk.keys("Return")
        day.wait(r"Referto")
        desk.settle(0.4)
        day.type("R-17")
        desk.mark()
        desk.keys("Return")
        day.wait(r"Data referto")
        desk.settle(0.3)
        desk.mark()
        desk.keys("space")
        full = "%s %d %s %d" % (WEEKDAYS[today.weekday()], today.day, MONTHS[today.month - 1], today.year)
        said = [day.wait(re.escape(full))]
        check(True, "date picker says today in full: " + full, said)
        tomorrow = today + datetime.timedelta(days=1)
        full = "%s %d %s %d" % (WEEKDAYS[tomorrow.weekday()], tomorrow.day, MONTHS[tomorrow.month - 1], tomorrow.year)
        desk.mark()
        desk.keys("Right")
        said = [day.wait(re.escape(full))]
        check(True, "date picker says the next day in full: " + full, said)
        desk.mark()
        desk.keys("Return")
        date_text = tomorrow.strftime("%d/%m/%Y")
        day.wait(r"Data referto")
        said = desk.settle(0.6)
        said = desk.said()
        check(heard_whole(said, date_text), "picked date heard whole in its field", said)
        # The sample date typed, as gg/mm/aaaa.
        day.tab_to(r"^Data prelievo")
        typed = today.strftime("%d/%m/%Y")
        day.type(typed)
        for label, value in (("Esame", "Glicemia"), ("Risultato", "182"), ("Unità di misura", "mg/dl"),
                             ("Valori di riferimento", "70-110")):
            day.tab_to("^" + label)
            day.type(value)
        desk.mark()
        desk.keys("Tab")
        said = [day.wait(r"Valore 182 oltre il limite superiore 110")]
        check(True, "the hint line's reason is said when it appears", said)
        said = day.tab_to(r"^Risultato:|^18", key="shift+Tab")
        check(heard_whole(said, "182"), "result heard whole", said)
        said = day.tab_to(r"^Data prelievo|^" + typed[:-1], key="shift+Tab")
        check(heard_whole(said, typed), "typed sample date heard whole", said)
        desk.mark()
        desk.keys("alt+s")
        said = [day.wait(r"inserita in archivio")]
        check(True, "analysis saved", said)
        desk.keys("Return")
        desk.settle(0.4)
        desk.mark()
        desk.keys("alt+e")
        day.wait(r"ANALISI CLINICHE|ANAGRAFICA PAZIENTI")
        desk.settle(0.4)

        # 5. The summary of the year, and back to the start menu.
        day.tab_to(r"RIEPILOGHI RISULTATI")
        desk.mark()
        desk.keys("Return")
        day.wait(r"Codice fiscale paziente")
        desk.settle(0.3)
        day.type(CODE)
        day.tab_to(r"Giorno di inizio")
        desk.settle(0.4)
        desk.mark()
        desk.keys("Down")
        said = [day.wait(r"\b01\b")]
        check(True, "start day chosen with Down", said)
        for box, keys, shown in (("Mese di inizio", "g", "Gennaio"), ("Giorno di fine", "31", r"\b31\b"),
                                 ("Mese di fine", "d", "Dicembre")):
            desk.mark()
            desk.keys("Tab")
            day.wait(box)
            desk.settle(0.4)
            desk.mark()
            desk.type(keys)
            said = [day.wait(shown)]
            check(True, "%s chosen by typing %r" % (box, keys), said)
        desk.settle(0.4)
        day.tab_to(r"Visualizza riepilogo")
        desk.mark()
        desk.keys("Return")
        day.wait(r"[Rr]iepilogo")
        desk.settle(0.6)
        said = day.tab_to(r"Glicemia")
        check(any("Glicemia" in s and "182" in s for s in said), "summary: its line said", said)
        desk.mark()
        desk.keys("Escape")
        desk.settle(0.4)
        day.tab_to(r"^Esci")
        desk.mark()
        desk.keys("Return")
        said = [day.wait(r"ANAGRAFICA PAZIENTI|RIEPILOGHI RISULTATI|ANALISI CLINICHE")]
        check(True, "back on the start menu", said)


def main():
    if len(sys.argv) != 4:
        print(__doc__)
        return 2
    missing = missing_tools()
    if missing:
        print("SKIP: the screen reader test needs " + ", ".join(missing))
        return SKIP
    started = time.monotonic()
    try:
        run(*sys.argv[1:])
    except AssertionError as e:
        failures.append(str(e))
        print("FAIL " + str(e))
    print("took %.0f s" % (time.monotonic() - started), flush=True)
    if failures:
        print("%d checks failed" % len(failures))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
