#pragma once

#include "common/ui/Screen.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace clinora {

// The passphrase of an encrypted backup: typed twice when a backup is made
// (a mistyped one would lock the practice out of its own copy), once when
// one is read. OK hands it to the opener's `result`.
class TfrmFraseSegreta : public DialogScreen {
    Q_OBJECT
public:
    TfrmFraseSegreta(ScreenContext &ctx, QWidget *parent);

    // Typed twice, at least kMinimumLength characters (a new backup).
    void askNew(QString *result);
    // Typed once (an existing backup), under `text`.
    void askExisting(const QString &text, QString *result);

    static constexpr int kMinimumLength = 8;

    QLabel *lblMessaggio;
    QLabel *lblFrase;
    QLineEdit *txtFrase;
    QLabel *lblConferma;
    QLineEdit *txtConferma;
    QPushButton *cmdOK;
    QPushButton *cmdAnnulla;

    void cmdOKClick();

private:
    void updateOK();

    bool m_twice = true;
    QString *m_result = nullptr;
};

} // namespace clinora
