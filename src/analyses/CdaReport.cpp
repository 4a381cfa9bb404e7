// The health record's structured laboratory report: an XML clinical
// document whose body holds one observation per result, beside the table a
// person reads. The observations are read; the table is only compared.

#include "analyses/LabReport.h"

#include "common/Text.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <QXmlStreamReader>

#include <vector>

using namespace Qt::StringLiterals;

namespace clinora::referto {

namespace {

// The document as a small tree: elements by local name, attributes by local
// name (xsi:type as "type"), and their own character data.
struct Node {
    QString name;
    QList<std::pair<QString, QString>> attrs;
    std::vector<int> children;
    QString text;
    int parent = -1;
};

constexpr int kMaxDepth = 200;
constexpr size_t kMaxNodes = 2'000'000;

// The fiscal codes' namespace in the health record's identifiers.
constexpr QStringView kFiscalCodeRoot = u"2.16.840.1.113883.2.9.4.3.2";

class Tree {
public:
    std::vector<Node> nodes;

    QString attr(int n, QStringView name) const
    {
        if (n < 0)
            return {};
        for (const auto &[k, v] : nodes[size_t(n)].attrs)
            if (k == name)
                return v;
        return {};
    }
    int child(int n, QStringView name) const
    {
        if (n < 0)
            return -1;
        for (int c : nodes[size_t(n)].children)
            if (nodes[size_t(c)].name == name)
                return c;
        return -1;
    }
    QList<int> children(int n, QStringView name) const
    {
        QList<int> out;
        if (n < 0)
            return out;
        for (int c : nodes[size_t(n)].children)
            if (nodes[size_t(c)].name == name)
                out << c;
        return out;
    }
    int path(int n, std::initializer_list<QStringView> names) const
    {
        for (QStringView name : names)
            n = child(n, name);
        return n;
    }
    void descendants(int n, QStringView name, QList<int> &out) const
    {
        if (n < 0)
            return;
        // Iterative: a deep tree must not exhaust the stack.
        std::vector<int> stack(nodes[size_t(n)].children.rbegin(), nodes[size_t(n)].children.rend());
        while (!stack.empty()) {
            const int c = stack.back();
            stack.pop_back();
            if (nodes[size_t(c)].name == name)
                out << c;
            const auto &kids = nodes[size_t(c)].children;
            stack.insert(stack.end(), kids.rbegin(), kids.rend());
        }
    }
    // All character data under `n`, blanks run together.
    QString textOf(int n) const
    {
        if (n < 0)
            return {};
        QString out;
        std::vector<int> stack{n};
        while (!stack.empty()) {
            const int c = stack.back();
            stack.pop_back();
            out += nodes[size_t(c)].text;
            out += u' ';
            const auto &kids = nodes[size_t(c)].children;
            stack.insert(stack.end(), kids.rbegin(), kids.rend());
        }
        return out.simplified();
    }
    int ancestor(int n, QStringView name) const
    {
        for (n = nodes[size_t(n)].parent; n >= 0; n = nodes[size_t(n)].parent)
            if (nodes[size_t(n)].name == name)
                return n;
        return -1;
    }
};

QString localType(const QString &type)
{
    const qsizetype colon = type.lastIndexOf(u':');
    return colon >= 0 ? type.mid(colon + 1) : type;
}

bool isDecimal(const QString &v)
{
    static const QRegularExpression decimal(u"^[+-]?(\\d+(\\.\\d*)?|\\.\\d+)$"_s);
    return decimal.match(v).hasMatch();
}

// A decimal of the document ("5.40") as the card writes numbers ("5,40").
QString decimalText(const QString &v) { return QString(v).replace(u'.', u','); }

// "Mario Bianchi" from given and family names, with a title before them.
QString personName(const Tree &t, int name)
{
    if (name < 0)
        return {};
    QStringList parts;
    for (int p : t.children(name, u"prefix"))
        parts << t.textOf(p);
    for (int g : t.children(name, u"given"))
        parts << t.textOf(g);
    for (int f : t.children(name, u"family"))
        parts << t.textOf(f);
    parts.removeAll(QString());
    return parts.isEmpty() ? t.textOf(name) : parts.join(u' ');
}

// The patient as the registry writes him: family name first.
QString patientName(const Tree &t, int name)
{
    if (name < 0)
        return {};
    QStringList parts;
    for (int f : t.children(name, u"family"))
        parts << t.textOf(f);
    for (int g : t.children(name, u"given"))
        parts << t.textOf(g);
    parts.removeAll(QString());
    return parts.isEmpty() ? t.textOf(name) : parts.join(u' ');
}

QString dateAt(const Tree &t, int time)
{
    if (time < 0)
        return {};
    const QString v = t.attr(time, u"value");
    if (!v.isEmpty())
        return dateOf(v);
    return dateOf(t.attr(t.child(time, u"low"), u"value"));
}

struct Value {
    QString text, unit, uncertain;
};

// One end of an interval: "<5", "<=5", ">40"...
QString boundText(const Tree &t, int end, bool high, QString &unit, QString &uncertain)
{
    const QString v = t.attr(end, u"value");
    if (!isDecimal(v)) {
        uncertain = u"il limite \""_s + v + u"\" non è un numero"_s;
        return v;
    }
    const QString u = t.attr(end, u"unit");
    if (u != u"1"_s)
        unit = u;
    const bool inclusive = t.attr(end, u"inclusive") != u"false"_s;
    return (high ? u"<"_s : u">"_s) + (inclusive ? u"="_s : QString()) + decimalText(v);
}

Value valueOf(const Tree &t, int v)
{
    Value out;
    if (v < 0) {
        out.uncertain = u"il referto non riporta un valore"_s;
        return out;
    }
    if (!t.attr(v, u"nullFlavor").isEmpty()) {
        out.uncertain = u"il referto non riporta un valore ("_s + t.attr(v, u"nullFlavor") + u')';
        return out;
    }
    const QString type = localType(t.attr(v, u"type"));
    if (type == u"PQ"_s || type == u"INT"_s || type == u"REAL"_s) {
        const QString number = t.attr(v, u"value");
        out.text = decimalText(number);
        if (!isDecimal(number))
            out.uncertain = u"il valore \""_s + number + u"\" non è un numero"_s;
        const QString u = t.attr(v, u"unit");
        if (u != u"1"_s)
            out.unit = u;
    } else if (type == u"IVL_PQ"_s) {
        const int low = t.child(v, u"low"), high = t.child(v, u"high");
        if (low >= 0 && high >= 0) {
            QString l = t.attr(low, u"value"), h = t.attr(high, u"value");
            out.text = decimalText(l) + u'-' + decimalText(h);
            out.unit = t.attr(low, u"unit") == u"1"_s ? QString() : t.attr(low, u"unit");
            if (!isDecimal(l) || !isDecimal(h))
                out.uncertain = u"l'intervallo non è di numeri"_s;
        } else if (high >= 0 || low >= 0) {
            out.text = boundText(t, high >= 0 ? high : low, high >= 0, out.unit, out.uncertain);
        } else {
            out.uncertain = u"l'intervallo non ha limiti"_s;
        }
    } else if (type == u"ST"_s || type == u"ED"_s) {
        out.text = t.textOf(v);
        if (out.text.isEmpty())
            out.uncertain = u"il valore è vuoto"_s;
    } else if (type == u"CD"_s || type == u"CE"_s || type == u"CO"_s || type == u"CV"_s || type == u"CWE"_s) {
        out.text = t.attr(v, u"displayName");
        if (out.text.isEmpty())
            out.text = t.textOf(t.child(v, u"originalText"));
        if (out.text.isEmpty()) {
            out.text = t.attr(v, u"code");
            out.uncertain = u"il referto riporta soltanto il codice del valore"_s;
        }
    } else {
        out.text = t.attr(v, u"value");
        if (out.text.isEmpty())
            out.text = t.textOf(v);
        out.uncertain = u"valore di un tipo che il programma non legge ("_s + type + u')';
    }
    return out;
}

QString rangeOf(const Tree &t, int obs, const QString &valueUnit)
{
    const int range = t.path(obs, {u"referenceRange", u"observationRange"});
    if (range < 0)
        return {};
    const int v = t.child(range, u"value");
    if (v >= 0) {
        const int low = t.child(v, u"low"), high = t.child(v, u"high");
        const QString l = t.attr(low, u"value"), h = t.attr(high, u"value");
        QString unit = t.attr(low >= 0 ? low : high, u"unit");
        QString text;
        QString ignored;
        if (isDecimal(l) && isDecimal(h))
            text = decimalText(l) + u'-' + decimalText(h);
        else if (isDecimal(h) && low < 0)
            text = boundText(t, high, true, unit, ignored);
        else if (isDecimal(l) && high < 0)
            text = boundText(t, low, false, unit, ignored);
        if (!text.isEmpty()) {
            if (!unit.isEmpty() && unit != u"1"_s && unit != valueUnit)
                text += u' ' + unit;
            return text;
        }
    }
    return t.textOf(t.child(range, u"text"));
}

// The narrative table's line for one observation: by the reference the
// observation gives, else the row whose first cell names the exam.
QString narrativeOf(const Tree &t, int obs, int section, const QString &exam)
{
    const int text = t.child(section, u"text");
    if (text < 0)
        return {};
    const QString ref = t.attr(t.path(obs, {u"text", u"reference"}), u"value");
    if (ref.startsWith(u'#')) {
        QList<int> all;
        t.descendants(text, u"td", all);
        t.descendants(text, u"tr", all);
        t.descendants(text, u"content", all);
        t.descendants(text, u"paragraph", all);
        for (int n : all)
            if (t.attr(n, u"ID") == QStringView(ref).mid(1))
                return t.textOf(n);
    }
    QList<int> rows;
    t.descendants(text, u"tr", rows);
    for (int tr : rows) {
        QStringList cells;
        for (int c : t.nodes[size_t(tr)].children)
            if (t.nodes[size_t(c)].name == u"td"_s || t.nodes[size_t(c)].name == u"th"_s)
                cells << t.textOf(c);
        if (!cells.isEmpty() && cells.first().compare(exam, Qt::CaseInsensitive) == 0)
            return cells.join(u" | "_s);
    }
    return {};
}

QString comparable(QString s)
{
    s.remove(u' ');
    s.replace(u'.', u',');
    return s.toLower();
}

Reading refused(const QString &message) { return {std::nullopt, message}; }

bool declaresOtherEncoding(QByteArrayView bytes)
{
    const QByteArray head = bytes.first(std::min<qsizetype>(bytes.size(), 200)).toByteArray().toLower();
    if (!head.startsWith("<?xml"))
        return false;
    const qsizetype end = head.indexOf("?>");
    const QByteArray decl = head.left(end < 0 ? head.size() : end);
    const qsizetype at = decl.indexOf("encoding");
    return at >= 0 && !decl.mid(at).contains("utf-8") && !decl.mid(at).contains("utf8");
}

} // namespace

Reading readCda(QByteArrayView bytes)
{
    if (bytes.size() > kMaxReportBytes)
        return refused(u"Attenzione: il file è troppo grande per essere un referto di laboratorio (oltre 32 MB): "
                       u"non viene letto."_s);
    if (!declaresOtherEncoding(bytes)) {
        QStringDecoder utf8(QStringDecoder::Utf8);
        (void)QString(utf8.decode(bytes));
        if (utf8.hasError())
            return refused(u"Attenzione: il file XML contiene caratteri non validi (non è un testo UTF-8 "
                           u"corretto): il referto non viene letto."_s);
    }
    Tree t;
    QXmlStreamReader xml(bytes.toByteArray());
    // Entities are refused with their declaration below; the limit stays
    // low in case a parser version expands some before saying so.
    xml.setEntityExpansionLimit(64);
    std::vector<int> open;
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::DTD:
            // A clinical document never declares a document type: one that
            // does may define entities built to expand or to read other files.
            return refused(u"Attenzione: il file XML contiene una dichiarazione di tipo di documento (DTD), che un "
                           u"referto non contiene: il file non viene letto per sicurezza."_s);
        case QXmlStreamReader::EntityReference:
            return refused(u"Attenzione: il file XML contiene riferimenti a entità non dichiarate: il file non "
                           u"viene letto per sicurezza."_s);
        case QXmlStreamReader::StartElement: {
            if (int(open.size()) >= kMaxDepth || t.nodes.size() >= kMaxNodes)
                return refused(u"Attenzione: il file XML è annidato o esteso oltre ogni referto reale: il file non "
                               u"viene letto."_s);
            Node n;
            n.name = xml.name().toString();
            for (const QXmlStreamAttribute &a : xml.attributes())
                n.attrs.append({a.name().toString(), a.value().toString()});
            n.parent = open.empty() ? -1 : open.back();
            t.nodes.push_back(std::move(n));
            const int index = int(t.nodes.size() - 1);
            if (!open.empty())
                t.nodes[size_t(open.back())].children.push_back(index);
            open.push_back(index);
            break;
        }
        case QXmlStreamReader::EndElement:
            if (!open.empty())
                open.pop_back();
            break;
        case QXmlStreamReader::Characters:
            if (!open.empty() && !xml.isWhitespace())
                t.nodes[size_t(open.back())].text += xml.text();
            break;
        default: break;
        }
    }
    if (xml.hasError()) {
        const QString where = u" (riga %1, colonna %2)"_s.arg(xml.lineNumber()).arg(xml.columnNumber());
        if (xml.error() == QXmlStreamReader::PrematureEndOfDocumentError)
            return refused(u"Attenzione: il file XML del referto è incompleto"_s + where
                           + u": forse è stato troncato. Il referto non viene letto."_s);
        return refused(u"Attenzione: il file XML del referto è danneggiato"_s + where
                       + u": il referto non viene letto."_s);
    }
    if (t.nodes.empty() || t.nodes[0].name != u"ClinicalDocument"_s)
        return refused(u"Attenzione: il file XML non è un referto strutturato (documento clinico CDA)."_s);

    LabReport r;
    r.source = Source::Cda;
    const int doc = 0;
    const int id = t.child(doc, u"id");
    r.reportId = t.attr(id, u"extension");
    if (r.reportId.isEmpty())
        r.reportId = t.attr(id, u"root");
    r.numRef = r.reportId;
    r.dataRef = dateAt(t, t.child(doc, u"effectiveTime"));

    const int role = t.path(doc, {u"recordTarget", u"patientRole"});
    for (int pid : t.children(role, u"id"))
        if (t.attr(pid, u"root") == kFiscalCodeRoot)
            r.fiscalCode = text::trimmed(t.attr(pid, u"extension"));
    r.patientName = patientName(t, t.path(role, {u"patient", u"name"}));

    for (int author : t.children(doc, u"author")) {
        if (r.laboratory.isEmpty())
            r.laboratory = t.textOf(t.path(author, {u"assignedAuthor", u"representedOrganization", u"name"}));
        if (r.firmatario.isEmpty())
            r.firmatario = personName(t, t.path(author, {u"assignedAuthor", u"assignedPerson", u"name"}));
    }
    if (r.laboratory.isEmpty())
        r.laboratory = t.textOf(t.path(doc, {u"custodian", u"assignedCustodian",
                                             u"representedCustodianOrganization", u"name"}));
    const QString legal =
        personName(t, t.path(doc, {u"legalAuthenticator", u"assignedEntity", u"assignedPerson", u"name"}));
    if (!legal.isEmpty())
        r.firmatario = legal;
    for (int d : t.children(doc, u"documentationOf")) {
        const QString when = dateAt(t, t.path(d, {u"serviceEvent", u"effectiveTime"}));
        if (!when.isEmpty() && r.data.isEmpty())
            r.data = when;
    }

    QList<int> observations;
    t.descendants(t.path(doc, {u"component", u"structuredBody"}), u"observation", observations);
    for (int obs : observations) {
        const int valueNode = t.child(obs, u"value");
        const int code = t.child(obs, u"code");
        // An observation that is only a heading of others carries no value.
        if (valueNode < 0 && !t.children(obs, u"entryRelationship").isEmpty())
            continue;
        const int section = t.ancestor(obs, u"section");
        ReportRow row;
        row.esame = t.attr(code, u"displayName");
        if (row.esame.isEmpty())
            row.esame = t.textOf(t.child(code, u"originalText"));
        if (row.esame.isEmpty())
            row.esame = t.textOf(t.child(section, u"title"));
        if (row.esame.isEmpty()) {
            row.esame = t.attr(code, u"code");
            row.uncertain = u"il referto riporta soltanto il codice dell'esame"_s;
        }
        const Value v = valueOf(t, valueNode);
        row.risultato = v.text;
        row.um = v.unit;
        if (!v.uncertain.isEmpty())
            row.uncertain = v.uncertain;
        row.rife = rangeOf(t, obs, v.unit);
        const QString flag = t.attr(t.child(obs, u"interpretationCode"), u"code");
        if (row.uncertain.isEmpty())
            row.esito = outcomeOf(flag, row.risultato, row.rife, row.um);
        row.alarming = criticalFlag(flag);
        row.data = dateAt(t, t.child(obs, u"effectiveTime"));
        if (row.data.isEmpty())
            row.data = r.data;
        row.numRef = r.numRef;
        row.dataRef = r.dataRef;
        row.firmatario = r.firmatario;
        QStringList comments;
        for (int rel : t.children(obs, u"entryRelationship"))
            if (const int act = t.child(rel, u"act"); act >= 0)
                comments << t.textOf(t.child(act, u"text"));
        comments.removeAll(QString());
        row.commento = comments.join(u"; "_s);
        const QString narrative = narrativeOf(t, obs, section, row.esame);
        if (!narrative.isEmpty() && !row.risultato.isEmpty()
            && !comparable(narrative).contains(comparable(row.risultato)))
            row.difference = u"Il testo del referto riporta: "_s + narrative.left(200);
        r.rows << row;
    }
    if (r.rows.isEmpty())
        return refused(u"Attenzione: il referto non contiene risultati strutturati da importare."_s);
    return {std::move(r), QString()};
}

} // namespace clinora::referto
