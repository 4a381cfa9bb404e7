#include "common/ui/ListSummary.h"

#include "common/ui/Services.h"
#include "report/ListTemplate.h"

#include <QAbstractItemView>
#include <QListView>

namespace clinora {

QStringList listLines(const QAbstractItemView *list)
{
    QStringList lines;
    const QAbstractItemModel *model = list ? list->model() : nullptr;
    if (!model)
        return lines;
    const QModelIndex root = list->rootIndex();
    const auto *view = qobject_cast<const QListView *>(list);
    const int column = view ? view->modelColumn() : 0;
    const int count = model->rowCount(root);
    lines.reserve(count);
    for (int row = 0; row < count; ++row)
        lines.append(model->data(model->index(row, column, root), Qt::DisplayRole).toString());
    return lines;
}

void ListSummaryPrint(const Services &services, ReportTemplate &rep, const QString &title,
                      const QAbstractItemView *list, const QStringList &extraLines)
{
    report::fillListSummary(rep, title, listLines(list), extraLines);
    rep.PrepareReport(services.clock->now(), true);
    rep.Print(services, list ? list->window() : nullptr);
}

} // namespace clinora
