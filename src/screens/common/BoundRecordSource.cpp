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
#include <optional>

#include <algorithm>
#include <exception>

namespace velmora::screens {

namespace {

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

// --- opening and closing -----------------------------------------------------------------

bool BoundRecordSource::refresh() {
    if (rs_ && !leaveRow(ActionClose))
        return false;
    closeNow();
    std::optional<data::ErrorNumber> number;
    QString text;
    try {
        BusyPointer busy;
        if (recordSource_.trimmed().isEmpty())
            throw DbError(err::ObjectNotFound,
                          tr("No table or query is set as the source of the records."));
        auto db = data::Database::open(databaseName_);
        rs_ = db->openRecordset(recordSource_, sourceValues_);
        db_ = std::move(db);
    } catch (const DbError& e) {
        number = e.number();
        text = e.text();
    } catch (const std::exception& e) {
        number = err::Internal;
        text = QString::fromLocal8Bit(e.what());
    }
    if (number)
        closeNow();
    resolveBindings();
    showRow();
    emit refreshed();
    if (number) {
        reportError(*number, text);
        return false;
    }
    QStringList missing;  // collected first: an error handler may change the bindings
    for (const Binding& b : bindings_) {
        if (b.widget && b.index < 0)
            missing << b.column;
    }
    for (const QString& column : missing)
        reportError(err::ItemNotFound,
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
        reportError(err::NoCurrentRecord, tr("No current record: no table or query is open."));
        return false;
    }
    std::optional<data::ErrorNumber> number;
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
        number = e.number();
        text = e.text();
    } catch (const std::exception& e) {
        number = err::Internal;
        text = QString::fromLocal8Bit(e.what());
    }
    if (number == err::DataChanged) {
        rs_->cancelUpdate();
        // Another user saved the row since it was read. What was staged as a change to the
        // row as stored (an entry) is written first, on its own; then the user chooses
        // for the rest.
        if (!writeStagedChangesAlone())
            return false;
        askToReload();
        return false;
    }
    if (number) {
        rs_->cancelUpdate();
        reportError(*number, text);
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
        reportError(e.number(), e.text());
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

void BoundRecordSource::reportError(data::ErrorNumber number, const QString& text) {
    lastErrorNumber_ = static_cast<int>(number);
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
        reportError(e.number(), e.text());
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
        reportError(err::NoCurrentRecord, tr("No current record: no table or query is open."));
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
        reportError(e.number(), e.text());
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
        reportError(e.number(), e.text());
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
        reportError(e.number(), e.text());
        return false;
    }
    showCurrentRow();
    return true;
}

}  // namespace velmora::screens
