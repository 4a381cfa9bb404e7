#include "common/ui/Services.h"

#include "common/ShellTarget.h"
#include "common/YesNo.h"
#include "report/PrintSeam.h"

#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMessageBox>

using namespace Qt::StringLiterals;

namespace clinora {

namespace {

// Messages break lines with LF CR or CR LF pairs; on screen each pair is one
// line break.
QString displayText(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\n' || c == u'\r') {
            out += u'\n';
            if (i + 1 < text.size() && (text[i + 1] == u'\n' || text[i + 1] == u'\r') && text[i + 1] != c)
                ++i;
        } else {
            out += c;
        }
    }
    return out;
}

// A confirmation that tells a choice from a box closed without one: Esc and
// the window's close button close it without clicking either button.
class ConfirmationBox : public QMessageBox {
public:
    explicit ConfirmationBox(QWidget *parent) : QMessageBox(parent)
    {
        connect(this, &QMessageBox::buttonClicked, this, [this](QAbstractButton *b) { m_chosen = b; });
    }
    QAbstractButton *chosen() const { return m_chosen; }

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if (event->matches(QKeySequence::Cancel)) {
            close();
            return;
        }
        QMessageBox::keyPressEvent(event);
    }

private:
    QAbstractButton *m_chosen = nullptr;
};

class RealMessages : public MessageSeam {
public:
    MsgAnswer show(QWidget *parent, MsgKind kind, const QString &text) override
    {
        ConfirmationBox box(parent);
        box.setText(displayText(text));
        box.setTextFormat(Qt::PlainText);
        switch (kind) {
        case MsgKind::Information:
            box.setIcon(QMessageBox::Information);
            box.setWindowTitle(u"Informazione"_s);
            break;
        case MsgKind::Warning:
            box.setIcon(QMessageBox::Warning);
            box.setWindowTitle(u"Attenzione"_s);
            break;
        case MsgKind::Error:
            box.setIcon(QMessageBox::Critical);
            box.setWindowTitle(u"Errore"_s);
            break;
        case MsgKind::Confirmation:
            box.setIcon(QMessageBox::Question);
            box.setWindowTitle(u"Conferma"_s);
            break;
        case MsgKind::Plain:
            box.setIcon(QMessageBox::NoIcon);
            box.setWindowTitle(u"Clinora"_s);
            break;
        }
        if (kind == MsgKind::Confirmation) {
            QPushButton *yes = box.addButton(kYes.toString(), QMessageBox::YesRole);
            QPushButton *no = box.addButton(kNo.toString(), QMessageBox::NoRole);
            box.setDefaultButton(yes); // the first button, as the platform's own boxes have it
            // Needed for the window's close button to close the box at all;
            // what was chosen is told by the click, not by this.
            box.setEscapeButton(no);
            box.exec();
            if (!box.chosen())
                return MsgAnswer::Closed;
            return box.chosen() == no ? MsgAnswer::No : MsgAnswer::Yes;
        }
        QPushButton *ok = box.addButton(u"OK"_s, QMessageBox::AcceptRole);
        box.setDefaultButton(ok);
        QPushButton *cancel = nullptr;
        if (kind != MsgKind::Plain)
            cancel = box.addButton(u"Annulla"_s, QMessageBox::RejectRole);
        box.setEscapeButton(cancel ? cancel : ok);
        box.exec();
        return box.clickedButton() == cancel && cancel ? MsgAnswer::Cancel : MsgAnswer::Ok;
    }
};

class RealFiles : public FileChooserSeam {
public:
    QString openFile(QWidget *parent, const QString &title, const QString &filter) override
    {
        const std::unique_ptr<QFileDialog> dialog = makeOpenFileDialog(parent, title, filter);
        if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
            return QString();
        return dialog->selectedFiles().constFirst();
    }
    QString saveFile(QWidget *parent, const QString &title, const QString &filter,
                     const QString &suggestedName) override
    {
        return QFileDialog::getSaveFileName(parent, title, suggestedName, filter);
    }
    QString chooseFolder(QWidget *parent, const QString &title, const QString &start) override
    {
        return QFileDialog::getExistingDirectory(parent, title, start);
    }
};

class RealDialogs : public DialogSeam {
public:
    int exec(QDialog *dialog) override { return dialog->exec(); }
};

class RealShell : public ShellSeam {
public:
    void open(const QString &command) override
    {
        const QUrl url = shellTarget(command);
        if (url.isValid())
            QDesktopServices::openUrl(url); // the result is not examined
    }
};

class RealClock : public ClockSeam {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

} // namespace

std::unique_ptr<QFileDialog> makeOpenFileDialog(QWidget *parent, const QString &title, const QString &filter)
{
    // The chooser matches a name against the patterns of the last brackets
    // and, with the details hidden, shows what comes before them: each entry
    // keeps its caption and gets patterns in which "*.*" is "*".
    QStringList entries = filter.split(u";;"_s);
    bool widened = false;
    for (QString &entry : entries) {
        const qsizetype open = entry.lastIndexOf(u'(');
        if (open < 0 || !entry.endsWith(u')'))
            continue;
        QStringList patterns = entry.sliced(open + 1, entry.size() - open - 2).split(u' ', Qt::SkipEmptyParts);
        for (QString &p : patterns) {
            if (p == u"*.*"_s) {
                p = u"*"_s;
                widened = true;
            }
        }
        entry += u" ("_s + patterns.join(u' ') + u')';
    }
    auto dialog = std::make_unique<QFileDialog>(parent, title, QString(), widened ? entries.join(u";;"_s) : filter);
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    if (widened)
        dialog->setOption(QFileDialog::HideNameFilterDetails);
    return dialog;
}

QString Services::appPath(const QString &name) const { return QDir(appFolder).filePath(name); }

std::unique_ptr<Services> Services::createDefault(const QString &appFolder)
{
    auto s = std::make_unique<Services>();
    s->appFolder = appFolder;
    s->messages = std::make_unique<RealMessages>();
    s->files = std::make_unique<RealFiles>();
    s->dialogs = std::make_unique<RealDialogs>();
    s->shell = std::make_unique<RealShell>();
    s->clock = std::make_unique<RealClock>();
    s->printing = std::make_shared<SystemPrinting>();
    return s;
}

} // namespace clinora
