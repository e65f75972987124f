#include "BoundRecordSource.h"

#include "Dialogs.h"
#include "MousePointer.h"

#include "data/DbError.h"
#include "data/SharedUse.h"

#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStringList>
#include <QToolButton>

#include <algorithm>
#include <exception>

namespace velmora::screens {

namespace {

// An engine error's number as the error events hand it on (3021).
int jetCode(data::ErrorNumber number) {
    return static_cast<int>(number);
}

using data::DbError;
namespace err = data::err;

QToolButton* navButton(QWidget* parent, const QString& text, const QString& name,
                       const QString& tip) {
    auto* b = new QToolButton(parent);
    b->setText(text);
    b->setObjectName(name);
    b->setToolTip(tip);
    b->setAccessibleName(tip);
    // Like the fields' own data control, the bar takes no focus: pressing a button leaves
    // the caret in the field being edited.
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

// Makes the row at the position (brought within the set) current. An empty set has no
// row to go to; the fields then show empty all the same.
bool moveWithin(data::Recordset& rs, int position) {
    if (rs.recordCount() > 0)
        rs.setAbsolutePosition(std::clamp(position, 0, rs.recordCount() - 1));
    return true;
}

}  // namespace

BoundRecordSource::BoundRecordSource(QWidget* parent) : QWidget(parent) {
    first_ = navButton(this, QStringLiteral("|<"), QStringLiteral("first"), tr("First record"));
    previous_ =
        navButton(this, QStringLiteral("<"), QStringLiteral("previous"), tr("Previous record"));
    next_ = navButton(this, QStringLiteral(">"), QStringLiteral("next"), tr("Next record"));
    last_ = navButton(this, QStringLiteral(">|"), QStringLiteral("last"), tr("Last record"));
    caption_ = new QLabel(this);
    caption_->setObjectName(QStringLiteral("caption"));
    caption_->setFrameShape(QFrame::Panel);
    caption_->setFrameShadow(QFrame::Sunken);
    caption_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    caption_->setTextFormat(Qt::PlainText);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(first_);
    layout->addWidget(previous_);
    layout->addWidget(caption_, 1);
    layout->addWidget(next_);
    layout->addWidget(last_);

    connect(first_, &QToolButton::clicked, this, [this] { moveFirst(); });
    connect(previous_, &QToolButton::clicked, this, [this] { movePrevious(); });
    connect(next_, &QToolButton::clicked, this, [this] { moveNext(); });
    connect(last_, &QToolButton::clicked, this, [this] { moveLast(); });
}

BoundRecordSource::~BoundRecordSource() = default;

void BoundRecordSource::setCaption(const QString& caption) {
    caption_->setText(caption);
}

QString BoundRecordSource::caption() const {
    return caption_->text();
}

// --- bound fields ------------------------------------------------------------------------

void BoundRecordSource::bind(QLineEdit* field, const QString& column) {
    addBinding(field, Kind::LineEdit, column);
}

void BoundRecordSource::bind(QCheckBox* field, const QString& column) {
    addBinding(field, Kind::CheckBox, column);
}

void BoundRecordSource::bind(QPlainTextEdit* field, const QString& column) {
    addBinding(field, Kind::PlainText, column);
}

void BoundRecordSource::addBinding(QWidget* widget, Kind kind, const QString& column) {
    if (!widget)
        return;
    unbind(widget);
    Binding b;
    b.widget = widget;
    b.kind = kind;
    b.column = column;
    bindings_.push_back(b);
    if (rs_) {
        resolveBindings();
        showRow();
    }
}

void BoundRecordSource::unbind(QWidget* field) {
    std::erase_if(bindings_, [&](const Binding& b) { return b.widget == field || !b.widget; });
}

void BoundRecordSource::setWrittenOnNewRowOnly(QWidget* field) {
    for (Binding& b : bindings_) {
        if (b.widget == field)
            b.newRowOnly = true;
    }
}

void BoundRecordSource::resolveBindings() {
    for (Binding& b : bindings_)
        b.index = rs_ ? rs_->fieldIndex(b.column) : -1;
}

bool BoundRecordSource::bindingChanged(const Binding& b) const {
    if (!b.widget || (b.newRowOnly && !adding_))
        return false;
    switch (b.kind) {
        case Kind::LineEdit:
            return static_cast<QLineEdit*>(b.widget.data())->text() != b.shownText;
        case Kind::PlainText:
            return static_cast<QPlainTextEdit*>(b.widget.data())->toPlainText() != b.shownText;
        case Kind::CheckBox:
            return static_cast<QCheckBox*>(b.widget.data())->isChecked() != b.shownChecked;
    }
    return false;
}

bool BoundRecordSource::isChanged() const {
    if (!staged_.empty())
        return true;
    return std::any_of(bindings_.begin(), bindings_.end(),
                       [this](const Binding& b) { return bindingChanged(b); });
}

void BoundRecordSource::clearChanged() {
    staged_.clear();
    takeShown();
}

void BoundRecordSource::stageValue(const QString& column, const data::Value& value) {
    std::erase_if(staged_, [&](const Staged& s) {
        return s.column.compare(column, Qt::CaseInsensitive) == 0;
    });
    staged_.push_back(Staged{column, value, nullptr, nullptr});
}

void BoundRecordSource::stageChange(const QString& column, data::Recordset::Change change,
                                    const QObject* source) {
    // What the same source staged for the column before gives way; what others staged stays,
    // and this change goes on top of it.
    std::erase_if(staged_, [&](const Staged& s) {
        return s.source == source && s.column.compare(column, Qt::CaseInsensitive) == 0;
    });
    staged_.push_back(Staged{column, data::Value(), std::move(change), source});
}

bool BoundRecordSource::isFieldChanged(const QWidget* field) const {
    for (const Binding& b : bindings_) {
        if (b.widget == field)
            return bindingChanged(b);
    }
    return false;
}

data::Recordset::Change BoundRecordSource::stagedChangeOf(const QString& column) const {
    std::vector<const Staged*> steps;
    for (const Staged& s : staged_) {
        if (s.column.compare(column, Qt::CaseInsensitive) == 0)
            steps.push_back(&s);
    }
    if (steps.empty())
        return nullptr;
    std::vector<Staged> chain;
    for (const Staged* s : steps)
        chain.push_back(*s);
    // Each step is worked out from the row as stored, its own column holding what the steps
    // before it made of it.
    return [chain = std::move(chain), column](const data::Recordset::StoredColumns& stored) {
        data::Value v = stored(column);
        for (const Staged& step : chain) {
            if (!step.change) {
                v = step.value;
                continue;
            }
            v = step.change([&](const QString& c) {
                return c.compare(column, Qt::CaseInsensitive) == 0 ? v : stored(c);
            });
        }
        return v;
    };
}

QStringList BoundRecordSource::stagedColumns(bool changesOnly) const {
    QStringList columns;
    for (const Staged& s : staged_) {
        if ((!changesOnly || s.change) && !columns.contains(s.column, Qt::CaseInsensitive))
            columns << s.column;
    }
    return columns;
}

data::Value BoundRecordSource::currentValue(const QString& column) const {
    const bool hasRow = rs_ && !adding_ && rs_->hasCurrent();
    const auto read = [&](const QString& c) {
        if (!hasRow)
            return data::Value();
        const int i = rs_->fieldIndex(c);
        return i < 0 ? data::Value() : rs_->value(i);
    };
    // Until the row is written, what is staged is shown worked out from the row as read.
    if (const data::Recordset::Change staged = stagedChangeOf(column))
        return staged(read);
    return read(column);
}

data::Value BoundRecordSource::storedNow(const QString& column) const {
    if (!rs_ || adding_ || !rs_->hasCurrent() || rs_->fieldIndex(column) < 0)
        return {};
    return rs_->storedNow(column);
}

void BoundRecordSource::takeShown() {
    for (Binding& b : bindings_) {
        if (!b.widget)
            continue;
        switch (b.kind) {
            case Kind::LineEdit:
                b.shownText = static_cast<QLineEdit*>(b.widget.data())->text();
                break;
            case Kind::PlainText:
                b.shownText = static_cast<QPlainTextEdit*>(b.widget.data())->toPlainText();
                break;
            case Kind::CheckBox:
                b.shownChecked = static_cast<QCheckBox*>(b.widget.data())->isChecked();
                break;
        }
    }
}

void BoundRecordSource::showRow() {
    staged_.clear();
    const bool hasRow = rs_ && !adding_ && rs_->hasCurrent();
    for (Binding& b : bindings_) {
        if (!b.widget)
            continue;
        data::Value v;
        if (hasRow && b.index >= 0) {
            try {
                v = rs_->value(b.index);
            } catch (const DbError&) {
                // Cannot happen for a resolved column of a current row; shows empty.
            }
        }
        switch (b.kind) {
            case Kind::LineEdit: {
                auto* e = static_cast<QLineEdit*>(b.widget.data());
                e->setText(v.toString());
                e->setCursorPosition(0);
                break;
            }
            case Kind::PlainText:
                static_cast<QPlainTextEdit*>(b.widget.data())->setPlainText(v.toString());
                break;
            case Kind::CheckBox:
                static_cast<QCheckBox*>(b.widget.data())->setChecked(v.toBool());
                break;
        }
    }
    takeShown();
}

void BoundRecordSource::showCurrentRow() {
    if (rs_ && rs_->hasCurrent())
        adding_ = false;
    showRow();
    emit reposition();
}

int BoundRecordSource::absolutePosition() const {
    return rs_ && !adding_ ? rs_->absolutePosition() : -1;
}

// --- opening and closing -----------------------------------------------------------------

bool BoundRecordSource::refresh() {
    if (rs_ && !leaveRow(ActionClose))
        return false;
    closeNow();
    int number = 0;
    QString text;
    try {
        BusyPointer busy;
        if (recordSource_.trimmed().isEmpty())
            throw DbError(err::ObjectNotFound,
                          tr("No table or query is set as the source of the records."));
        auto db = data::Database::open(databaseName_);
        rs_ = db->openRecordset(recordSource_);
        db_ = std::move(db);
    } catch (const DbError& e) {
        number = e.code();
        text = e.text();
    } catch (const std::exception& e) {
        number = jetCode(err::Internal);
        text = QString::fromLocal8Bit(e.what());
    }
    if (number != 0)
        closeNow();
    resolveBindings();
    showRow();
    emit refreshed();
    if (number != 0) {
        reportError(number, text);
        return false;
    }
    QStringList missing;  // collected first: an error handler may change the bindings
    for (const Binding& b : bindings_) {
        if (b.widget && b.index < 0)
            missing << b.column;
    }
    for (const QString& column : missing)
        reportError(jetCode(err::ItemNotFound),
                    tr("There is no column named '%1' in \"%2\"; the field bound to it "
                       "stays empty.")
                        .arg(column, recordSource_));
    emit reposition();
    return true;
}

bool BoundRecordSource::closeSource() {
    if (!rs_) {
        adding_ = false;
        return true;
    }
    if (!leaveRow(ActionClose))
        return false;
    closeNow();
    return true;
}

void BoundRecordSource::closeNow() {
    rs_.reset();
    db_.reset();
    adding_ = false;
}

// --- writing ----------------------------------------------------------------------------

BoundRecordSource::Validation BoundRecordSource::validateAction(Action action) {
    const bool save = isChanged();
    return validate_ ? validate_(action, save) : Validation{action, save};
}

bool BoundRecordSource::leaveRow(Action action) {
    const Validation answer = validateAction(action);
    if (answer.action == ActionCancel)
        return false;
    if (!answer.save || !isChanged())
        return true;
    return writeRow();
}

namespace {

// Reads the set's rows again and makes the row with this row id current (the first row when
// it is gone). The set then holds what the file or server holds now.
void rereadKeepingRow(data::Recordset& rs, std::int64_t rowid) {
    rs.requery();
    const auto& rows = rs.rows();
    for (size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].rowid == rowid) {
            rs.setAbsolutePosition(static_cast<int>(i));
            return;
        }
    }
}

}  // namespace

bool BoundRecordSource::writeRow() {
    if (!rs_) {
        reportError(jetCode(err::NoCurrentRecord),
                    tr("No current record: no table or query is open."));
        return false;
    }
    int number = 0;
    QString text;
    try {
        if (adding_)
            rs_->addNew();
        else
            rs_->edit();
        for (const Binding& b : bindings_) {
            if (!bindingChanged(b))
                continue;
            if (b.index < 0)
                throw DbError(err::ItemNotFound,
                              tr("There is no column named '%1' in \"%2\" to store the "
                                 "field's value in.")
                                  .arg(b.column, recordSource_));
            data::Value v;
            switch (b.kind) {
                case Kind::LineEdit: {
                    const QString t = static_cast<QLineEdit*>(b.widget.data())->text();
                    if (!t.isEmpty())
                        v = data::Value(t);
                    break;
                }
                case Kind::PlainText: {
                    const QString t = static_cast<QPlainTextEdit*>(b.widget.data())->toPlainText();
                    if (!t.isEmpty())
                        v = data::Value(t);
                    break;
                }
                case Kind::CheckBox:
                    v = data::Value(static_cast<QCheckBox*>(b.widget.data())->isChecked());
                    break;
            }
            rs_->setValue(b.index, v);
        }
        for (const QString& column : stagedColumns(false)) {
            const bool plainValue =
                std::none_of(staged_.begin(), staged_.end(), [&](const Staged& s) {
                    return s.change && s.column.compare(column, Qt::CaseInsensitive) == 0;
                });
            if (plainValue)
                rs_->setValue(column, currentValue(column));  // written like a changed field
            else
                rs_->applyChange(column, stagedChangeOf(column));
        }
        rs_->update();
    } catch (const DbError& e) {
        number = e.code();
        text = e.text();
    } catch (const std::exception& e) {
        number = jetCode(err::Internal);
        text = QString::fromLocal8Bit(e.what());
    }
    if (number == jetCode(err::DataChanged)) {
        rs_->cancelUpdate();
        // Another user saved the row since it was read. What was staged as a change to the
        // row as stored (an entry) is written first, on its own; then the user chooses
        // for the rest.
        if (!writeStagedChangesAlone())
            return false;
        askToReload();
        return false;
    }
    if (number != 0) {
        rs_->cancelUpdate();
        reportError(number, text);
        return false;
    }
    staged_.clear();
    if (adding_) {
        adding_ = false;
        try {
            rs_->setBookmark(rs_->lastModified());  // the new row becomes current
        } catch (const DbError&) {
        }
    }
    showRow();  // as the file stores it
    emit rowsChanged();
    return true;
}

bool BoundRecordSource::writeStagedChangesAlone() {
    const QStringList columns = stagedColumns(true);
    if (columns.isEmpty())
        return true;
    try {
        rs_->edit();
        for (const QString& column : columns)
            rs_->applyChange(column, stagedChangeOf(column));
        rs_->update();
    } catch (const DbError& e) {
        rs_->cancelUpdate();
        reportError(e.code(), e.text());
        return false;
    }
    std::erase_if(staged_,
                  [&](const Staged& s) { return columns.contains(s.column, Qt::CaseInsensitive); });
    showColumns(columns);
    emit rowsChanged();
    return true;
}

void BoundRecordSource::showColumns(const QStringList& columns) {
    if (!rs_ || !rs_->hasCurrent())
        return;
    for (Binding& b : bindings_) {
        if (!b.widget || b.index < 0 || !columns.contains(b.column, Qt::CaseInsensitive))
            continue;
        const data::Value v = rs_->value(b.index);
        switch (b.kind) {
            case Kind::LineEdit:
                b.shownText = v.toString();
                static_cast<QLineEdit*>(b.widget.data())->setText(b.shownText);
                break;
            case Kind::PlainText:
                b.shownText = v.toString();
                static_cast<QPlainTextEdit*>(b.widget.data())->setPlainText(b.shownText);
                break;
            case Kind::CheckBox:
                b.shownChecked = v.toBool();
                static_cast<QCheckBox*>(b.widget.data())->setChecked(b.shownChecked);
                break;
        }
    }
}

void BoundRecordSource::askToReload() {
    // Yes shows the row as saved now (the screen's changes are dropped); No keeps the
    // screen's values, to be saved again over the row as it is now.
    MessageRequest request;
    request.text = QLatin1String(data::kDataChangedText);
    request.title = QApplication::applicationDisplayName();
    request.buttons = MsgButtons::YesNo;
    request.icon = MsgIcon::Question;
    request.defaultButton = MsgAnswer::Yes;
    const MsgAnswer answer = Dialogs::current().message(this, request);
    try {
        rereadKeepingRow(*rs_, rs_->rows().at(static_cast<size_t>(rs_->absolutePosition())).rowid);
    } catch (const std::exception&) {
    }
    if (answer != MsgAnswer::Yes)
        return;
    staged_.clear();
    showRow();
    emit rowsChanged();
    // The row is shown anew, as after a move: the screen takes it as it does another row.
    emit reposition();
}

void BoundRecordSource::reportError(int number, const QString& text) {
    lastErrorNumber_ = number;
    lastErrorText_ = text;
    if (error_ && error_(number) == ErrorResponse::Handled)
        return;
    MessageRequest request;
    request.text = QStringLiteral("Data error event hit err:") + text;
    request.title = QApplication::applicationDisplayName();
    request.buttons = MsgButtons::Ok;
    request.icon = MsgIcon::None;
    request.defaultButton = MsgAnswer::Ok;
    Dialogs::current().message(this, request);
}

// --- moving -----------------------------------------------------------------------------

bool BoundRecordSource::navigate(Action action, const std::function<bool(data::Recordset&)>& move) {
    if (!rs_)
        return false;
    if (!leaveRow(action) || !rs_)  // a handler may have closed the source meanwhile
        return false;
    adding_ = false;
    bool moved = false;
    try {
        moved = move(*rs_);
    } catch (const DbError& e) {
        showRow();
        reportError(e.code(), e.text());
        return false;
    }
    showRow();
    if (moved)
        emit reposition();
    return moved;
}

bool BoundRecordSource::moveFirst() {
    return navigate(ActionMoveFirst, [](data::Recordset& rs) { return moveWithin(rs, 0); });
}

bool BoundRecordSource::movePrevious() {
    return navigate(ActionMovePrevious, [](data::Recordset& rs) {
        return moveWithin(rs, std::max(rs.absolutePosition(), 0) - 1);
    });
}

bool BoundRecordSource::moveNext() {
    return navigate(ActionMoveNext,
                    [](data::Recordset& rs) { return moveWithin(rs, rs.absolutePosition() + 1); });
}

bool BoundRecordSource::moveLast() {
    return navigate(ActionMoveLast,
                    [](data::Recordset& rs) { return moveWithin(rs, rs.recordCount() - 1); });
}

bool BoundRecordSource::moveTo(int position) {
    return navigate(ActionBookmark,
                    [position](data::Recordset& rs) { return moveWithin(rs, position); });
}

bool BoundRecordSource::moveToBookmark(std::int64_t bookmark) {
    return navigate(ActionBookmark, [bookmark](data::Recordset& rs) {
        rs.setBookmark(bookmark);
        return true;
    });
}

bool BoundRecordSource::findFirst(const QString& criterion) {
    // No match leaves the row where it was: shown again, but no reposition.
    return navigate(ActionFind, [&](data::Recordset& rs) {
        rs.findFirst(criterion);
        return !rs.noMatch();
    });
}

bool BoundRecordSource::updateRecord() {
    if (!rs_) {
        if (!isChanged())
            return true;
        reportError(jetCode(err::NoCurrentRecord),
                    tr("No current record: no table or query is open."));
        return false;
    }
    const bool wasNew = adding_;
    if (!leaveRow(ActionUpdate))
        return false;
    if (wasNew && !adding_)
        emit reposition();  // the saved new row is the current row now
    return true;
}

bool BoundRecordSource::addNew() {
    if (!rs_)
        return false;
    if (!leaveRow(ActionAddNew) || !rs_)
        return false;
    try {
        // Finds a set that cannot take rows now, not after the user has typed one.
        rs_->addNew();
        rs_->cancelUpdate();
    } catch (const DbError& e) {
        reportError(e.code(), e.text());
        return false;
    }
    adding_ = true;
    showRow();
    emit reposition();
    return true;
}

bool BoundRecordSource::deleteCurrent() {
    if (!rs_)
        return false;
    if (validateAction(ActionDelete).action == ActionCancel || !rs_)
        return false;
    if (adding_) {
        // The new row was never written: dropping it deletes it.
        adding_ = false;
        showRow();
        emit reposition();
        return true;
    }
    const int position = rs_->absolutePosition();
    try {
        rs_->deleteCurrent();
        moveWithin(*rs_, position);  // the row after it, or the last
    } catch (const DbError& e) {
        reportError(e.code(), e.text());
        return false;
    }
    showRow();
    emit rowsChanged();
    emit reposition();
    return true;
}

bool BoundRecordSource::rereadCurrentRow() {
    if (!rs_ || adding_ || !rs_->hasCurrent() || isChanged() || !staged_.empty())
        return false;
    try {
        rereadKeepingRow(*rs_, rs_->rows().at(static_cast<size_t>(rs_->absolutePosition())).rowid);
    } catch (const DbError& e) {
        reportError(e.code(), e.text());
        return false;
    }
    showCurrentRow();
    return true;
}

}  // namespace velmora::screens
