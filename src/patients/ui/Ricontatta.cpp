#include "patients/ui/Ricontatta.h"

#include "common/CommonSettings.h"
#include "common/ui/ListLinesModel.h"
#include "common/ui/ListSummary.h"
#include "common/ui/ScreenContext.h"
#include "common/ui/Widgets.h"
#include "patients/PatientList.h"
#include "patients/ui/PatientHooks.h"
#include "patients/ui/PatientListPanel.h"
#include "report/ListTemplate.h"
#include "report/ReportTemplate.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QShowEvent>

using namespace Qt::StringLiterals;

namespace clinora {

TfrmRicontatta::TfrmRicontatta(ScreenContext &ctx, QWidget *parent)
    : DialogScreen(ctx, parent, u" Riepilogo pazienti da ricontattare"_s, QSize(862, 560), Centre::Screen),
      repRiepilogo(report::makeListTemplate())
{
    setObjectName(u"frmRicontatta"_s);
    settings::apply();

    const PatientListPanel list = buildPatientListPanel(this, u"panContainer"_s, QPoint(14, 15), false);
    panContainer = list.panel;
    txtTrova = list.txtTrova;
    btnTrova = list.btnTrova;
    lstRecords = list.lstRecords;
    m_lines = list.lines;
    btnChiudi = list.btnChiudi;
    btnStampa = list.btnStampa;

    // The find box, the list, then "Stampa"; the find button is reached by Enter.
    setTabOrder(txtTrova, lstRecords);
    setTabOrder(lstRecords, btnStampa);
    setTabOrder(btnStampa, btnChiudi);
    setTabOrder(btnChiudi, btnTrova);

    FindInList::attach(m_ctx.services, m_ctx.findKeys, FindScreen::Ricontatta, this, txtTrova, btnTrova, lstRecords);
    // No CallerTag: a pick always goes to the patient card.
    m_picker = new PatientPicker(m_ctx, this, lstRecords, [this](const PatientRecord &r, qint64 n) {
        if (const PatientPickHook *hook = m_ctx.hook<PatientPickHook>(caller::kPatientCard))
            hook->pick(r, n);
    });

    connect(btnChiudi, &QPushButton::clicked, this, &QDialog::close);
    connect(btnStampa, &QPushButton::clicked, this, &TfrmRicontatta::btnStampaClick);
}

TfrmRicontatta::~TfrmRicontatta() = default;

void TfrmRicontatta::showEvent(QShowEvent *event)
{
    DialogScreen::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TfrmRicontatta::FormShow()
{
    // The last find key is emptied by FindInList as the screen shows.
    txtTrova->clear();
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    // A failure keeps the lines read before it, without a message.
    PatientLines found = recontactPatients(PatientArchivePath(m_ctx.services.appFolder));
    QGuiApplication::restoreOverrideCursor();
    m_lines->setLines(std::move(found.lines));
    txtTrova->setFocus(Qt::OtherFocusReason);
}

void TfrmRicontatta::btnStampaClick()
{
    ListSummaryPrint(m_ctx.services, *repRiepilogo, u"Riepilogo pazienti da ricontattare"_s, lstRecords);
}

void TfrmRicontatta::lstRecordsDblClick() { m_picker->pick(); }

void TfrmRicontatta::done(int result)
{
    m_lines->clear();
    DialogScreen::done(result);
}

} // namespace clinora
