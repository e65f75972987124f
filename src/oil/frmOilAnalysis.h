#pragma once

#include "ChartBuilder.h"

#include "screens/common/BoundScreen.h"

#include <QPointer>
#include <QWidget>

#include <array>

class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace velmora::screens {
class Chooser;
class DataGrid;
}  // namespace velmora::screens

namespace velmora::oil {

class OilLimitsView;
class TrendChart;

// Oil analysis: the laboratory results of the oil samples taken from an aircraft's
// components, one row of Oil per sample, and the trend chart of their elements. The user
// picks an aircraft, then one of its components marked for oil analysis, and enters the
// samples in the grid; the chart shows the ten newest.
class frmOilAnalysis : public screens::BoundScreen {
    Q_OBJECT

  public:
    // dataPath: the data folder with its trailing separator.
    explicit frmOilAnalysis(const QString& dataPath, QWidget* parent = nullptr);
    ~frmOilAnalysis() override;

    void Form_Load();
    void Form_Activate() override;
    void Form_Resize();
    void Combo1_Click();
    void Combo2_Click();
    ErrorResponse datPrimaryRS_Error(int number);
    Validation datPrimaryRS_Validate(Action action, bool save);
    void datPrimaryRS_Reposition();
    Validation datSecondaryRS_Validate(Action action, bool save);
    void grdDataGrid_OnAddNew();
    void grdDataGrid_Change();
    // True holds the sample back, unwritten.
    bool grdDataGrid_BeforeUpdate();
    void cmdSave_Click() override;
    void Option1_Click(int index);
    void Command1_Click();

    // The element chosen under "Show Graph": the lowest selected option, 23 when none is.
    int selectedOption() const;
    // The rows the chart was last built from.
    int firstChartRow() const { return firstRow_; }
    int lastChartRow() const { return lastRow_; }

  protected:
    void resizeEvent(QResizeEvent* event) override;
    bool releaseRows() override;

  private:
    screens::Chooser* Combo1 = nullptr;
    screens::Chooser* Combo2 = nullptr;
    std::array<QLabel*, 2> lblLabels{};
    screens::DataGrid* grdDataGrid = nullptr;
    screens::BoundRecordSource* datPrimaryRS = nullptr;
    screens::BoundRecordSource* datSecondaryRS = nullptr;
    TrendChart* MSChart1 = nullptr;
    QGroupBox* Frame1 = nullptr;
    std::array<QRadioButton*, 23> Option1{};
    QPushButton* Command1 = nullptr;
    QWidget* picButtons = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdClose = nullptr;
    // The oil limits: their button, the cell colours, the findings line and the trend.
    OilLimitsView* limitsView = nullptr;

    void buildChoosers(double scale);
    void buildGrid();
    void buildChartOptions(double scale);
    void buildButtons(double scale);
    void buildRecordSources(double scale);
    void SetEditedState();
    void SetCleanState();
    void chartRedraw();
    void chartBuilder(int first, int last);
    // Points the sample grid at a new source: the row being edited is written first.
    void reopenSamples(const QString& source);
    bool sampleAircraftInFile(const QString& regNum);
    void placeControls();
    void fitGridAboveChart();

    QString dataPath_;
    int firstRow_ = 0;
    int lastRow_ = -1;
    int gridTop_ = 0;
    int optionsWidth_ = 0;
    int chartHeight_ = 0;
    int gap_ = 0;
};

}  // namespace velmora::oil
