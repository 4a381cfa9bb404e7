#include "common/CardLogic.h"

#include <algorithm>

namespace clinora {

BrowseStep browseStep(BrowseCommand command, qint64 position, qint64 count)
{
    BrowseStep step;
    if (count == 0) {
        step.empty = true;
        step.clearPosition = command == BrowseCommand::Next;
        return step;
    }
    switch (command) {
    case BrowseCommand::First: step.target = 1; break;
    case BrowseCommand::Last: step.target = count; break;
    // At the last record: nothing, and no message.
    case BrowseCommand::Next: step.target = position < count ? position + 1 : 0; break;
    // No position: the first record, as "Avanti" would show.
    case BrowseCommand::Back: step.target = std::max<qint64>(1, position - 1); break;
    }
    return step;
}

std::optional<qint64> browsePosition(QStringView label, const CardRules &rules)
{
    const QString t = text::trimmed(label);
    if (t.isEmpty())
        return 0;
    bool ok = false;
    const qint64 k = t.toLongLong(&ok);
    if (ok && k >= 0)
        return k;
    if (rules.strictPosition)
        return std::nullopt;
    return 0;
}

std::optional<qint64> savePosition(QStringView label, const CardRules &rules)
{
    const std::optional<qint64> k = browsePosition(label, rules);
    // A stored card is numbered from 1.
    if (k && *k == 0 && rules.strictPosition && !text::isBlank(label))
        return std::nullopt;
    return k;
}

} // namespace clinora
