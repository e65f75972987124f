#pragma once

#include "BoundRecordSource.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <utility>
#include <vector>

class QPushButton;

namespace velmora::screens {

class DataGrid;

// What the editing screens (aircraft set-up, time remaining, oil analysis) have in common:
// a save button that is the screen's only record of unsaved changes (the edited state, with
// the buttons that must wait for a save disabled, and the clean state), the closing question,
// the events of their entry fields, and activation by the program.
//
// A screen calls finishControls() at the end of its constructor, before its Form_Load.
class BoundScreen : public QWidget {
    Q_OBJECT

  public:
    // The answers a screen's record source handlers give.
    using Action = BoundRecordSource::Action;
    using Validation = BoundRecordSource::Validation;
    using ErrorResponse = BoundRecordSource::ErrorResponse;

    ~BoundScreen() override;

    // Runs each time the screen becomes the program's active screen, except while it closes.
    virtual void Form_Activate() = 0;
    virtual void cmdSave_Click() = 0;
    // Sets the default pointer and closes the screen (closing question first).
    void cmdClose_Click();
    // The closing question: nothing is asked in the clean state; otherwise "Data has
    // changed. Save data?": Yes runs the rule of the field being edited and cmdSave_Click,
    // then closes; No lets the screen's
    // unsaved changes go (changed fields, a grid row not yet written), then closes; Cancel
    // keeps the screen open (false).
    bool Form_QueryUnload();
    void Form_Unload();

  protected:
    BoundScreen(const QString& name, const QString& title, QWidget* parent);

    // Once the controls exist: the window and the grid take their remembered sizes, the
    // window is fitted to the screen as it is shown, and the screen's activation is watched.
    void finishControls(DataGrid* grid);

    // Rows of the primary source's file changed elsewhere in the program (an entry undone
    // on the Journal screen): in the clean state the source reads its row again, which
    // runs the screen's reposition handler; in the edited state the screen keeps what the
    // user typed.
    void followDataChanges(BoundRecordSource* primary);

    // The button bar: save is enabled in the edited state, the others in the clean state.
    void setStateButtons(QPushButton* save, std::vector<QWidget*> disabledWhileEdited);
    void showEditedState(bool edited);
    bool isEdited() const;

    // An entry field whose focus and Enter key reach the handlers below with its index.
    void watchField(QWidget* field, int index);
    virtual void fieldGotFocus(int index);
    // Focus went elsewhere because the user moved it (not to a message box or a popup).
    virtual void fieldLeft(int index);
    // Return or keypad Enter without modifiers; true when the key is taken.
    virtual bool fieldEnter(int index);
    bool eventFilter(QObject* watched, QEvent* event) override;

    // While the screen closes, after the closing question: the screen writes its rows back
    // and lets go of them. False keeps the screen open (the user chose not to lose a row
    // that could not be written).
    virtual bool releaseRows() = 0;
    bool isClosing() const { return closing_; }
    void closeEvent(QCloseEvent* event) override;

    // The save step of a save button: the source writes its row, and an error it meets
    // is shown in a box captioned "Error" (not as a data error). False when not written.
    bool saveRow(BoundRecordSource& source);
    // The Error handler of the record source a save button writes: the data-error message
    // with the engine's text; while saveRow() writes, the text is kept for its box instead.
    BoundRecordSource::ErrorResponse reportError(const BoundRecordSource& source);
    // The Error handler of any other record source: the data-error message.
    BoundRecordSource::ErrorResponse showError(const BoundRecordSource& source);
    // Closes a record source, writing its changes. When they cannot be written the user is
    // asked whether to close without them: Yes lets them go (true), No keeps the source
    // open (false).
    bool closeOrAsk(BoundRecordSource& source, const QString& question, const QString& title);

  private:
    // The field being edited is left for the save button, as Alt+S leaves it: its rule (a
    // meter entry's question) runs before the screen saves, so that nothing half entered is
    // written as it was typed.
    void leaveFieldBeforeSaving();
    // Every record source and grid of the screen forgets its unsaved changes: closing then
    // writes none of them.
    void discardChanges();

    DataGrid* grid_ = nullptr;
    QPointer<QPushButton> save_;
    std::vector<QPointer<QWidget>> disabledWhileEdited_;
    std::vector<std::pair<QObject*, int>> fields_;
    bool closing_ = false;
    bool saving_ = false;
    QString saveError_;
};

}  // namespace velmora::screens
