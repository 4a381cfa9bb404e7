#pragma once

#include "common/ui/Screen.h"

#include <memory>

class QLineEdit;
class QListView;
class QPushButton;

namespace clinora {

class Picture;
class ListLinesModel;
class PatientPicker;
class ReportTemplate;

// The patients marked "Da ricontattare", listed when the screen shows; a
// pick loads the patient into the patient card.
class TfrmRicontatta : public DialogScreen {
    Q_OBJECT
public:
    explicit TfrmRicontatta(ScreenContext &ctx, QWidget *parent = nullptr);
    ~TfrmRicontatta() override;

    Picture *panContainer;
    QLineEdit *txtTrova;
    QPushButton *btnTrova;
    QListView *lstRecords;
    QPushButton *btnChiudi;
    QPushButton *btnStampa;

    // The list template "Riepilogo dati".
    std::unique_ptr<ReportTemplate> repRiepilogo;

    void FormShow();
    void btnStampaClick();
    void lstRecordsDblClick();

protected:
    void showEvent(QShowEvent *event) override;
    void done(int result) override;

private:
    ListLinesModel *m_lines = nullptr;
    PatientPicker *m_picker = nullptr;
};

} // namespace clinora
