// The aircraft set-up screen's registration number: the box that goes to another aircraft
// or names a new one, renaming an aircraft on purpose, and the keys that change aircraft.

#include "frmAircraft.h"

#include "AircraftRename.h"

#include "data/DbError.h"
#include "data/TextKey.h"
#include "screens/common/AircraftChooser.h"
#include "screens/common/BoundRecordSource.h"
#include "screens/common/Chooser.h"
#include "screens/common/DataGrid.h"
#include "screens/common/Dialogs.h"
#include "screens/common/ScreenConventions.h"

#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QScopedValueRollback>
#include <QShortcut>

namespace velmora::aircraft {

using screens::MsgAnswer;
using screens::MsgButtons;
using screens::MsgIcon;

namespace {

const QString kRegistrationTitle = QStringLiteral("Registration #");
const QString kRenameTitle = QStringLiteral("Rename Aircraft");

bool sameRegistration(const QString& a, const QString& b) {
    return data::textKey(registrationText(a)) == data::textKey(registrationText(b));
}

}  // namespace

// --- the registration box ----------------------------------------------------------------

void frmAircraft::registrationRule() {
    QLineEdit* box = field(Field::RegNum);
    box->setText(box->text().toUpper());
    if (!datPrimaryRS->isAddingNew()) {
        registrationOnAircraft();
        return;
    }
    const QString text = box->text();
    if (!text.isEmpty()) {
        if (refuseTakenRegistration(text)) {
            focusField(Field::RegNum);
            selectRegistrationLater();
            return;
        }
        enteredRegNum_ = text;
        int at = Combo1->findExact(text);
        if (at < 0) {
            Combo1->addEntry(text);
            at = Combo1->findExact(text);
        }
        newAircraft_.reset();
        Combo1->setListIndex(at);
        Combo1->setVisible(true);
        Combo1->setEnabled(true);
        focusField(Field::SerialNumber);
        return;
    }
    const MsgAnswer a = screens::msgBox(
        this, QStringLiteral("A registration number must be entered"), MsgButtons::OkCancel,
        MsgIcon::Exclamation, QStringLiteral("Missing data"), MsgAnswer::Ok);
    screens::reactivateWindow(this);
    if (a == MsgAnswer::Ok) {
        focusField(Field::RegNum);
        return;
    }
    abandonNewAircraft();
}

// On an aircraft that is in the file the box goes to the aircraft typed, as the chooser
// does; it never changes the registration of the one shown (its field is written into new
// rows only: cmdRename_Click does that, on purpose).
void frmAircraft::registrationOnAircraft() {
    QLineEdit* box = field(Field::RegNum);
    const QString typed = box->text();
    const QString current = currentRegNum();
    box->setText(current);
    if (sameRegistration(typed, current)) {
        cleanIfUnchanged();
        return;
    }
    std::optional<QString> other;
    try {
        if (auto db = datPrimaryRS->database(); db && !registrationText(typed).isEmpty())
            other = registeredAs(*db, registrationText(typed));
    } catch (const data::DbError& e) {
        screens::showDataError(this, e.text());
        screens::reactivateWindow(this);
        cleanIfUnchanged();
        focusField(Field::RegNum);
        return;
    }
    if (!other) {
        refuseRegistration(registrationText(typed), current);
        return;
    }
    int at = Combo1->findExact(*other);
    if (at < 0) {
        Combo1->addEntry(*other);
        at = Combo1->findExact(*other);
    }
    Combo1->setListIndex(at);
}

void frmAircraft::refuseRegistration(const QString& typed, const QString& current) {
    const QString rename =
        QStringLiteral("To change the registration of %1, use \"Rename Aircraft...\".")
            .arg(current);
    const QString text =
        typed.isEmpty()
            ? QStringLiteral("An aircraft keeps its registration number: %1 stays %1.\n\n%2")
                  .arg(current, rename)
            : QStringLiteral(
                  "There is no aircraft %1.\n\nTyping a registration here goes to "
                  "that aircraft, as choosing it in the list does (Alt+Down or F4 "
                  "opens the list); it does not rename %2. %3")
                  .arg(typed, current, rename);
    screens::msgBox(this, text, MsgButtons::Ok, MsgIcon::Exclamation, kRegistrationTitle,
                    MsgAnswer::Ok);
    screens::reactivateWindow(this);
    cleanIfUnchanged();
    focusField(Field::RegNum);
    selectRegistrationLater();
}

// The rules run as the focus leaves the box; the box itself lets go of its selection after
// that. Selected once it has, what is typed next replaces the registration.
void frmAircraft::selectRegistrationLater() {
    QMetaObject::invokeMethod(field(Field::RegNum), &QLineEdit::selectAll, Qt::QueuedConnection);
}

bool frmAircraft::refuseTakenRegistration(const QString& regNum) {
    QString text;
    try {
        auto db = datPrimaryRS->database();
        const std::optional<QString> taken = db ? registeredAs(*db, regNum) : std::nullopt;
        if (!taken)
            return false;
        text = QStringLiteral(
                   "An aircraft with the registration %1 exists already: a new aircraft needs a "
                   "registration of its own. Type another one, or empty the box to leave the new "
                   "aircraft.")
                   .arg(*taken);
    } catch (const data::DbError& e) {
        text = QStringLiteral("Whether an aircraft has the registration %1 could not be read: %2")
                   .arg(regNum, e.text());
    }
    screens::msgBox(this, text, MsgButtons::Ok, MsgIcon::Exclamation, kRegistrationTitle,
                    MsgAnswer::Ok);
    screens::reactivateWindow(this);
    return true;
}

void frmAircraft::abandonNewAircraft() {
    datPrimaryRS->clearChanged();
    Combo1->setVisible(true);
    Combo1->setEnabled(true);
    newAircraft_.reset();
    if (aircraftTableEmpty()) {
        cmdAdd_Click();
        return;
    }
    datPrimaryRS->moveFirst();
}

bool frmAircraft::saveNewAircraft() {
    if (!datPrimaryRS->isAddingNew())
        return true;
    // The row takes its place as the current aircraft; the focus stays where the user is.
    const QScopedValueRollback<bool> keep(entrySaving_, true);
    return datPrimaryRS->updateRecord() && !datPrimaryRS->isAddingNew();
}

bool frmAircraft::componentsMayBeWritten() {
    if (!saveNewAircraft())
        return false;
    if (screens::aircraftStillInFile(
            this, *datPrimaryRS, currentRegNum(), QStringLiteral("component"),
            QStringLiteral(
                "choose the aircraft again, or close Aircraft Set-up and open it again."),
            QStringLiteral("Aircraft Set-up")))
        return true;
    screens::reactivateWindow(this);
    return false;
}

void frmAircraft::cleanIfUnchanged() {
    if (!datPrimaryRS->isChanged() && !grdDataGrid->hasPendingRow())
        SetCleanState();
}

// --- renaming ----------------------------------------------------------------------------

void frmAircraft::cmdRename_Click() {
    auto db = datPrimaryRS->database();
    const QString from = currentRegNum();
    if (!db || from.isEmpty() || datPrimaryRS->isAddingNew())
        return;
    auto tell = [this](const QString& text) {
        screens::msgBox(this, text, MsgButtons::Ok, MsgIcon::Exclamation, kRenameTitle,
                        MsgAnswer::Ok);
        screens::reactivateWindow(this);
    };
    screens::TextRequest ask;
    ask.title = kRenameTitle;
    ask.prompt = QStringLiteral("New registration number of %1:").arg(from);
    ask.initialText = from;
    ask.maxLength = kRegistrationLength;
    const std::optional<QString> typed = screens::Dialogs::current().askText(this, ask);
    screens::reactivateWindow(this);
    if (!typed)
        return;
    const QString to = registrationText(*typed);
    try {
        if (const QString problem = renameProblem(*db, from, to); !problem.isEmpty()) {
            tell(problem);
            return;
        }
    } catch (const data::DbError& e) {
        tell(e.text());
        return;
    }
    const MsgAnswer a = screens::msgBox(
        this,
        QStringLiteral("Change the registration of %1 to %2?\n\nIts components, oil samples, "
                       "planned use and oil limits go with it. The entry journal keeps the "
                       "lines written so far under %1.")
            .arg(from, to),
        MsgButtons::YesNo, MsgIcon::Question, kRenameTitle, MsgAnswer::No);
    screens::reactivateWindow(this);
    if (a != MsgAnswer::Yes)
        return;
    try {
        renameAircraft(*db, from, to);
    } catch (const data::DbError& e) {
        tell(QStringLiteral("%1 was not renamed: %2").arg(from, e.text()));
        return;
    }
    showAircraftAgain(to);
}

// Reads the aircraft again and lists their registrations anew, then shows this one.
void frmAircraft::showAircraftAgain(const QString& regNum) {
    {
        const screens::RepositionSuppressed reading;
        datPrimaryRS->refresh();
        Combo1->clearList();
        screens::listRegistrations(*Combo1, datPrimaryRS->recordset());
    }
    const int at = Combo1->findExact(regNum);
    Combo1->setListIndex(at >= 0 ? at : 0);
}

// --- keys --------------------------------------------------------------------------------

void frmAircraft::buildKeys() {
    // The registration box stands for the chooser beside it: its keys open the list.
    for (const QKeySequence& keys :
         {QKeySequence(Qt::Key_F4), QKeySequence(Qt::AltModifier | Qt::Key_Down)}) {
        auto* open =
            new QShortcut(keys, field(Field::RegNum), nullptr, nullptr, Qt::WidgetShortcut);
        connect(open, &QShortcut::activated, this, &frmAircraft::openAircraftList);
    }
    auto* previous = new QShortcut(QKeySequence(Qt::ControlModifier | Qt::Key_PageUp), this);
    connect(previous, &QShortcut::activated, this, [this] { moveToAircraft(false); });
    auto* next = new QShortcut(QKeySequence(Qt::ControlModifier | Qt::Key_PageDown), this);
    connect(next, &QShortcut::activated, this, [this] { moveToAircraft(true); });
}

void frmAircraft::openAircraftList() {
    if (Combo1->isVisible() && Combo1->isEnabled())
        Combo1->showPopup();
}

void frmAircraft::moveToAircraft(bool next) {
    if (datPrimaryRS->isAddingNew() || !Combo1->isEnabled())
        return;  // a new aircraft is being entered
    // Leaving the field runs its rule first, as a click elsewhere does. A rule that went to
    // another aircraft, or sent the user back to the field, has the last word.
    const QPointer<QWidget> was = QApplication::focusWidget();
    setFocus(Qt::ShortcutFocusReason);
    if (QApplication::focusWidget() != this)
        return;
    const bool moved = next ? datPrimaryRS->moveNext() : datPrimaryRS->movePrevious();
    if (!moved && was)
        was->setFocus(Qt::OtherFocusReason);  // the row could not be left: back to work
}

}  // namespace velmora::aircraft
