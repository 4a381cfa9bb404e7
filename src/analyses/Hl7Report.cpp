// The laboratory's result message (HL7 version 2, ORU^R01): segments of
// fields, the separators given by the message itself in its MSH segment.

#include "analyses/LabReport.h"

#include "common/Text.h"

#include <QRegularExpression>
#include <QStringDecoder>

using namespace Qt::StringLiterals;

namespace clinora::referto {

namespace {

Reading refused(const QString &message) { return {std::nullopt, message}; }

struct Separators {
    QChar field = u'|', component = u'^', repetition = u'~', escape = u'\\', sub = u'&';
};

// One segment split into fields; field(n) is SEG-n for every segment,
// MSH included (whose MSH-1 is the field separator itself).
class Segment {
public:
    Segment(const QString &line, const Separators &sep) : m_sep(sep)
    {
        m_fields = line.split(sep.field);
        m_id = m_fields.value(0);
        if (m_id == u"MSH"_s)
            m_fields.insert(1, QString(sep.field));
    }
    const QString &id() const { return m_id; }
    QString field(int n) const { return m_fields.value(n); }
    QStringList repetitions(int n) const { return field(n).split(m_sep.repetition); }
    QString component(int n, int c, int rep = 0) const
    {
        return repetitions(n).value(rep).split(m_sep.component).value(c - 1);
    }

private:
    Separators m_sep;
    QString m_id;
    QStringList m_fields;
};

// Text with its escape sequences undone; `doubt` is set by one it does
// not know, which stays as written.
QString unescape(const QString &raw, const Separators &sep, QString &doubt)
{
    QString out;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        if (raw[i] != sep.escape) {
            out += raw[i];
            continue;
        }
        const qsizetype end = raw.indexOf(sep.escape, i + 1);
        if (end < 0) {
            doubt = u"sequenza di escape non chiusa"_s;
            out += raw.mid(i);
            break;
        }
        const QString code = raw.mid(i + 1, end - i - 1);
        if (code == u"F"_s)
            out += sep.field;
        else if (code == u"S"_s)
            out += sep.component;
        else if (code == u"T"_s)
            out += sep.sub;
        else if (code == u"R"_s)
            out += sep.repetition;
        else if (code == u"E"_s)
            out += sep.escape;
        else if (code == u".br"_s)
            out += u'\n';
        else if (code == u"H"_s || code == u"N"_s)
            ; // emphasis on and off: the text is the same
        else if (code.startsWith(u'X') && code.size() > 1 && code.size() % 2 == 1) {
            const QByteArray hex = QByteArray::fromHex(code.mid(1).toLatin1());
            if (hex.size() * 2 != code.size() - 1) {
                doubt = u"sequenza di escape non valida: "_s + code;
                out += raw.mid(i, end - i + 1);
            } else {
                out += QString::fromLatin1(hex);
            }
        } else {
            doubt = u"sequenza di escape sconosciuta: "_s + code;
            out += raw.mid(i, end - i + 1);
        }
        i = end;
    }
    return out;
}

bool isNumber(const QString &v)
{
    static const QRegularExpression number(u"^[+-]?(\\d+(\\.\\d*)?|\\.\\d+)$"_s);
    return number.match(v).hasMatch();
}

QString numberText(const QString &v) { return QString(v).replace(u'.', u','); }

// Whether a patient identifier (PID-3, one repetition) is the fiscal code:
// said by its type (a national identifier of Italy) or by its authority.
bool isFiscalCodeId(const QStringList &cx, const Separators &sep)
{
    const QString type = cx.value(4).trimmed().toUpper();
    const QString authority = cx.value(3).toUpper();
    if (type == u"NNITA"_s)
        return true;
    const QStringList hd = authority.split(sep.sub);
    for (const QString &part : hd)
        if (part == u"2.16.840.1.113883.2.9.4.3.2"_s || part == u"CF"_s || part == u"MEF"_s)
            return true;
    return false;
}

} // namespace

Reading readHl7(QByteArrayView bytes)
{
    if (bytes.size() > kMaxReportBytes)
        return refused(u"Attenzione: il file è troppo grande per essere un referto di laboratorio (oltre 32 MB): "
                       u"non viene letto."_s);
    QByteArray raw = bytes.toByteArray();
    if (raw.startsWith("\xEF\xBB\xBF"))
        raw.remove(0, 3);
    // The framing bytes of the network transport, if the file kept them.
    raw.replace('\x0B', "");
    raw.replace('\x1C', "");
    // UTF-8, or the Latin-1 the message declares in MSH-18; nothing else is guessed.
    QString text;
    {
        QStringDecoder utf8(QStringDecoder::Utf8);
        text = utf8.decode(raw);
        if (utf8.hasError()) {
            const QByteArray firstLine = raw.left(raw.indexOf('\r') < 0 ? 1024 : raw.indexOf('\r')).toUpper();
            if (!firstLine.contains("8859/1") && !firstLine.contains("8859-1"))
                return refused(u"Attenzione: il messaggio HL7 contiene caratteri non validi (non è un testo UTF-8 "
                               u"corretto, né dichiara un'altra codifica): il referto non viene letto."_s);
            text = QString::fromLatin1(raw);
        }
    }
    text.replace(u"\r\n"_s, u"\r"_s);
    text.replace(u'\n', u'\r');
    const QStringList lines = text.split(u'\r', Qt::SkipEmptyParts);
    if (lines.isEmpty() || !lines.first().startsWith(u"MSH"_s) || lines.first().size() < 8)
        return refused(u"Attenzione: il file non è un messaggio HL7 valido (manca l'intestazione MSH)."_s);
    const QString &msh = lines.first();
    Separators sep;
    sep.field = msh[3];
    const qsizetype encEnd = msh.indexOf(sep.field, 4);
    const QString enc = msh.mid(4, encEnd < 0 ? -1 : encEnd - 4);
    if (enc.size() < 3 || enc.size() > 4)
        return refused(u"Attenzione: il messaggio HL7 ha caratteri di codifica (MSH-2) non validi."_s);
    sep.component = enc[0];
    sep.repetition = enc[1];
    sep.escape = enc[2];
    sep.sub = enc.size() > 3 ? enc[3] : QChar(u'&');
    {
        const QString all = QString(sep.field) + enc;
        for (qsizetype i = 0; i < all.size(); ++i)
            if (all[i].isLetterOrNumber() || all[i].isSpace() || all.indexOf(all[i], i + 1) >= 0)
                return refused(u"Attenzione: il messaggio HL7 ha caratteri di codifica (MSH-2) non validi."_s);
    }
    const Segment header(msh, sep);
    const QString type = header.component(9, 1) + u'^' + header.component(9, 2);
    if (type == u"^"_s)
        return refused(u"Attenzione: il messaggio HL7 è incompleto: l'intestazione (MSH) non dice di che tipo è."_s);
    if (type != u"ORU^R01"_s)
        return refused(u"Attenzione: il messaggio HL7 non è un referto di laboratorio (ORU^R01), ma di tipo "_s
                       + type + u'.');

    LabReport r;
    r.source = Source::Hl7;
    // Text with its escapes undone; an escape not understood marks the row.
    auto clean = [&](const QString &v, QString *rowDoubt = nullptr) {
        QString d;
        QString out = unescape(v, sep, d).trimmed();
        if (!d.isEmpty() && rowDoubt)
            *rowDoubt = d;
        return out;
    };
    r.laboratory = clean(header.component(4, 1));
    const QString messageDate = dateOf(header.field(7));

    bool sawPid = false, sawObr = false;
    QString numRef, dataRef, data, firmatario;
    ReportRow *last = nullptr;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const Segment seg(lines[i], sep);
        if (seg.id() == u"PID"_s) {
            sawPid = true;
            for (const QString &rep : seg.repetitions(3)) {
                const QStringList cx = rep.split(sep.component);
                if (isFiscalCodeId(cx, sep))
                    r.fiscalCode = clean(cx.value(0)).toUpper();
            }
            const QString family = clean(seg.component(5, 1).split(sep.sub).value(0));
            const QString given = clean(seg.component(5, 2));
            r.patientName = QString(family + u' ' + given).trimmed();
            last = nullptr;
        } else if (seg.id() == u"OBR"_s) {
            sawObr = true;
            numRef = clean(seg.component(3, 1));
            if (numRef.isEmpty())
                numRef = clean(seg.component(2, 1));
            data = dateOf(seg.component(7, 1));
            dataRef = dateOf(seg.component(22, 1));
            if (dataRef.isEmpty())
                dataRef = messageDate;
            // OBR-32: the doctor who signs, as id&family&given&...
            const QStringList cnn = seg.component(32, 1).split(sep.sub);
            firmatario = QString(clean(cnn.value(2)) + u' ' + clean(cnn.value(1))).trimmed();
            if (r.numRef.isEmpty()) {
                r.numRef = numRef;
                r.reportId = numRef;
                r.data = data;
                r.dataRef = dataRef;
                r.firmatario = firmatario;
            }
            last = nullptr;
        } else if (seg.id() == u"OBX"_s) {
            const QString status = seg.field(11).trimmed().toUpper();
            // Results withdrawn or entered in error are no results.
            if (status == u"D"_s || status == u"W"_s) {
                last = nullptr;
                continue;
            }
            ReportRow row;
            QString rowDoubt;
            row.esame = clean(seg.component(3, 2), &rowDoubt);
            if (row.esame.isEmpty()) {
                row.esame = clean(seg.component(3, 1), &rowDoubt);
                if (!row.esame.isEmpty())
                    rowDoubt = u"il messaggio riporta soltanto il codice dell'esame"_s;
            }
            const QString valueType = seg.field(2).trimmed().toUpper();
            const QStringList values = seg.repetitions(5);
            const QString value = values.value(0);
            if (values.size() > 1 && valueType != u"TX"_s && valueType != u"FT"_s)
                rowDoubt = u"il messaggio riporta più valori per un solo esame"_s;
            if (valueType == u"NM"_s) {
                row.risultato = clean(value, &rowDoubt);
                if (!isNumber(row.risultato))
                    rowDoubt = u"il valore \""_s + row.risultato + u"\" non è un numero"_s;
                row.risultato = numberText(row.risultato);
            } else if (valueType == u"SN"_s) {
                // comparator ^ number ^ separator ^ number: "<^5", "^10^-^20", "^1^:^40"
                const QStringList sn = value.split(sep.component);
                const QString cmp = clean(sn.value(0)), n1 = clean(sn.value(1)), s = clean(sn.value(2)),
                              n2 = clean(sn.value(3));
                const bool ok = isNumber(n1) && (s.isEmpty() ? n2.isEmpty() : isNumber(n2))
                                && (cmp.isEmpty() || cmp == u"<"_s || cmp == u">"_s || cmp == u"<="_s
                                    || cmp == u">="_s || cmp == u"="_s || cmp == u"<>"_s);
                row.risultato = cmp + numberText(n1) + s + numberText(n2);
                if (!ok)
                    rowDoubt = u"il valore strutturato \""_s + value + u"\" non si legge"_s;
            } else if (valueType == u"CE"_s || valueType == u"CWE"_s || valueType == u"CNE"_s) {
                row.risultato = clean(value.split(sep.component).value(1), &rowDoubt);
                if (row.risultato.isEmpty()) {
                    row.risultato = clean(value.split(sep.component).value(0), &rowDoubt);
                    rowDoubt = u"il messaggio riporta soltanto il codice del valore"_s;
                }
            } else if (valueType == u"ST"_s || valueType == u"TX"_s || valueType == u"FT"_s) {
                QStringList parts;
                for (const QString &v : values) {
                    // A text has one component: what follows a separator is not read.
                    const QStringList components = v.split(sep.component);
                    parts << clean(components.value(0), &rowDoubt);
                    if (components.size() > 1)
                        rowDoubt = u"il valore contiene parti separate che il programma non legge"_s;
                }
                row.risultato = parts.join(u' ').simplified();
            } else {
                row.risultato = clean(value, &rowDoubt);
                rowDoubt = u"valore di un tipo che il programma non legge ("_s + valueType + u')';
            }
            if (row.risultato.isEmpty() && rowDoubt.isEmpty())
                rowDoubt = u"il messaggio non riporta un valore"_s;
            if (status == u"X"_s)
                rowDoubt = u"il laboratorio segnala che il risultato non si è potuto ottenere"_s;
            else if (status == u"P"_s)
                rowDoubt = u"risultato provvisorio"_s;
            row.um = clean(seg.component(6, 1), &rowDoubt);
            if (row.um.isEmpty())
                row.um = clean(seg.component(6, 2), &rowDoubt);
            row.rife = clean(seg.field(7), &rowDoubt);
            QString flag;
            for (const QString &f : seg.repetitions(8))
                if (flag.isEmpty())
                    flag = clean(f, &rowDoubt);
            row.uncertain = rowDoubt;
            if (row.uncertain.isEmpty())
                row.esito = outcomeOf(flag, row.risultato, row.rife, row.um);
            row.alarming = criticalFlag(flag);
            row.data = dateOf(seg.component(14, 1));
            if (row.data.isEmpty())
                row.data = data;
            row.numRef = numRef;
            row.dataRef = dataRef;
            row.firmatario = firmatario;
            if (row.firmatario.isEmpty()) {
                // OBX-16: the person responsible for the result, id^family^given.
                row.firmatario = QString(clean(seg.component(16, 3)) + u' ' + clean(seg.component(16, 2))).trimmed();
            }
            if (!sawObr)
                return refused(u"Attenzione: il messaggio HL7 è incompleto o non in ordine: un risultato (OBX) "
                               u"precede la richiesta (OBR) a cui appartiene."_s);
            r.rows << row;
            last = &r.rows.last();
        } else if (seg.id() == u"NTE"_s) {
            QStringList parts;
            for (const QString &c : seg.repetitions(3))
                parts << clean(c).replace(u'\n', u' ');
            const QString note = parts.join(u' ').simplified();
            if (last && !note.isEmpty())
                last->commento = last->commento.isEmpty() ? note : last->commento + u' ' + note;
        } else {
            // A segment this reader does not use (ORC, SPM, PV1...) ends the
            // comments of the result before it.
            last = nullptr;
        }
    }
    if (!sawPid)
        return refused(u"Attenzione: il messaggio HL7 è incompleto: manca il segmento del paziente (PID)."_s);
    if (r.rows.isEmpty())
        return refused(u"Attenzione: il messaggio HL7 è incompleto: non contiene risultati (OBX)."_s);
    return {std::move(r), QString()};
}

} // namespace clinora::referto
