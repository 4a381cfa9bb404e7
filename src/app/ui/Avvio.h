#pragma once

#include "common/ui/Screen.h"

class QCheckBox;
class QLabel;

namespace clinora {

class AppContext;

class Picture;
class PictureButton;

// The start menu: the hub that leads to the three working areas.
class TfrmAvvio : public WorkingArea {
    Q_OBJECT
public:
    explicit TfrmAvvio(AppContext &ctx, QWidget *parent = nullptr);

    Picture *imgTitolo;
    Picture *imgIcona;
    Picture *imgSottotitolo;
    PictureButton *imgAnagrafica, *btnAnagrafica, *appAnagrafica;
    PictureButton *imgAnalisi, *btnAnalisi, *appAnalisi;
    PictureButton *imgRiepiloghi, *btnRiepiloghi, *appRiepiloghi;
    PictureButton *imgInfo, *imgGuida, *imgSito, *imgCopyright, *imgEsci;
    // Backup and restore of the data, with their help, and the quiet line
    // that reminds of a backup when the last one is old.
    PictureButton *btnBackup, *btnRipristino, *imgGuidaBackup;
    // Ticked: BACKUP asks for a passphrase and encrypts the backup with it.
    QCheckBox *chkBackupCifrato;
    QLabel *lblPromemoria;

    void imgAnagraficaClick();
    void imgAnalisiClick();
    void imgRiepiloghiClick();
    void imgInfoClick();
    void imgGuidaClick();
    void imgSitoClick();
    void imgCopyrightClick();
    void imgEsciClick();
    void btnBackupClick();
    void btnRipristinoClick();
    void imgGuidaBackupClick();
    // Shows or hides the reminder line, as the last verified backup is.
    void updateReminder();

protected:
    void FormClose() override;
    void FormShow() override { updateReminder(); }

private:
    // The start menu and the login lead to the other screens by name.
    AppContext &m_app;
};

} // namespace clinora
