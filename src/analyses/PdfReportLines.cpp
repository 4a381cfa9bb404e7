// The text of a plain PDF report, line by line. A line becomes a result only
// where its columns read, without doubt, as exam, result, unit and range;
// every other line is kept as text for the doctor to read, never guessed at.

#include "analyses/LabReport.h"

#include "analyses/ReferenceRange.h"
#include "checks/CodiceFiscale.h"
#include "common/Text.h"

#include <QRegularExpression>
#include <QSet>

using namespace Qt::StringLiterals;

namespace clinora::referto {

namespace {

// A result that is a number, or a number after "<", ">", "<=", ">=".
bool isResult(const QString &cell)
{
    if (readResultValue(cell))
        return true;
    static const QRegularExpression bound(u"^[<>]=?\\s*(.+)$"_s);
    const QRegularExpressionMatch m = bound.match(cell);
    return m.hasMatch() && readResultValue(m.captured(1)).has_value();
}

// The words laboratories write as a result that is no number.
bool isWordResult(const QString &cell)
{
    static const QStringList words = {u"negativo"_s, u"negativa"_s, u"positivo"_s, u"positiva"_s,
                                      u"assente"_s,  u"assenti"_s,  u"presente"_s, u"presenti"_s};
    return words.contains(cell.toLower());
}

bool isUnit(const QString &cell)
{
    if (cell.size() > 20 || readResultValue(cell) || readReferenceRange(cell))
        return false;
    static const QRegularExpression unit(u"^(%|[A-Za-zµμ%/^*.·0-9]*[A-Za-zµμ%][A-Za-zµμ%/^*.·0-9]*)$"_s);
    return unit.match(cell).hasMatch();
}

bool isFlag(const QString &cell)
{
    static const QStringList flags = {u"H"_s, u"L"_s, u"HH"_s, u"LL"_s, u"A"_s, u"*"_s};
    return flags.contains(cell);
}

bool isExam(const QString &cell)
{
    // Words, not a number or a date.
    for (QChar c : cell)
        if (c.isLetter())
            return !readResultValue(cell) && cell.size() <= 200;
    return false;
}

// The columns of a line read as a result, or nothing.
std::optional<ReportRow> resultOf(const QStringList &cells)
{
    if (cells.size() < 3 || cells.size() > 5 || !isExam(cells[0]))
        return std::nullopt;
    ReportRow row;
    row.esame = cells[0];
    row.risultato = cells[1];
    qsizetype k = 2;
    QString flag;
    if (k < cells.size() && isFlag(cells[k]))
        flag = cells[k++];
    const bool word = isWordResult(cells[1]);
    if (!word && !isResult(cells[1]))
        return std::nullopt;
    if (k < cells.size() && !word && isUnit(cells[k]))
        row.um = cells[k++];
    if (k < cells.size()) {
        const QString &range = cells[k];
        const bool reads = word ? isWordResult(range) : readReferenceRange(range).has_value();
        if (!reads)
            return std::nullopt;
        row.rife = range;
        ++k;
    }
    // Something after the range, or a line without unit or range: not certain.
    if (k != cells.size() || (row.um.isEmpty() && row.rife.isEmpty()))
        return std::nullopt;
    row.esito = outcomeOf(flag == u"*"_s ? QString() : flag, row.risultato, row.rife, row.um);
    row.alarming = criticalFlag(flag);
    return row;
}

} // namespace

Reading readPdfLines(const QStringList &lines)
{
    LabReport r;
    r.source = Source::PdfText;
    QSet<QString> codes;
    static const QRegularExpression token(u"\\b[A-Z0-9]{16}\\b"_s);
    for (const QString &line : lines) {
        if (text::isBlank(line))
            continue;
        // The fiscal code is taken only where it proves itself by its check character.
        for (auto it = token.globalMatch(line); it.hasNext();) {
            const QString code = it.next().captured(0);
            if (CodFiscValido(code))
                codes.insert(code);
        }
        QStringList cells = line.split(u'\t');
        for (QString &c : cells)
            c = c.simplified();
        cells.removeAll(QString());
        if (std::optional<ReportRow> row = resultOf(cells)) {
            r.rows << *row;
        } else {
            ReportRow text;
            text.unread = true;
            text.esame = cells.join(u"   "_s);
            text.uncertain = u"riga di testo non letta come risultato"_s;
            r.rows << text;
        }
    }
    if (codes.size() == 1)
        r.fiscalCode = *codes.begin();
    if (r.rows.isEmpty())
        return {std::nullopt, u"Attenzione: il documento PDF non contiene testo: forse è un'immagine "
                              u"acquisita con lo scanner, che il programma non legge."_s};
    return {std::move(r), QString()};
}

} // namespace clinora::referto
