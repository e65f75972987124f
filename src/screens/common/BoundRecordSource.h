#pragma once

#include "data/Database.h"
#include "data/Recordset.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QToolButton;

namespace velmora::screens {

// The data control of a screen: a navigation bar (first, previous, next, last and a
// caption) that owns a record set on one source of one database file and shows its
// current row in the fields bound to it.
//
// A row whose fields were changed (by typing, or by code other than this control's own
// showing of a row) is written back before another row becomes current, before a new row
// begins and when the source closes. The screen's Validate handler comes first: given the
// action and whether the changes will be written, it answers with the action to take
// (ActionCancel keeps the row current with its values on screen) and whether to write (no:
// the changes go). A write that fails is reported to the Error handler and cancels what was
// asked, so nothing typed is lost.
//
// The Error handler answers whether the control shows its standard message through the
// dialogs service, or the screen has reported the error itself.
class BoundRecordSource : public QWidget {
    Q_OBJECT

  public:
    // The action codes validate() is given.
    enum Action {
        ActionCancel = 0,
        ActionMoveFirst = 1,
        ActionMovePrevious = 2,
        ActionMoveNext = 3,
        ActionMoveLast = 4,
        ActionAddNew = 5,
        ActionUpdate = 6,
        ActionDelete = 7,
        ActionFind = 8,
        ActionBookmark = 9,
        ActionClose = 10,
    };

    // What a Validate handler answers: the action to take and whether to write the changes.
    struct Validation {
        Action action;
        bool save;
    };
    using ValidateHandler = std::function<Validation(Action action, bool save)>;

    enum class ErrorResponse {
        ShowMessage,  // the control shows its standard data-error message
        Handled,      // the screen reported the error itself
    };
    using ErrorHandler = std::function<ErrorResponse(data::ErrorNumber number)>;

    explicit BoundRecordSource(QWidget* parent = nullptr);
    ~BoundRecordSource() override;

    // The screen's handlers; without one, every action goes ahead with its changes written,
    // and every error shows the standard message.
    void setValidateHandler(ValidateHandler handler) { validate_ = std::move(handler); }
    void setErrorHandler(ErrorHandler handler) { error_ = std::move(handler); }

    void setCaption(const QString& caption);
    QString caption() const;

    // Take effect at the next refresh().
    void setDatabaseName(const QString& path) { databaseName_ = path; }
    const QString& databaseName() const { return databaseName_; }
    // A table name, a stored query's name or SQL text; values are bound to the text's
    // markers ?1, ?2, ... (a value never becomes part of the text).
    void setRecordSource(const QString& source, std::vector<data::Value> values = {}) {
        recordSource_ = source;
        sourceValues_ = std::move(values);
    }
    const QString& recordSource() const { return recordSource_; }
    const std::vector<data::Value>& recordSourceValues() const { return sourceValues_; }

    // (Re)opens the database and the record set: the changes of the row shown are written
    // first (validate with ActionClose). On success the first row is current; then
    // refreshed() and reposition(). On failure the control has no rows and error() tells
    // why. Returns whether the source is open.
    bool refresh();
    bool isOpen() const { return rs_ != nullptr; }
    // Null while no source is open. Code that moves the record set itself calls
    // showCurrentRow() afterwards.
    data::Recordset* recordset() const { return rs_.get(); }
    std::shared_ptr<data::Database> database() const { return db_; }

    // Binds a field to a column of the source, by name (letter case ignored). A check box
    // is checked for Yes and stores -1/0. Fields show Null as empty and numbers as plain
    // text; an emptied field is written as Null.
    void bind(QLineEdit* field, const QString& column);
    void bind(QCheckBox* field, const QString& column);
    void bind(QPlainTextEdit* field, const QString& column);
    void unbind(QWidget* field);
    // A bound field that names its row, as a key does: its text is written into a new row
    // and never into a row that exists. Typed over on an existing row, it counts as no
    // change of the row; the screen acts on what was typed (showRow() puts the row's own
    // value back).
    void setWrittenOnNewRowOnly(QWidget* field);

    // Moves with validate and write-back as described above; moving past either end
    // stays on the first or last row. False when the move was cancelled or failed.
    bool moveFirst();
    bool movePrevious();
    bool moveNext();
    bool moveLast();
    bool moveTo(int position);  // 0-based; ActionBookmark
    bool moveToBookmark(std::int64_t bookmark);
    // Moves to the first row matching a criterion (ActionFind); false when none does (the
    // row shown stays current) or the move was cancelled.
    bool findFirst(const QString& criterion);
    // Writes the current row's changes now (ActionUpdate); true when nothing is left
    // unwritten.
    bool updateRecord();
    // Begins a new, blank row after writing the current one (ActionAddNew). The new row
    // is written when it is left, updated or closed with changes; left unchanged, it is
    // dropped.
    bool addNew();
    // Deletes the current row (ActionDelete; its unwritten changes go with it); the row
    // after it, or the last, becomes current.
    bool deleteCurrent();
    // Writes the changes back (ActionClose) and closes the source. False, with the source
    // still open, when the changes could not be written or a handler cancelled: the owner
    // then keeps its window open.
    bool closeSource();

    // Shows the record set's current row again and emits reposition(); for code that
    // moved or changed the record set itself.
    void showCurrentRow();
    // Reads the rows again from the file, the same row current (the first when it is gone),
    // and shows it with reposition(): for a row that was changed elsewhere. Nothing is read
    // while a new row is begun or the row shown has changes of its own (false).
    bool rereadCurrentRow();

    // Stages a value for a column of the current row (one without a field, or one whose
    // field shows something else): it is written with the row's next write, like a
    // changed field, and counts as a change until then.
    void stageValue(const QString& column, const data::Value& value);
    // Stages a change for a column of the current row: its value is worked out from the row
    // as stored when the row is written (data::Recordset::applyChange), so that it holds
    // whatever another user saved meanwhile. A write refused because another user changed
    // one of the other columns still writes the staged changes, alone, before it asks
    // whether to reload: what was staged so is never lost.
    // Changes from several sources (entry fields) for one column are worked out one on top of
    // the other, in the order staged; a source's new change for a column replaces its own
    // earlier one.
    void stageChange(const QString& column, data::Recordset::Change change,
                     const QObject* source = nullptr);
    // Whether a bound field's text differs from what the field showed for the row.
    bool isFieldChanged(const QWidget* field) const;
    // A column of the current row: the staged value if there is one, else the stored one;
    // Null without a current row.
    data::Value currentValue(const QString& column) const;
    // A column of the current row as the file or server holds it now, which may be newer than
    // the row shown; Null without a current row (or a new one).
    data::Value storedNow(const QString& column) const;

    // True when a bound field differs from what was shown for the row.
    bool isChanged() const;
    // Takes the fields' present contents as the row's own: nothing to write.
    void clearChanged();
    bool isAddingNew() const { return adding_; }
    int absolutePosition() const;  // -1 without a current row
    int recordCount() const { return rs_ ? rs_->recordCount() : 0; }

    // The number and the engine's text of the error last reported to the Error handler: a
    // screen that shows the message itself reads the text here.
    int lastErrorNumber() const { return lastErrorNumber_; }
    const QString& lastErrorText() const { return lastErrorText_; }

    QToolButton* firstButton() const { return first_; }
    QToolButton* previousButton() const { return previous_; }
    QToolButton* nextButton() const { return next_; }
    QToolButton* lastButton() const { return last_; }

  signals:
    void reposition();
    // After every refresh, successful or not: a grid reads the record set again.
    void refreshed();
    // After a row was written, added or deleted.
    void rowsChanged();

  private:
    enum class Kind { LineEdit, CheckBox, PlainText };
    struct Binding {
        QPointer<QWidget> widget;
        Kind kind;
        QString column;
        int index = -1;  // in the record set; -1 when it has no such column
        bool newRowOnly = false;
        QString shownText;
        bool shownChecked = false;
    };

    void addBinding(QWidget* widget, Kind kind, const QString& column);
    void resolveBindings();
    bool bindingChanged(const Binding& b) const;
    void showRow();  // fills the fields from the current row (or empties them)
    void showBlank();
    void takeShown();
    // Validate, then write the changes; false when the caller must not go on.
    bool leaveRow(Action action);
    Validation validateAction(Action action);
    bool writeRow();
    // After a write refused by another user's change: the staged changes written alone.
    // False, with the failure reported, when they could not be.
    bool writeStagedChangesAlone();
    // The fields of these columns show the current row's values again.
    void showColumns(const QStringList& columns);
    // Asks whether to reload a row another user changed; Yes shows it as stored now.
    void askToReload();
    // Validates and writes, then moves; move() tells whether another row was sought (not
    // "no match"), which earns a reposition().
    bool navigate(Action action, const std::function<bool(data::Recordset&)>& move);
    void closeNow();
    void reportError(data::ErrorNumber number, const QString& text);

    ValidateHandler validate_;
    ErrorHandler error_;
    QString databaseName_;
    QString recordSource_;
    std::vector<data::Value> sourceValues_;
    std::shared_ptr<data::Database> db_;
    std::unique_ptr<data::Recordset> rs_;
    std::vector<Binding> bindings_;
    bool adding_ = false;
    struct Staged {
        QString column;
        data::Value value;               // a value to write (when there is no change)
        data::Recordset::Change change;  // empty for a value
        const QObject* source;           // who staged a change
    };
    // What is staged for a column, as one change; empty when nothing is.
    data::Recordset::Change stagedChangeOf(const QString& column) const;
    // The columns something is staged for (only changes: those given a change).
    QStringList stagedColumns(bool changesOnly) const;
    std::vector<Staged> staged_;
    int lastErrorNumber_ = 0;
    QString lastErrorText_;
    QToolButton* first_;
    QToolButton* previous_;
    QToolButton* next_;
    QToolButton* last_;
    QLabel* caption_;
};

}  // namespace velmora::screens
