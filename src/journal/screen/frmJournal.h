#pragma once

#include "export/TablePrinter.h"
#include "journal/JournalLines.h"
#include "screens/common/OutputButtons.h"

#include <QWidget>

#include <functional>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QPushButton;
class QTableView;

namespace velmora::journal {

class JournalTableModel;

// Journal: the entry journal's lines of one aircraft (its own row, its components, oil
// samples and planned use), newest first, filtered by a date range and a column; printed,
// saved as PDF or CSV as shown; a meter or total entry can be undone after a confirmation.
class frmJournal : public QWidget {
    Q_OBJECT
  public:
    using TablePreview = std::function<void(QWidget* parent, const exporting::TablePrintJob&)>;

    // mainFile: the main data file; regNum: the aircraft.
    frmJournal(const QString& mainFile, const QString& regNum, QWidget* parent = nullptr);
    ~frmJournal() override;

    void Form_Load();
    void Filter_Change();
    void grdJournal_RowColChange();
    void cmdUndo_Click();
    void cmdPrint_Click();
    void cmdExportPdf_Click();
    void cmdExportCsv_Click();
    void cmdClose_Click();

    // The filter the controls set.
    LineFilter filter() const;
    const JournalTableModel& table() const { return *table_; }
    exporting::TablePrintJob printJob() const;
    void setTablePreview(TablePreview preview) { preview_ = std::move(preview); }

  private:
    QCheckBox* chkFrom = nullptr;
    QDateEdit* dtpFrom = nullptr;
    QCheckBox* chkTo = nullptr;
    QDateEdit* dtpTo = nullptr;
    QComboBox* cboColumn = nullptr;
    QTableView* grdJournal = nullptr;
    QLabel* lblSummary = nullptr;
    QPushButton* cmdUndo = nullptr;
    screens::OutputButtons output_;
    QPushButton* cmdClose = nullptr;

    void buildControls();
    void fillColumns();
    const JournalLine* selectedLine() const;
    QString exportName() const;

    QString mainFile_;
    QString regNum_;
    JournalTableModel* table_ = nullptr;
    TablePreview preview_;
    bool filling_ = false;
};

}  // namespace velmora::journal
