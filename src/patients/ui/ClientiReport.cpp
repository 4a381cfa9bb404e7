#include "patients/ui/ClientiReport.h"

#include "common/Text.h"
#include "common/ui/Artwork.h"
#include "common/ui/ListSummary.h"
#include "common/ui/OpenURL.h"
#include "common/ui/ScreenContext.h"
#include "report/CardTemplate.h"

#include <QBuffer>
#include <QImage>

using namespace Qt::StringLiterals;

namespace clinora {

namespace {

constexpr int kRows = 24;
const QColor kDarkOrange(0xFF, 0x8C, 0x00);
const QColor kTeal(0x00, 0x80, 0x80);

QString rowName(QStringView prefix, int n) { return prefix + QString::number(n).rightJustified(2, u'0'); }

QByteArray logoPng()
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    art::folderImage(QSize(82, 68)).save(&buffer, "PNG");
    return png;
}

} // namespace

QList<CardRow> patientCardRows(const ControlTextLookup &controlText)
{
    auto v = [&](QStringView name) { return text::trimmed(controlText(name)); };
    return {
        {u"Cognome e nome:"_s, v(u"txtPaziente")},
        {u"Data di nascita:"_s, v(u"txtDataNasc")},
        {u"Comune di nascita:"_s, v(u"txtComuneNasc") + u" "_s + v(u"txtProvNasc")},
        {u"Sesso:"_s, v(u"txtSesso") + u"   -   ASL: "_s + v(u"txtASL")},
        {u"Tel. preferenziale:"_s, v(u"txtRecapito")},
        {u"Indirizzo di residenza:"_s, v(u"txtIndirizzoRes")},
        {u"Comune di residenza:"_s, v(u"txtComuneRes") + u" "_s + v(u"txtProvRes")},
        {u"Professione:"_s, v(u"txtProfessione")},
        {u"Tel. casa:"_s, v(u"txtTelCasa")},
        {u"Tel. ufficio:"_s, v(u"txtTelUff")},
        {u"Tel. cellulare:"_s, v(u"txtTelCel")},
        {u"Fax:"_s, v(u"txtFax")},
        {u"E-mail:"_s, v(u"txtEmail")},
        {u"Codice fiscale:"_s, v(u"txtCodFisc")},
        {u"Partita IVA:"_s, v(u"txtPartitaIva")},
        {u"Vaccinazioni:"_s, v(u"txtVaccinazioni")},
        {u"Patologie:"_s, v(u"txtPatologie")},
        {u"Allergie e intolleranze:"_s, v(u"txtAllergie")},
        {u"Farmaci assunti:"_s, v(u"txtFarmaci")},
        {u"Interventi subiti:"_s, v(u"txtInterventi")},
        {u"Protesi:"_s, v(u"txtProtesi")},
        {u"Handicap psicomotori:"_s, v(u"txtHandicap")},
        {u"Questioni in sospeso:"_s, v(u"txtQuestioni")},
        {u"Note:"_s, v(u"txtNote")},
    };
}

std::unique_ptr<ReportTemplate> makeRepScheda()
{
    using units::mmRect;
    auto rep = report::makeCardTemplate(u"Scheda informativa"_s, u"Page1"_s);
    ReportPage &page = rep->page1();
    page.addPicture(u"imgLogo"_s, mmRect(3, 3, 17, 13), logoPng());
    page.addText(u"txtTitolo"_s, mmRect(23, 3, 165, 9),
                 report::cardText(u"Arial"_s, 16, Qt::white, kDarkOrange, Qt::AlignHCenter, Qt::AlignVCenter),
                 u"Titolo Scheda"_s);
    page.addLine(u"linSepara01"_s, mmRect(23, 16, 165, 0));
    for (int n = 1; n <= kRows; ++n) {
        const double top = 24 + (n - 1) * 10;
        const QString initial = u"Campo "_s + QString::number(n);
        page.addText(rowName(u"titCampo", n), mmRect(3, top, 52, 6),
                     report::cardText(u"Arial"_s, 9, Qt::white, kTeal, Qt::AlignLeft, Qt::AlignVCenter), initial);
        page.addText(rowName(u"txtCampo", n), mmRect(60, top, 128, 6),
                     report::cardText(u"Arial"_s, 10, Qt::black, QColor(), Qt::AlignLeft, Qt::AlignVCenter),
                     initial);
    }
    page.addLine(u"linSepara02"_s, mmRect(3, 265, 185, 0));
    page.addText(u"txtCalce"_s, mmRect(3, 269, 185, 6),
                 report::cardText(u"Arial"_s, 10, Qt::white, kDarkOrange, Qt::AlignHCenter, Qt::AlignVCenter),
                 u"Termine scheda"_s);
    return rep;
}

PdfExport pdfScheda(const QString &fileName)
{
    PdfExport pdf;
    pdf.fileName = fileName;
    pdf.title = u"Scheda informativa"_s;
    pdf.subject = u"Scheda informativa"_s;
    return pdf;
}

void fillRepScheda(ReportTemplate &repScheda, const QList<CardRow> &rows, const QDateTime &now)
{
    QList<std::pair<QString, QString>> texts;
    texts.append({u"txtTitolo"_s, u"SCHEDA ANAGRAFICA PAZIENTE"_s});
    for (int n = 1; n <= kRows; ++n) {
        const CardRow row = n <= rows.size() ? rows[n - 1] : CardRow{};
        texts.append({rowName(u"titCampo", n), row.caption});
        texts.append({rowName(u"txtCampo", n), row.value});
        // A value too long for its row is printed whole after the card, under its caption.
        repScheda.text(rowName(u"txtCampo", n)).setCaption(row.caption);
    }
    // The continuation names the patient: its page may be read apart from the card.
    const QString patient = rows.isEmpty() ? QString() : rows.first().value;
    repScheda.page1().continuationTitle =
        patient.isEmpty() ? u"SCHEDA ANAGRAFICA PAZIENTE"_s : u"SCHEDA ANAGRAFICA PAZIENTE - "_s + patient;
    report::prepareCard(repScheda, texts, u"txtCalce", now);
}

void printPatientCard(ScreenContext &ctx, QWidget *owner, const QList<CardRow> &rows)
{
    const auto rep = makeRepScheda();
    fillRepScheda(*rep, rows, ctx.services.clock->now());
    printReport(ctx.services, *rep, owner);
}

bool exportPatientCardPdf(ScreenContext &ctx, QWidget *owner, const QList<CardRow> &rows)
{
    const Services &services = ctx.services;
    const QString target = services.appPath(u"Paziente.pdf"_s);
    const auto rep = makeRepScheda();
    fillRepScheda(*rep, rows, services.clock->now());
    if (!exportReportPdf(services, *rep, pdfScheda(target), owner))
        return false;
    if (services.confirm(owner, u"L'esportazione della scheda in PDF è terminata con successo.\n\r\n\rSi vuole "
                                u"aprire il file?"_s))
        TMisc::Open(services, u"\""_s + target + u"\""_s);
    return true;
}

} // namespace clinora
