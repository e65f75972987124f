#pragma once

#include "journal/JournalLines.h"

#include <QAbstractTableModel>

#include <vector>

namespace velmora::journal {

// The journal's lines as the Journal screen's grid shows them, one row per line.
class JournalTableModel final : public QAbstractTableModel {
  public:
    enum Column { When, User, Host, Program, Screen, Table, Item, ColumnName, Old, New, Count };

    explicit JournalTableModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

    void setLines(std::vector<JournalLine> lines);
    const std::vector<JournalLine>& lines() const { return lines_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    std::vector<JournalLine> lines_;
};

// A value as the grid shows it: Null as "(Null)".
QString shownValue(const data::Value& v);

}  // namespace velmora::journal
