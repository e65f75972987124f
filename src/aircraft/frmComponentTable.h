#pragma once

#include "components/ComponentTypes.h"
#include "components/LifeLimitedStatus.h"
#include "components/RecordCard.h"
#include "due/DueListSource.h"

#include <QWidget>

#include <memory>

class QLabel;
class QPushButton;
class QStandardItemModel;
class QTableView;

namespace velmora::aircraft {

// What the life-limited parts window of an aircraft reads: the aircraft, the day, and the
// warning levels and daily use the due list judges remaining life with.
struct LifeLimitedRequest {
    QString regNum;
    QDate day;
    due::WarningSettings warnings;
    due::UtilisationFactory utilisation =
        due::journalledUtilisation(utilisation::kDefaultAverageDays);
};

// A window that lists components off their aircraft (the stores), the events of one
// component (its history, the record card) or the status of an aircraft's life-limited
// parts, read from the main data file each time it is shown again; its context menu exports
// and prints the list as every grid's does.
class frmComponentTable : public QWidget {
    Q_OBJECT
  public:
    enum class Kind { Stores, History, LifeLimited };
    // mainFile: the main data file (or server data set); key: the component of a history.
    frmComponentTable(Kind kind, const QString& mainFile, const components::ComponentKey& key = {},
                      QWidget* parent = nullptr);
    // The life-limited parts status of an aircraft, printed as a report of its own.
    frmComponentTable(const QString& mainFile, const LifeLimitedRequest& request,
                      QWidget* parent = nullptr);
    ~frmComponentTable() override;

    // Reads the list again; a failure is shown with its reason and leaves the list empty.
    void Refresh();
    // Stores: opens the history of the component of the current row.
    void cmdHistory_Click();
    // Life-limited parts: the report in a print preview, saved as PDF or as CSV (a file
    // asked for through the dialogs service). History: the component's record card in a
    // print preview, or saved as PDF.
    void cmdPrint_Click();
    void cmdPdf_Click();
    void cmdCsv_Click();

    const QStandardItemModel* model() const { return model_.get(); }

  private:
    QTableView* grdList = nullptr;
    QLabel* lblTitle = nullptr;
    QPushButton* cmdHistory = nullptr;  // stores only
    QPushButton* cmdPrint = nullptr;    // life-limited parts and history
    QPushButton* cmdPdf = nullptr;      // life-limited parts and history
    QPushButton* cmdCsv = nullptr;      // life-limited parts only
    QPushButton* cmdClose = nullptr;

    void build();
    QString title() const;
    exporting::TablePrintJob lifeLimitedJob() const;

    Kind kind_;
    QString mainFile_;
    components::ComponentKey key_;
    LifeLimitedRequest lifeLimited_;
    components::LifeLimitedStatus status_;
    components::RecordCard card_;
    std::vector<components::StoredComponent> stores_;
    std::unique_ptr<QStandardItemModel> model_;
};

}  // namespace velmora::aircraft
