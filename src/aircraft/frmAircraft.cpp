// The aircraft set-up screen: its aircraft record, the entry fields and closing.

#include "frmAircraft.h"

#include "AircraftStore.h"

#include "data/DataFiles.h"
#include "data/Recordset.h"
#include "entry/BoundEntryHost.h"
#include "journal/screen/UtilisationPanel.h"
#include "journal/screen/frmJournal.h"
#include "screens/common/AircraftChooser.h"
#include "screens/common/BoundRecordSource.h"
#include "screens/common/Chooser.h"
#include "screens/common/DataGrid.h"
#include "screens/common/Dialogs.h"
#include "screens/common/MousePointer.h"
#include "screens/common/ScreenConventions.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>

#include <utility>

namespace velmora::aircraft {

using screens::BoundRecordSource;
using screens::MsgAnswer;
using screens::MsgButtons;
using screens::MsgIcon;

namespace {

QString fleetSource() {
    return QStringLiteral("select * from [Aircraft] Order by [RegNum]");
}

QString makesSource() {
    return QStringLiteral("select * from [Aircraft] Order by [Make]");
}

}  // namespace

frmAircraft::frmAircraft(const QString& dataPath, QWidget* parent)
    : BoundScreen(QStringLiteral("frmAircraft"), QStringLiteral("Aircraft Set-up"), parent),
      dataPath_(dataPath) {
    // A database server reads the fleet and the template makes while the controls are built.
    const auto fleetAhead = data::readAheadWhereAtHand(
        data::dataFileName(dataPath_, data::files::kMain), fleetSource());
    const auto makesAhead = data::readAheadWhereAtHand(templatesFile(), makesSource());
    buildControls();
    finishControls(grdDataGrid);
    followDataChanges(datPrimaryRS);
    Form_Load();
}

frmAircraft::~frmAircraft() = default;

void frmAircraft::Form_Load() {
    {
        const screens::RepositionSuppressed filling;
        const QString main = data::dataFileName(dataPath_, data::files::kMain);
        datPrimaryRS->setDatabaseName(main);
        datPrimaryRS->setRecordSource(fleetSource());
        datPrimaryRS->refresh();
        // The component list is read per aircraft; nothing is read before one is chosen.
        datSecondaryRS->setDatabaseName(main);
        datSecondaryRS->setRecordSource(
            componentListSql(QString(), ShowRecords::Installed, OrderBy::ItemNumber));
        datSecondaryRS->refresh();
        datMakes->setDatabaseName(templatesFile());
        datMakes->setRecordSource(makesSource());
        datMakes->refresh();

        Combo1->clearList();
        screens::listRegistrations(*Combo1, datPrimaryRS->recordset());
    }
    if (Combo1->entryCount() > 0)
        Combo1->setListIndex(0);
    else
        SetCleanState();
    figuresJustRead_ = true;
}

bool frmAircraft::aircraftTableEmpty() const {
    const data::Recordset* rs = datPrimaryRS->recordset();
    return !rs || rs->recordCount() == 0;
}

QString frmAircraft::currentRegNum() const {
    // A new aircraft's registration is in its box until the row is saved.
    if (datPrimaryRS->isAddingNew())
        return field(Field::RegNum)->text();
    return datPrimaryRS->currentValue(QStringLiteral("RegNum")).toString();
}

QString frmAircraft::templatesFile() const {
    return data::dataFileName(dataPath_, data::files::kTemplates);
}

void frmAircraft::Form_Activate() {
    // The first activation comes straight after the load, which showed the use per day a
    // moment ago; a later one may follow work in another screen that changed it.
    const bool figuresJustRead = std::exchange(figuresJustRead_, false);
    if (aircraftTableEmpty() && !datPrimaryRS->isAddingNew()) {
        cmdAdd_Click();
        return;
    }
    if (datPrimaryRS->isAddingNew())
        return;  // a new aircraft is being entered: stay where the user is
    if (figuresJustRead)
        showEditedState(false);
    else
        SetCleanState();
    focusField(Field::CurrentMeter1);
}

void frmAircraft::Combo1_Click() {
    if (screens::SuppressReposition)
        return;
    const QString text = Combo1->text();
    // The chooser shows a new aircraft's registration before the row is saved.
    if (datPrimaryRS->isAddingNew() &&
        text.compare(field(Field::RegNum)->text(), Qt::CaseInsensitive) == 0)
        return;
    // The aircraft on screen stays when its changes could not be written: so does its entry.
    if (!screens::findAircraft(*datPrimaryRS, text))
        screens::keepChooserOn(*Combo1, currentRegNum());
}

void frmAircraft::datPrimaryRS_Reposition() {
    screens::MousePointer::setDefault();
    if (screens::SuppressReposition)
        return;
    requeryComponents(componentListSql(currentRegNum(), showRecords(), OrderBy::ItemNumber));
    datPrimaryRS->setCaption(screens::aircraftNavigationCaption());
    // The template choosers stay while the new aircraft is being entered, also once a meter
    // or total entry has saved it; another aircraft shows its own make and model.
    if (!datPrimaryRS->isAddingNew() &&
        currentRegNum().compare(enteredRegNum_, Qt::CaseInsensitive) != 0) {
        enteredRegNum_.clear();
        showTemplateChoosers(false);
    }
    const QString reg = currentRegNum();
    if (!reg.isEmpty() && reg != Combo1->text()) {
        const int at = Combo1->findExact(reg);
        if (at >= 0)
            Combo1->setListIndex(at);
    }
    fraUtilisation->setAircraft(data::dataFileName(dataPath_, data::files::kMain), reg);
    SetCleanState();
    if (!entrySaving_)
        focusField(Field::CurrentMeter1);
}

frmAircraft::ErrorResponse frmAircraft::datPrimaryRS_Error(int number) {
    Q_UNUSED(number);
    return reportError(*datPrimaryRS);
}

frmAircraft::Validation frmAircraft::datPrimaryRS_Validate(Action action, bool save) {
    if (action == BoundRecordSource::ActionClose)
        screens::MousePointer::setDefault();
    // An aircraft that is in the file keeps its registration: the box is not written into it.
    if (!save || action == BoundRecordSource::ActionDelete || !datPrimaryRS->isAddingNew())
        return {action, save};
    // A new aircraft is known by its registration number, which no other aircraft has.
    if (!field(Field::RegNum)->text().trimmed().isEmpty()) {
        if (refuseTakenRegistration(field(Field::RegNum)->text()))
            return {BoundRecordSource::ActionCancel, save};
        return {action, save};
    }
    if (action == BoundRecordSource::ActionClose)
        return {action, false};  // a new aircraft begun without a registration goes with the screen
    screens::msgBox(this, QStringLiteral("A registration number must be entered"), MsgButtons::Ok,
                    MsgIcon::Exclamation, QStringLiteral("Missing data"), MsgAnswer::Ok);
    screens::reactivateWindow(this);
    return {BoundRecordSource::ActionCancel, save};
}

void frmAircraft::cmdAdd_Click() {
    newAircraft_.emplace();
    if (!datPrimaryRS->addNew()) {
        newAircraft_.reset();
        return;  // the row shown could not be written; the message said why
    }
    enteredRegNum_.clear();
    requeryComponents(componentListSql(QString(), ShowRecords::Installed, OrderBy::ItemNumber));
    Combo1->hide();
    Combo1->setEnabled(false);
    SetEditedState();
    focusField(Field::RegNum);
    showTemplateChoosers(true);
    Combo2[0]->setEnabled(true);
    Combo2[1]->setEnabled(false);
    FillMakeList();
}

void frmAircraft::cmdSave_Click() {
    if (field(Field::RegNum)->text().isEmpty() && Combo1->text().isEmpty())
        return;
    grdDataGrid->commitPendingRow();
    if (saveRow(*datPrimaryRS))
        SetCleanState();
}

void frmAircraft::cmdDelete_Click() {
    const MsgAnswer a =
        screens::msgBox(this, QStringLiteral("OK to delete Aircraft?"), MsgButtons::YesNo,
                        MsgIcon::None, QStringLiteral("Delete entire aircraft"), MsgAnswer::Yes);
    screens::reactivateWindow(this);
    if (a != MsgAnswer::Yes)
        return;
    auto db = datPrimaryRS->database();
    data::Recordset* rs = datPrimaryRS->recordset();
    if (!db || !rs || !rs->hasCurrent() || datPrimaryRS->isAddingNew())
        return;
    const data::Value reg = rs->value(QStringLiteral("RegNum"));
    // The aircraft goes with all of its components and oil samples, whatever the list
    // shows, or nothing goes at all. The record source deletes the aircraft's own row, and
    // moves on to the next aircraft.
    try {
        const bool deleted = deleteAircraft(*db, reg, [this] {
            const screens::RepositionSuppressed deleting;
            return datPrimaryRS->deleteCurrent();
        });
        if (!deleted)
            return;  // reported; nothing was deleted
    } catch (const data::DbError& e) {
        screens::msgBox(this, e.text(), MsgButtons::Ok, MsgIcon::Information,
                        QStringLiteral("Error"));
        datPrimaryRS->refresh();
        return;
    }
    const int entry = Combo1->findExact(reg.toString());
    if (entry >= 0) {
        const screens::RepositionSuppressed removing;
        Combo1->removeItem(entry);
    }
    if (aircraftTableEmpty()) {
        // The last aircraft is gone: a new blank row takes its place.
        cmdAdd_Click();
        return;
    }
    datPrimaryRS_Reposition();
}

void frmAircraft::showAircraft(const QString& regNum) {
    // A new aircraft being entered is not left behind: the user finishes or cancels it first.
    if (datPrimaryRS->isAddingNew() || !Combo1->isEnabled()) {
        screens::msgBox(this,
                        QStringLiteral("Finish or cancel the new aircraft before another one "
                                       "is opened."),
                        screens::MsgButtons::Ok, screens::MsgIcon::Information,
                        QStringLiteral("Aircraft Set-up"));
        screens::reactivateWindow(this);
        return;
    }
    const int at = Combo1->findExact(regNum);
    if (at < 0) {
        screens::msgBox(this,
                        QStringLiteral("The aircraft %1 is not in the aircraft list.").arg(regNum),
                        screens::MsgButtons::Ok, screens::MsgIcon::Information,
                        QStringLiteral("Aircraft Set-up"));
        screens::reactivateWindow(this);
        return;
    }
    if (Combo1->listIndex() != at)
        Combo1->setListIndex(at);
}

void frmAircraft::setAverageDays(int days) {
    fraUtilisation->setAverageDays(days);
}

bool frmAircraft::releaseRows() {
    grdDataGrid->commitPendingRow();
    if (!closeOrAsk(
            *datPrimaryRS,
            QStringLiteral("The aircraft could not be saved. Close without saving the changes?"),
            QString()))
        return false;
    // The grid lets go of the component list before it is closed: the grid's header and
    // rows are still drawn while the window hides.
    grdDataGrid->setRecordset(nullptr);
    datSecondaryRS->closeSource();
    newAircraft_.reset();
    return true;
}

void frmAircraft::SetEditedState() {
    showEditedState(true);
}

void frmAircraft::SetCleanState() {
    showEditedState(false);
    fraUtilisation->refresh();  // a saved meter or total entry changes the figures
}

void frmAircraft::cmdJournal_Click() {
    const QString reg = currentRegNum();
    if (reg.isEmpty()) {
        screens::msgBox(this, QStringLiteral("Choose an aircraft to see its journal."),
                        MsgButtons::Ok, MsgIcon::Information, QStringLiteral("Journal"));
        screens::reactivateWindow(this);
        return;
    }
    auto* screen = new journal::frmJournal(data::dataFileName(dataPath_, data::files::kMain), reg);
    screen->Form_Load();
    screen->show();
}

// --- entry fields -----------------------------------------------------------------------

void frmAircraft::txtFields_Change(int index) {
    Q_UNUSED(index);
    SetEditedState();
}

void frmAircraft::focusField(Field f) {
    focusField(entry::fieldIndex(f));
}

void frmAircraft::focusField(int index) {
    QWidget* w = index == entry::fieldIndex(Field::Owner) ? static_cast<QWidget*>(txtOwner)
                                                          : txtFields.at(index);
    if (w)
        w->setFocus(Qt::OtherFocusReason);
}

void frmAircraft::fieldGotFocus(int index) {
    txtFields_GotFocus(index);
}

void frmAircraft::fieldLeft(int index) {
    txtFields_LostFocus(index);
}

bool frmAircraft::fieldEnter(int index) {
    txtFields_KeyPress(index, Qt::Key_Return);
    // In the owner's name and address Enter begins a new line.
    return index != entry::fieldIndex(Field::Owner);
}

void frmAircraft::txtFields_GotFocus(int index) {
    // The whole text is selected: typing replaces the stored value.
    if (QLineEdit* box = txtFields.at(index))
        box->selectAll();
}

void frmAircraft::txtFields_KeyPress(int index, Qt::Key key) {
    if (key != Qt::Key_Return)
        return;
    const int next = entry::nextFieldOnEnter(entry::EntryScreen::AircraftSetup, index);
    if (next >= 0)
        focusField(next);
}

void frmAircraft::txtFields_LostFocus(int index) {
    if (!cmdSave->isEnabled())
        return;  // nothing changed on the screen: nothing to read, ask or save
    const auto* f = entry::aircraftSetupField(index);
    if (!f)
        return;
    switch (f->rule) {
        case entry::FieldRule::Registration:
            registrationRule();
            return;
        case entry::FieldRule::Text:
            otherFieldRule();
            return;
        default:
            break;
    }
    entry::BoundEntryHost host(this, datPrimaryRS, txtFields[index], [this] {
        // A row that cannot be written is reported by the record source; the screen then
        // stays in the edited state with the entry still on it. Saving a new aircraft makes
        // it the current row: the focus stays where the user sent it.
        const QScopedValueRollback<bool> keep(entrySaving_, true);
        if (datPrimaryRS->updateRecord())
            SetCleanState();
    });
    entry::applyFieldRule(host, f->rule, entry::EntryScreen::AircraftSetup);
}

void frmAircraft::otherFieldRule() {
    if (aircraftTableEmpty())
        focusField(Field::RegNum);
}

}  // namespace velmora::aircraft
