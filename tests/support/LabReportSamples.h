#pragma once

// Laboratory reports of our own making, for the tests and the benchmark:
// a structured report (XML), an HL7 result message and the blood count
// with formula, 25 results, in both forms.

#include <QByteArray>
#include <QList>
#include <QString>

namespace samples {

inline constexpr char kFiscalCode[] = "RSSMRA80A01H501U";

struct Result {
    const char *name, *value, *unit, *range, *flag;
};

// The blood count with formula: 25 lines, mixed units, flags H and L.
inline const QList<Result> &bloodCount()
{
    static const QList<Result> rows = {
        {"Globuli rossi", "4.85", "x10^6/uL", "4.20-5.80", "N"},
        {"Emoglobina", "13.9", "g/dL", "13.0-17.0", "N"},
        {"Ematocrito", "41.2", "%", "40.0-52.0", "N"},
        {"MCV", "85.0", "fL", "80.0-99.0", "N"},
        {"MCH", "28.7", "pg", "27.0-32.0", "N"},
        {"MCHC", "33.7", "g/dL", "32.0-36.0", "N"},
        {"RDW", "15.8", "%", "11.5-14.5", "H"},
        {"Globuli bianchi", "11.6", "x10^3/uL", "4.0-10.0", "H"},
        {"Neutrofili %", "72.1", "%", "40.0-75.0", "N"},
        {"Linfociti %", "18.3", "%", "20.0-45.0", "L"},
        {"Monociti %", "6.9", "%", "2.0-10.0", "N"},
        {"Eosinofili %", "2.1", "%", "0.0-6.0", "N"},
        {"Basofili %", "0.6", "%", "0.0-2.0", "N"},
        {"Neutrofili", "8.36", "x10^3/uL", "1.80-7.50", "H"},
        {"Linfociti", "2.12", "x10^3/uL", "1.00-4.00", "N"},
        {"Monociti", "0.80", "x10^3/uL", "0.20-1.00", "N"},
        {"Eosinofili", "0.24", "x10^3/uL", "0.00-0.50", "N"},
        {"Basofili", "0.07", "x10^3/uL", "0.00-0.20", "N"},
        {"Piastrine", "231", "x10^3/uL", "150-400", "N"},
        {"MPV", "9.8", "fL", "7.5-11.5", "N"},
        {"PCT", "0.23", "%", "0.15-0.40", "N"},
        {"PDW", "12.1", "fL", "9.0-17.0", "N"},
        {"Reticolociti", "1.2", "%", "0.5-2.0", "N"},
        {"Eritroblasti", "0", "/100 GB", "0-0", "N"},
        {"VES", "31", "mm/h", "2-20", "H"},
    };
    return rows;
}

// Characters HL7 gives a meaning, written as its escapes.
inline QString hl7Escaped(QString s)
{
    s.replace(QLatin1String("\\"), QLatin1String("\\E\\"));
    s.replace(QLatin1String("|"), QLatin1String("\\F\\"));
    s.replace(QLatin1String("^"), QLatin1String("\\S\\"));
    s.replace(QLatin1String("&"), QLatin1String("\\T\\"));
    s.replace(QLatin1String("~"), QLatin1String("\\R\\"));
    return s;
}

inline QByteArray hl7Header(const QString &fiscalCode)
{
    return QStringLiteral(
               "MSH|^~\\&|LIS|LABORATORIO SAN MARCO|CLINORA|STUDIO|20240315103000||ORU^R01^ORU_R01|MSG0001|P|2.5\r"
               "PID|1||778899^^^OSP^MR~%1^^^MEF^NNITA||ROSSI^MARIO||19800101|M\r"
               "OBR|1|ORD1|R2024-0042^LAB|EMO^Emocromo con formula|||20240314080000|||||||||||||||"
               "20240315100000|||F|||||||&Bianchi&Luca\r")
        .arg(fiscalCode)
        .toUtf8();
}

// The blood count as an HL7 message.
inline QByteArray bloodCountHl7(const QString &fiscalCode = QLatin1String(kFiscalCode))
{
    QByteArray out = hl7Header(fiscalCode);
    int k = 0;
    for (const Result &r : bloodCount()) {
        ++k;
        out += QStringLiteral("OBX|%1|NM|%2^%3^LN||%4|%5|%6|%7|||F\r")
                   .arg(k)
                   .arg(1000 + k)
                   .arg(hl7Escaped(QLatin1String(r.name)), QLatin1String(r.value),
                        hl7Escaped(QString::fromUtf8(r.unit)), QLatin1String(r.range), QLatin1String(r.flag))
                   .toUtf8();
    }
    return out;
}

inline QString xmlEscaped(const QString &s) { return s.toHtmlEscaped(); }

// A structured report; `body` is the content of its structuredBody.
inline QByteArray cdaDocument(const QString &body, const QString &fiscalCode = QLatin1String(kFiscalCode))
{
    return QStringLiteral(
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<ClinicalDocument xmlns=\"urn:hl7-org:v3\" xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">\n"
               " <templateId root=\"2.16.840.1.113883.2.9.10.1.1\"/>\n"
               " <id root=\"2.16.840.1.113883.2.9.2.30.4.4\" extension=\"LAB.2024.0042\"/>\n"
               " <effectiveTime value=\"20240315101500+0100\"/>\n"
               " <recordTarget><patientRole>\n"
               "  <id root=\"2.16.840.1.113883.2.9.4.3.2\" extension=\"%1\"/>\n"
               "  <patient><name><family>Rossi</family><given>Mario</given></name></patient>\n"
               " </patientRole></recordTarget>\n"
               " <author><time value=\"20240315\"/><assignedAuthor><id root=\"x\"/>\n"
               "  <assignedPerson><name><given>Anna</given><family>Verdi</family></name></assignedPerson>\n"
               "  <representedOrganization><name>Laboratorio Analisi San Marco</name></representedOrganization>\n"
               " </assignedAuthor></author>\n"
               " <legalAuthenticator><time value=\"20240315\"/><signatureCode code=\"S\"/><assignedEntity>\n"
               "  <assignedPerson><name><prefix>Dott.</prefix><given>Luca</given><family>Bianchi</family></name>"
               "</assignedPerson>\n"
               " </assignedEntity></legalAuthenticator>\n"
               " <documentationOf><serviceEvent><effectiveTime><low value=\"20240314080000+0100\"/></effectiveTime>"
               "</serviceEvent></documentationOf>\n"
               " <component><structuredBody>\n%2 </structuredBody></component>\n"
               "</ClinicalDocument>\n")
        .arg(fiscalCode, body)
        .toUtf8();
}

// One observation with a physical quantity and a range low-high.
inline QString cdaObservation(const Result &r)
{
    QString interp = r.flag && *r.flag ? QStringLiteral("<interpretationCode code=\"%1\"/>").arg(QLatin1String(r.flag))
                                       : QString();
    const QString range = QString::fromLatin1(r.range);
    const QString low = range.section(QLatin1Char('-'), 0, 0), high = range.section(QLatin1Char('-'), 1, 1);
    return QStringLiteral("<entry><observation classCode=\"OBS\" moodCode=\"EVN\">"
                          "<code code=\"x\" displayName=\"%1\"/><statusCode code=\"completed\"/>"
                          "<value xsi:type=\"PQ\" value=\"%2\" unit=\"%3\"/>%4"
                          "<referenceRange><observationRange><value xsi:type=\"IVL_PQ\">"
                          "<low value=\"%5\" unit=\"%3\"/><high value=\"%6\" unit=\"%3\"/></value>"
                          "</observationRange></referenceRange></observation></entry>\n")
        .arg(xmlEscaped(QLatin1String(r.name)), QLatin1String(r.value), xmlEscaped(QString::fromUtf8(r.unit)),
             interp, low, high);
}

inline QByteArray bloodCountCda(const QString &fiscalCode = QLatin1String(kFiscalCode))
{
    QString body = QStringLiteral("<component><section><title>Emocromo con formula</title>\n");
    for (const Result &r : bloodCount())
        body += cdaObservation(r);
    body += QStringLiteral("</section></component>\n");
    return cdaDocument(body, fiscalCode);
}

} // namespace samples
