#pragma once

#include "due/WarningLevel.h"
#include "screens/common/RecordsetTableModel.h"
#include "utilisation/DailyUtilisation.h"

#include <QColor>
#include <QDate>
#include <QString>

namespace velmora::remaining {

// Judges the remaining life the grid shows as the due list does: each row's own figure
// (the column of its basis and, for flight time, of its meter) against the company's
// warning levels, with the aircraft's daily use for the dates of counted limits.
class RemainingLevels {
  public:
    void setWarnings(const due::WarningSettings& warnings) { warnings_ = warnings; }
    void setDailyUse(const utilisation::DailyUtilisation& use) { use_ = use; }
    void setToday(const QDate& today) { today_ = today; }

    // The level of a computed column's value (TTtoRET ... TTtoIN2, MTHStoRT as a date) in a
    // row; None in the other computed columns of the row.
    due::WarningLevel level(const QString& column, const data::Value& shown,
                            const screens::RowReader& row) const;
    QColor colour(const QString& column, const data::Value& shown,
                  const screens::RowReader& row) const {
        return due::warningColour(level(column, shown, row));
    }

  private:
    due::WarningSettings warnings_;
    utilisation::DailyUtilisation use_;
    QDate today_ = QDate::currentDate();
};

}  // namespace velmora::remaining
