#pragma once

#include "common/ui/Screen.h"

#include <memory>

class QLineEdit;
class QPushButton;

namespace clinora {

class LineList;
class ReportTemplate;

// The editor of the practice's frequent-exams list: entries are added in
// alphabetical order, deleted and printed; the file changes only on
// "Salva e chiudi".
class TfrmListaPresc : public DialogScreen {
    Q_OBJECT
public:
    explicit TfrmListaPresc(ScreenContext &ctx, QWidget *parent = nullptr);
    ~TfrmListaPresc() override;

    QLineEdit *txtEsame, *txtUM, *txtRife;
    QPushButton *btnTrova; // "Aggiungi all'elenco"
    LineList *lstRecords;
    QPushButton *btnElimina, *btnStampa, *btnAnnulla, *btnChiudi;
    std::unique_ptr<ReportTemplate> repRiepilogo;

    void FormShow();
    void btnTrovaClick();
    void btnEliminaClick();
    void btnStampaClick();
    void btnChiudiClick();
    void btnAnnullaClick();

protected:
    void showEvent(QShowEvent *event) override;
    void done(int result) override;

private:
    // Set when the file exists but could not be read: saving would then put
    // the few lines shown in place of the practice's whole list.
    bool m_unreadable = false;
};

} // namespace clinora
