#include "analyses/ui/FuoriIntervallo.h"

#include "analyses/ui/LineList.h"
#include "analyses/ui/ToolLayout.h"
#include "common/CommonSettings.h"

#include <QLabel>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace clinora {

TfrmFuoriIntervallo::TfrmFuoriIntervallo(ScreenContext &ctx, QWidget *parent)
    : DialogScreen(ctx, parent, u" Risultati fuori dall'intervallo non segnati come allarmanti"_s, QSize(862, 420),
                   Centre::Owner)
{
    setObjectName(u"frmFuoriIntervallo"_s);
    settings::apply();

    QWidget *pan = tools::panel(this, u"panFuoriIntervallo"_s, QRect(8, 8, 846, 404));
    tools::banner(pan, u"imgBanner"_s, QRect(14, 12, 818, 72), art::Glyph::Warning,
                  u"Risultati fuori dall'intervallo"_s,
                  u"Esami con il valore fuori dai valori di riferimento, non segnati come allarmanti né FUORI NORMA."_s);
    tools::textLine(pan, u"lblIstruzioni"_s,
                    u"Verificare l'esito e la casella \"Risultato allarmante\" di ciascuna scheda."_s,
                    QRect(22, 92, 810, 18));
    lstRecords = new LineList(pan, u"lstRecords"_s, u"Risultati fuori dall'intervallo non segnati come allarmanti"_s,
                              QRect(22, 116, 801, 200), 1600);
    tools::textLine(pan, u"lblDoppioClic"_s,
                    u"Per richiamare i dati di una scheda, selezionarla con un doppio clic."_s, QRect(22, 322, 801, 20),
                    tools::kCrimson, true);
    btnChiudi = tools::button(pan, u"btnChiudi"_s, u"Chiudi"_s, QRect(22, 354, 150, 36));
    setTabOrder(lstRecords, btnChiudi);

    lstRecords->setChooseAction([this] { lstRecordsDblClick(); });
    connect(btnChiudi, &QPushButton::clicked, this, &QDialog::reject);
}

void TfrmFuoriIntervallo::setLines(const QStringList &lines)
{
    lstRecords->setLines(lines);
    if (!lines.isEmpty())
        lstRecords->selectRow(0);
    lstRecords->setFocus(Qt::OtherFocusReason);
}

void TfrmFuoriIntervallo::lstRecordsDblClick()
{
    m_chosen = lstRecords->selectedRow() >= 0 ? lstRecords->selectedLine() : QString();
    if (m_chosen.isEmpty())
        reject();
    else
        accept();
}

} // namespace clinora
