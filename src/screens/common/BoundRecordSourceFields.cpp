// The fields bound to a record source: showing the current row in them, telling what was
// typed, and the values staged for the row's next write.
#include "BoundRecordSource.h"

#include "data/DbError.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStringList>

#include <algorithm>

namespace velmora::screens {

using data::DbError;

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

}  // namespace velmora::screens
