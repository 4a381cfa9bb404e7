#pragma once

#include "common/ui/Screen.h"

#include <array>

class QLabel;
class QLineEdit;
class QPushButton;

namespace clinora {

class PictureButton;

// A card's six hidden attachment labels: file 1, description 1, file 2,
// description 2, file 3, description 3.
using AttachmentLabels = std::array<QLabel *, 6>;

// What a card offers the attachment dialog under its CallerTag: the labels
// "Applica e chiudi" writes into.
struct AttachmentHook {
    AttachmentLabels labels{};
};

// The three attachment slots of one card: a chosen file is copied into
// Documenti_Allegati at once; "Applica e chiudi" writes the six texts back
// into the card that offered them under the CallerTag ("clienti" or
// "analisicliniche").
class TfrmAllegaCartella : public DialogScreen {
    Q_OBJECT
public:
    explicit TfrmAllegaCartella(ScreenContext &ctx, QWidget *parent = nullptr);

    // The slots: file names (read-only) and descriptions, in tab order.
    QLineEdit *txtFile01, *txtFile02, *txtFile03;
    QLineEdit *txtDesc01, *txtDesc02, *txtDesc03;
    // Erasers beside the file names: clear the slot's name.
    PictureButton *imgCancella01, *imgCancella02, *imgCancella03;
    QPushButton *btnSfoglia01, *btnSfoglia02, *btnSfoglia03;
    QPushButton *btnApri01, *btnApri02, *btnApri03;
    QPushButton *btnApplica;
    QPushButton *btnAnnulla;

    // CallerTag: whose fields a result is written into.
    QLabel *lblMemory;

    static constexpr int kSlots = 3;

    // What an opener does before showing the dialog: each slot's name and
    // description from the card's labels, trimmed.
    void fillFrom(const AttachmentLabels &card);

public slots:
    void btnSfoglia01Click() { browse(0); }
    void btnSfoglia02Click() { browse(1); }
    void btnSfoglia03Click() { browse(2); }
    void btnApri01Click() { openAttachment(0); }
    void btnApri02Click() { openAttachment(1); }
    void btnApri03Click() { openAttachment(2); }
    void imgCancella01Click() { clearSlot(0); }
    void imgCancella02Click() { clearSlot(1); }
    void imgCancella03Click() { clearSlot(2); }
    void btnApplicaClick();
    void btnAnnullaClick();

private:
    void browse(int slot);
    void openAttachment(int slot);
    void clearSlot(int slot);

    std::array<QLineEdit *, kSlots> m_file{};
    std::array<QLineEdit *, kSlots> m_desc{};
    std::array<QPushButton *, kSlots> m_apri{};
};

} // namespace clinora
