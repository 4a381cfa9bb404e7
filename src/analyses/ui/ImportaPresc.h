#pragma once

#include "common/ui/Screen.h"

#include <memory>

class QLineEdit;
class QPushButton;

namespace clinora {

class LineList;
class ReportTemplate;

// The frequent-exams list in file order: find an entry and copy its exam,
// unit and reference values into the analysis card with a double-click.
class TfrmImportaPresc : public DialogScreen {
    Q_OBJECT
public:
    explicit TfrmImportaPresc(ScreenContext &ctx, QWidget *parent = nullptr);
    ~TfrmImportaPresc() override;

    QLineEdit *txtTrova;
    QPushButton *btnTrova;
    LineList *lstRecords;
    QPushButton *btnChiudi, *btnStampa;
    std::unique_ptr<ReportTemplate> repRiepilogo;

    void FormShow();
    void lstRecordsDblClick();
    void btnStampaClick();
    void btnChiudiClick();

protected:
    void showEvent(QShowEvent *event) override;
    void done(int result) override;
};

} // namespace clinora
