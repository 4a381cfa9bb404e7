#include "demo/DemoData.h"

#include "checks/CodiceFiscale.h"
#include "checks/PartitaIva.h"
#include "analyses/FrequentExams.h"
#include "common/CommonSettings.h"
#include "common/RecordFile.h"
#include "common/Text.h"

#include <QDir>
#include <QFile>

#include <array>
#include <cmath>

using namespace Qt::StringLiterals;

namespace clinora::demo {

namespace {

struct Town {
    const char16_t *name;
    const char16_t *province;
    const char16_t *cadastral; // the place code inside a fiscal code
    const char16_t *cap;
};

constexpr Town kTowns[] = {
    {u"ROMA", u"RM", u"H501", u"00184"},        {u"MILANO", u"MI", u"F205", u"20121"},
    {u"NAPOLI", u"NA", u"F839", u"80133"},      {u"TORINO", u"TO", u"L219", u"10121"},
    {u"PALERMO", u"PA", u"G273", u"90133"},     {u"GENOVA", u"GE", u"D969", u"16121"},
    {u"BOLOGNA", u"BO", u"A944", u"40121"},     {u"FIRENZE", u"FI", u"D612", u"50122"},
    {u"BARI", u"BA", u"A662", u"70121"},        {u"CATANIA", u"CT", u"C351", u"95121"},
    {u"VENEZIA", u"VE", u"L736", u"30121"},     {u"VERONA", u"VR", u"L781", u"37121"},
    {u"PADOVA", u"PD", u"G224", u"35121"},      {u"TRIESTE", u"TS", u"L424", u"34121"},
    {u"BRESCIA", u"BS", u"B157", u"25121"},     {u"PARMA", u"PR", u"G337", u"43121"},
    {u"MODENA", u"MO", u"F257", u"41121"},      {u"PERUGIA", u"PG", u"G478", u"06121"},
    {u"RAVENNA", u"RA", u"H199", u"48121"},     {u"CAGLIARI", u"CA", u"B354", u"09121"},
    {u"RIMINI", u"RN", u"H294", u"47921"},      {u"SALERNO", u"SA", u"H703", u"84121"},
    {u"FERRARA", u"FE", u"D548", u"44121"},     {u"PESCARA", u"PE", u"G482", u"65121"},
    {u"BERGAMO", u"BG", u"A794", u"24121"},     {u"FORLÌ", u"FC", u"D704", u"47121"},
    {u"CESENA", u"FC", u"C573", u"47521"},      {u"TRENTO", u"TN", u"L378", u"38121"},
    {u"VICENZA", u"VI", u"L840", u"36100"},     {u"ANCONA", u"AN", u"A271", u"60121"},
    {u"UDINE", u"UD", u"L483", u"33100"},       {u"AREZZO", u"AR", u"A390", u"52100"},
    {u"LECCE", u"LE", u"E506", u"73100"},       {u"CANTÙ", u"CO", u"B639", u"22063"},
};

constexpr const char16_t *kSurnames[] = {
    u"ROSSI", u"RUSSO", u"FERRARI", u"ESPOSITO", u"BIANCHI", u"ROMANO", u"COLOMBO", u"RICCI",
    u"MARINO", u"GRECO", u"BRUNO", u"GALLO", u"CONTI", u"DE LUCA", u"MANCINI", u"COSTA",
    u"GIORDANO", u"RIZZO", u"LOMBARDI", u"MORETTI", u"BARBIERI", u"FONTANA", u"SANTORO", u"MARIANI",
    u"RINALDI", u"CARUSO", u"FERRARA", u"GALLI", u"MARTINI", u"LEONE", u"LONGO", u"GENTILE",
    u"MARTINELLI", u"VITALE", u"LOMBARDO", u"SERRA", u"COPPOLA", u"DE SANTIS", u"D'ANGELO", u"MARCHETTI",
    u"PARISI", u"VILLA", u"CONTE", u"FERRO", u"FABBRI", u"BIANCO", u"MARINI", u"GRASSO",
    u"VALENTINI", u"MESSINA", u"SALA", u"DE ANGELIS", u"GATTI", u"PELLEGRINI", u"PALUMBO", u"SANNA",
    u"FARINA", u"RIZZI", u"MONTI", u"CATTANEO", u"MORELLI", u"AMATO", u"SILVESTRI", u"MAZZA",
    u"TESTA", u"NICCOLÒ", u"PELLICANÒ", u"CANTÙ",
};

constexpr const char16_t *kMaleNames[] = {
    u"MARIO", u"GIUSEPPE", u"GIOVANNI", u"ANTONIO", u"LUCA", u"MARCO", u"ANDREA", u"FRANCESCO",
    u"ALESSANDRO", u"LORENZO", u"MATTEO", u"PAOLO", u"STEFANO", u"ROBERTO", u"SALVATORE", u"DAVIDE",
    u"SIMONE", u"FEDERICO", u"RICCARDO", u"NICCOLÒ", u"GIACOMO", u"FILIPPO", u"PIETRO", u"CARLO",
};
constexpr const char16_t *kFemaleNames[] = {
    u"MARIA", u"ANNA", u"GIULIA", u"FRANCESCA", u"SARA", u"CHIARA", u"LAURA", u"ELENA",
    u"VALENTINA", u"ALESSANDRA", u"MARTINA", u"PAOLA", u"SILVIA", u"FEDERICA", u"ROBERTA", u"ELISA",
    u"CRISTINA", u"ANGELA", u"GIOVANNA", u"LUCIA", u"BEATRICE", u"AURORA", u"SOFIA", u"IRENE",
};

constexpr const char16_t *kStreets[] = {
    u"VIA GARIBALDI", u"VIA ROMA", u"VIA MAZZINI", u"CORSO ITALIA", u"VIA VERDI", u"PIAZZA DANTE",
    u"VIA CAVOUR", u"VIALE DELLA REPUBBLICA", u"VIA DEI MILLE", u"VIA MARCONI", u"VIA MATTEOTTI",
    u"VIA XX SETTEMBRE", u"VIA DANTE ALIGHIERI", u"PIAZZA DEL POPOLO", u"VIA SAN FRANCESCO",
};
constexpr const char16_t *kJobs[] = {
    u"IMPIEGATO", u"INSEGNANTE", u"PENSIONATO", u"COMMERCIANTE", u"STUDENTE", u"INFERMIERA",
    u"ARTIGIANO", u"AVVOCATO", u"OPERAIO", u"CASALINGA", u"INGEGNERE", u"AGRICOLTORE", u"FARMACISTA",
};
constexpr const char16_t *kBlood[] = {u"0+", u"0-", u"A+", u"A-", u"B+", u"B-", u"AB+", u"AB-"};
constexpr const char16_t *kVaccines[] = {
    u"Antitetanica (richiamo 2019)", u"Antinfluenzale stagionale", u"Anti-COVID 19 (tre dosi)",
    u"Antiepatite B", u"Antipneumococcica", u"Morbillo, parotite, rosolia",
};
constexpr const char16_t *kPathologies[] = {
    u"Ipertensione arteriosa in trattamento", u"Diabete mellito di tipo 2, in compenso con dieta",
    u"Ipercolesterolemia", u"Ipotiroidismo", u"Asma bronchiale lieve", u"Gastrite cronica",
    u"Artrosi lombare", u"Fibrillazione atriale parossistica", u"Emicrania con aura",
};
constexpr const char16_t *kAllergies[] = {
    u"Penicillina", u"Pollini di graminacee", u"Acari della polvere", u"Nichel",
    u"Intolleranza al lattosio", u"FANS (orticaria)", u"Crostacei",
};
constexpr const char16_t *kDrugs[] = {
    u"Ramipril 5 mg una compressa al mattino", u"Metformina 500 mg due volte al giorno",
    u"Atorvastatina 20 mg la sera", u"Levotiroxina 75 mcg a digiuno", u"Salbutamolo al bisogno",
    u"Pantoprazolo 20 mg", u"Acido acetilsalicilico 100 mg",
};
constexpr const char16_t *kOperations[] = {
    u"Appendicectomia (1998)", u"Colecistectomia laparoscopica (2015)", u"Tonsillectomia nell'infanzia",
    u"Ernia inguinale destra (2008)", u"Meniscectomia ginocchio sinistro",
};
constexpr const char16_t *kMatters[] = {
    u"Attendere esito ecografia addominale", u"Prenotare visita cardiologica di controllo",
    u"Ricontrollare la pressione fra un mese", u"Portare gli esami del sangue appena pronti",
};
constexpr const char16_t *kNotes[] = {
    u"Preferisce essere contattato nel pomeriggio.",
    u"Vive da solo; in caso di necessità chiamare la figlia al numero di casa.",
    u"Segue una dieta ipocalorica da marzo, con buona adesione.",
    u"Ex fumatore (20 sigarette al giorno fino al 2012).",
    u"Pratica nuoto due volte alla settimana.",
    u"Familiarità per cardiopatia ischemica (padre) e diabete (madre).",
    u"Riferisce insonnia saltuaria; sconsigliate le benzodiazepine.",
};
constexpr const char16_t *kDoctors[] = {
    u"Dott. Paolo Neri", u"Dott.ssa Giulia Fabbri", u"Dott. Luca Serra", u"Laboratorio Analisi Centrale",
};
constexpr const char16_t *kComments[] = {
    u"Valore in linea con i controlli precedenti.", u"Si consiglia di ripetere l'esame fra tre mesi.",
    u"Lieve scostamento, da rivalutare.", u"Campione leggermente emolizzato.",
};

constexpr Exam kExams[] = {
    {u"Glicemia", u"mg/dl", u"70-110", 70, 110, 0},
    {u"Colesterolo totale", u"mg/dl", u"<200", 140, 200, 0},
    {u"Colesterolo HDL", u"mg/dl", u">40", 40, 80, 0},
    {u"Colesterolo LDL", u"mg/dl", u"<130", 70, 130, 0},
    {u"Trigliceridi", u"mg/dl", u"40-150", 40, 150, 0},
    {u"Emoglobina", u"g/dl", u"12-16", 12, 16, 1},
    {u"Globuli bianchi", u"x10^3/µl", u"4-10", 4, 10, 1},
    {u"Piastrine", u"x10^3/µl", u"150-400", 150, 400, 0},
    {u"Creatinina", u"mg/dl", u"0,6-1,2", 0.6, 1.2, 2},
    {u"Azotemia", u"mg/dl", u"15-45", 15, 45, 0},
    {u"AST (GOT)", u"U/l", u"5-40", 5, 40, 0},
    {u"ALT (GPT)", u"U/l", u"5-40", 5, 40, 0},
    {u"Gamma GT", u"U/l", u"8-61", 8, 61, 0},
    {u"TSH", u"µUI/ml", u"0,4-4", 0.4, 4, 2},
    {u"Sodio", u"mEq/l", u"135-145", 135, 145, 0},
    {u"Potassio", u"mEq/l", u"3,5-5", 3.5, 5, 1},
    {u"Ferritina", u"ng/ml", u"30-400", 30, 400, 0},
    {u"PSA totale", u"ng/ml", u"0-4", 0.2, 4, 2},
    {u"VES", u"mm/h", u"0-20", 2, 20, 0},
    {u"PCR", u"mg/l", u"0-5", 0.5, 5, 1},
    {u"Emoglobina glicata (HbA1c)", u"%", u"4-6", 4, 6, 1},
    {u"Esame urine: proteine", u"", u"assenti", 0, 0, -1},
};

template <class T, size_t N>
const T &pick(QRandomGenerator &rng, const T (&list)[N])
{
    return list[rng.bounded(int(N))];
}

QString s(const char16_t *p) { return QString::fromUtf16(p); }

bool isVowel(QChar c) { return QStringView(u"AEIOU").contains(c); }

// The letters of a name part that go into a fiscal code: A-Z only.
QString plainLetters(const QString &name)
{
    QString out;
    for (QChar c : name) {
        const QChar base = c.decompositionTag() == QChar::NoDecomposition ? c : c.decomposition().at(0);
        if (base >= u'A' && base <= u'Z')
            out += base;
    }
    return out;
}

QString codePart(const QString &namePart, bool firstName)
{
    const QString letters = plainLetters(namePart);
    QString cons, vow;
    for (QChar c : letters)
        (isVowel(c) ? vow : cons) += c;
    if (firstName && cons.size() >= 4)
        return QString(cons[0]) + cons[2] + cons[3];
    return QString(cons + vow + u"XXX"_s).left(3);
}

QString fiscalCode(const QString &surname, const QString &name, const QDate &birth, bool female,
                   const Town &town)
{
    static constexpr char16_t months[] = u"ABCDEHLMPRST";
    QString code = codePart(surname, false) + codePart(name, true)
                   + u"%1"_s.arg(birth.year() % 100, 2, 10, QChar(u'0')) + QChar(months[birth.month() - 1])
                   + u"%1"_s.arg(birth.day() + (female ? 40 : 0), 2, 10, QChar(u'0')) + s(town.cadastral);
    return code + CodFiscCarattereControllo(code);
}

QString vatNumber(QRandomGenerator &rng)
{
    QString base;
    for (int i = 0; i < 7; ++i)
        base += QChar(u'0' + rng.bounded(10));
    base += u"%1"_s.arg(rng.bounded(1, 101), 3, 10, QChar(u'0'));
    for (int d = 0; d < 10; ++d)
        if (PartitaIvaValida(QString(base + QChar(u'0' + d))))
            return base + QChar(u'0' + d);
    return base + u'0';
}

QString phone(QRandomGenerator &rng, bool mobile)
{
    return mobile ? u"3%1%2 %3"_s.arg(rng.bounded(20, 50)).arg(rng.bounded(0, 10)).arg(rng.bounded(1000000, 9999999))
                  : u"0%1 %2"_s.arg(rng.bounded(10, 99)).arg(rng.bounded(100000, 999999));
}

QString someOf(QRandomGenerator &rng, std::span<const char16_t *const> list, int max)
{
    const int n = rng.bounded(max + 1);
    QStringList parts;
    for (int i = 0; i < n; ++i) {
        const QString p = s(list[size_t(rng.bounded(int(list.size())))]);
        if (!parts.contains(p))
            parts << p;
    }
    return parts.join(u"; "_s);
}

} // namespace

std::span<const Exam> exams() { return kExams; }

Patient Generator::patient(int index)
{
    Q_UNUSED(index);
    QRandomGenerator &r = m_rng;
    const bool female = r.bounded(2) == 1;
    const QString surname = s(pick(r, kSurnames));
    const QString first = s(female ? pick(r, kFemaleNames) : pick(r, kMaleNames));
    const Town &birthTown = pick(r, kTowns);
    const Town &home = r.bounded(3) ? birthTown : pick(r, kTowns);
    const QDate birth = QDate(1930, 1, 1).addDays(r.bounded(365 * 90));

    Patient p;
    p.name = surname + u' ' + first;
    p.fiscalCode = fiscalCode(surname, first, birth, female, birthTown);
    PatientRecord &rec = p.record;
    using F = PatientRecord;
    rec.set(F::Paziente, p.name);
    rec.set(F::DataNasc, settings::formatDate(birth));
    rec.set(F::ComuneNasc, s(birthTown.name));
    rec.set(F::ProvNasc, s(birthTown.province));
    rec.set(F::Sesso, female ? u"F"_s : u"M"_s);
    rec.set(F::Recapito, phone(r, true));
    rec.set(F::IndirizzoRes, s(pick(r, kStreets)) + u' ' + QString::number(r.bounded(1, 180)));
    rec.set(F::ProvRes, s(home.province));
    rec.set(F::ComuneRes, s(home.name));
    rec.set(F::CapRes, s(home.cap));
    rec.set(F::Professione, s(pick(r, kJobs)));
    rec.set(F::ASL, u"ASL "_s + s(home.name));
    rec.set(F::TelCasa, r.bounded(2) ? phone(r, false) : QString());
    rec.set(F::TelUff, r.bounded(4) == 0 ? phone(r, false) : QString());
    rec.set(F::TelCel, phone(r, true));
    rec.set(F::Email, r.bounded(3) ? text::lowerAZ(plainLetters(first)) + u'.' + text::lowerAZ(plainLetters(surname))
                                         + u"@example.org"_s
                                   : QString());
    rec.set(F::CodFisc, p.fiscalCode);
    rec.set(F::Tessera, u"80380%1"_s.arg(r.bounded(100000000, 999999999)));
    rec.set(F::Gruppo, s(pick(r, kBlood)));
    rec.set(F::PartitaIva, r.bounded(6) == 0 ? vatNumber(r) : QString());
    rec.set(F::Vaccinazioni, someOf(r, kVaccines, 3));
    rec.set(F::Patologie, someOf(r, kPathologies, 2));
    rec.set(F::Allergie, r.bounded(3) == 0 ? someOf(r, kAllergies, 2) : QString());
    rec.set(F::Farmaci, someOf(r, kDrugs, 2));
    rec.set(F::Interventi, r.bounded(4) == 0 ? s(pick(r, kOperations)) : QString());
    rec.set(F::Protesi, r.bounded(15) == 0 ? u"Protesi d'anca destra"_s : QString());
    rec.set(F::Handicap, QString());
    const bool recontact = r.bounded(8) == 0;
    rec.set(F::Questioni, recontact ? s(pick(r, kMatters)) : QString());
    rec.set(F::Note, r.bounded(4) == 0 ? someOf(r, kNotes, 2) : QString());
    rec.set(F::Ricontatta, recontact ? kYes : kNo);
    return p;
}

AnalysisRecord Generator::result(const Patient &p, const QDate &date, int reportNumber)
{
    QRandomGenerator &r = m_rng;
    const Exam &e = kExams[size_t(r.bounded(int(std::size(kExams))))];
    AnalysisRecord a;
    using F = AnalysisRecord;
    a.set(F::Paziente, p.name);
    a.set(F::CodFisc, p.fiscalCode);
    a.set(F::NumRef, u"R%1/%2"_s.arg(reportNumber).arg(date.year()));
    a.set(F::DataRef, settings::formatDate(date.addDays(r.bounded(1, 6))));
    a.set(F::Data, settings::formatDate(date));
    a.set(F::Esame, s(e.name));
    a.set(F::UM, s(e.unit));
    a.set(F::Rife, s(e.reference));
    bool outside = false;
    if (e.decimals < 0) {
        outside = r.bounded(10) == 0;
        a.set(F::Risultato, outside ? u"presenti (tracce)"_s : u"assenti"_s);
    } else {
        // Mostly inside the range, now and then a little or well outside it.
        const double span = e.high - e.low;
        double v = e.low + span * r.generateDouble();
        const int roll = r.bounded(100);
        if (roll < 8)
            v = e.high + span * (0.05 + 0.6 * r.generateDouble());
        else if (roll < 12)
            v = std::max(0.0, e.low - span * (0.05 + 0.3 * r.generateDouble()));
        outside = v > e.high || v < e.low;
        a.set(F::Risultato, settings::formatNumber(v, e.decimals));
    }
    a.set(F::Esito, outside ? u"FUORI NORMA"_s : u"NELLA NORMA"_s);
    a.set(F::Commento, outside || r.bounded(6) == 0 ? s(pick(r, kComments)) : QString());
    a.set(F::Firmatario, s(pick(r, kDoctors)));
    a.set(F::Note, QString());
    a.set(F::Allarme, outside && r.bounded(3) == 0 ? kYes : kNo);
    return a;
}

bool writePatientArchive(const QString &path, int count, quint32 seed)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    Generator g(seed);
    for (int i = 0; i < count; ++i)
        if (f.write(g.patient(i).record.bytes()) != PatientRecord::kSize)
            return false;
    return f.flush();
}

bool writeAnalysisArchive(const QString &path, const Patient &p, int count, const QDate &last, quint32 seed)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    Generator g(seed);
    // Visits spread over the years before `last`, a few exams each; a long
    // history stays within forty years, with fuller panels at each visit.
    constexpr int kMaxDays = 40 * 365;
    const int days = std::min(int(count / 4.0 * 45), kMaxDays);
    // Visits come every 49.5 days on average, with (1 + perVisit) / 2 exams.
    const int perVisit = days < kMaxDays ? 6 : std::max(6, int(2.0 * count * 49.5 / days) - 1);
    QDate date = last.addDays(-days);
    int report = 1000;
    for (int written = 0; written < count;) {
        const int exams = std::min(count - written, 1 + g.rng().bounded(perVisit));
        ++report;
        for (int i = 0; i < exams; ++i, ++written)
            if (f.write(g.result(p, date, report).bytes()) != AnalysisRecord::kSize)
                return false;
        date = std::min(last, date.addDays(20 + g.rng().bounded(60)));
    }
    return f.flush();
}

bool writeDemoFolder(const QString &folder, const FolderOptions &o)
{
    QDir dir(folder);
    if (!dir.mkpath(u"Analisi_Cliniche"_s))
        return false;
    if (!writePatientArchive(PatientArchivePath(folder), o.patients))
        return false;
    QStringList frequent;
    for (const Exam &e : kExams)
        frequent << FrequentExamLine(s(e.name), s(e.unit), s(e.reference));
    if (!writeFrequentExams(folder, frequent))
        return false;
    Generator g;
    for (int i = 0; i < o.patients && i < o.patientsWithResults; ++i) {
        const Patient p = g.patient(i);
        if (!writeAnalysisArchive(AnalysisArchivePath(folder, p.fiscalCode), p, o.resultsPerPatient, o.today,
                                  quint32(1000 + i)))
            return false;
    }
    return true;
}

} // namespace clinora::demo
