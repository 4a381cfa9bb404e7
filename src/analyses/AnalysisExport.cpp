#include "analyses/AnalysisExport.h"

using namespace Qt::StringLiterals;

namespace clinora {

QList<TextGridModel::Column> analysisGridColumns()
{
    return {
        {u"N."_s, 60, false},
        {u"Referto n."_s, 160, true},
        {u"Data referto"_s, 150, true},
        {u"Data prelievo"_s, 150, false},
        {u"Esame"_s, 250, false},
        {u"Risultato"_s, 200, false},
        {u"U.M."_s, 200, false},
        {u"Valori di riferimento"_s, 250, true},
        {u"Esito"_s, 200, true},
        {u"Commento"_s, 300, true},
        {u"Firmatario referto"_s, 200, true},
        {u"Note"_s, 350, true},
        {u"Risultato allarmante"_s, 150, true},
    };
}

QList<ExcelColumn> analysisExportColumns()
{
    return {
        {u"Referto n."_s, 250},
        {u"Data referto"_s, 200},
        {u"Data prelievo"_s, 200},
        {u"Esame"_s, 280},
        {u"Risultato"_s, 250},
        {u"U.M."_s, 250},
        {u"Valori di riferimento"_s, 280},
        {u"Esito"_s, 250},
        {u"Commento"_s, 400},
        {u"Firmatario referto"_s, 250},
        {u"Note"_s, 400},
        {u"Risultato allarmante"_s, 200},
    };
}

void appendAnalysisRow(TextGridModel::Rows &rows, const AnalysisRecord &record, qint64 number)
{
    using F = AnalysisRecord::Field;
    rows.appendNumber(number);
    rows.endCell();
    for (F f : {F::NumRef, F::DataRef, F::Data, F::Esame, F::Risultato, F::UM, F::Rife, F::Esito, F::Commento,
                F::Firmatario, F::Note, F::Allarme}) {
        rows.appendCp1252(record.trimmedBytes(f));
        rows.endCell();
    }
    rows.endRow();
}

TextGridModel::Rows readAnalysisGrid(const QString &archivePath, IoResult *result)
{
    return readArchiveGrid<AnalysisRecord>(archivePath, int(analysisGridColumns().size()), appendAnalysisRow, result);
}

} // namespace clinora
