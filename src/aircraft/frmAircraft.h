#pragma once

#include "ComponentListQuery.h"

#include "due/DueListSource.h"
#include "entry/EntryFields.h"
#include "screens/common/BoundScreen.h"
#include "screens/common/ControlArray.h"
#include "screens/common/ScreenState.h"

#include <QDate>

#include <array>
#include <optional>

class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace velmora::screens {
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
//
// The class is written in three files: this screen's aircraft record (frmAircraft.cpp),
// the component grid and the templates (frmAircraftComponents.cpp), and the building of its
// controls (frmAircraftControls.cpp).
class frmAircraft : public screens::BoundScreen {
    Q_OBJECT
  public:
    using Field = entry::AircraftSetupField;

    // dataPath: the folder of the data files, with its trailing separator.
    explicit frmAircraft(const QString& dataPath, QWidget* parent = nullptr);
    ~frmAircraft() override;

    void Form_Load();
    void Form_Activate() override;
    void Combo1_Click();
    void cmdAdd_Click();
    void cmdSave_Click() override;
    void cmdDelete_Click();
    void datPrimaryRS_Reposition();
    ErrorResponse datPrimaryRS_Error(int number);
    Validation datPrimaryRS_Validate(Action action, bool save);
    void Option1_Click(int index);
    void txtFields_Change(int index);
    void txtFields_GotFocus(int index);
    void txtFields_KeyPress(int index, Qt::Key key);
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
    // Shows the aircraft of a registration; a message says why not when a new aircraft is
    // being entered or the registration is not in the aircraft list.
    void showAircraft(const QString& regNum);
    // The days the daily use is averaged over.
    void setAverageDays(int days);
    // Asks for a new registration of the aircraft shown and, confirmed, gives it that
    // registration with everything linked to it.
    void cmdRename_Click();
    // Components moved by part and serial number (frmAircraftMoves.cpp): the component of
    // the grid's current row off the aircraft into the stores, one from the stores onto
    // the aircraft, the stores' list and the current component's history.
    void cmdRemoveComponent_Click();
    void cmdInstallComponent_Click();
    void cmdStores_Click();
    void cmdHistory_Click();
    // The status of the aircraft's life-limited parts, judged with these warning levels and
    // daily use (the due list's); the defaults until they are set.
    void cmdLifeLimited_Click();
    void setLifeLimitedLevels(const due::WarningSettings& warnings, due::UtilisationFactory use);
    // The day a move may not lie after: today, unless another is set (tests).
    void setMoveDay(const QDate& day) { moveDay_ = day; }

    // The component list query for the current choices of "Show Records" and "Order by".
    QString componentListSource() const;
    ShowRecords showRecords() const;
    OrderBy orderBy() const;
    bool typeRejected() const { return TypeRejected != 0; }

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void fieldGotFocus(int index) override;
    void fieldLeft(int index) override;
    bool fieldEnter(int index) override;
    bool releaseRows() override;

  private:
    // Entry fields by their index (Field); the owner's name and address, field 8, has
    // several lines and is txtOwner.
    screens::ControlArray<QLineEdit> txtFields;
    QPlainTextEdit* txtOwner = nullptr;
    screens::ControlArray<QLabel> lblLabels;
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
    QPushButton* cmdRename = nullptr;                     // right of cmdJournal
    journal::UtilisationPanel* fraUtilisation = nullptr;  // right of the entry fields
    QPushButton* cmdComponents = nullptr;   // right of cmdRename: the menu of the five below
    QAction* actRemoveComponent = nullptr;  // also on the grid's context menu
    QAction* actInstallComponent = nullptr;
    QAction* actHistory = nullptr;
    QAction* actStores = nullptr;
    QAction* actLifeLimited = nullptr;

    // frmAircraftControls.cpp
    void buildControls();
    void buildEntryFields(double scale);
    void buildChoosers(double scale);
    void buildOptions(double scale);
    void buildGrid(double scale);
    void buildButtons(double scale);
    void buildRecordSources();
    void buildKeys();
    void buildMoveControls(double scale);  // frmAircraftMoves.cpp
    QDate moveDay() const;
    bool changesSaved();
    void Form_Resize();

    void SetEditedState();
    void SetCleanState();
    void requeryComponents(const QString& source);
    void showTemplateChoosers(bool shown);
    QString templatesFile() const;
    void registrationRule();
    void registrationOnAircraft();
    void refuseRegistration(const QString& typed, const QString& current);
    void selectRegistrationLater();
    // A new aircraft's registration that an aircraft has already, or that could not be
    // looked up, is refused with a message (true).
    bool refuseTakenRegistration(const QString& regNum);
    void abandonNewAircraft();
    // Writes a new aircraft's row before rows that name it are written; true when the
    // aircraft shown is in the file.
    bool saveNewAircraft();
    // Component rows are written for an aircraft in the file only (one renamed or deleted
    // elsewhere since the screen read it is not): false, with a message, otherwise.
    bool componentsMayBeWritten();
    // The screen is clean again when nothing is left to write.
    void cleanIfUnchanged();
    void showAircraftAgain(const QString& regNum);
    void openAircraftList();
    void moveToAircraft(bool next);
    void otherFieldRule();
    bool aircraftTableEmpty() const;
    QString currentRegNum() const;
    QLineEdit* field(Field f) const { return txtFields[entry::fieldIndex(f)]; }
    void focusField(Field f);
    void focusField(int index);

    QString dataPath_;
    int TypeRejected = 0;
    QString enteredRegNum_;  // the registration of the new aircraft being entered
    // Reposition handlers rest while a new aircraft is begun, until its registration is in.
    std::optional<screens::RepositionSuppressed> newAircraft_;
    bool entrySaving_ = false;  // an entry rule's save step is writing the row
    // The load has just read the use per day; the activation that follows it reads it again
    // only once the screen has been active.
    bool figuresJustRead_ = false;
    QDate moveDay_;
    due::WarningSettings llpWarnings_;
    due::UtilisationFactory llpUse_ = due::journalledUtilisation(utilisation::kDefaultAverageDays);
};

}  // namespace velmora::aircraft
