#pragma once

#include "ComplianceStatus.h"

#include <QAbstractTableModel>

#include <memory>
#include <vector>

namespace velmora::tasks {

// The compliance status as a table, one line per task on an aircraft or component: the AD
// status report. It holds what the owner's records must (14 CFR 91.417(a)(2)(v)): the
// number and revision date, the status, the method of compliance and, for recurring
// action, the time and the date when it is next required. Overdue lines are red, due soon
// amber, as in the due list.
class StatusTable : public QAbstractTableModel {
    Q_OBJECT

  public:
    enum Column {
        Registration,
        Kind,
        Number,
        Revision,
        RevisionDate,
        Title,
        AppliesTo,
        Status,
        Method,
        LastDone,
        Recurring,
        NextDueTime,
        NextDueDate,
        Remaining,
        Expected,
        Level,
        ColumnCount
    };

    explicit StatusTable(QObject* parent = nullptr);

    // Shows these lines of the status (indexes into status->lines), in this order; every
    // line when rows is unset.
    void setLines(std::shared_ptr<const ComplianceStatus> status,
                  std::optional<std::vector<int>> rows = std::nullopt);
    const ComplianceStatus* status() const { return status_.get(); }
    const std::vector<int>& rows() const { return rows_; }
    const StatusLine* lineAt(int row) const;

    static QString caption(int column);
    QString text(int row, int column) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    std::shared_ptr<const ComplianceStatus> status_;
    std::vector<int> rows_;
};

// The status of a line in words: "Recurring", "Not applicable: REASON", ... with "(not
// recorded)" after a task the register has not yet been applied for there.
QString lineStatusText(const StatusLine& line);

}  // namespace velmora::tasks
