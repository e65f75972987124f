#pragma once

#include "due/DueListSource.h"
#include "due/WarningLevel.h"
#include "export/TablePrinter.h"
#include "screens/common/OutputButtons.h"
#include "tasks/ComplianceStatus.h"
#include "tasks/RegisterFilter.h"
#include "tasks/TaskStore.h"

#include <QWidget>

#include <functional>
#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTableView;

namespace velmora::data {
class Database;
}
namespace velmora::utilisation {
class UtilisationSource;
}

namespace velmora::tasks {

class RegisterTable;
class StatusTable;

// Directives & Inspections: the register of directives, bulletins and inspection tasks,
// filtered by kind, authority and text; an aircraft's compliance status (each task that
// applies: status, method, last accomplishment, next due and what remains), where an
// accomplishment is recorded; and the AD status report of the aircraft printed or exported
// as PDF or CSV.
class frmDirectives : public QWidget {
    Q_OBJECT
  public:
    struct Options {
        QString dataPath;     // the data folder (with its separator) or a server's URI
        QString companyFile;  // SetupPP.mdb with the warning levels; empty: the defaults
        due::UtilisationFactory utilisation;  // none: no daily use
        QDate today = QDate::currentDate();
        QString companyName;  // heads the printout
    };
    using TablePreview = std::function<void(QWidget* parent, const exporting::TablePrintJob&)>;

    explicit frmDirectives(Options options, QWidget* parent = nullptr);
    ~frmDirectives() override;

    // Reads the register, the aircraft and the status of the aircraft chosen again.
    void Form_Load();
    void Filter_Change();
    void cboAircraft_Click();
    void cmdAccomplish_Click();
    void cmdPrint_Click();
    void cmdExportPdf_Click();
    void cmdExportCsv_Click();
    // Shows a task's line in the status of an aircraft (as a double click in the due list
    // asks); false when the aircraft has no line of it.
    bool showTask(std::int64_t taskId, const QString& regNum);

    void setTablePreview(TablePreview preview) { preview_ = std::move(preview); }
    RegisterFilter filter() const;
    const RegisterTable& registerTable() const { return *registerTable_; }
    const StatusTable& statusTable() const { return *statusTable_; }
    // The AD status report of the aircraft shown.
    exporting::TablePrintJob printJob() const;

  private:
    // The register page: its filters, the tasks, and how many are shown.
    QComboBox* cboKind = nullptr;
    QComboBox* cboAuthority = nullptr;
    QLineEdit* txtFind = nullptr;
    QTableView* grdRegister = nullptr;
    QLabel* lblRegister = nullptr;
    // The compliance status page: the aircraft, its lines, and what is done with them.
    QComboBox* cboAircraft = nullptr;
    QTableView* grdStatus = nullptr;
    QLabel* lblStatus = nullptr;
    QPushButton* cmdAccomplish = nullptr;
    screens::OutputButtons output_;
    // The two pages, and the button below them.
    QTabWidget* tabs = nullptr;
    QPushButton* cmdClose = nullptr;

    void buildControls();
    void showStatus();
    const StatusLine* currentLine() const;
    QString reportName() const;

    Options options_;
    std::shared_ptr<data::Database> db_;
    std::unique_ptr<utilisation::UtilisationSource> use_;
    due::WarningSettings warnings_;
    Register register_;
    std::vector<FleetAircraft> aircraft_;
    RegisterTable* registerTable_ = nullptr;
    StatusTable* statusTable_ = nullptr;
    TablePreview preview_;
    bool filling_ = false;
};

}  // namespace velmora::tasks
