#pragma once

#include <QDateTime>
#include <QString>

#include <memory>

class QDialog;
class QFileDialog;
class QWidget;

// The program's seams to the platform: every message box, file chooser, modal
// dialog, shell open, the clock and the AppFolder go through these, so that
// tests can replace them with fakes that record and answer.
namespace clinora {

enum class MsgKind { Information, Warning, Error, Confirmation, Plain };
// Closed: a confirmation closed without choosing (Esc or the window's close
// button).
enum class MsgAnswer { Ok, Cancel, Yes, No, Closed };

class MessageSeam {
public:
    virtual ~MessageSeam() = default;
    // Information, warning and error boxes have OK and Cancel, a confirmation
    // Yes and No, a plain box OK only.
    virtual MsgAnswer show(QWidget *parent, MsgKind kind, const QString &text) = 0;
};

class FileChooserSeam {
public:
    virtual ~FileChooserSeam() = default;
    // The chosen file's path, or empty when the user cancels.
    virtual QString openFile(QWidget *parent, const QString &title, const QString &filter) = 0;
    // The path of a file to write, chosen starting from `suggestedName` (a
    // name or a whole path); empty when the user cancels. The user has
    // agreed to replace a file that exists.
    virtual QString saveFile(QWidget *parent, const QString &title, const QString &filter,
                             const QString &suggestedName) = 0;
    // An existing folder chosen starting from `start`; empty when the user
    // cancels (or where no folder can be chosen).
    virtual QString chooseFolder(QWidget *parent, const QString &title, const QString &start)
    {
        Q_UNUSED(parent);
        Q_UNUSED(title);
        Q_UNUSED(start);
        return QString();
    }
};

// The system's chooser for a file to open, as the program shows it. A pattern
// "*.*" in `filter` lists every file, those without an extension too, as the
// system the program was made for reads it; the filter shows as given.
std::unique_ptr<QFileDialog> makeOpenFileDialog(QWidget *parent, const QString &title, const QString &filter);

class DialogSeam {
public:
    virtual ~DialogSeam() = default;
    // Shows the dialog modally until it closes.
    virtual int exec(QDialog *dialog) = 0;
};

class ShellSeam {
public:
    virtual ~ShellSeam() = default;
    // Hands a path, folder, web or mailto address to the desktop, as given.
    virtual void open(const QString &command) = 0;
};

class ClockSeam {
public:
    virtual ~ClockSeam() = default;
    virtual QDateTime now() const = 0;
};

class PrintSeam; // the report engine's printer access

struct Services {
    // The program's folder: every data file and folder lies in it.
    QString appFolder;
    std::unique_ptr<MessageSeam> messages;
    std::unique_ptr<FileChooserSeam> files;
    std::unique_ptr<DialogSeam> dialogs;
    std::unique_ptr<ShellSeam> shell;
    std::unique_ptr<ClockSeam> clock;
    std::shared_ptr<PrintSeam> printing;

    // A path inside the AppFolder.
    QString appPath(const QString &name) const;

    // The real platform, for the program itself.
    static std::unique_ptr<Services> createDefault(const QString &appFolder);

    // Shortcuts for the screens.
    MsgAnswer info(QWidget *p, const QString &t) const { return messages->show(p, MsgKind::Information, t); }
    MsgAnswer warning(QWidget *p, const QString &t) const { return messages->show(p, MsgKind::Warning, t); }
    MsgAnswer error(QWidget *p, const QString &t) const { return messages->show(p, MsgKind::Error, t); }
    MsgAnswer plain(QWidget *p, const QString &t) const { return messages->show(p, MsgKind::Plain, t); }
    // True unless the user answered No: a box closed without choosing lets
    // the command go on.
    bool confirm(QWidget *p, const QString &t) const
    {
        return messages->show(p, MsgKind::Confirmation, t) != MsgAnswer::No;
    }
    // True only when the user answered Yes: for a question whose going on
    // replaces the user's data, where closing the box must not choose for him.
    bool confirmYes(QWidget *p, const QString &t) const
    {
        return messages->show(p, MsgKind::Confirmation, t) == MsgAnswer::Yes;
    }
};

} // namespace clinora
