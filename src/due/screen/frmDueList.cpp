#include "frmDueList.h"

#include "OilAlertsPanel.h"
#include "PlannedUseDialog.h"
#include "WarningLevelsDialog.h"
#include "data/DateDisplay.h"
#include "data/DbError.h"
#include "due/DueListOutput.h"
#include "due/DueListTable.h"
#include "due/OilAlertTable.h"
#include "screens/common/Dialogs.h"
#include "screens/common/GridExport.h"
#include "screens/common/MousePointer.h"
#include "screens/common/WindowFit.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDateTime>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QSet>
#include <QSpinBox>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace velmora::due {

using screens::MsgButtons;
using screens::MsgIcon;

namespace {

const char* const kTypeCaptions[kBasisCount] = {
    "RT Retire", "OH Overhaul", "IN Inspection", "MO Months", "LD Landings", "CY Cycles", "RN RIN"};

}  // namespace

frmDueList::frmDueList(Options options, QWidget* parent)
    : QWidget(parent), options_(std::move(options)) {
    setObjectName(QStringLiteral("frmDueList"));
    setWindowTitle(QStringLiteral("Due List"));
    preview_ = &screens::previewTable;
    buildControls();
    screens::fitToScreenWhenShown(this);
    Form_Load();
}

frmDueList::~frmDueList() = default;

void frmDueList::buildControls() {
    filterTimer_ = new QTimer(this);
    filterTimer_->setSingleShot(true);
    filterTimer_->setInterval(0);
    connect(filterTimer_, &QTimer::timeout, this, &frmDueList::applyFilter);

    fraWithin = new QGroupBox(QStringLiteral("Due within"), this);
    fraWithin->setObjectName(QStringLiteral("fraWithin"));
    auto* within = new QGridLayout(fraWithin);
    chkWithinDays = new QCheckBox(QStringLiteral("&Days:"), fraWithin);
    chkWithinDays->setObjectName(QStringLiteral("chkWithinDays"));
    spnDays = new QSpinBox(fraWithin);
    spnDays->setObjectName(QStringLiteral("spnDays"));
    spnDays->setRange(0, 36500);
    spnDays->setValue(30);
    chkWithinHours = new QCheckBox(QStringLiteral("Flight &hours:"), fraWithin);
    chkWithinHours->setObjectName(QStringLiteral("chkWithinHours"));
    spnHours = new QDoubleSpinBox(fraWithin);
    spnHours->setObjectName(QStringLiteral("spnHours"));
    spnHours->setRange(0, 100000);
    spnHours->setDecimals(1);
    spnHours->setValue(50);
    auto* either = new QLabel(
        QStringLiteral("A limit within either is shown;\noverdue ones always."), fraWithin);
    within->addWidget(chkWithinDays, 0, 0);
    within->addWidget(spnDays, 0, 1);
    within->addWidget(chkWithinHours, 1, 0);
    within->addWidget(spnHours, 1, 1);
    within->addWidget(either, 2, 0, 1, 2);
    within->setRowStretch(3, 1);

    fraAircraft = new QGroupBox(QStringLiteral("Aircraft"), this);
    fraAircraft->setObjectName(QStringLiteral("fraAircraft"));
    auto* aircraft = new QGridLayout(fraAircraft);
    lstAircraft = new QListWidget(fraAircraft);
    lstAircraft->setObjectName(QStringLiteral("lstAircraft"));
    lstAircraft->setSelectionMode(QAbstractItemView::NoSelection);
    lstAircraft->setFixedHeight(lstAircraft->fontMetrics().height() * 5 + 8);
    cmdAllAircraft = new QPushButton(QStringLiteral("&All"), fraAircraft);
    cmdAllAircraft->setObjectName(QStringLiteral("cmdAllAircraft"));
    cmdNoAircraft = new QPushButton(QStringLiteral("&None"), fraAircraft);
    cmdNoAircraft->setObjectName(QStringLiteral("cmdNoAircraft"));
    aircraft->addWidget(lstAircraft, 0, 0, 3, 1);
    aircraft->addWidget(cmdAllAircraft, 0, 1);
    aircraft->addWidget(cmdNoAircraft, 1, 1);
    aircraft->setRowStretch(2, 1);

    fraType = new QGroupBox(QStringLiteral("Type"), this);
    fraType->setObjectName(QStringLiteral("fraType"));
    auto* types = new QGridLayout(fraType);
    for (int i = 0; i < kBasisCount; ++i) {
        auto* box = new QCheckBox(QString::fromLatin1(kTypeCaptions[i]), fraType);
        box->setObjectName(QStringLiteral("chkType_%1").arg(i));
        box->setChecked(true);
        types->addWidget(box, i % 4, i / 4);
        chkType[static_cast<size_t>(i)] = box;
        connect(box, &QCheckBox::toggled, this, &frmDueList::Filter_Change);
    }

    fraShow = new QGroupBox(QStringLiteral("Show"), this);
    fraShow->setObjectName(QStringLiteral("fraShow"));
    auto* show = new QVBoxLayout(fraShow);
    chkWarnings = new QCheckBox(QStringLiteral("Only &overdue and due soon"), fraShow);
    chkWarnings->setObjectName(QStringLiteral("chkWarnings"));
    chkControlling = new QCheckBox(
        QStringLiteral("Only the limit that comes &first\non each component"), fraShow);
    chkControlling->setObjectName(QStringLiteral("chkControlling"));
    show->addWidget(chkWarnings);
    show->addWidget(chkControlling);
    show->addStretch(1);

    lblSummary = new QLabel(this);
    lblSummary->setObjectName(QStringLiteral("lblSummary"));
    lblSummary->setWordWrap(true);

    table_ = new DueListTable(this);
    printedAlerts_ = new OilAlertTable({}, this);
    grdDueList = new QTableView(this);
    grdDueList->setObjectName(QStringLiteral("grdDueList"));
    grdDueList->setModel(table_);
    grdDueList->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdDueList->setSelectionMode(QAbstractItemView::SingleSelection);
    grdDueList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdDueList->setAlternatingRowColors(true);
    grdDueList->setWordWrap(false);
    grdDueList->verticalHeader()->setDefaultSectionSize(grdDueList->fontMetrics().height() + 6);
    grdDueList->verticalHeader()->hide();
    grdDueList->horizontalHeader()->setHighlightSections(false);
    grdDueList->horizontalHeader()->setStretchLastSection(true);
    grdDueList->setToolTip(
        QStringLiteral("Double-click a line to open its aircraft in aircraft "
                       "set-up."));
    connect(grdDueList, &QTableView::doubleClicked, this,
            [this](const QModelIndex& index) { grdDueList_DblClick(index.row()); });

    auto* buttons = new QHBoxLayout;
    struct B {
        QPushButton** button;
        const char* caption;
        const char* name;
    };
    auto add = [&](std::initializer_list<B> spec) {
        for (const B& b : spec) {
            *b.button = new QPushButton(QString::fromLatin1(b.caption), this);
            (*b.button)->setObjectName(QString::fromLatin1(b.name));
            buttons->addWidget(*b.button);
        }
    };
    add({{&cmdClose, "&Close", "cmdClose"}, {&cmdRefresh, "&Refresh", "cmdRefresh"}});
    output_.create(this, buttons, screens::OutputButtons::exportCaptions());
    buttons->addStretch(1);
    add({{&cmdWarningLevels, "&Warning Levels...", "cmdWarningLevels"},
         {&cmdPlannedUse, "Planned &Use...", "cmdPlannedUse"}});
    cmdPlannedUse->setEnabled(options_.plannedUseEditable);

    connect(cmdClose, &QPushButton::clicked, this, &frmDueList::cmdClose_Click);
    connect(cmdRefresh, &QPushButton::clicked, this, &frmDueList::cmdRefresh_Click);
    output_.connectTo(this, &frmDueList::cmdPrint_Click, &frmDueList::cmdExportPdf_Click,
                      &frmDueList::cmdExportCsv_Click);
    connect(cmdWarningLevels, &QPushButton::clicked, this, &frmDueList::cmdWarningLevels_Click);
    connect(cmdPlannedUse, &QPushButton::clicked, this, &frmDueList::cmdPlannedUse_Click);
    connect(cmdAllAircraft, &QPushButton::clicked, this, &frmDueList::cmdAllAircraft_Click);
    connect(cmdNoAircraft, &QPushButton::clicked, this, &frmDueList::cmdNoAircraft_Click);
    connect(chkWithinDays, &QCheckBox::toggled, this, &frmDueList::Filter_Change);
    connect(chkWithinHours, &QCheckBox::toggled, this, &frmDueList::Filter_Change);
    connect(spnDays, &QSpinBox::valueChanged, this, &frmDueList::Filter_Change);
    connect(spnHours, &QDoubleSpinBox::valueChanged, this, &frmDueList::Filter_Change);
    connect(chkWarnings, &QCheckBox::toggled, this, &frmDueList::Filter_Change);
    connect(chkControlling, &QCheckBox::toggled, this, &frmDueList::Filter_Change);
    connect(lstAircraft, &QListWidget::itemChanged, this, &frmDueList::Filter_Change);

    auto* filters = new QHBoxLayout;
    filters->addWidget(fraWithin);
    filters->addWidget(fraAircraft, 1);
    filters->addWidget(fraType);
    filters->addWidget(fraShow);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(lblSummary);
    layout->addWidget(grdDueList, 1);
    oilAlerts = new OilAlertsPanel(this);
    oilAlerts->setObjectName(QStringLiteral("oilAlerts"));
    oilAlerts->setAircraftOpener([this](const QString& reg) {
        if (openAircraft_)
            openAircraft_(reg);
    });
    layout->addWidget(oilAlerts);
    layout->addLayout(buttons);
    resize(1260, 720);
}

void frmDueList::Form_Load() {
    screens::MousePointer::setBusy();
    loadError_.clear();
    try {
        list_ = loadDueList(options_.request);
    } catch (const data::DbError& e) {
        list_ = std::make_shared<DueList>();
        list_->today = options_.request.today;
        loadError_ = e.text();
    }
    fillAircraft();
    applyFilter();
    oilAlerts->load(options_.request.dataPath);
    printedAlerts_->setAlerts(alertsOfAircraft(oilAlerts->alerts(), filter().regNums));
    grdDueList->resizeColumnsToContents();
    screens::MousePointer::setDefault();
    if (!loadError_.isEmpty()) {
        screens::msgBox(this, loadError_, MsgButtons::Ok, MsgIcon::Exclamation,
                        QStringLiteral("Due List"));
        screens::reactivateWindow(this);
    }
}

void frmDueList::fillAircraft() {
    // Aircraft that were ticked off stay off after the list is read again.
    QSet<QString> off;
    for (int i = 0; i < lstAircraft->count(); ++i) {
        if (lstAircraft->item(i)->checkState() != Qt::Checked)
            off.insert(lstAircraft->item(i)->text());
    }
    filling_ = true;
    lstAircraft->clear();
    QStringList seen;
    for (const DueAircraft& a : list_->aircraft) {
        if (seen.contains(a.regNum))
            continue;
        seen << a.regNum;
        auto* item = new QListWidgetItem(a.regNum, lstAircraft);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(off.contains(a.regNum) ? Qt::Unchecked : Qt::Checked);
    }
    filling_ = false;
}

void frmDueList::cmdRefresh_Click() {
    Form_Load();
}

void frmDueList::Filter_Change() {
    if (!filling_)
        filterTimer_->start();
}

void frmDueList::cmdAllAircraft_Click() {
    filling_ = true;
    for (int i = 0; i < lstAircraft->count(); ++i)
        lstAircraft->item(i)->setCheckState(Qt::Checked);
    filling_ = false;
    Filter_Change();
}

void frmDueList::cmdNoAircraft_Click() {
    filling_ = true;
    for (int i = 0; i < lstAircraft->count(); ++i)
        lstAircraft->item(i)->setCheckState(Qt::Unchecked);
    filling_ = false;
    Filter_Change();
}

DueFilter frmDueList::filter() const {
    DueFilter f;
    if (chkWithinDays->isChecked())
        f.withinDays = spnDays->value();
    if (chkWithinHours->isChecked())
        f.withinHours = spnHours->value();
    QStringList regs;
    for (int i = 0; i < lstAircraft->count(); ++i) {
        if (lstAircraft->item(i)->checkState() == Qt::Checked)
            regs << lstAircraft->item(i)->text();
    }
    if (regs.size() != lstAircraft->count())
        f.regNums = regs;
    std::vector<Basis> bases;
    for (Basis b : kAllBases) {
        if (chkType[static_cast<size_t>(basisIndex(b))]->isChecked())
            bases.push_back(b);
    }
    if (static_cast<int>(bases.size()) != kBasisCount)
        f.bases = bases;
    f.onlyWarnings = chkWarnings->isChecked();
    f.onlyControlling = chkControlling->isChecked();
    return f;
}

void frmDueList::applyFilter() {
    filterTimer_->stop();
    const DueFilter f = filter();
    table_->setRows(list_, selectDue(*list_, f));
    printedAlerts_->setAlerts(alertsOfAircraft(oilAlerts->alerts(), f.regNums));
    showCounts();
}

void frmDueList::showCounts() {
    const DueCounts c = countDue(*list_, table_->rows());
    const QLocale locale;
    const auto allTasks = std::count_if(list_->entries.begin(), list_->entries.end(),
                                        [](const DueEntry& e) { return e.isTask(); });
    const auto allLimits = static_cast<qsizetype>(list_->entries.size()) - allTasks;
    QString text = QStringLiteral("%1 of %2 limits")
                       .arg(locale.toString(c.limits), locale.toString(allLimits));
    if (allTasks > 0)
        text += QStringLiteral(" and %1 of %2 tasks")
                    .arg(locale.toString(c.tasks), locale.toString(allTasks));
    text += QStringLiteral(" shown: %1 overdue, %2 due soon, as of %3.")
                .arg(locale.toString(c.overdue), locale.toString(c.dueSoon),
                     data::displayDate(list_->today));
    if (options_.plannedUseEditable)
        text += QStringLiteral(
            " Dates of hours, landings, cycles and RIN are projected from "
            "each aircraft's planned daily use.");
    if (!loadError_.isEmpty())
        text = loadError_;
    lblSummary->setText(text);
}

QString frmDueList::exportName() const {
    return QStringLiteral("Due List ") + list_->today.toString(Qt::ISODate);
}

exporting::TablePrintJob frmDueList::printJob() const {
    DuePrint print;
    print.companyName = options_.companyName;
    print.filter = filter();
    print.printed = QDateTime::currentDateTime();
    print.oilAlerts = printedAlerts_;
    return dueListPrintJob(*table_, screens::shownColumns(*grdDueList), print);
}

void frmDueList::cmdPrint_Click() {
    applyFilter();
    if (table_->rowCount() > 5000) {
        const auto answer = screens::msgBox(
            this,
            QStringLiteral("The list holds %1 lines, some %2 pages. Print them all?")
                .arg(QLocale().toString(table_->rowCount()))
                .arg(QLocale().toString(table_->rowCount() / 45 + 1)),
            MsgButtons::YesNo, MsgIcon::Question, QStringLiteral("Print"), screens::MsgAnswer::No);
        screens::reactivateWindow(this);
        if (answer != screens::MsgAnswer::Yes)
            return;
    }
    if (preview_)
        preview_(this, printJob());
}

void frmDueList::cmdExportPdf_Click() {
    applyFilter();
    screens::saveTableAsPdf(this, printJob(), exportName());
}

void frmDueList::cmdExportCsv_Click() {
    applyFilter();
    screens::saveCsvText(this, dueListCsv(*table_, screens::shownColumns(*grdDueList)),
                         exportName());
}

void frmDueList::cmdWarningLevels_Click() {
    WarningLevelsDialog dialog(options_.request.companyFile, this);
    if (dialog.exec() == QDialog::Accepted)
        Form_Load();  // the levels of every limit change
    screens::reactivateWindow(this);
}

void frmDueList::cmdPlannedUse_Click() {
    QStringList regs;
    for (const DueAircraft& a : list_->aircraft) {
        if (!regs.contains(a.regNum))
            regs << a.regNum;
    }
    PlannedUseDialog dialog(options_.request.dataPath, regs, this);
    if (dialog.exec() == QDialog::Accepted)
        Form_Load();
    screens::reactivateWindow(this);
}

void frmDueList::cmdClose_Click() {
    close();
}

void frmDueList::grdDueList_DblClick(int row) {
    const DueEntry* e = table_->entryAt(row);
    if (e && e->isTask() && openTask_)
        openTask_(e->taskId, e->complianceId, list_->regNum(*e));
    else if (e && openAircraft_)
        openAircraft_(list_->regNum(*e));
}

void frmDueList::closeEvent(QCloseEvent* event) {
    screens::MousePointer::setDefault();
    event->accept();
}

}  // namespace velmora::due
