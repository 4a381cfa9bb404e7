#pragma once

#include "common/HelpTexts.h"
#include "common/ui/FindInList.h"
#include "common/ui/Services.h"

#include <QPointer>

#include <map>
#include <memory>
#include <typeindex>
#include <utility>

class QWidget;

namespace clinora {

// The CallerTags the screens write into the shared dialogs they open, and
// under which they offer those dialogs their hooks.
namespace caller {
inline constexpr QStringView kPatientCard = u"clienti";
inline constexpr QStringView kAnalysesMenu = u"menuanalisi";
inline constexpr QStringView kSummaryMenu = u"riepilogo";
inline constexpr QStringView kAnalysisCard = u"analisicliniche";
// The date picker's two modes: the field of the analysis card it fills.
inline constexpr QStringView kAnalysisDate = u"analisi_data";
inline constexpr QStringView kAnalysisRefDate = u"analisi_dataref";
} // namespace caller

// What every screen reaches: the platform seams, the find keys, dialogs,
// the working areas and the help. It names no screen: the program's
// composition root creates the screens and fills in what they open, so a
// screen depends only on the screens below it.
class ScreenContext {
public:
    explicit ScreenContext(Services &services) : services(services) {}
    virtual ~ScreenContext();
    ScreenContext(const ScreenContext &) = delete;
    ScreenContext &operator=(const ScreenContext &) = delete;

    // Opens a dialog: a fresh instance owned by `owner`, set up by `setup`,
    // shown modally, destroyed when it closes.
    template <class Dialog, class Setup>
    int openDialog(QWidget *owner, Setup &&setup)
    {
        Dialog dialog(*this, owner);
        setup(dialog);
        return services.dialogs->exec(&dialog);
    }
    template <class Dialog>
    int openDialog(QWidget *owner)
    {
        return openDialog<Dialog>(owner, [](Dialog &) {});
    }

    // Switch: show `to`, then hide `from`.
    void switchTo(QWidget *from, QWidget *to);
    // Back to the start menu from a working area.
    virtual void showStartMenu(QWidget *from) = 0;
    // The guide at `topic`, over `owner`.
    virtual void showHelp(QWidget *owner, help::TopicId topic) = 0;

    // What a screen offers the shared dialogs that carry its CallerTag: the
    // fields, labels or small callbacks a dialog hands its result to. The
    // screen offers them once, when created; a dialog finds them by the tag
    // it was given and the kind of hook it needs, never by the screen's class.
    // A hook lives as long as the screen that offered it.
    template <class Hook>
    void offer(QObject *screen, QStringView tag, Hook hook)
    {
        m_hooks[{std::type_index(typeid(Hook)), tag.toString()}] = {screen, std::make_shared<Hook>(std::move(hook))};
    }
    // The hook offered under `tag`, or null when no screen offered one.
    template <class Hook>
    const Hook *hook(QStringView tag) const
    {
        const auto it = m_hooks.find({std::type_index(typeid(Hook)), tag.toString()});
        if (it == m_hooks.end() || !it->second.screen)
            return nullptr;
        return static_cast<const Hook *>(it->second.hook.get());
    }

    Services &services;
    // The last find key of each kind of list screen, for this run.
    FindKeys findKeys;

private:
    struct Offered {
        QPointer<QObject> screen;
        std::shared_ptr<void> hook;
    };
    std::map<std::pair<std::type_index, QString>, Offered> m_hooks;
};

} // namespace clinora
