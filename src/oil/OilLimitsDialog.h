#pragma once

#include "data/Failure.h"
#include "oil/limits/OilLimitsStore.h"

#include <QDialog>

#include <array>
#include <memory>

class QLabel;
class QPushButton;
class QRadioButton;
class QTableWidget;

namespace velmora::data {
class Database;
}

namespace velmora::oil {

// "Oil Limits": the caution and alert levels and the caution rise of each element, for the
// chosen component, for its aircraft's make and model, or for the whole company. The three
// sets are edited side by side (the scope buttons switch between them) and saved together
// in one transaction; an empty cell is no limit. An element with no limit of its own takes
// those of the next scope down, as the list below the table says.
class OilLimitsDialog : public QDialog {
    Q_OBJECT

  public:
    enum Column { CautionPpm, AlertPpm, CautionRise, ColumnCount };

    // Reads the limits kept for the component; a failure is shown and the dialog opens
    // empty, its Save refused.
    OilLimitsDialog(std::shared_ptr<data::Database> mainDb, const QString& regNum,
                    const QString& component, QWidget* parent = nullptr);

    // The scope the table shows.
    limits::LimitScope scope() const { return scope_; }
    void setScope(limits::LimitScope scope);
    // The limits as typed so far (for the scope shown, the table's cells); a failure
    // (err::ValidationRule) naming the element when a cell holds no number or the limits
    // do not fit together.
    [[nodiscard]] data::MaybeFailure readTable(limits::LimitSet* out) const;

    // Checks and stores all three sets; shows what went wrong and keeps the dialog open.
    void cmdSave_Click();

    std::array<QRadioButton*, 3> optScope{};
    QTableWidget* grdLimits = nullptr;
    QLabel* lblHelp = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdCancel = nullptr;

  private:
    void fillTable(const limits::LimitSet& set);
    // Keeps the table's cells as the set of the scope shown; false with a message when a
    // cell is not a number.
    bool keepTable();

    std::shared_ptr<data::Database> db_;
    std::array<limits::LimitKey, 3> keys_;
    std::array<limits::LimitSet, 3> sets_{};
    limits::LimitScope scope_ = limits::LimitScope::Component;
    bool readable_ = true;
};

}  // namespace velmora::oil
