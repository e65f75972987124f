#include "BoundScreen.h"

#include "DataChangeNotice.h"
#include "DataGrid.h"
#include "Dialogs.h"
#include "FieldEvents.h"
#include "MousePointer.h"
#include "ScreenActivation.h"
#include "ScreenConventions.h"
#include "ScreenMemory.h"
#include "WindowFit.h"

#include <QCloseEvent>
#include <QPushButton>
#include <QScopedValueRollback>

namespace velmora::screens {

BoundScreen::BoundScreen(const QString& name, const QString& title, QWidget* parent)
    : QWidget(parent) {
    setObjectName(name);
    setWindowTitle(title);
}

BoundScreen::~BoundScreen() = default;

void BoundScreen::finishControls(DataGrid* grid) {
    grid_ = grid;
    restoreScreenLayout(this, grid_);
    fitToScreenWhenShown(this);
    new ScreenActivation(this, [this] {
        if (!closing_)
            Form_Activate();
    });
}

void BoundScreen::followDataChanges(BoundRecordSource* primary) {
    connect(&DataChangeNotice::instance(), &DataChangeNotice::dataChanged, this,
            [this, source = QPointer<BoundRecordSource>(primary)](const QString& file) {
                if (!source || closing_ || isEdited() ||
                    !DataChangeNotice::sameFile(file, source->databaseName()))
                    return;
                source->rereadCurrentRow();
            });
}

// --- button states ----------------------------------------------------------------------

void BoundScreen::setStateButtons(QPushButton* save, std::vector<QWidget*> disabledWhileEdited) {
    save_ = save;
    disabledWhileEdited_.assign(disabledWhileEdited.begin(), disabledWhileEdited.end());
}

void BoundScreen::showEditedState(bool edited) {
    std::vector<QWidget*> others;
    for (const QPointer<QWidget>& w : disabledWhileEdited_)
        others.push_back(w);
    setEditedButtons(edited, {save_}, others);
}

bool BoundScreen::isEdited() const {
    return save_ && save_->isEnabled();
}

// --- entry fields -----------------------------------------------------------------------

void BoundScreen::watchField(QWidget* field, int index) {
    fields_.emplace_back(field, index);
    field->installEventFilter(this);
}

void BoundScreen::fieldGotFocus(int) {}

void BoundScreen::fieldLeft(int) {}

bool BoundScreen::fieldEnter(int) {
    return false;
}

bool BoundScreen::eventFilter(QObject* watched, QEvent* event) {
    for (const auto& [field, index] : fields_) {
        if (field != watched)
            continue;
        switch (fieldEventOf(event)) {
            case FieldEvent::GotFocus:
                fieldGotFocus(index);
                break;
            case FieldEvent::LeftByUser:
                fieldLeft(index);
                break;
            case FieldEvent::Enter:
                if (fieldEnter(index))
                    return true;
                break;
            case FieldEvent::None:
                break;
        }
        break;
    }
    return QWidget::eventFilter(watched, event);
}

// --- saving and errors ------------------------------------------------------------------

bool BoundScreen::saveRow(BoundRecordSource& source) {
    bool written = false;
    {
        const QScopedValueRollback<bool> saving(saving_, true);
        saveError_.clear();
        written = source.updateRecord();
    }
    if (!written && !saveError_.isEmpty()) {
        // A row refused before it was written has been reported by the refusal itself.
        msgBox(this, saveError_, MsgButtons::Ok, MsgIcon::Information, QStringLiteral("Error"));
        reactivateWindow(this);
    }
    return written;
}

BoundRecordSource::ErrorResponse BoundScreen::reportError(const BoundRecordSource& source) {
    if (saving_)
        saveError_ = source.lastErrorText();
    else
        showDataError(this, source.lastErrorText());
    return BoundRecordSource::ErrorResponse::Handled;
}

BoundRecordSource::ErrorResponse BoundScreen::showError(const BoundRecordSource& source) {
    showDataError(this, source.lastErrorText());
    return BoundRecordSource::ErrorResponse::Handled;
}

// --- closing ----------------------------------------------------------------------------

void BoundScreen::cmdClose_Click() {
    MousePointer::setDefault();
    close();
}

bool BoundScreen::Form_QueryUnload() {
    switch (askToSaveOnClose(this, isEdited())) {
        case CloseDecision::Stay:
            return false;
        case CloseDecision::SaveThenClose:
            leaveFieldBeforeSaving();
            cmdSave_Click();
            return true;
        case CloseDecision::Close:
            if (isEdited())
                discardChanges();  // "No": the changes go unsaved
            break;
    }
    return true;
}

void BoundScreen::leaveFieldBeforeSaving() {
    if (save_ && save_->isEnabled() && save_->isVisible())
        save_->setFocus(Qt::ShortcutFocusReason);
}

void BoundScreen::discardChanges() {
    for (DataGrid* grid : findChildren<DataGrid*>())
        grid->cancelPendingRow();
    for (BoundRecordSource* source : findChildren<BoundRecordSource*>())
        source->clearChanged();
}

void BoundScreen::Form_Unload() {
    MousePointer::setDefault();
}

bool BoundScreen::closeOrAsk(BoundRecordSource& source, const QString& question,
                             const QString& title) {
    if (source.closeSource())
        return true;
    const MsgAnswer answer =
        msgBox(this, question, MsgButtons::YesNo, MsgIcon::Question, title, MsgAnswer::No);
    if (answer != MsgAnswer::Yes)
        return false;
    source.clearChanged();
    source.closeSource();
    return true;
}

void BoundScreen::closeEvent(QCloseEvent* event) {
    if (closing_) {
        event->accept();
        return;
    }
    if (!Form_QueryUnload()) {
        event->ignore();
        return;
    }
    closing_ = true;
    if (!releaseRows()) {
        closing_ = false;
        reactivateWindow(this);
        event->ignore();
        return;
    }
    saveScreenLayout(this, grid_);
    Form_Unload();
    closing_ = false;
    event->accept();
}

}  // namespace velmora::screens
