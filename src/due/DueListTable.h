#pragma once

#include "DueList.h"

#include <QAbstractTableModel>

#include <memory>
#include <vector>

namespace velmora::due {

// The due list as a table: one line per selected limit, in the order given, with the texts
// the screen, the printout and the CSV file show. Overdue lines are red, due soon amber.
class DueListTable : public QAbstractTableModel {
    Q_OBJECT

  public:
    enum Column {
        Registration,
        Item,
        Component,
        PartNumber,
        SerialNumber,
        Type,
        Meter,
        ServiceLife,
        Remaining,
        Unit,
        DueDate,
        Days,
        Status,
        Controls,
        ColumnCount
    };

    explicit DueListTable(QObject* parent = nullptr);

    // Shows these limits of the list (indexes into list->entries), in this order.
    void setRows(std::shared_ptr<const DueList> list, std::vector<int> rows);
    const DueList* list() const { return list_.get(); }
    std::shared_ptr<const DueList> sharedList() const { return list_; }
    const std::vector<int>& rows() const { return rows_; }
    // The limit shown on a line; null when there is none.
    const DueEntry* entryAt(int row) const;

    static QString caption(int column);
    // A cell's text as the grid shows and prints it, and as a file is given it (the due date
    // as yyyy-MM-dd; the other cells as shown).
    QString text(int row, int column) const;
    QString fileText(int row, int column) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    std::shared_ptr<const DueList> list_;
    std::vector<int> rows_;
};

// A remaining amount as the list writes it: hours and months with one decimal, landings,
// cycles and RIN whole; a minus sign once run out.
QString remainingText(const DueEntry& e);
// The due date as the list shows it (as every screen shows dates, "7 Dec 2026"), or why
// there is none: "no use recorded", "no remaining figure", "over 100 years".
QString dueDateText(const DueEntry& e);
// The same for a file: the date as yyyy-MM-dd.
QString dueDateFileText(const DueEntry& e);

}  // namespace velmora::due
