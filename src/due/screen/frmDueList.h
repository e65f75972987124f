#pragma once

#include "due/DueFilter.h"
#include "due/DueList.h"
#include "due/DueListSource.h"
#include "export/TablePrinter.h"
#include "screens/common/OutputButtons.h"

#include <QWidget>

#include <array>
#include <functional>
#include <memory>

class QCheckBox;
class QDoubleSpinBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;
class QSpinBox;
class QTableView;
class QTimer;

namespace velmora::due {

class DueListTable;
class OilAlertTable;
class OilAlertsPanel;

// Due List: what comes due next across the fleet. One grid of every installed component's
// limits, by due date, filtered by days or flight hours ahead, aircraft, type and level;
// printed, and exported as PDF or CSV exactly as shown. The register's open and recurring
// tasks stand among the limits when the request adds them. A double click opens the aircraft
// in aircraft set-up, or a task's line the task.
class frmDueList : public QWidget {
    Q_OBJECT
  public:
    struct Options {
        DueListRequest request;          // where the list is read from
        QString companyName;             // heads the printout
        bool plannedUseEditable = true;  // the daily use is the planned figures
    };
    using AircraftOpener = std::function<void(const QString& regNum)>;
    // Opens a task of the register on the aircraft of a line (the task's id, its compliance
    // record there or 0, and the registration).
    using TaskOpener =
        std::function<void(std::int64_t taskId, std::int64_t complianceId, const QString& regNum)>;
    using TablePreview = std::function<void(QWidget* parent, const exporting::TablePrintJob&)>;

    explicit frmDueList(Options options, QWidget* parent = nullptr);
    ~frmDueList() override;

    void Form_Load();
    // Reads the list from the files again and shows it with the filters as set.
    void cmdRefresh_Click();
    // Any filter control changed: the grid is rebuilt (once, however many changed).
    void Filter_Change();
    void cmdAllAircraft_Click();
    void cmdNoAircraft_Click();
    void cmdPrint_Click();
    void cmdExportPdf_Click();
    void cmdExportCsv_Click();
    void cmdWarningLevels_Click();
    void cmdPlannedUse_Click();
    void cmdClose_Click();
    void grdDueList_DblClick(int row);

    void setAircraftOpener(AircraftOpener opener) { openAircraft_ = std::move(opener); }
    // Without one, a task's line opens its aircraft as a limit's line does.
    void setTaskOpener(TaskOpener opener) { openTask_ = std::move(opener); }
    // The print preview (tests put a recorder in its place).
    void setTablePreview(TablePreview preview) { preview_ = std::move(preview); }

    // The filter the controls set, and the grid's rows now.
    DueFilter filter() const;
    void applyFilter();
    const DueListTable& table() const { return *table_; }
    const DueList* list() const { return list_.get(); }
    // The printed list: the lines and columns the grid shows, then the oil-alert findings of
    // the aircraft shown. Valid until the list or its filter changes.
    exporting::TablePrintJob printJob() const;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    QGroupBox* fraWithin = nullptr;
    QCheckBox* chkWithinDays = nullptr;
    QSpinBox* spnDays = nullptr;
    QCheckBox* chkWithinHours = nullptr;
    QDoubleSpinBox* spnHours = nullptr;
    QGroupBox* fraAircraft = nullptr;
    QListWidget* lstAircraft = nullptr;
    QPushButton* cmdAllAircraft = nullptr;
    QPushButton* cmdNoAircraft = nullptr;
    QGroupBox* fraType = nullptr;
    std::array<QCheckBox*, kBasisCount> chkType{};
    QGroupBox* fraShow = nullptr;
    QCheckBox* chkWarnings = nullptr;
    QCheckBox* chkControlling = nullptr;
    QLabel* lblSummary = nullptr;
    QTableView* grdDueList = nullptr;
    QPushButton* cmdClose = nullptr;
    QPushButton* cmdRefresh = nullptr;
    screens::OutputButtons output_;
    QPushButton* cmdWarningLevels = nullptr;
    QPushButton* cmdPlannedUse = nullptr;
    // The components whose newest oil sample is over an alert level.
    OilAlertsPanel* oilAlerts = nullptr;

    void buildControls();
    void fillAircraft();
    void showCounts();
    QString exportName() const;

    Options options_;
    std::shared_ptr<DueList> list_;
    DueListTable* table_ = nullptr;
    OilAlertTable* printedAlerts_ = nullptr;  // the oil alerts a print of the list ends with
    QTimer* filterTimer_ = nullptr;
    bool filling_ = false;
    AircraftOpener openAircraft_;
    TaskOpener openTask_;
    TablePreview preview_;
    QString loadError_;
};

}  // namespace velmora::due
