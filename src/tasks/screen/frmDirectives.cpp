#include "frmDirectives.h"

#include "AccomplishmentDialog.h"
#include "data/DataFiles.h"
#include "data/Database.h"
#include "data/DateDisplay.h"
#include "data/DbError.h"
#include "data/TextKey.h"
#include "export/Csv.h"
#include "screens/common/Dialogs.h"
#include "screens/common/GridExport.h"
#include "tasks/RegisterTable.h"
#include "tasks/StatusTable.h"
#include "tasks/TaskWrites.h"
#include "utilisation/UtilisationSource.h"

#include <QComboBox>
#include <QDateTime>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include <numeric>

namespace velmora::tasks {

namespace {

QTableView* grid(QWidget* parent, QAbstractItemModel* model, const QString& name) {
    auto* view = new QTableView(parent);
    view->setObjectName(name);
    view->setModel(model);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setAlternatingRowColors(true);
    view->setWordWrap(false);
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
    view->verticalHeader()->hide();
    view->horizontalHeader()->setStretchLastSection(true);
    return view;
}

QLabel* buddyLabel(const QString& caption, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(caption, parent);
    label->setBuddy(buddy);
    return label;
}

}  // namespace

frmDirectives::frmDirectives(Options options, QWidget* parent)
    : QWidget(parent), options_(std::move(options)), preview_(&screens::previewTable) {
    setObjectName(QStringLiteral("frmDirectives"));
    setWindowTitle(QStringLiteral("Directives & Inspections"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    buildControls();
    resize(1150, 640);
    Form_Load();
}

frmDirectives::~frmDirectives() = default;

void frmDirectives::buildControls() {
    registerTable_ = new RegisterTable(this);
    statusTable_ = new StatusTable(this);
    auto* layout = new QVBoxLayout(this);
    tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("tabs"));
    layout->addWidget(tabs);

    auto* registerPage = new QWidget(tabs);
    auto* registerLayout = new QVBoxLayout(registerPage);
    auto* filters = new QHBoxLayout;
    cboKind = new QComboBox(registerPage);
    cboKind->setObjectName(QStringLiteral("cboKind"));
    cboKind->addItem(QStringLiteral("Every kind"));
    for (TaskKind k : {TaskKind::Directive, TaskKind::Bulletin, TaskKind::Inspection})
        cboKind->addItem(kindName(k), static_cast<int>(k));
    cboAuthority = new QComboBox(registerPage);
    cboAuthority->setObjectName(QStringLiteral("cboAuthority"));
    cboAuthority->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    txtFind = new QLineEdit(registerPage);
    txtFind->setObjectName(QStringLiteral("txtFind"));
    txtFind->setPlaceholderText(QStringLiteral("number, title or what it applies to"));
    txtFind->setClearButtonEnabled(true);
    filters->addWidget(buddyLabel(QStringLiteral("&Kind:"), cboKind, registerPage));
    filters->addWidget(cboKind);
    filters->addSpacing(12);
    filters->addWidget(buddyLabel(QStringLiteral("A&uthority:"), cboAuthority, registerPage));
    filters->addWidget(cboAuthority);
    filters->addSpacing(12);
    filters->addWidget(buddyLabel(QStringLiteral("&Find:"), txtFind, registerPage));
    filters->addWidget(txtFind, 1);
    registerLayout->addLayout(filters);
    grdRegister = grid(registerPage, registerTable_, QStringLiteral("grdRegister"));
    registerLayout->addWidget(grdRegister, 1);
    lblRegister = new QLabel(registerPage);
    lblRegister->setObjectName(QStringLiteral("lblRegister"));
    registerLayout->addWidget(lblRegister);
    tabs->addTab(registerPage, QStringLiteral("Re&gister"));

    auto* statusPage = new QWidget(tabs);
    auto* statusLayout = new QVBoxLayout(statusPage);
    auto* top = new QHBoxLayout;
    cboAircraft = new QComboBox(statusPage);
    cboAircraft->setObjectName(QStringLiteral("cboAircraft"));
    cboAircraft->setMinimumContentsLength(10);
    top->addWidget(buddyLabel(QStringLiteral("&Aircraft:"), cboAircraft, statusPage));
    top->addWidget(cboAircraft);
    lblStatus = new QLabel(statusPage);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    top->addSpacing(12);
    top->addWidget(lblStatus, 1);
    statusLayout->addLayout(top);
    grdStatus = grid(statusPage, statusTable_, QStringLiteral("grdStatus"));
    grdStatus->setToolTip(QStringLiteral("Double-click a line to record an accomplishment."));
    statusLayout->addWidget(grdStatus, 1);
    auto* actions = new QHBoxLayout;
    auto button = [&](const char* caption, const char* name) {
        auto* b = new QPushButton(QString::fromLatin1(caption), statusPage);
        b->setObjectName(QString::fromLatin1(name));
        actions->addWidget(b);
        return b;
    };
    cmdAccomplish = button("&Record Accomplishment...", "cmdAccomplish");
    actions->addStretch();
    output_.create(statusPage, actions, screens::OutputButtons::exportCaptions());
    statusLayout->addLayout(actions);
    tabs->addTab(statusPage, QStringLiteral("Compliance S&tatus"));

    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    cmdClose = new QPushButton(QStringLiteral("&Close"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    bottom->addWidget(cmdClose);
    layout->addLayout(bottom);

    connect(cboKind, &QComboBox::currentIndexChanged, this, &frmDirectives::Filter_Change);
    connect(cboAuthority, &QComboBox::currentIndexChanged, this, &frmDirectives::Filter_Change);
    connect(txtFind, &QLineEdit::textChanged, this, &frmDirectives::Filter_Change);
    connect(cboAircraft, &QComboBox::currentIndexChanged, this, &frmDirectives::cboAircraft_Click);
    connect(grdStatus, &QTableView::doubleClicked, this, [this] { cmdAccomplish_Click(); });
    connect(cmdAccomplish, &QPushButton::clicked, this, &frmDirectives::cmdAccomplish_Click);
    output_.connectTo(this, &frmDirectives::cmdPrint_Click, &frmDirectives::cmdExportPdf_Click,
                      &frmDirectives::cmdExportCsv_Click);
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);
}

void frmDirectives::Form_Load() {
    const QString chosen = cboAircraft->currentText();
    register_ = {};
    aircraft_.clear();
    try {
        warnings_ = due::readWarningSettingsFile(options_.companyFile);
        db_ = data::Database::open(data::resolvePathCaseInsensitive(
            data::dataFileName(options_.dataPath, data::files::kMain)));
        use_ = options_.utilisation ? options_.utilisation(*db_) : nullptr;
        register_ = readRegister(*db_, QString());  // the tasks; compliance per aircraft
        aircraft_ = readAircraft(*db_);
    } catch (const data::DbError& e) {
        screens::msgBox(this, e.text(), screens::MsgButtons::Ok, screens::MsgIcon::Exclamation,
                        windowTitle());
    }
    filling_ = true;
    const QString authority = cboAuthority->currentText();
    cboAuthority->clear();
    cboAuthority->addItem(QStringLiteral("Every authority"));
    cboAuthority->addItems(authoritiesOf(register_.tasks));
    cboAuthority->setCurrentIndex(std::max(0, cboAuthority->findText(authority)));
    cboAircraft->clear();
    for (const FleetAircraft& a : aircraft_)
        cboAircraft->addItem(a.regNum);
    cboAircraft->setCurrentIndex(std::max(0, cboAircraft->findText(chosen)));
    filling_ = false;
    Filter_Change();
    showStatus();
}

RegisterFilter frmDirectives::filter() const {
    RegisterFilter f;
    if (cboKind->currentIndex() > 0)
        f.kind = static_cast<TaskKind>(cboKind->currentData().toInt());
    if (cboAuthority->currentIndex() > 0)
        f.authority = cboAuthority->currentText();
    f.text = txtFind->text();
    return f;
}

void frmDirectives::Filter_Change() {
    if (filling_)
        return;
    std::vector<Task> shown;
    for (int i : selectTasks(register_.tasks, filter()))
        shown.push_back(register_.tasks[static_cast<size_t>(i)]);
    registerTable_->setTasks(std::move(shown));
    grdRegister->resizeColumnsToContents();  // every text whole; the grid scrolls across
    lblRegister->setText(QStringLiteral("%1 of %2 tasks shown.")
                             .arg(registerTable_->rowCount())
                             .arg(register_.tasks.size()));
}

void frmDirectives::cboAircraft_Click() {
    if (!filling_)
        showStatus();
}

void frmDirectives::showStatus() {
    const QString reg = cboAircraft->currentText();
    if (!db_ || reg.isEmpty()) {
        statusTable_->setLines(nullptr);
        lblStatus->setText(QStringLiteral("No aircraft on file."));
    } else {
        try {
            const utilisation::NoUtilisation none;
            statusTable_->setLines(std::make_shared<ComplianceStatus>(readComplianceStatus(
                *db_, use_ ? *use_ : static_cast<const utilisation::UtilisationSource&>(none),
                warnings_, options_.today, reg)));
        } catch (const data::DbError& e) {
            statusTable_->setLines(nullptr);
            screens::msgBox(this, e.text(), screens::MsgButtons::Ok, screens::MsgIcon::Exclamation,
                            windowTitle());
        }
        int overdue = 0, soon = 0;
        for (int r = 0; r < statusTable_->rowCount(); ++r) {
            const due::WarningLevel l = statusTable_->lineAt(r)->next.level;
            overdue += l == due::WarningLevel::Overdue;
            soon += l == due::WarningLevel::DueSoon;
        }
        lblStatus->setText(
            QStringLiteral("%1 tasks apply to %2: %3 overdue, %4 due soon, as of %5.")
                .arg(statusTable_->rowCount())
                .arg(reg)
                .arg(overdue)
                .arg(soon)
                .arg(data::displayDate(options_.today)));
    }
    grdStatus->setColumnHidden(StatusTable::Registration, true);  // the aircraft chosen above
    grdStatus->resizeColumnsToContents();
    const bool any = statusTable_->rowCount() > 0;
    cmdAccomplish->setEnabled(any);
    if (any)
        grdStatus->selectRow(0);
}

const StatusLine* frmDirectives::currentLine() const {
    const QModelIndex at = grdStatus->currentIndex();
    return statusTable_->lineAt(at.isValid() ? at.row() : -1);
}

void frmDirectives::cmdAccomplish_Click() {
    const StatusLine* line = currentLine();
    if (!line || !db_) {
        screens::msgBox(this, QStringLiteral("Choose the task whose accomplishment to record."),
                        screens::MsgButtons::Ok, screens::MsgIcon::Information, windowTitle());
        return;
    }
    const std::int64_t taskId = line->task.id;
    const QString reg = statusTable_->status()->aircraftOf(*line).regNum;
    AccomplishmentDialog dialog(
        *line, statusTable_->status()->aircraftOf(*line), options_.today,
        [this, line](const Accomplishment& a) {
            try {
                addAccomplishment(*db_, line->compliance, a, options_.today);
                return QString();
            } catch (const data::DbError& e) {
                return e.text();
            }
        },
        this);
    const bool kept = dialog.exec() == QDialog::Accepted;
    screens::reactivateWindow(this);
    if (kept) {
        showStatus();
        showTask(taskId, reg);
    }
}

bool frmDirectives::showTask(std::int64_t taskId, const QString& regNum) {
    const int at = cboAircraft->findText(regNum.trimmed(), Qt::MatchFixedString);
    if (at < 0)
        return false;
    tabs->setCurrentIndex(1);
    if (at != cboAircraft->currentIndex())
        cboAircraft->setCurrentIndex(at);
    for (int r = 0; r < statusTable_->rowCount(); ++r) {
        if (statusTable_->lineAt(r)->task.id == taskId) {
            grdStatus->selectRow(r);
            grdStatus->scrollTo(statusTable_->index(r, 0));
            grdStatus->setFocus();
            return true;
        }
    }
    return false;
}

QString frmDirectives::reportName() const {
    return QStringLiteral("AD Status %1 %2")
        .arg(cboAircraft->currentText(), options_.today.toString(Qt::ISODate));
}

exporting::TablePrintJob frmDirectives::printJob() const {
    exporting::TablePrintJob job;
    const QString company = options_.companyName.trimmed();
    job.title = QStringLiteral("AD Status - ") + cboAircraft->currentText();
    if (!company.isEmpty())
        job.title += QStringLiteral(" - ") + company;
    job.subtitle =
        QStringLiteral("As of %1, printed %2: %3 tasks.")
            .arg(data::displayDate(options_.today),
                 QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")))
            .arg(statusTable_->rowCount());
    job.model = statusTable_;
    job.columns = statusReportColumns(true);
    return job;
}

void frmDirectives::cmdPrint_Click() {
    if (preview_)
        preview_(this, printJob());
}

void frmDirectives::cmdExportPdf_Click() {
    screens::saveTableAsPdf(this, printJob(), reportName());
}

void frmDirectives::cmdExportCsv_Click() {
    std::vector<int> columns(StatusTable::ColumnCount);
    std::iota(columns.begin(), columns.end(), 0);
    screens::saveCsvText(this, exporting::tableToCsv(*statusTable_, columns), reportName());
}

}  // namespace velmora::tasks
