#include "support/TestApp.h"

#include "app/Crypt.h"
#include "app/PasswordStore.h"
#include "common/CommonSettings.h"
#include "report/ReportRender.h"

#include <QApplication>

using namespace Qt::StringLiterals;

namespace clinora::test {

MsgAnswer FakeMessages::show(QWidget *, MsgKind kind, const QString &text)
{
    shown.append({kind, text});
    if (!answers.empty()) {
        const MsgAnswer a = answers.front();
        answers.pop_front();
        return a;
    }
    return kind == MsgKind::Confirmation ? MsgAnswer::Yes : MsgAnswer::Ok;
}

QStringList FakeMessages::take()
{
    QStringList texts;
    for (const Shown &s : shown)
        texts << s.text;
    shown.clear();
    return texts;
}

int FakeDialogs::exec(QDialog *dialog)
{
    opened << dialog->objectName();
    dialog->setResult(QDialog::Rejected);
    if (!handlers.empty()) {
        auto handler = std::move(handlers.front());
        handlers.pop_front();
        dialog->show();
        QApplication::setActiveWindow(dialog);
        handler(dialog);
        dialog->hide();
    }
    return dialog->result();
}

QString FakeFiles::openFile(QWidget *, const QString &title, const QString &filter)
{
    requests.append({title, filter, QString()});
    if (answers.empty())
        return QString();
    QString a = answers.front();
    answers.pop_front();
    return a;
}

QString FakeFiles::saveFile(QWidget *, const QString &title, const QString &filter, const QString &suggestedName)
{
    requests.append({title, filter, suggestedName});
    if (answers.empty())
        return QString();
    QString a = answers.front();
    answers.pop_front();
    return a;
}

QString FakeFiles::chooseFolder(QWidget *, const QString &title, const QString &start)
{
    requests.append({title, QString(), start});
    if (answers.empty())
        return QString();
    QString a = answers.front();
    answers.pop_front();
    return a;
}

PrintOutcome FakePrinting::print(QWidget *, const PreparedReport &report)
{
    dialogs.append(report);
    bool answer = true;
    if (!answers.empty()) {
        answer = answers.front();
        answers.pop_front();
    }
    if (!answer)
        return {};
    PrintOutcome outcome{PrintOutcome::Kind::Printed, u"Stampante"_s, QString(), false};
    if (!outcomes.empty()) {
        outcome = outcomes.front();
        outcomes.pop_front();
    }
    if (outcome.kind != PrintOutcome::Kind::Printed)
        return outcome;
    printed.append(report);
    if (!renderTo.isEmpty()) {
        PdfExport pdf;
        pdf.fileName = renderTo;
        pdf.title = report.name;
        if (!report::writePdf(report, pdf))
            QTest::qFail("the printed report could not be written to a PDF", __FILE__, __LINE__);
    }
    return outcome;
}

TestApp::TestApp(bool createScreens)
{
    settings::apply();
    services = std::make_unique<Services>();
    services->appFolder = dir.path();
    auto m = std::make_unique<FakeMessages>();
    auto d = std::make_unique<FakeDialogs>();
    auto f = std::make_unique<FakeFiles>();
    auto s = std::make_unique<FakeShell>();
    auto c = std::make_unique<FakeClock>();
    messages = m.get();
    dialogs = d.get();
    files = f.get();
    shell = s.get();
    clock = c.get();
    services->messages = std::move(m);
    services->dialogs = std::move(d);
    services->files = std::move(f);
    services->shell = std::move(s);
    services->clock = std::move(c);
    printing = std::make_shared<FakePrinting>();
    services->printing = printing;
    ctx = std::make_unique<AppContext>(*services);
    ctx->onEnd = [this] { ++ends; };
    if (createScreens)
        ctx->createScreens();
}

TestApp::~TestApp()
{
    ctx.reset();
    // Every answer a test queued must have been asked for.
    if (!messages->answers.empty())
        QTest::qFail("queued message answers were not used", __FILE__, __LINE__);
    if (!dialogs->handlers.empty())
        QTest::qFail("queued dialog handlers were not used", __FILE__, __LINE__);
    if (!printing->answers.empty())
        QTest::qFail("queued print dialog answers were not used", __FILE__, __LINE__);
}

void TestApp::setPassword(const QString &plain)
{
    PasswordStore store(dir.path());
    if (!store.writeStoredValue(Crypt::Scramble(plain)))
        qFatal("cannot write the password file");
}

void activate(QWidget *w)
{
    QWidget *win = w->window();
    if (!win->isVisible())
        win->show();
    QApplication::setActiveWindow(win);
    win->activateWindow();
    QCoreApplication::processEvents();
}

void type(QWidget *w, const QString &text)
{
    for (QChar c : text) {
        if (c.unicode() >= 32 && c.unicode() < 127)
            QTest::keyClick(w, char(c.unicode()));
        else // accented letters: a key the test library cannot name, with its text
            QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

void pressKey(QWidget *w, Qt::Key key) { QTest::keyClick(w, key); }

void click(QWidget *w) { QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, w->rect().center()); }

QWidget *focused() { return QApplication::focusWidget(); }

} // namespace clinora::test
