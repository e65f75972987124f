#pragma once

#include "TaskTypes.h"

#include <QAbstractTableModel>

#include <vector>

namespace velmora::tasks {

// The register as a table, one line per task: what it is, what it applies to, and when it
// is done.
class RegisterTable : public QAbstractTableModel {
    Q_OBJECT

  public:
    enum Column {
        Kind,
        Number,
        Revision,
        RevisionDate,
        EffectiveDate,
        Title,
        Authority,
        AppliesTo,
        Interval,
        Threshold,
        Tolerance,
        Notes,
        ColumnCount
    };

    explicit RegisterTable(QObject* parent = nullptr);

    void setTasks(std::vector<Task> tasks);
    const std::vector<Task>& tasks() const { return tasks_; }
    const Task* taskAt(int row) const;

    static QString caption(int column);
    QString text(int row, int column) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    std::vector<Task> tasks_;
};

}  // namespace velmora::tasks
