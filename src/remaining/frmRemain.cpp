#include "frmRemain.h"

#include "aircraft/BoundEntryHost.h"

#include "ForecastRules.h"
#include "RemainingGridColumns.h"
#include "RemainingLevels.h"
#include "RemainingLifeRebuild.h"
#include "aircraft/EntryRules.h"
#include "data/DataFiles.h"
#include "screens/common/BoundRecordSource.h"
#include "screens/common/ButtonAccelerators.h"
#include "screens/common/Chooser.h"
#include "screens/common/DataGrid.h"
#include "screens/common/Dialogs.h"
#include "screens/common/FieldEvents.h"
#include "screens/common/GridExportMenu.h"
#include "screens/common/MousePointer.h"
#include "screens/common/ScreenActivation.h"
#include "screens/common/ScreenConventions.h"
#include "screens/common/ScreenMemory.h"
#include "screens/common/ScreenState.h"
#include "screens/common/Twips.h"
#include "utilisation/UtilisationSource.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QToolTip>

namespace velmora::remaining {

using aircraft::EntryScreen;
using screens::BoundRecordSource;
using screens::MsgAnswer;
using screens::MsgButtons;
using screens::MsgIcon;

namespace {

const QString kNavigationCaption =
    QStringLiteral("To view another aircraft, click the arrow buttons to the left and right. ");

struct FieldSpec {
    int index;
    const char* column;
    int label;
    const char* caption;
    int left, top, width;  // twips; totals relative to their frame
    bool inTotals;
};

const FieldSpec kFields[] = {
    {6, "Serial Number", 16, "Serial #", 5400, 45, 1995, false},
    {1, "Make", 1, "Make:", 1335, 480, 2295, false},
    {2, "Model", 2, "Model:", 5400, 480, 1995, false},
    {4, "Engine1Serial", 4, "Engine 1 Serial #:", 1335, 930, 2295, false},
    {5, "Engine2Serial", 5, "Engine 2 Serial #:", 1335, 1380, 2295, false},
    {9, "CurrentMeter1", 9, "Current Meter #1:", 5775, 960, 1620, false},
    {10, "CurrentMeter2", 10, "Current Meter #2:", 5775, 1440, 1620, false},
    {11, "TotalTime", 11, "Airframe", 120, 480, 1215, true},
    {13, "TotalLandings", 13, "Landings", 1425, 480, 1215, true},
    {14, "TotalCycles", 14, "Cycles", 2730, 480, 1215, true},
    {15, "TotalRIN", 15, "RIN", 4035, 480, 1215, true},
};

struct ShowSpec {
    const char* column;
    int label;
    const char* caption;
    int gridColumn;
};

const ShowSpec kShow[8] = {
    {"ShowCost", 12, "Cost Info", gridcol::Cost},
    {"ShowManufacturer", 17, "Manufacturer", gridcol::Manufacturer},
    {"ShowAssembly", 18, "Assembly", gridcol::Assembly},
    {"ShowInspection", 19, "Inspection Grp", gridcol::Inspection},
    {"ShowPurchase", 20, "Purchase Date", gridcol::PurchaseDate},
    {"ShowLandings", 6, "Landings", gridcol::LNDtoRET},
    {"ShowCycles", 7, "Cycles", gridcol::CYCtoRET},
    {"ShowRIN", 8, "RIN", gridcol::RINtoRET},
};

// Marks a forecast field whose text cannot be stored.
constexpr const char* kForecastMarked = "velmoraForecastRefused";

const char* const kForecastColumns[6] = {"ForecastMeter1", "ForecastMeter2",   "ForecastMonths",
                                         "ForecastCycles", "ForecastLandings", "ForecastRIN"};
const char* const kForecastLabels[6] = {"Meter #1", "Meter #2", "Months",
                                        "Cycles",   "Landings", "RIN"};

}  // namespace

frmRemain::frmRemain(const QString& dataPath, CompanyValue company, QWidget* parent)
    : QWidget(parent), dataPath_(dataPath), company_(std::move(company)) {
    setObjectName(QStringLiteral("frmRemain"));
    setWindowTitle(QStringLiteral("Time and Cycles Remaining"));
    buildControls();
    screens::restoreScreenLayout(this, grdDataGrid);
    new screens::ScreenActivation(this, [this] {
        if (!closing_)
            Form_Activate();
    });
    Form_Load();
}

frmRemain::~frmRemain() = default;

void frmRemain::buildControls() {
    const double scale = screens::layoutScale(this, 285);
    auto tw = [scale](int t) { return screens::twips(t, scale); };
    const int boxHeight = tw(285);

    lblLabels[0] = new QLabel(QStringLiteral("Registration #:"), this);
    lblLabels[0]->setGeometry(tw(120), tw(30), tw(1200), tw(315));
    Combo1 = new screens::Chooser(this);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setGeometry(tw(1335), tw(30), tw(1710), tw(315));
    lblLabels[0]->setBuddy(Combo1);
    connect(Combo1, &screens::Chooser::clicked, this, &frmRemain::Combo1_Click);

    Frame2 = new QGroupBox(QStringLiteral("Total"), this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    Frame2->setGeometry(tw(120), tw(2160), tw(5415), tw(1065));

    for (const FieldSpec& f : kFields) {
        QWidget* host = f.inTotals ? static_cast<QWidget*>(Frame2) : this;
        auto* box = new QLineEdit(host);
        box->setObjectName(QStringLiteral("txtFields_%1").arg(f.index));
        auto* label = new QLabel(QString::fromLatin1(f.caption), host);
        label->setObjectName(QStringLiteral("lblLabels_%1").arg(f.label));
        label->setBuddy(box);
        box->setGeometry(tw(f.left), tw(f.top), tw(f.width), boxHeight);
        if (f.inTotals) {
            label->setGeometry(tw(f.left), tw(f.top) - boxHeight, tw(f.width), boxHeight);
        } else {
            screens::placeLabelBefore(label, box);
        }
        if (f.index >= 9)
            box->setAlignment(Qt::AlignRight);
        txtFields[static_cast<size_t>(f.index)] = box;
        lblLabels[static_cast<size_t>(f.label)] = label;
        box->installEventFilter(this);
        const int index = f.index;
        connect(box, &QLineEdit::textChanged, this, [this, index] { txtFields_Change(index); });
    }
    Label2 = new QLabel(
        QStringLiteral("To enter change in values, precede number with plus sign (+2)"), Frame2);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(tw(120), tw(480) + boxHeight + tw(60), tw(5200), boxHeight);

    SSFrame1 =
        new QGroupBox(QStringLiteral("Forecast   (enter increase from present values)"), this);
    SSFrame1->setObjectName(QStringLiteral("SSFrame1"));
    SSFrame1->setGeometry(tw(7710), tw(45), tw(4035), tw(1680));
    for (int i = 0; i < 6; ++i) {
        const int column = i / 3, row = i % 3;
        auto* label = new QLabel(QString::fromLatin1(kForecastLabels[i]), SSFrame1);
        label->setObjectName(QStringLiteral("Label1_%1").arg(i));
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setGeometry(tw(60 + column * 1980), tw(360 + row * 420), tw(855), boxHeight);
        auto* box = new QLineEdit(SSFrame1);
        box->setObjectName(QStringLiteral("Text1_%1").arg(i));
        box->setAlignment(Qt::AlignRight);
        box->setGeometry(tw(975 + column * 1980), tw(360 + row * 420), tw(945), boxHeight);
        label->setBuddy(box);
        connect(box, &QLineEdit::textChanged, this, [this, i] {
            Text1_Change(i);
            // A marked forecast follows the typing: mended, it loses its mark at once.
            if (Text1[static_cast<size_t>(i)]->property(kForecastMarked).toBool())
                markForecast(i, forecastProblem(Text1[static_cast<size_t>(i)]->text()));
        });
        box->installEventFilter(this);
        Text1[static_cast<size_t>(i)] = box;
        Label1[static_cast<size_t>(i)] = label;
    }

    lblForecastProblem = new QLabel(this);
    lblForecastProblem->setObjectName(QStringLiteral("lblForecastProblem"));
    lblForecastProblem->setWordWrap(true);
    lblForecastProblem->setFrameShape(QFrame::Box);
    lblForecastProblem->setMargin(2);
    lblForecastProblem->setPalette(QToolTip::palette());
    lblForecastProblem->setAutoFillBackground(true);
    lblForecastProblem->setGeometry(SSFrame1->x(), SSFrame1->geometry().bottom() + 1,
                                    SSFrame1->width(), boxHeight);
    lblForecastProblem->hide();

    Frame1 = new QGroupBox(QStringLiteral("Show"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setGeometry(tw(6000), tw(1920), tw(4335), tw(1305));
    for (int i = 0; i < 8; ++i) {
        const int column = i / 4, row = i % 4;
        auto* box = new QCheckBox(QString::fromLatin1(kShow[i].caption), Frame1);
        box->setObjectName(QStringLiteral("chkFields_%1").arg(i));
        box->setGeometry(tw(120 + column * 2100), tw(270 + row * 240), tw(2000), tw(240));
        connect(box, &QCheckBox::clicked, this, [this, i] { chkFields_Click(i); });
        chkFields[static_cast<size_t>(i)] = box;
    }

    Frame3 = new QGroupBox(QStringLiteral("Report"), this);
    Frame3->setObjectName(QStringLiteral("Frame3"));
    Frame3->setGeometry(tw(10440), tw(1920), tw(1335), tw(1305));
    const char* views[3] = {"Meter #1", "Meter #2", "Both"};
    for (int i = 0; i < 3; ++i) {
        auto* b = new QRadioButton(QString::fromLatin1(views[i]), Frame3);
        b->setObjectName(QStringLiteral("Option1_%1").arg(i));
        b->setGeometry(tw(90), tw(300 + i * 300), tw(1200), boxHeight);
        connect(b, &QRadioButton::clicked, this, [this, i] { Option1_Click(i); });
        Option1[static_cast<size_t>(i)] = b;
    }
    Option1[0]->setChecked(true);

    // Labels take the room their text needs; the upper part moves right if they would
    // reach past the window's left edge.
    screens::shiftIntoView(findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly));

    grdDataGrid = new screens::DataGrid(this);
    grdDataGrid->setObjectName(QStringLiteral("grdDataGrid"));
    levels_ = std::make_shared<RemainingLevels>();
    grdDataGrid->setColumns(remainingGridColumns(levels_));
    grdDataGrid->setTwoLineHeaders(true);
    grdDataGrid->setAllowAddNew(false);
    grdDataGrid->setAllowDelete(false);
    grdDataGrid->setAllowUpdate(false);
    grdDataGrid->setGeometry(0, tw(3465), tw(7095), tw(4305));
    screens::installGridExport(grdDataGrid, [this] {
        return QStringLiteral("Time Remaining - ") +
               datPrimaryRS->currentValue(QStringLiteral("RegNum")).toString();
    });
    connect(grdDataGrid, &screens::DataGrid::RowColChange, this,
            &frmRemain::grdDataGrid_RowColChange);

    picButtons = new QWidget(this);
    picButtons->setObjectName(QStringLiteral("picButtons"));
    const int buttonHeight = std::max(tw(300), QPushButton().sizeHint().height());
    struct B {
        QPushButton** button;
        const char* caption;
        const char* name;
        int left;
    } buttons[] = {{&cmdClose, "&Close", "cmdClose", 0},
                   {&cmdSave, "&Save", "cmdSave", 1335},
                   {&cmdPrint[0], "Print &Actual", "cmdPrint_0", 2655},
                   {&cmdPrint[1], "Print &Forecast", "cmdPrint_1", 3960}};
    for (const B& b : buttons) {
        *b.button = new QPushButton(QString::fromLatin1(b.caption), picButtons);
        (*b.button)->setObjectName(QString::fromLatin1(b.name));
        (*b.button)->setGeometry(tw(b.left), 0, std::max(tw(1095), (*b.button)->sizeHint().width()),
                                 buttonHeight);
    }
    connect(cmdClose, &QPushButton::clicked, this, &frmRemain::cmdClose_Click);
    connect(cmdSave, &QPushButton::clicked, this, &frmRemain::cmdSave_Click);
    connect(cmdPrint[0], &QPushButton::clicked, this, [this] { cmdPrint_Click(0); });
    connect(cmdPrint[1], &QPushButton::clicked, this, [this] { cmdPrint_Click(1); });
    picButtons->setGeometry(0, tw(7920), tw(11900), buttonHeight);

    datPrimaryRS = new BoundRecordSource(this);
    datPrimaryRS->setObjectName(QStringLiteral("datPrimaryRS"));
    datPrimaryRS->setCaption(kNavigationCaption);
    for (const FieldSpec& f : kFields)
        datPrimaryRS->bind(txtFields[static_cast<size_t>(f.index)], QString::fromLatin1(f.column));
    for (int i = 0; i < 6; ++i)
        datPrimaryRS->bind(Text1[static_cast<size_t>(i)], QString::fromLatin1(kForecastColumns[i]));
    for (int i = 0; i < 8; ++i)
        datPrimaryRS->bind(chkFields[static_cast<size_t>(i)], QString::fromLatin1(kShow[i].column));
    connect(datPrimaryRS, &BoundRecordSource::reposition, this,
            &frmRemain::datPrimaryRS_Reposition);
    connect(datPrimaryRS, &BoundRecordSource::error, this, &frmRemain::datPrimaryRS_Error);
    connect(datPrimaryRS, &BoundRecordSource::validate, this, &frmRemain::datPrimaryRS_Validate);
    const int navHeight = std::max(tw(345), datPrimaryRS->sizeHint().height());
    datPrimaryRS->setGeometry(0, tw(7920) + buttonHeight + tw(45), tw(11900), navHeight);
    // Below the grid the design keeps these gaps; a larger window gives the grid the room.
    gridToButtons_ = picButtons->y() - grdDataGrid->geometry().bottom() - 1;
    buttonsToNavigation_ = datPrimaryRS->y() - picButtons->geometry().bottom() - 1;
    // As wide as designed, or as the frames at the top need where the user's font is larger.
    const int width = std::max(
        tw(11900), screens::contentRight(this, {grdDataGrid, picButtons, datPrimaryRS}) + tw(60));
    const int height = datPrimaryRS->geometry().bottom() + 1;
    setMinimumHeight(height - grdDataGrid->height() +
                     4 * grdDataGrid->verticalHeader()->defaultSectionSize());
    resize(width, height);
    screens::focusButtonsOnAccelerator(this);
}

void frmRemain::Form_Load() {
    screens::SuppressReposition = true;
    datPrimaryRS->setDatabaseName(data::dataFileName(dataPath_, data::files::kMain));
    datPrimaryRS->setRecordSource(QStringLiteral("select * from [Aircraft]"));
    datPrimaryRS->refresh();
    Combo1->clearList();
    if (data::Recordset* rs = datPrimaryRS->recordset()) {
        const int reg = rs->fieldIndex(QStringLiteral("RegNum"));
        for (const auto& row : rs->rows()) {
            const data::Value& v = row.values[static_cast<size_t>(reg)];
            if (!v.isNull() && Combo1->findExact(v.toString()) < 0)
                Combo1->addEntry(v.toString());
        }
    }
    screens::SuppressReposition = false;
    if (datPrimaryRS->recordCount() > 0)
        datPrimaryRS->moveFirst();
    if (Combo1->entryCount() > 0)
        Combo1->setListIndex(0);
    SetCleanState();
}

void frmRemain::Form_Activate() {
    SetCleanState();
    focusField(9);
}

void frmRemain::Combo1_Click() {
    QString quoted = Combo1->text();
    quoted.replace(u'"', QStringLiteral("\"\""));
    if (datPrimaryRS->findFirst(QStringLiteral("RegNum = \"") + quoted + u'"') ||
        !datPrimaryRS->isChanged())
        return;
    // The aircraft on screen stays (its changes could not be written): so does its entry.
    const QString reg = datPrimaryRS->currentValue(QStringLiteral("RegNum")).toString();
    if (!reg.isEmpty() && reg != Combo1->text())
        Combo1->setListIndexQuietly(Combo1->findExact(reg));
}

void frmRemain::datPrimaryRS_Reposition() {
    if (screens::SuppressReposition)
        return;
    screens::MousePointer::setDefault();
    const QString reg = datPrimaryRS->currentValue(QStringLiteral("RegNum")).toString();
    if (!reg.isEmpty() && reg != Combo1->text()) {
        const int at = Combo1->findExact(reg);
        if (at >= 0)
            Combo1->setListIndex(at);
        else
            Combo1->setListIndex(-1);
    }
    rebuild();
    applyOptionalColumns();
    datPrimaryRS->setCaption(kNavigationCaption);
    SetCleanState();
    focusField(9);
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
    datPrimaryRS->setCaption(kNavigationCaption);
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
            use = utilisation_(*database_)->dailyUse(trimBlanks(Combo1->text()));
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
    for (int i = 0; i < 8; ++i)
        grdDataGrid->setColumnVisible(kShow[i].gridColumn,
                                      chkFields[static_cast<size_t>(i)]->isChecked());
}

void frmRemain::datPrimaryRS_Error(int number, int& response) {
    Q_UNUSED(number);
    response = 0;
    if (saving_) {
        saveError_ = datPrimaryRS->lastErrorText();
        return;
    }
    screens::showDataError(this, datPrimaryRS->lastErrorText());
}

void frmRemain::datPrimaryRS_Validate(int& action, int& save) {
    // A forecast the reports cannot use is never written; the row stays on screen with it.
    if (save != 0 && action != BoundRecordSource::ActionDelete && !checkForecasts()) {
        action = BoundRecordSource::ActionCancel;
        return;
    }
    if (screens::SuppressReposition)
        return;
    if (action == BoundRecordSource::ActionClose)
        screens::MousePointer::setDefault();
    else
        screens::MousePointer::setBusy();
}

void frmRemain::cmdSave_Click() {
    saving_ = true;
    saveError_.clear();
    const bool ok = datPrimaryRS->updateRecord();
    saving_ = false;
    if (!ok) {
        // A forecast refused before writing is marked at its field already.
        if (!saveError_.isEmpty()) {
            screens::msgBox(this, saveError_, MsgButtons::Ok, MsgIcon::Information,
                            QStringLiteral("Error"));
            screens::reactivateWindow(this);
        }
        return;
    }
    SetCleanState();
    Option1_Click(0);
}

void frmRemain::cmdClose_Click() {
    screens::MousePointer::setDefault();
    close();
}

QString frmRemain::selectionFormula(int index) const {
    QString reg = trimBlanks(Combo1->text());
    // A quote in the registration is doubled so that it stays inside the literal.
    reg.replace(u'\'', QStringLiteral("''"));
    return (index == 0 ? QStringLiteral("{Remaining.Aircraft.RegNum} = '")
                       : QStringLiteral("{Forecast.Aircraft.RegNum} = '")) +
           reg + u'\'';
}

QString frmRemain::reportFile(int index) const {
    return data::dataFileName(dataPath_,
                              index == 0 ? QStringLiteral("1.rpt") : QStringLiteral("2.rpt"));
}

void frmRemain::cmdPrint_Click(int index) {
    if (index != 0 && index != 1)
        return;
    PrintRequest job;
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
    QString error = QStringLiteral("No report engine is available to print with.");
    if (!runner_ || !runner_(this, job, &error)) {
        screens::msgBox(
            this, error, MsgButtons::Ok, MsgIcon::Exclamation,
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
    screens::setEditedButtons(true, {cmdSave}, {cmdClose, cmdPrint[0], cmdPrint[1]});
}

void frmRemain::SetCleanState() {
    screens::setEditedButtons(false, {cmdSave}, {cmdClose, cmdPrint[0], cmdPrint[1]});
}

void frmRemain::txtFields_Change(int index) {
    Q_UNUSED(index);
    SetEditedState();
}

void frmRemain::Text1_Change(int index) {
    Q_UNUSED(index);
    SetEditedState();
}

int frmRemain::fieldIndexOf(const QObject* w) const {
    for (size_t i = 0; i < txtFields.size(); ++i) {
        if (txtFields[i] && txtFields[i] == w)
            return static_cast<int>(i);
    }
    return -1;
}

void frmRemain::focusField(int index) {
    if (QLineEdit* f = txtFields[static_cast<size_t>(index)])
        f->setFocus(Qt::OtherFocusReason);
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
    for (int i = 0; i < 6; ++i) {
        if (watched == Text1[static_cast<size_t>(i)] &&
            screens::fieldEventOf(event) == screens::FieldEvent::LeftByUser) {
            markForecast(i, forecastProblem(Text1[static_cast<size_t>(i)]->text()));
            return QWidget::eventFilter(watched, event);
        }
    }
    const int index = fieldIndexOf(watched);
    if (index < 0)
        return QWidget::eventFilter(watched, event);
    switch (screens::fieldEventOf(event)) {
        case screens::FieldEvent::GotFocus:
            txtFields_GotFocus(index);
            break;
        case screens::FieldEvent::LeftByUser:
            txtFields_LostFocus(index);
            break;
        case screens::FieldEvent::Enter:
            txtFields_KeyPress(index, 13);
            return true;
        case screens::FieldEvent::None:
            break;
    }
    return QWidget::eventFilter(watched, event);
}

void frmRemain::txtFields_GotFocus(int index) {
    txtFields[static_cast<size_t>(index)]->selectAll();
}

void frmRemain::txtFields_KeyPress(int index, int key) {
    if (key != 13)
        return;
    const int next = aircraft::nextFieldOnEnter(EntryScreen::TimeRemaining, index);
    if (next >= 0)
        focusField(next);
}

void frmRemain::txtFields_LostFocus(int index) {
    if (!cmdSave->isEnabled())
        return;
    aircraft::BoundEntryHost host(this, datPrimaryRS, txtFields[static_cast<size_t>(index)],
                                  [this] {
                                      if (!datPrimaryRS->updateRecord())
                                          return;  // reported; the screen stays in the edited state
                                      SetCleanState();
                                      Option1_Click(0);
                                  });
    switch (index) {
        case 1:
        case 2:
        case 4:
        case 5:
        case 6:
            host.saveStep();
            break;
        case 9:
            aircraft::applyMeterRule(host, 1, EntryScreen::TimeRemaining);
            break;
        case 10:
            aircraft::applyMeterRule(host, 2, EntryScreen::TimeRemaining);
            break;
        case 11:
            aircraft::applyTotalRule(host, aircraft::Total::FlightTime);
            break;
        case 13:
            aircraft::applyTotalRule(host, aircraft::Total::Landings);
            break;
        case 14:
            aircraft::applyTotalRule(host, aircraft::Total::Cycles);
            break;
        case 15:
            aircraft::applyTotalRule(host, aircraft::Total::RIN);
            break;
        default:
            break;
    }
}

void frmRemain::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Form_Resize();
}

void frmRemain::Form_Resize() {
    if (!datPrimaryRS || gridToButtons_ < 0)
        return;
    // The grid takes the window's width, and its height down to the buttons, which stay at
    // the bottom with the navigation bar: a larger window shows more of the list. At the
    // window's first size everything stands where it was laid out.
    const QRect inner = contentsRect();
    const int navHeight = datPrimaryRS->height();
    const int navTop = inner.bottom() + 1 - navHeight;
    datPrimaryRS->setGeometry(inner.left(), navTop, inner.width(), navHeight);
    const int barTop = navTop - buttonsToNavigation_ - picButtons->height();
    picButtons->setGeometry(inner.left(), barTop, inner.width(), picButtons->height());
    grdDataGrid->resize(inner.width(), std::max(0, barTop - gridToButtons_ - grdDataGrid->y()));
}

void frmRemain::closeEvent(QCloseEvent* event) {
    switch (screens::askToSaveOnClose(this, cmdSave->isEnabled())) {
        case screens::CloseDecision::Stay:
            event->ignore();
            return;
        case screens::CloseDecision::SaveThenClose:
            cmdSave_Click();
            break;
        case screens::CloseDecision::Close:
            break;
    }
    closing_ = true;
    if (!datPrimaryRS->closeSource()) {
        const MsgAnswer a = screens::msgBox(
            this,
            QStringLiteral("The aircraft could not be saved. Close without saving the changes?"),
            MsgButtons::YesNo, MsgIcon::Question, QString(), MsgAnswer::No);
        if (a != MsgAnswer::Yes) {
            closing_ = false;
            screens::reactivateWindow(this);
            event->ignore();
            return;
        }
        datPrimaryRS->clearChanged();
        datPrimaryRS->closeSource();
    }
    screens::saveScreenLayout(this, grdDataGrid);
    Form_Unload();
    event->accept();
}

void frmRemain::Form_Unload() {
    screens::MousePointer::setDefault();
}

}  // namespace velmora::remaining
