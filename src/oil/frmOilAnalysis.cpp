#include "frmOilAnalysis.h"

#include "OilLimitsView.h"
#include "OilSamples.h"
#include "TrendChart.h"

#include "data/DataFiles.h"
#include "data/DbError.h"
#include "data/Recordset.h"
#include "screens/common/AircraftChooser.h"
#include "screens/common/BoundRecordSource.h"
#include "screens/common/ButtonAccelerators.h"
#include "screens/common/Chooser.h"
#include "screens/common/DataGrid.h"
#include "screens/common/Dialogs.h"
#include "screens/common/GridExportMenu.h"
#include "screens/common/MousePointer.h"
#include "screens/common/ScreenConventions.h"
#include "screens/common/ScreenState.h"
#include "screens/common/Twips.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>
#include <exception>

namespace velmora::oil {

namespace {

using screens::BoundRecordSource;

// The sample grid as the chart builder reads it: every row the grid holds, so that the
// chart always reaches the newest samples whatever the height of the grid.
class GridSamples : public SampleList {
  public:
    explicit GridSamples(const screens::DataGrid& grid) : grid_(grid) {}
    int displayedRowCount() const override { return grid_.rowCount(); }
    int columnCount() const override { return grid_.columnCount(); }
    QString columnCaption(int col) const override { return grid_.column(col).caption; }
    QString textAt(int row, int col) const override { return grid_.textAt(row, col); }

  private:
    const screens::DataGrid& grid_;
};

}  // namespace

frmOilAnalysis::frmOilAnalysis(const QString& dataPath, QWidget* parent)
    : BoundScreen(QStringLiteral("frmOilAnalysis"), QStringLiteral("Oil Analysis"), parent),
      dataPath_(dataPath) {
    // Positions are kept in twips, scaled so that a chooser holds a line of the user's font.
    const double scale = screens::layoutScale(this, 315);
    gap_ = screens::twips(45, scale);
    buildChoosers(scale);
    buildGrid();
    buildChartOptions(scale);
    buildButtons(scale);
    buildRecordSources(scale);
    const int choosersRight = Combo2->geometry().right() + 1;
    resize(std::max(screens::twips(12600, scale), choosersRight + screens::twips(120, scale)),
           screens::twips(11100, scale));
    placeControls();
    screens::focusButtonsOnAccelerator(this);
    finishControls(grdDataGrid);
    Form_Load();
}

void frmOilAnalysis::buildChoosers(double scale) {
    auto tw = [scale](int t) { return screens::twips(t, scale); };
    const char* labelTexts[] = {"Registration Number", "Component Name"};
    for (int i = 0; i < 2; ++i) {
        auto* label = new QLabel(QString::fromLatin1(labelTexts[i]), this);
        label->setObjectName(QStringLiteral("lblLabels_%1").arg(i));
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        lblLabels[static_cast<size_t>(i)] = label;
    }
    Combo1 = new screens::Chooser(this);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo2 = new screens::Chooser(this);
    Combo2->setObjectName(QStringLiteral("Combo2"));
    lblLabels[0]->setBuddy(Combo1);
    lblLabels[1]->setBuddy(Combo2);
    const int comboHeight = std::max(tw(315), Combo1->sizeHint().height());
    const int labelWidth0 = lblLabels[0]->sizeHint().width();
    const int labelWidth1 = lblLabels[1]->sizeHint().width();
    int x = tw(120);
    lblLabels[0]->setGeometry(x, tw(90), labelWidth0, comboHeight);
    x += labelWidth0 + tw(120);
    Combo1->setGeometry(x, tw(90), tw(1800), comboHeight);
    x += tw(1800) + tw(360);
    lblLabels[1]->setGeometry(x, tw(90), labelWidth1, comboHeight);
    x += labelWidth1 + tw(120);
    Combo2->setGeometry(x, tw(90), tw(3900), comboHeight);
    gridTop_ = tw(90) + comboHeight + tw(120);
    connect(Combo1, &screens::Chooser::clicked, this, &frmOilAnalysis::Combo1_Click);
    connect(Combo2, &screens::Chooser::clicked, this, &frmOilAnalysis::Combo2_Click);
}

void frmOilAnalysis::buildGrid() {
    grdDataGrid = new screens::DataGrid(this);
    std::vector<screens::GridColumn> columns;
    for (const SampleColumn& c : kSampleColumns) {
        screens::GridColumn col;
        col.caption = QString::fromLatin1(c.caption);
        col.field = QString::fromLatin1(c.field);
        columns.push_back(col);
    }
    columns[kColRegNum].visible = false;
    columns[kColComponent].visible = false;
    grdDataGrid->setColumns(std::move(columns));
    grdDataGrid->setAllowAddNew(true);
    grdDataGrid->setAllowDelete(true);
    grdDataGrid->setAllowUpdate(true);
    screens::installGridExport(grdDataGrid, [this] {
        return QStringLiteral("Oil Samples - %1 %2").arg(Combo1->text(), Combo2->text());
    });
    connect(grdDataGrid, &screens::DataGrid::OnAddNew, this, &frmOilAnalysis::grdDataGrid_OnAddNew);
    connect(grdDataGrid, &screens::DataGrid::Change, this, &frmOilAnalysis::grdDataGrid_Change);
    grdDataGrid->setBeforeUpdateHandler([this] { return grdDataGrid_BeforeUpdate(); });
    connect(grdDataGrid, &screens::DataGrid::writeFailed, this,
            [this](int, const QString& text) { screens::showDataError(this, text); });
}

void frmOilAnalysis::buildChartOptions(double scale) {
    auto tw = [scale](int t) { return screens::twips(t, scale); };
    MSChart1 = new TrendChart(this);
    chartHeight_ = tw(5400);

    Frame1 = new QGroupBox(QStringLiteral("Show Graph"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    int optionWidth = 0;
    for (int i = 0; i < kOptionCount; ++i) {
        auto* option =
            new QRadioButton(QString::fromLatin1(kOptionCaptions[static_cast<size_t>(i)]), Frame1);
        option->setObjectName(QStringLiteral("Option1_%1").arg(i));
        optionWidth = std::max(optionWidth, option->sizeHint().width());
        Option1[static_cast<size_t>(i)] = option;
    }
    Option1[kOptionAllButPhosphorus]->setChecked(true);
    for (int i = 0; i < kOptionCount; ++i)
        connect(Option1[static_cast<size_t>(i)], &QRadioButton::clicked, this,
                [this, i] { Option1_Click(i); });
    // Two columns of options: the single elements, then "All (x Phos)" last.
    const int rowsPerColumn = (kOptionCount + 1) / 2;
    const int optionHeight = Option1[0]->sizeHint().height();
    const int frameTop = Frame1->fontMetrics().height() + tw(60);
    for (int i = 0; i < kOptionCount; ++i) {
        const int column = i / rowsPerColumn;
        const int row = i % rowsPerColumn;
        Option1[static_cast<size_t>(i)]->setGeometry(tw(90) + column * (optionWidth + tw(90)),
                                                     frameTop + row * optionHeight, optionWidth,
                                                     optionHeight);
    }
    const int frameWidth = 2 * optionWidth + tw(270);
    const int frameHeight = frameTop + rowsPerColumn * optionHeight + tw(90);
    Frame1->resize(frameWidth, frameHeight);

    Command1 = new QPushButton(QStringLiteral("Change Chart &Type"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    connect(Command1, &QPushButton::clicked, this, &frmOilAnalysis::Command1_Click);
    const int commandHeight = std::max(tw(375), Command1->sizeHint().height());
    Command1->resize(frameWidth, commandHeight);
    optionsWidth_ = frameWidth + tw(120);
    chartHeight_ = std::max(chartHeight_, frameHeight + gap_ + commandHeight);

    limitsView = new OilLimitsView(this, grdDataGrid, MSChart1, kColIron, kColEngineHrs, kColDate);
    limitsView->setObjectName(QStringLiteral("limitsView"));
    limitsView->setDatabase([this] { return datPrimaryRS->database(); });
    connect(limitsView, &OilLimitsView::limitsChanged, this, [this] { chartRedraw(); });
    chartHeight_ = std::max(chartHeight_, frameHeight + commandHeight + limitsView->besideHeight());
}

void frmOilAnalysis::buildButtons(double scale) {
    auto tw = [scale](int t) { return screens::twips(t, scale); };
    picButtons = new QWidget(this);
    picButtons->setObjectName(QStringLiteral("picButtons"));
    cmdSave = new QPushButton(QStringLiteral("&Save"), picButtons);
    cmdSave->setObjectName(QStringLiteral("cmdSave"));
    cmdClose = new QPushButton(QStringLiteral("&Close"), picButtons);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    const int buttonHeight = std::max(tw(375), cmdSave->sizeHint().height());
    const int buttonWidth =
        std::max({tw(1095), cmdSave->sizeHint().width(), cmdClose->sizeHint().width()});
    cmdSave->setGeometry(tw(60), tw(60), buttonWidth, buttonHeight);
    cmdClose->setGeometry(tw(60) + buttonWidth + tw(120), tw(60), buttonWidth, buttonHeight);
    picButtons->resize(tw(6000), buttonHeight + tw(120));
    connect(cmdSave, &QPushButton::clicked, this, &frmOilAnalysis::cmdSave_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmOilAnalysis::cmdClose_Click);
    setStateButtons(cmdSave, {cmdClose});
}

void frmOilAnalysis::buildRecordSources(double scale) {
    auto tw = [scale](int t) { return screens::twips(t, scale); };
    datPrimaryRS = new BoundRecordSource(this);
    datPrimaryRS->setObjectName(QStringLiteral("datPrimaryRS"));
    datPrimaryRS->resize(tw(6000), std::max(tw(345), datPrimaryRS->sizeHint().height()));
    datSecondaryRS = new BoundRecordSource(this);
    datSecondaryRS->setObjectName(QStringLiteral("datSecondaryRS"));
    datSecondaryRS->hide();  // the grid shows its rows

    datPrimaryRS->setErrorHandler(
        [this](data::ErrorNumber number) { return datPrimaryRS_Error(static_cast<int>(number)); });
    datPrimaryRS->setValidateHandler(
        [this](Action action, bool save) { return datPrimaryRS_Validate(action, save); });
    connect(datPrimaryRS, &BoundRecordSource::reposition, this,
            &frmOilAnalysis::datPrimaryRS_Reposition);
    datSecondaryRS->setValidateHandler(
        [this](Action action, bool save) { return datSecondaryRS_Validate(action, save); });
    connect(datSecondaryRS, &BoundRecordSource::refreshed, this,
            [this] { grdDataGrid->setRecordset(datSecondaryRS->recordset()); });
}

frmOilAnalysis::~frmOilAnalysis() {
    // The grid reads the secondary source's rows: it lets go of them first.
    grdDataGrid->setRecordset(nullptr);
}

// --- loading and activation -------------------------------------------------------------

void frmOilAnalysis::Form_Load() {
    {
        const screens::RepositionSuppressed filling;
        const QString file = data::dataFileName(dataPath_, data::files::kMain);
        datPrimaryRS->setDatabaseName(file);
        datPrimaryRS->setRecordSource(QStringLiteral("select * from [Aircraft]"));
        datPrimaryRS->refresh();
        // No aircraft is chosen yet: the grid shows no samples.
        grdDataGrid->setRecordset(nullptr);
        datSecondaryRS->setDatabaseName(file);
        datSecondaryRS->setRecordSource(sampleListQuery(QString(), QString()));
        datSecondaryRS->refresh();
        screens::listRegistrations(*Combo1, datPrimaryRS->recordset());
    }
    MSChart1->setChartVisible(false);
    SetCleanState();
}

void frmOilAnalysis::Form_Activate() {
    if (Combo1->entryCount() >= 1)
        Combo1->setListIndex(0);
    MSChart1->resize(std::max(0, width() - optionsWidth_), MSChart1->height());
    SetCleanState();
}

// --- choosing an aircraft and a component -------------------------------------------------

void frmOilAnalysis::Combo1_Click() {
    datPrimaryRS->findFirst(screens::registrationCriterion(Combo1->text()));
    Combo2->clearList();
    const QString reg = datPrimaryRS->currentValue(QStringLiteral("RegNum")).toString();
    // Until a component is chosen the grid shows no samples.
    reopenSamples(sampleListQuery(reg, QString()));
    if (auto db = datPrimaryRS->database()) {
        try {
            auto names = db->openRecordset(oilComponentsQuery(reg));
            for (const data::Recordset::Row& row : names->rows()) {
                const QString name = row.values.at(0).toString();
                if (Combo2->findExact(name) < 0)
                    Combo2->addEntry(name);
            }
        } catch (const data::DbError& e) {
            screens::showDataError(this, e.text());
        }
    }
    screens::SuppressReposition = false;
    if (Combo2->entryCount() >= 1) {
        Combo2->setListIndex(0);
    } else {
        screens::msgBox(
            this, QStringLiteral("Select another aircraft or exit oil analysis to enter data."),
            screens::MsgButtons::Ok, screens::MsgIcon::None,
            QStringLiteral("No components set for oil analysis."), screens::MsgAnswer::Ok);
        screens::reactivateWindow(this);
    }
}

void frmOilAnalysis::Combo2_Click() {
    chartRedraw();
}

void frmOilAnalysis::reopenSamples(const QString& source) {
    // A row that cannot be written (refused, or the file would not take it) has been
    // reported; the samples of another choice cannot be shown beside it, so it is let go.
    if (!grdDataGrid->commitPendingRow())
        grdDataGrid->cancelPendingRow();
    grdDataGrid->setRecordset(nullptr);
    datSecondaryRS->setRecordSource(source);
    datSecondaryRS->refresh();
}

// --- the aircraft record source ---------------------------------------------------------

frmOilAnalysis::ErrorResponse frmOilAnalysis::datPrimaryRS_Error(int number) {
    Q_UNUSED(number);
    return showError(*datPrimaryRS);
}

frmOilAnalysis::Validation frmOilAnalysis::datPrimaryRS_Validate(Action action, bool save) {
    if (action == BoundRecordSource::ActionClose)
        screens::MousePointer::setDefault();
    screens::MousePointer::setBusy();
    return {action, save};
}

void frmOilAnalysis::datPrimaryRS_Reposition() {
    if (screens::SuppressReposition)
        return;
    screens::MousePointer::setDefault();
    const QString reg = datPrimaryRS->currentValue(QStringLiteral("RegNum")).toString();
    reopenSamples(sampleListQuery(reg, Combo2->text(), false));
    datPrimaryRS->setCaption(screens::aircraftNavigationCaption());
    if (!reg.isEmpty() && reg != Combo1->text())
        Combo1->setListIndex(Combo1->findExact(reg));
    SetCleanState();
}

// --- the sample grid --------------------------------------------------------------------

void frmOilAnalysis::grdDataGrid_OnAddNew() {
    const QString reg = Combo1->text();
    const QString component = Combo2->text();
    if (reg.isEmpty() || component.isEmpty())
        return;
    grdDataGrid->setPendingValue(kColRegNum, data::Value(reg));
    grdDataGrid->setPendingValue(kColComponent, data::Value(component));
    for (int c = kColIron; c <= kColEngineHrs; ++c)
        grdDataGrid->setPendingValue(c, data::Value(0));
}

bool frmOilAnalysis::grdDataGrid_BeforeUpdate() {
    return datSecondaryRS_Validate(BoundRecordSource::ActionUpdate, true).action ==
           BoundRecordSource::ActionCancel;
}

frmOilAnalysis::Validation frmOilAnalysis::datSecondaryRS_Validate(Action action, bool save) {
    if (!save)
        return {action, save};
    const QString missingTitle = QStringLiteral("Missing data");
    if (Combo1->text().trimmed().isEmpty()) {
        screens::msgBox(this, QStringLiteral("An aircraft must be selected"),
                        screens::MsgButtons::Ok, screens::MsgIcon::None, missingTitle,
                        screens::MsgAnswer::Ok);
        action = BoundRecordSource::ActionCancel;
    }
    if (Combo2->text().trimmed().isEmpty()) {
        screens::msgBox(this, QStringLiteral("An aircraft component must be selected"),
                        screens::MsgButtons::Ok, screens::MsgIcon::None, missingTitle,
                        screens::MsgAnswer::Ok);
        action = BoundRecordSource::ActionCancel;
    }
    // A sample without its date has no place in the trend: it is not written.
    const int pending = grdDataGrid->pendingRow();
    if (action != BoundRecordSource::ActionCancel && pending >= 0 &&
        grdDataGrid->valueAt(pending, kColDate).toString().trimmed().isEmpty()) {
        screens::msgBox(this,
                        QStringLiteral("Enter the date the sample was taken under \"Date "
                                       "Performed\"; a sample without its date is not saved."),
                        screens::MsgButtons::Ok, screens::MsgIcon::None, missingTitle,
                        screens::MsgAnswer::Ok);
        action = BoundRecordSource::ActionCancel;
    }
    if (action != BoundRecordSource::ActionCancel && pending >= 0 &&
        !sampleAircraftInFile(grdDataGrid->valueAt(pending, kColRegNum).toString()))
        action = BoundRecordSource::ActionCancel;
    if (action == BoundRecordSource::ActionCancel)
        screens::reactivateWindow(this);
    return {action, save};
}

// A sample names its aircraft: one renamed or deleted on another screen since this screen
// read the aircraft would leave the sample without it. False, with a message, then.
bool frmOilAnalysis::sampleAircraftInFile(const QString& regNum) {
    return screens::aircraftStillInFile(
        this, *datSecondaryRS, regNum, QStringLiteral("sample"),
        QStringLiteral("close Oil Analysis and open it again to see the aircraft as they are now."),
        QStringLiteral("Oil Analysis"));
}

void frmOilAnalysis::grdDataGrid_Change() {
    SetEditedState();
}

// --- buttons and button states ----------------------------------------------------------

void frmOilAnalysis::SetEditedState() {
    showEditedState(true);
}

void frmOilAnalysis::SetCleanState() {
    showEditedState(false);
}

void frmOilAnalysis::cmdSave_Click() {
    // The row is written when the user leaves it or the screen closes.
    SetCleanState();
}

// --- the chart --------------------------------------------------------------------------

int frmOilAnalysis::selectedOption() const {
    for (int i = 0; i < kOptionCount; ++i) {
        if (Option1[static_cast<size_t>(i)]->isChecked())
            return i;
    }
    return kOptionCount;
}

void frmOilAnalysis::Option1_Click(int index) {
    Q_UNUSED(index);
    chartRedraw();
}

void frmOilAnalysis::Command1_Click() {
    MSChart1->setChartType(nextChartType(MSChart1->chartType()));
}

void frmOilAnalysis::chartRedraw() {
    grdDataGrid->resize(grdDataGrid->width(), screens::twips(6570));
    const QString reg = datPrimaryRS->currentValue(QStringLiteral("RegNum")).toString();
    reopenSamples(sampleListQuery(reg, Combo2->text()));
    limitsView->setComponent(reg, Combo2->text());
    const RowWindow window = rowWindow(grdDataGrid->rowCount());
    firstRow_ = window.first;
    lastRow_ = window.last;
    chartBuilder(firstRow_, lastRow_);
    // The date, not the hidden registration number, is where typing goes.
    grdDataGrid->setCurrentColumn(kColDate);
    fitGridAboveChart();
}

void frmOilAnalysis::chartBuilder(int first, int last) {
    buildChart(GridSamples(*grdDataGrid), RowWindow{first, last}, selectedOption(), *MSChart1);
    limitsView->chartBuilt(selectedOption() <= kColVanadium - kColIron ? selectedOption() : -1,
                           first, last);
    MSChart1->sync();
}

// --- layout and closing -----------------------------------------------------------------

void frmOilAnalysis::placeControls() {
    const QRect inner = contentsRect();
    const int navTop = inner.bottom() + 1 - datPrimaryRS->height();
    datPrimaryRS->setGeometry(inner.left(), navTop, inner.width(), datPrimaryRS->height());
    const int barTop = navTop - picButtons->height();
    picButtons->setGeometry(inner.left(), barTop, inner.width(), picButtons->height());
    const int chartTop = std::max(gridTop_ + 2 * gap_, barTop - gap_ - chartHeight_);
    MSChart1->setGeometry(inner.left(), chartTop, std::max(0, inner.width() - optionsWidth_),
                          barTop - gap_ - chartTop);
    const int optionsLeft = inner.right() + 1 - optionsWidth_ + screens::twips(60);
    Frame1->move(optionsLeft, chartTop);
    Command1->move(optionsLeft, chartTop + Frame1->height() + gap_);
    limitsView->placeBeside(optionsLeft, Command1->y() + Command1->height() + gap_,
                            Frame1->width());
    grdDataGrid->move(inner.left(), gridTop_);
}

void frmOilAnalysis::fitGridAboveChart() {
    // The chart and its "Show Graph" options stand below the grid, also while the chart is
    // hidden (no samples): the grid ends above them.
    const int findings = limitsView->findingsHeight();
    grdDataGrid->resize(grdDataGrid->width(),
                        std::max(0, MSChart1->top() - gap_ - findings - gridTop_));
    limitsView->placeFindings(grdDataGrid->x(), MSChart1->top() - findings, grdDataGrid->width());
}

void frmOilAnalysis::Form_Resize() {
    placeControls();
    screens::applyGridLayoutA(this, grdDataGrid, datPrimaryRS, picButtons);
    fitGridAboveChart();
}

void frmOilAnalysis::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Form_Resize();
}

bool frmOilAnalysis::releaseRows() {
    if (!grdDataGrid->commitPendingRow()) {
        // The sample could not be written (a message said why). Nothing typed is let go
        // without the user's word.
        const auto answer = screens::msgBox(
            this, QStringLiteral("The oil sample could not be saved. Close without saving it?"),
            screens::MsgButtons::YesNo, screens::MsgIcon::Question,
            QApplication::applicationDisplayName(), screens::MsgAnswer::No);
        if (answer != screens::MsgAnswer::Yes)
            return false;
        grdDataGrid->cancelPendingRow();
    }
    grdDataGrid->setRecordset(nullptr);
    datSecondaryRS->closeSource();
    datPrimaryRS->closeSource();
    return true;
}

}  // namespace velmora::oil
