#pragma once

#include "RemainingLevels.h"
#include "RemainingLifeQuery.h"
#include "data/Database.h"
#include "data/Recordset.h"
#include "due/DueListSource.h"
#include "entry/EntryFields.h"
#include "reports/PrintRequest.h"
#include "screens/common/BoundScreen.h"
#include "screens/common/ControlArray.h"

#include <array>
#include <functional>
#include <memory>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace velmora::screens {
class Chooser;
class DataGrid;
}  // namespace velmora::screens

namespace velmora::remaining {

// Time and cycles remaining: one aircraft at a time, its totals at the top and the
// remaining life of every installed component below, per time meter; meter and total
// entries, forecast increases, and the actual and forecast reports.
//
// The class is written in two files: its behaviour (frmRemain.cpp) and the building of its
// controls (frmRemainControls.cpp).
class frmRemain : public screens::BoundScreen {
    Q_OBJECT
  public:
    using Field = entry::TimeRemainingField;
    // A column of the company record (its name and telephone head the reports).
    using CompanyValue = std::function<data::Value(const QString& column)>;

    frmRemain(const QString& dataPath, CompanyValue company, QWidget* parent = nullptr);
    ~frmRemain() override;

    void Form_Load();
    void Form_Activate() override;
    void Combo1_Click();
    void datPrimaryRS_Reposition();
    ErrorResponse datPrimaryRS_Error(int number);
    Validation datPrimaryRS_Validate(Action action, bool save);
    void Option1_Click(int index);
    void chkFields_Click(int index);
    void cmdSave_Click() override;
    void cmdPrint_Click(int index);
    void grdDataGrid_RowColChange(int lastRow, int lastCol);
    void txtFields_Change(int index);
    void Text1_Change(int index);
    void txtFields_GotFocus(int index);
    void txtFields_KeyPress(int index, Qt::Key key);
    void txtFields_LostFocus(int index);

    // The report engine the print buttons use (tests put a recorder in its place).
    void setReportRunner(reports::ReportRunner runner) { runner_ = std::move(runner); }
    // The company's warning levels and where each aircraft's daily use comes from: the grid
    // and the reports mark overdue and due-soon remaining life by them (until they are set:
    // the default levels, no daily use).
    void setWarningLevels(const due::WarningSettings& warnings,
                          due::UtilisationFactory utilisation);

    MeterView meterView() const;
    // The selection formula and report file a print uses.
    QString selectionFormula(int index) const;
    QString reportFile(int index) const;

    // What the last rebuild left: its open database and its rows (the grid's source).
    std::shared_ptr<data::Database> rebuildDatabase() const { return database_; }
    data::Recordset* remainingRows() const { return rows_.get(); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void fieldGotFocus(int index) override;
    void fieldLeft(int index) override;
    bool fieldEnter(int index) override;
    bool releaseRows() override;

  private:
    // Entry fields by their index (Field), and their labels by the designed numbers.
    screens::ControlArray<QLineEdit> txtFields;
    screens::ControlArray<QLabel> lblLabels;
    std::array<QLineEdit*, 6> Text1{};
    std::array<QLabel*, 6> Label1{};
    std::array<QCheckBox*, 8> chkFields{};
    std::array<QRadioButton*, 3> Option1{};
    QLabel* Label2 = nullptr;
    // Why a forecast cannot be stored, under the forecast frame while one is marked.
    QLabel* lblForecastProblem = nullptr;
    QGroupBox* Frame1 = nullptr;    // "Show"
    QGroupBox* Frame2 = nullptr;    // "Total"
    QGroupBox* Frame3 = nullptr;    // "Report"
    QGroupBox* SSFrame1 = nullptr;  // forecast
    screens::Chooser* Combo1 = nullptr;
    screens::BoundRecordSource* datPrimaryRS = nullptr;
    screens::DataGrid* grdDataGrid = nullptr;
    QWidget* picButtons = nullptr;
    QPushButton* cmdClose = nullptr;
    QPushButton* cmdSave = nullptr;
    std::array<QPushButton*, 2> cmdPrint{};

    // frmRemainControls.cpp
    void buildControls();
    void buildEntryFields(double scale);
    void buildForecasts(double scale);
    void buildChoices(double scale);
    void buildGridAndButtons(double scale);
    void buildRecordSource();
    void Form_Resize();

    void SetEditedState();
    void SetCleanState();
    void rebuild();
    void applyOptionalColumns();
    // The daily use of the aircraft on display, for the levels of the grid.
    void readDailyUse();
    void focusField(int index);
    // False, with the first bad forecast marked and focused, when one cannot be stored.
    bool checkForecasts();
    // Marks a forecast field with the reason its text cannot be stored; empty unmarks it.
    void markForecast(int index, const QString& problem);

    QString dataPath_;
    CompanyValue company_;
    std::shared_ptr<data::Database> database_;
    std::shared_ptr<RemainingLevels> levels_ = std::make_shared<RemainingLevels>();
    due::WarningSettings warnings_;
    due::UtilisationFactory utilisation_;
    std::unique_ptr<data::Recordset> rows_;
    int repositionsShown_ = 0;  // the repositions that showed their aircraft, in all
    int gridToButtons_ = -1;    // the designed gaps below the grid, in pixels
    int buttonsToNavigation_ = 0;
    reports::ReportRunner runner_;
};

}  // namespace velmora::remaining
