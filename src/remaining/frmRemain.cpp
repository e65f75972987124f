#include "frmRemain.h"

#include "ForecastRules.h"
#include "RemainingGridColumns.h"
#include "RemainingLifeRebuild.h"
#include "TimeRemainingLayout.h"
#include "data/DataFiles.h"
#include "data/Database.h"
#include "data/DbError.h"
#include "data/JetText.h"
#include "entry/BoundEntryHost.h"
#include "reportfiles/ReportDefinition.h"
#include "reports/ReportSelection.h"
#include "screens/common/AircraftChooser.h"
#include "screens/common/BoundRecordSource.h"
#include "screens/common/Chooser.h"
#include "screens/common/DataGrid.h"
#include "screens/common/Dialogs.h"
#include "screens/common/FieldEvents.h"
#include "screens/common/MousePointer.h"
#include "screens/common/ScreenState.h"
#include "utilisation/UtilisationSource.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>

namespace velmora::remaining {

using entry::EntryScreen;
using screens::BoundRecordSource;
using screens::MsgButtons;
using screens::MsgIcon;

namespace {

// Marks a forecast field whose text cannot be stored.
constexpr const char* kForecastMarked = "velmoraForecastRefused";

QString fleetSource() {
    return QStringLiteral("select * from [Aircraft]");
}

}  // namespace

frmRemain::frmRemain(const QString& dataPath, CompanyValue company, QWidget* parent)
    : BoundScreen(QStringLiteral("frmRemain"), QStringLiteral("Time and Cycles Remaining"), parent),
      dataPath_(dataPath),
      company_(std::move(company)) {
    // A database server reads the fleet while the controls are built.
    const auto fleetAhead =
        data::readAheadWhereAtHand(data::dataFileName(dataPath, data::files::kMain), fleetSource());
    buildControls();
    finishControls(grdDataGrid);
    followDataChanges(datPrimaryRS);
    Form_Load();
}

frmRemain::~frmRemain() = default;

void frmRemain::Form_Load() {
    {
        const screens::RepositionSuppressed filling;
        datPrimaryRS->setDatabaseName(data::dataFileName(dataPath_, data::files::kMain));
        datPrimaryRS->setRecordSource(fleetSource());
        datPrimaryRS->refresh();
        Combo1->clearList();
        screens::listRegistrations(*Combo1, datPrimaryRS->recordset());
    }
    if (datPrimaryRS->recordCount() > 0)
        datPrimaryRS->moveFirst();
    if (Combo1->entryCount() > 0)
        Combo1->setListIndex(0);
    SetCleanState();
}

void frmRemain::Form_Activate() {
    SetCleanState();
    focusField(entry::fieldIndex(Field::CurrentMeter1));
}

void frmRemain::Combo1_Click() {
    // The aircraft on screen stays when its changes could not be written: so does its entry.
    if (!screens::findAircraft(*datPrimaryRS, Combo1->text()))
        screens::keepChooserOn(*Combo1,
                               datPrimaryRS->currentValue(QStringLiteral("RegNum")).toString());
}

void frmRemain::datPrimaryRS_Reposition() {
    if (screens::SuppressReposition)
        return;
    screens::MousePointer::setDefault();
    const QString reg = datPrimaryRS->currentValue(QStringLiteral("RegNum")).toString();
    if (!reg.isEmpty() && reg != Combo1->text()) {
        const int shownBefore = repositionsShown_;
        const int at = Combo1->findExact(reg);
        if (at >= 0)
            Combo1->setListIndex(at);
        else
            Combo1->setListIndex(-1);
        // Setting the chooser clicks it, and its click finds this aircraft again: that
        // reposition has shown it, with nothing changed since. Showing it once more would
        // only rebuild the same list.
        if (repositionsShown_ != shownBefore &&
            datPrimaryRS->currentValue(QStringLiteral("RegNum")).toString() == reg)
            return;
    }
    rebuild();
    applyOptionalColumns();
    datPrimaryRS->setCaption(screens::aircraftNavigationCaption());
    SetCleanState();
    focusField(entry::fieldIndex(Field::CurrentMeter1));
    ++repositionsShown_;
}

MeterView frmRemain::meterView() const {
    if (Option1[0]->isChecked())
        return MeterView::Meter1;
    if (Option1[1]->isChecked())
        return MeterView::Meter2;
    return MeterView::Both;
}

void frmRemain::Option1_Click(int index) {
    Q_UNUSED(index);
    rebuild();
}

void frmRemain::rebuild() {
    // A failing step is skipped without a message; the grid keeps what it could show.
    RebuildResult r = rebuildRemainingLife(dataPath_, Combo1->text(), meterView());
    if (r.database)
        database_ = std::move(r.database);
    readDailyUse();
    if (r.rows) {
        grdDataGrid->setRecordset(r.rows.get());
        rows_ = std::move(r.rows);
    }
    const MeterView view = meterView();
    const bool one = view != MeterView::Meter2;
    const bool two = view != MeterView::Meter1;
    grdDataGrid->setColumnVisible(gridcol::TTtoRET, one);
    grdDataGrid->setColumnVisible(gridcol::TTtoOH, one);
    grdDataGrid->setColumnVisible(gridcol::TTtoIN, one);
    grdDataGrid->setColumnVisible(gridcol::TTtoRET2, two);
    grdDataGrid->setColumnVisible(gridcol::TTtoOH2, two);
    grdDataGrid->setColumnVisible(gridcol::TTtoIN2, two);
    datPrimaryRS->setCaption(screens::aircraftNavigationCaption());
}

void frmRemain::setWarningLevels(const due::WarningSettings& warnings,
                                 due::UtilisationFactory utilisation) {
    warnings_ = warnings;
    utilisation_ = std::move(utilisation);
    levels_->setWarnings(warnings_);
    readDailyUse();
    grdDataGrid->viewport()->update();
}

void frmRemain::readDailyUse() {
    levels_->setToday(QDate::currentDate());
    utilisation::DailyUtilisation use;
    // Like the rest of a rebuild, a file that cannot tell gives no message: the levels then
    // go by the amounts alone.
    try {
        if (utilisation_ && database_)
            use = utilisation_(*database_)->dailyUse(data::trimBlanks(Combo1->text()));
    } catch (const data::DbError&) {
    }
    levels_->setDailyUse(use);
}

void frmRemain::chkFields_Click(int index) {
    Q_UNUSED(index);
    applyOptionalColumns();
}

void frmRemain::applyOptionalColumns() {
    if (screens::SuppressReposition)
        return;
    for (size_t i = 0; i < chkFields.size(); ++i)
        grdDataGrid->setColumnVisible(layout::kShows[i].gridColumn, chkFields[i]->isChecked());
}

frmRemain::ErrorResponse frmRemain::datPrimaryRS_Error(int number) {
    Q_UNUSED(number);
    return reportError(*datPrimaryRS);
}

frmRemain::Validation frmRemain::datPrimaryRS_Validate(Action action, bool save) {
    // A forecast the reports cannot use is never written; the row stays on screen with it.
    if (save && action != BoundRecordSource::ActionDelete && !checkForecasts())
        return {BoundRecordSource::ActionCancel, save};
    if (screens::SuppressReposition)
        return {action, save};
    if (action == BoundRecordSource::ActionClose)
        screens::MousePointer::setDefault();
    else
        screens::MousePointer::setBusy();
    return {action, save};
}

void frmRemain::cmdSave_Click() {
    // A forecast refused before writing is marked at its field already.
    if (!saveRow(*datPrimaryRS))
        return;
    SetCleanState();
    Option1_Click(0);
}

bool frmRemain::releaseRows() {
    return closeOrAsk(
        *datPrimaryRS,
        QStringLiteral("The aircraft could not be saved. Close without saving the changes?"),
        QString());
}

QString frmRemain::selectionFormula(int index) const {
    return reports::selectionFormulaFor(
        index == 0 ? reports::kRemainingSource : reports::kForecastSource, Combo1->text());
}

QString frmRemain::reportFile(int index) const {
    return data::dataFileName(dataPath_,
                              index == 0 ? QStringLiteral("1.rpt") : QStringLiteral("2.rpt"));
}

void frmRemain::cmdPrint_Click(int index) {
    if (index != 0 && index != 1)
        return;
    reports::PrintRequest job;
    job.selectionFormula = selectionFormula(index);
    job.reportFile = reportFile(index);
    job.dataFile = QStringLiteral("TimeMgr.mdb");
    if (company_) {
        job.companyName = company_(QStringLiteral("Name")).toString();
        job.companyPhone = company_(QStringLiteral("Phone")).toString();
    }
    job.warnings = warnings_;
    if (utilisation_)
        job.utilisation = utilisation_;
    const data::MaybeFailure failure =
        runner_ ? runner_(this, job)
                : data::Failure{data::err::Internal,
                                QStringLiteral("No report engine is available to print with.")};
    if (failure) {
        screens::msgBox(
            this, failure->text, MsgButtons::Ok, MsgIcon::Exclamation,
            index == 0 ? QStringLiteral("Print Actual") : QStringLiteral("Print Forecast"));
        screens::reactivateWindow(this);
    }
}

void frmRemain::grdDataGrid_RowColChange(int lastRow, int lastCol) {
    Q_UNUSED(lastRow);
    Q_UNUSED(lastCol);
    const data::Value d = grdDataGrid->cellValue(gridcol::Description);
    if (!d.isNull())
        grdDataGrid->setToolTip(d.toString());
}

void frmRemain::SetEditedState() {
    showEditedState(true);
}

void frmRemain::SetCleanState() {
    showEditedState(false);
}

// --- entry fields -----------------------------------------------------------------------

void frmRemain::txtFields_Change(int index) {
    Q_UNUSED(index);
    SetEditedState();
}

void frmRemain::focusField(int index) {
    if (QLineEdit* f = txtFields.at(index))
        f->setFocus(Qt::OtherFocusReason);
}

void frmRemain::fieldGotFocus(int index) {
    txtFields_GotFocus(index);
}

void frmRemain::fieldLeft(int index) {
    txtFields_LostFocus(index);
}

bool frmRemain::fieldEnter(int index) {
    txtFields_KeyPress(index, Qt::Key_Return);
    return true;
}

void frmRemain::txtFields_GotFocus(int index) {
    txtFields[index]->selectAll();
}

void frmRemain::txtFields_KeyPress(int index, Qt::Key key) {
    if (key != Qt::Key_Return)
        return;
    const int next = entry::nextFieldOnEnter(EntryScreen::TimeRemaining, index);
    if (next >= 0)
        focusField(next);
}

void frmRemain::txtFields_LostFocus(int index) {
    if (!cmdSave->isEnabled())
        return;
    const auto* f = entry::timeRemainingField(index);
    if (!f)
        return;
    entry::BoundEntryHost host(this, datPrimaryRS, txtFields[index], [this] {
        if (!datPrimaryRS->updateRecord())
            return;  // reported; the screen stays in the edited state
        SetCleanState();
        Option1_Click(0);
    });
    if (f->rule == entry::FieldRule::Text)
        host.saveStep();
    else
        entry::applyFieldRule(host, f->rule, EntryScreen::TimeRemaining);
}

// --- forecasts --------------------------------------------------------------------------

void frmRemain::Text1_Change(int index) {
    SetEditedState();
    // A marked forecast follows the typing: mended, it loses its mark at once.
    QLineEdit* box = Text1[static_cast<size_t>(index)];
    if (box->property(kForecastMarked).toBool())
        markForecast(index, forecastProblem(box->text()));
}

bool frmRemain::checkForecasts() {
    for (int i = 0; i < 6; ++i) {
        const QString problem = forecastProblem(Text1[static_cast<size_t>(i)]->text());
        if (!problem.isEmpty()) {
            markForecast(i, problem);
            Text1[static_cast<size_t>(i)]->setFocus(Qt::OtherFocusReason);
            return false;
        }
    }
    return true;
}

void frmRemain::markForecast(int index, const QString& problem) {
    QLineEdit* box = Text1[static_cast<size_t>(index)];
    box->setProperty(kForecastMarked, !problem.isEmpty());
    box->setToolTip(problem);
    if (problem.isEmpty()) {
        box->setPalette(QPalette());
    } else {
        QPalette palette = box->palette();
        palette.setColor(QPalette::Base, QColor(255, 224, 224));
        box->setPalette(palette);
    }
    // The reason stands under the forecast frame while a field is marked.
    for (int i = 0; i < 6; ++i) {
        const QLineEdit* f = Text1[static_cast<size_t>(i)];
        if (f->property(kForecastMarked).toBool()) {
            lblForecastProblem->setText(Label1[static_cast<size_t>(i)]->text() +
                                        QStringLiteral(": ") + f->toolTip());
            lblForecastProblem->resize(
                lblForecastProblem->width(),
                lblForecastProblem->heightForWidth(lblForecastProblem->width()));
            lblForecastProblem->show();
            lblForecastProblem->raise();
            return;
        }
    }
    lblForecastProblem->hide();
}

bool frmRemain::eventFilter(QObject* watched, QEvent* event) {
    for (size_t i = 0; i < Text1.size(); ++i) {
        if (watched == Text1[i] &&
            screens::fieldEventOf(event) == screens::FieldEvent::LeftByUser) {
            markForecast(static_cast<int>(i), forecastProblem(Text1[i]->text()));
            break;
        }
    }
    return BoundScreen::eventFilter(watched, event);
}

}  // namespace velmora::remaining
