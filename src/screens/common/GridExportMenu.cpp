#include "GridExportMenu.h"

#include "GridExport.h"
#include "RecordsetTableModel.h"

#include "data/DateDisplay.h"
#include "export/Csv.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QDate>
#include <QMenu>
#include <QTableView>

namespace velmora::screens {

namespace {

const char* const kExportText = "Export to CSV\u2026";
const char* const kPrintText = "Print\u2026";

// The grid's model, seen through a proxy when there is one of ours underneath.
const RecordsetTableModel* recordsetModel(const QTableView& grid) {
    return qobject_cast<const RecordsetTableModel*>(grid.model());
}

}  // namespace

std::vector<int> shownRows(const QTableView& grid) {
    std::vector<int> rows;
    const QAbstractItemModel* model = grid.model();
    if (!model)
        return rows;
    const RecordsetTableModel* ours = recordsetModel(grid);
    const int count = ours ? ours->dataRowCount() : model->rowCount();
    for (int r = 0; r < count; ++r) {
        if (!grid.isRowHidden(r))
            rows.push_back(r);
    }
    return rows;
}

QByteArray gridCsv(const QTableView& grid) {
    const QAbstractItemModel* model = grid.model();
    if (!model)
        return {};
    const RecordsetTableModel* ours = recordsetModel(grid);
    return exporting::tableToCsv(
        *model, shownColumns(grid), shownRows(grid),
        [model, ours](int r, int c) -> std::optional<QString> {
            if (ours)
                return ours->exportText(r, c);
            const QString t = model->data(model->index(r, c), Qt::DisplayRole).toString();
            return t.isEmpty() ? std::nullopt : std::optional<QString>(t);
        });
}

exporting::TablePrintJob gridPrintJob(const QTableView& grid, const QString& title) {
    exporting::TablePrintJob job;
    job.title = title;
    job.subtitle = QStringLiteral("Printed %1").arg(data::displayDate(QDate::currentDate()));
    job.model = grid.model();
    job.columns = shownColumns(grid);
    job.rows = shownRows(grid);
    job.uprightWhenNarrow = true;
    return job;
}

bool exportGridToCsv(QTableView* grid, const QString& title) {
    if (!grid->model())
        return false;
    return saveCsvText(grid, gridCsv(*grid), title);
}

void printGrid(QTableView* grid, const QString& title) {
    if (!grid->model())
        return;
    previewTable(grid->window(), gridPrintJob(*grid, title));
}

void installGridExport(QTableView* grid, std::function<QString()> title) {
    auto* exportAction = new QAction(QString::fromUtf8(kExportText), grid);
    exportAction->setObjectName(QStringLiteral("actExportCsv"));
    exportAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    exportAction->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    auto* printAction = new QAction(QString::fromUtf8(kPrintText), grid);
    printAction->setObjectName(QStringLiteral("actPrint"));
    printAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    printAction->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    QObject::connect(exportAction, &QAction::triggered, grid,
                     [grid, title] { exportGridToCsv(grid, title()); });
    QObject::connect(printAction, &QAction::triggered, grid,
                     [grid, title] { printGrid(grid, title()); });
    grid->addAction(exportAction);
    grid->addAction(printAction);
    grid->setContextMenuPolicy(Qt::ActionsContextMenu);
}

}  // namespace velmora::screens
