#pragma once

#include "ComponentListQuery.h"

#include <QWidget>

#include <array>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace velmora::screens {
class BoundRecordSource;
class Chooser;
class DataGrid;
}  // namespace velmora::screens

namespace velmora::journal {
class UtilisationPanel;
}

namespace velmora::aircraft {

// Aircraft set-up: aircraft records are chosen, edited, saved and deleted; the lower half
// lists the aircraft's components. Meter readings and totals follow the entry rules, each
// confirmed and saved as its field is left.
class frmAircraft : public QWidget {
    Q_OBJECT
  public:
    // dataPath: the folder of the data files, with its trailing separator.
    explicit frmAircraft(const QString& dataPath, QWidget* parent = nullptr);
    ~frmAircraft() override;

    void Form_Load();
    void Form_Activate();
    void Combo1_Click();
    void cmdAdd_Click();
    void cmdSave_Click();
    void cmdDelete_Click();
    void cmdClose_Click();
    void datPrimaryRS_Reposition();
    void datPrimaryRS_Error(int number, int& response);
    void datPrimaryRS_Validate(int& action, int& save);
    void Option1_Click(int index);
    void txtFields_Change(int index);
    void txtFields_GotFocus(int index);
    void txtFields_KeyPress(int index, int key);
    void txtFields_LostFocus(int index);
    void grdDataGrid_OnAddNew();
    void grdDataGrid_AfterColEdit(int col);
    void grdDataGrid_AfterColUpdate(int col);
    void grdDataGrid_DblClick();
    void grdDataGrid_RowColChange(int lastRow, int lastCol);
    void grdDataGrid_Change();
    void FillMakeList();
    void Combo2_Click(int index);
    void cmdTemplate_Click();
    // Opens the Journal screen on the current aircraft.
    void cmdJournal_Click();

    // The component list query for the current choices of "Show Records" and "Order by".
    QString componentListSource() const;
    ShowRecords showRecords() const;
    OrderBy orderBy() const;
    bool typeRejected() const { return TypeRejected != 0; }

    // Entry fields by index; 8 (Owner, several lines) is txtOwner, 9 and 10 do not exist.
    std::array<QLineEdit*, 16> txtFields{};
    QPlainTextEdit* txtOwner = nullptr;
    std::array<QLabel*, 16> lblLabels{};
    QLabel* Label2 = nullptr;
    QGroupBox* Frame1 = nullptr;  // "Totals"
    QGroupBox* Frame2 = nullptr;  // "Order by"
    QGroupBox* Frame3 = nullptr;  // "Show Records"
    std::array<QRadioButton*, 6> Option1{};
    screens::Chooser* Combo1 = nullptr;
    std::array<screens::Chooser*, 2> Combo2{};  // template make and model
    screens::BoundRecordSource* datMakes = nullptr;
    screens::BoundRecordSource* datPrimaryRS = nullptr;
    screens::BoundRecordSource* datSecondaryRS = nullptr;
    screens::DataGrid* grdDataGrid = nullptr;
    QWidget* picButtons = nullptr;
    QPushButton* cmdAdd = nullptr;
    QPushButton* cmdDelete = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdClose = nullptr;
    QPushButton* cmdTemplate = nullptr;
    QPushButton* cmdJournal = nullptr;                    // right of the specified buttons
    journal::UtilisationPanel* fraUtilisation = nullptr;  // right of the entry fields

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void buildControls();
    void SetEditedState();
    void SetCleanState();
    void requeryComponents(const QString& source);
    void showTemplateChoosers(bool shown);
    QString templatesFile() const;
    void registrationRule();
    void otherFieldRule();
    bool aircraftTableEmpty() const;
    QString currentRegNum() const;
    int fieldIndexOf(const QObject* w) const;
    void focusField(int index);
    void Form_Resize();
    void Form_Unload();

    QString dataPath_;
    int TypeRejected = 0;
    QString enteredRegNum_;  // the registration of the new aircraft being entered
    bool saving_ = false;
    bool entrySaving_ = false;  // an entry rule's save step is writing the row
    QString saveError_;
    bool closing_ = false;
};

}  // namespace velmora::aircraft
