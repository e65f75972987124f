#pragma once

#include "journal/JournalLines.h"

#include <QAbstractTableModel>

#include <vector>

namespace velmora::journal {

// The journal's lines as the Journal screen's grid shows them, one row per line: first the
// columns a person reads (the screen's caption, what the line is about, the change in
// words), then the line as the journal keeps it (names and values as written), which the
// grid hides and the CSV carries.
class JournalTableModel final : public QAbstractTableModel {
  public:
    enum Column {
        When,
        User,
        Host,
        Screen,
        What,
        Change,
        // The raw line.
        Seq,
        Program,
        ScreenName,
        Table,
        RegNum,
        Item,
        ColumnName,
        Old,
        New,
        Entry,
        Count
    };
    // The columns shown on the screen and printed.
    static constexpr int kShownCount = Seq;

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

// A value as the raw columns show it: Null as "(Null)".
QString shownValue(const data::Value& v);

}  // namespace velmora::journal
