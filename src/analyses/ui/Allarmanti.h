#pragma once

#include "common/ListLines.h"
#include "common/ui/Screen.h"

#include <memory>

class QLabel;
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
    explicit TfrmAllarmanti(ScreenContext &ctx, QWidget *parent = nullptr);
    ~TfrmAllarmanti() override;

    QLineEdit *txtTrova;
    QPushButton *btnTrova;
    LineList *lstRecords;
    QPushButton *btnChiudi, *btnStampa;
    std::unique_ptr<ReportTemplate> repRiepilogo;
    // Under the list, shown only when there are any: how many results lie
    // outside their reference values without being marked, and the button
    // that lists them.
    QLabel *lblFuoriIntervallo;
    QPushButton *btnFuoriIntervallo;

    void FormShow();
    void btnFuoriIntervalloClick();
    void btnStampaClick();
    void btnChiudiClick();
    void lstRecordsDblClick();

protected:
    void showEvent(QShowEvent *event) override;
    void done(int result) override;

private:
    QString archivePath() const;
    // Puts the card behind `line` on the analysis card, if one gives it.
    void loadCard(const QString &line);

    ListLines m_unmarked;
};

} // namespace clinora
