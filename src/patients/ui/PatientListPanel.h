#pragma once

#include "patients/PatientRecord.h"

#include <QObject>
#include <QPointer>

#include <functional>

class QDialog;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class QWidget;

namespace clinora {

class ScreenContext;
class ListLinesModel;
class Picture;

// The list panel that the patient search (its result panel) and the
// patients to recontact share: the find box and button, the list of
// patient lines, the crimson hint, "Chiudi" and "Stampa", and optionally
// the count label.
struct PatientListPanel {
    Picture *panel = nullptr;
    QLineEdit *txtTrova = nullptr;
    QPushButton *btnTrova = nullptr;
    QListView *lstRecords = nullptr;
    ListLinesModel *lines = nullptr;
    QPushButton *btnChiudi = nullptr;
    QLabel *lblTrovate = nullptr; // only with a count
    QPushButton *btnStampa = nullptr;
};

// Builds the panel (833 x 529) in `parent` at `topLeft`.
PatientListPanel buildPatientListPanel(QWidget *parent, const QString &panelName, QPoint topLeft, bool withCount);

// A light panel of the list screens.
Picture *listScreenPanel(QWidget *parent, const QString &name, const QRect &geometry);

// The pick: a double-click on the list, or Enter on a line, finds the
// selected line's patient again (the last record in the file with that
// line), hands it to `act` with its record number, and closes `screen`.
// Without a selected line, or when the archive cannot be read, the screen
// only closes.
class PatientPicker : public QObject {
    Q_OBJECT
public:
    using Act = std::function<void(const PatientRecord &record, qint64 number)>;
    PatientPicker(ScreenContext &ctx, QDialog *screen, QListView *list, Act act);

    void pick();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    ScreenContext &m_ctx;
    QPointer<QDialog> m_screen;
    QPointer<QListView> m_list;
    Act m_act;
};

} // namespace clinora
