#include "analyses/LabReport.h"

#include "analyses/AnalysisEntry.h"
#include "analyses/ReferenceRange.h"
#include "common/Text.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace clinora::referto {

namespace {

// Blanks, a byte-order mark and a few lines of white space may come first.
QByteArrayView leading(QByteArrayView bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    qsizetype i = 0;
    while (i < bytes.size() && i < 4096 && (bytes[i] == ' ' || bytes[i] == '\t' || bytes[i] == '\r' || bytes[i] == '\n'))
        ++i;
    return bytes.sliced(i);
}

Reading refused(const QString &message) { return {std::nullopt, message}; }

Reading tooLarge()
{
    return refused(u"Attenzione: il file è troppo grande per essere un referto di laboratorio (oltre 32 MB): "
                   u"non viene letto."_s);
}

const AnalysisRecord::Field kColumns[] = {
    AnalysisRecord::Esame,  AnalysisRecord::Risultato, AnalysisRecord::UM,         AnalysisRecord::Rife,
    AnalysisRecord::Esito,  AnalysisRecord::Data,      AnalysisRecord::NumRef,     AnalysisRecord::DataRef,
    AnalysisRecord::Firmatario, AnalysisRecord::Commento,
};

const QString &valueOf(const ReportRow &row, AnalysisRecord::Field f)
{
    switch (f) {
    case AnalysisRecord::Esame: return row.esame;
    case AnalysisRecord::Risultato: return row.risultato;
    case AnalysisRecord::UM: return row.um;
    case AnalysisRecord::Rife: return row.rife;
    case AnalysisRecord::Esito: return row.esito;
    case AnalysisRecord::Data: return row.data;
    case AnalysisRecord::NumRef: return row.numRef;
    case AnalysisRecord::DataRef: return row.dataRef;
    case AnalysisRecord::Firmatario: return row.firmatario;
    default: return row.commento;
    }
}

} // namespace

Reading readReport(const QByteArray &bytes, const QString &fileName, const PdfSource *pdf)
{
    if (bytes.size() > kMaxReportBytes)
        return tooLarge();
    if (bytes.isEmpty())
        return refused(u"Attenzione: il file è vuoto."_s);
    // Told by what the file holds, never by its name alone.
    const QByteArrayView head = leading(bytes);
    if (bytes.left(1024).contains("%PDF-")) {
        if (!pdf)
            return refused(u"Attenzione: la lettura dei documenti PDF non è disponibile."_s);
        QString message;
        const std::optional<PdfContents> contents = pdf->open(bytes, message);
        if (!contents)
            return refused(message);
        // The structured report attached to the PDF holds the values for certain.
        for (const auto &[name, data] : contents->attachments) {
            if (!leading(data).startsWith("<"))
                continue;
            Reading r = readCda(data);
            if (r.report)
                return r;
            // A structured report that does not read is not replaced by a
            // reading of the page's text.
            return refused(u"Attenzione: il referto strutturato allegato al PDF (\""_s + name
                           + u"\") non si può leggere."_s + u"\n\r\n\r"_s + r.message);
        }
        return readPdfLines(contents->lines);
    }
    if (fileName.endsWith(u".pdf"_s, Qt::CaseInsensitive))
        return refused(u"Attenzione: il file ha l'estensione .pdf ma non è un documento PDF."_s);
    if (head.startsWith("MSH"))
        return readHl7(bytes);
    if (head.startsWith("<"))
        return readCda(bytes);
    return refused(u"Attenzione: il file non è un referto di laboratorio che il programma sa leggere "
                   u"(referto strutturato XML, messaggio HL7 o documento PDF)."_s);
}

Reading readReportFile(const QString &path, const PdfSource *pdf)
{
    QFile f(path);
    const QFileInfo info(path);
    if (!info.isFile() || !f.open(QIODevice::ReadOnly))
        return refused(u"Attenzione: il file \""_s + info.fileName() + u"\" non si può aprire."_s);
    // Refused before it is read: a file this size is no report.
    if (f.size() > kMaxReportBytes)
        return tooLarge();
    const QByteArray bytes = f.read(kMaxReportBytes + 1);
    return readReport(bytes, info.fileName(), pdf);
}

QStringList columnTitles()
{
    return {u"Esame"_s,        u"Risultato"_s,   u"Unità di misura"_s, u"Valori di riferimento"_s, u"Esito"_s,
            u"Data prelievo"_s, u"Referto n."_s, u"Data referto"_s,    u"Firmatario"_s,            u"Commento"_s};
}

QStringList rowColumns(const ReportRow &row)
{
    QStringList out;
    for (AnalysisRecord::Field f : kColumns)
        out << valueOf(row, f);
    return out;
}

QString fieldTitle(AnalysisRecord::Field field)
{
    for (int i = 0; i < int(std::size(kColumns)); ++i)
        if (kColumns[i] == field)
            return columnTitles().at(i);
    return {};
}

QList<TooLong> tooLongFields(const ReportRow &row)
{
    QList<TooLong> out;
    const RecordLayout &layout = AnalysisRecord::recordLayout();
    for (AnalysisRecord::Field f : kColumns) {
        const int capacity = layout.field(f).capacity;
        if (text::trimmed(valueOf(row, f)).size() > capacity)
            out.append({f, capacity});
    }
    return out;
}

AnalysisRecord cardOf(const ReportRow &row, const QString &patientName, const QString &fiscalCode)
{
    AnalysisRecord r;
    r.set(AnalysisRecord::Paziente, patientName);
    r.set(AnalysisRecord::CodFisc, fiscalCode);
    for (AnalysisRecord::Field f : kColumns)
        r.set(f, valueOf(row, f));
    setAlarmMark(r, row.alarming);
    return r;
}

StoredCount cardsOfReport(const QString &path, const QString &numRef, const QString &dataRef)
{
    StoredCount out;
    if (!QFileInfo::exists(path)) {
        out.read = true;
        return out;
    }
    AnalysisArchive archive;
    if (!archive.open(path, lock::Mode::Shared))
        return out;
    const QString num = text::trimmed(numRef), date = text::trimmed(dataRef);
    AnalysisRecord rec;
    bool end = false;
    for (;;) {
        if (!archive.readNextInPlace(rec, end))
            return out;
        if (end)
            break;
        if (rec.get(AnalysisRecord::NumRef) == num && rec.get(AnalysisRecord::DataRef) == date)
            ++out.cards;
    }
    out.read = bool(archive.close());
    return out;
}

IoResult appendCards(const QString &path, const QList<AnalysisRecord> &cards, qint64 *first)
{
    AnalysisArchive archive;
    if (const IoResult r = archive.open(path, lock::Mode::Exclusive); !r)
        return r;
    if (const IoResult r = archive.appendAll(cards, first); !r) {
        (void)archive.close();
        return r;
    }
    return archive.close();
}

bool criticalFlag(const QString &flag)
{
    const QString f = text::upperAZ(text::trimmed(flag));
    return f == u"HH"_s || f == u"LL"_s || f == u"AA"_s;
}

QString outcomeOf(const QString &flag, const QString &risultato, const QString &rife, const QString &um)
{
    const QString f = text::upperAZ(text::trimmed(flag));
    static const QStringList outside = {u"H"_s, u"L"_s, u"HH"_s, u"LL"_s, u"A"_s, u"AA"_s, u">"_s, u"<"_s,
                                        u"HU"_s, u"LU"_s, u"POS"_s};
    if (f == u"N"_s)
        return u"NELLA NORMA"_s;
    if (outside.contains(f))
        return u"FUORI NORMA"_s;
    if (!f.isEmpty())
        return {}; // a flag of another meaning: not read as an outcome
    // A word result equal to its reference word ("negativo" against
    // "negativo") reads as in range; any other word is left to the doctor.
    const QString r = text::trimmed(risultato), ref = text::trimmed(rife);
    if (!r.isEmpty() && r.front().isLetter() && r.compare(ref, Qt::CaseInsensitive) == 0)
        return u"NELLA NORMA"_s;
    return offeredOutcome(checkResult(r, ref, um));
}

QString dateOf(QStringView stamp)
{
    const QStringView s = text::trimmedView(stamp);
    if (s.size() < 8)
        return {};
    for (int i = 0; i < 8; ++i)
        if (!s[i].isDigit() || s[i].unicode() > '9')
            return {};
    // After the day only digits (time), a fraction and a zone may follow.
    for (qsizetype i = 8; i < s.size(); ++i) {
        const char16_t c = s[i].unicode();
        if (!((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.'))
            return {};
    }
    const int y = s.sliced(0, 4).toInt(), m = s.sliced(4, 2).toInt(), d = s.sliced(6, 2).toInt();
    const QDate date(y, m, d);
    if (!date.isValid())
        return {};
    return date.toString(u"dd/MM/yyyy"_s);
}

} // namespace clinora::referto
