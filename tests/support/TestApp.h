#pragma once

// A whole program on a temporary AppFolder, with every platform seam
// replaced by a fake that records what was shown and answers as told.

#include "app/ui/AppContext.h"
#include "common/ui/Services.h"
#include "report/PrintSeam.h"
#include "report/ReportTemplate.h"

#include <QDialog>
#include <QList>
#include <QTemporaryDir>
#include <QTest>

#include <deque>
#include <functional>
#include <memory>

namespace clinora::test {

class FakeMessages : public MessageSeam {
public:
    struct Shown {
        MsgKind kind;
        QString text;
    };
    QList<Shown> shown;
    // Answers given in turn; when none is queued, OK (Yes for a confirmation).
    std::deque<MsgAnswer> answers;

    MsgAnswer show(QWidget *parent, MsgKind kind, const QString &text) override;
    // The texts shown, in order; clears the record.
    QStringList take();
    QString last() const { return shown.isEmpty() ? QString() : shown.last().text; }
};

class FakeDialogs : public DialogSeam {
public:
    // The object names of the dialogs shown, in order.
    QStringList opened;
    // Run in turn on the dialogs shown, while "modal"; when none is queued
    // the dialog closes at once, as if the user dismissed it.
    std::deque<std::function<void(QDialog *)>> handlers;

    int exec(QDialog *dialog) override;

    // Queues a handler for the next dialog, which must be a D.
    template <class D>
    void next(std::function<void(D &)> f)
    {
        handlers.push_back([f](QDialog *d) {
            auto *typed = qobject_cast<D *>(d);
            QVERIFY2(typed, "the dialog shown is not the one expected");
            f(*typed);
        });
    }
};

class FakeFiles : public FileChooserSeam {
public:
    struct Request {
        QString title, filter;
        QString suggestedName; // asked when saving
    };
    // Both kinds of request, in order, answered from the one queue.
    QList<Request> requests;
    std::deque<QString> answers; // empty answer: the user cancelled
    QString openFile(QWidget *parent, const QString &title, const QString &filter) override;
    QString saveFile(QWidget *parent, const QString &title, const QString &filter,
                     const QString &suggestedName) override;
    // A folder request is recorded with the start folder as its suggestion.
    QString chooseFolder(QWidget *parent, const QString &title, const QString &start) override;
};

class FakeShell : public ShellSeam {
public:
    QStringList opened;
    void open(const QString &command) override { opened << command; }
};

class FakeClock : public ClockSeam {
public:
    QDateTime at{QDate(2026, 12, 10), QTime(10, 30, 15)};
    QDateTime now() const override { return at; }
};

// The printers: records every report whose print dialog would open, and
// answers that dialog as told.
class FakePrinting : public PrintSeam {
public:
    // False: the system has no printer at all.
    bool installed = true;
    // Answers of the print dialogs in turn: true prints, false cancels; when
    // none is queued the dialog prints.
    std::deque<bool> answers;
    // What the print system does with the next prints, in turn, once the
    // dialog prints; when none is queued the job is printed.
    std::deque<PrintOutcome> outcomes;
    // The reports whose dialog was shown, and those then printed.
    QList<PreparedReport> dialogs;
    QList<PreparedReport> printed;
    // When set, each printed report is also written to this PDF file.
    QString renderTo;

    bool hasPrinter() override { return installed; }
    PrintOutcome print(QWidget *owner, const PreparedReport &report) override;
};

class TestApp {
public:
    // With createScreens, all 25 screens exist as the program creates them.
    explicit TestApp(bool createScreens = true);
    ~TestApp();

    QString folder() const { return dir.path(); }
    QString path(const QString &name) const { return dir.filePath(name); }
    // Writes a password file holding `plain`, scrambled.
    void setPassword(const QString &plain);

    QTemporaryDir dir;
    std::unique_ptr<Services> services;
    std::unique_ptr<AppContext> ctx;
    FakeMessages *messages;
    FakeDialogs *dialogs;
    FakeFiles *files;
    FakeShell *shell;
    FakeClock *clock;
    std::shared_ptr<FakePrinting> printing;
    int ends = 0; // how many times the program was asked to end
};

// Shows a window and makes it active, so that focus and keys reach it.
void activate(QWidget *w);
// Types text into a widget, as the keyboard would.
void type(QWidget *w, const QString &text);
void pressKey(QWidget *w, Qt::Key key);
inline void pressEnter(QWidget *w) { pressKey(w, Qt::Key_Return); }
// A left click in the middle of a widget.
void click(QWidget *w);
// The widget that has the keyboard focus in the active window.
QWidget *focused();

} // namespace clinora::test
