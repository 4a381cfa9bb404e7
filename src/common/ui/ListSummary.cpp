#include "common/ui/ListSummary.h"

#include "common/ui/Services.h"
#include "report/ListTemplate.h"
#include "report/PrintSeam.h"

#include <QAbstractItemView>
#include <QListView>

namespace clinora {

namespace {
// Says what the engine had to say, in its kind of box.
void tell(const Services &services, QWidget *owner, const ReportNotice &notice)
{
    switch (notice.kind) {
    case ReportNotice::Kind::None:
        break;
    case ReportNotice::Kind::Warning:
        services.warning(owner, notice.text);
        break;
    case ReportNotice::Kind::Error:
        services.error(owner, notice.text);
        break;
    }
}
} // namespace

void printReport(const Services &services, const ReportTemplate &rep, QWidget *owner)
{
    tell(services, owner, rep.Print(services.printing.get(), owner));
}

bool exportReportPdf(const Services &services, const ReportTemplate &rep, const PdfExport &settings,
                     QWidget *owner)
{
    const ReportNotice notice = rep.Export(settings);
    tell(services, owner, notice);
    return notice.kind == ReportNotice::Kind::None;
}

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
    printReport(services, rep, list ? list->window() : nullptr);
}

} // namespace clinora
