#pragma once

#include "analyses/AnalysisRecord.h"

#include <functional>

class QLabel;
class QLineEdit;
class QWidget;

namespace clinora {

// What the analysis card offers, under its CallerTag, to the menu that opens
// it and to the dialogs that work on the archive open on it: its window, the
// fields they read or fill, and where a found record is shown.
struct AnalysisCardHook {
    QWidget *card = nullptr;
    QLineEdit *txtPaziente = nullptr, *txtCodFisc = nullptr;
    // The path of the archive open on the card.
    QLabel *lblFile = nullptr;
    QLineEdit *txtEsame = nullptr, *txtUM = nullptr, *txtRife = nullptr;
    std::function<void(const AnalysisRecord &record, qint64 number)> showRecord;
};

// What a screen offers the date picker under one of its modes: the field the
// picked day is written into.
struct DateFieldHook {
    QLineEdit *field = nullptr;
};

} // namespace clinora
