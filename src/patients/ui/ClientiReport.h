#pragma once

#include "common/ui/ControlText.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <memory>

class QWidget;

// The patient card on paper and in Paziente.pdf: the template repScheda,
// its 24 rows, and the card's "Stampa" and "Crea PDF" commands.
namespace clinora {

class ScreenContext;
class ReportTemplate;
struct PdfExport;

struct CardRow {
    QString caption;
    QString value;
};

// The 24 rows of the printed card, read from the card's controls by name
// (txtPaziente, txtProvNasc, ...): each text trimmed, joined fields trimmed
// one by one around their joining text.
QList<CardRow> patientCardRows(const ControlTextLookup &controlText);

// The template "Scheda informativa" and its PDF settings.
std::unique_ptr<ReportTemplate> makeRepScheda();
PdfExport pdfScheda(const QString &fileName);

// Fills repScheda with the title, the rows and the footer, and lays it out.
void fillRepScheda(ReportTemplate &repScheda, const QList<CardRow> &rows, const QDateTime &now);

// "Stampa": prints the card through the print dialog.
void printPatientCard(ScreenContext &ctx, QWidget *owner, const QList<CardRow> &rows);

// "Crea PDF": writes the card to AppFolder/Paziente.pdf, then offers to open it.
// False when the file could not be written (the engine has said so).
bool exportPatientCardPdf(ScreenContext &ctx, QWidget *owner, const QList<CardRow> &rows);

} // namespace clinora
