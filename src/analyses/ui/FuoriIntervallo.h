#pragma once

#include "common/ui/Screen.h"

#include <QStringList>

class QLabel;
class QPushButton;

namespace clinora {

class LineList;

// The cards the alarming results did not list although their result lies
// outside its reference values and nobody marked them: their result lines,
// in the same order and look. A double-click hands the chosen line back.
class TfrmFuoriIntervallo : public DialogScreen {
    Q_OBJECT
public:
    explicit TfrmFuoriIntervallo(ScreenContext &ctx, QWidget *parent = nullptr);

    LineList *lstRecords;
    QPushButton *btnChiudi;

    void setLines(const QStringList &lines);
    // The line chosen with a double-click (or Enter); empty when closed without one.
    QString chosenLine() const { return m_chosen; }

    void lstRecordsDblClick();

private:
    QString m_chosen;
};

} // namespace clinora
