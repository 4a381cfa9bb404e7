#pragma once

#include "common/ui/Screen.h"

#include <memory>

class QLineEdit;
class QPushButton;

namespace clinora {

class LineList;
class ReportTemplate;

// The open patient's cards marked as alarming, in order of sample date, as
// soon as the screen opens: find and print in the list, and put a chosen
// card back on the analysis card.
class TfrmAllarmanti : public DialogScreen {
    Q_OBJECT
public:
    explicit TfrmAllarmanti(AppContext &ctx, QWidget *parent = nullptr);
    ~TfrmAllarmanti() override;

    QLineEdit *txtTrova;
    QPushButton *btnTrova;
    LineList *lstRecords;
    QPushButton *btnChiudi, *btnStampa;
    std::unique_ptr<ReportTemplate> repRiepilogo;

    void FormShow();
    void btnStampaClick();
    void btnChiudiClick();
    void lstRecordsDblClick();

protected:
    void showEvent(QShowEvent *event) override;
    void done(int result) override;

private:
    QString archivePath() const;
};

} // namespace clinora
