#pragma once

#include "EntryRules.h"
#include "screens/common/BoundRecordSource.h"
#include "screens/common/Dialogs.h"

#include <QHash>
#include <QLineEdit>

#include <functional>

namespace velmora::entry {

// The entry rules' view of a screen: the field being left, the screen's aircraft record
// source, its Yes/No questions and its own save step.
class BoundEntryHost : public EntryHost {
  public:
    BoundEntryHost(QWidget* screen, screens::BoundRecordSource* source, QLineEdit* field,
                   std::function<void()> saveStep)
        : screen_(screen), source_(source), field_(field), save_(std::move(saveStep)) {}

    // Read from the file or server once per column for the rule: an entry another user saved
    // since the screen showed the row counts.
    data::Value stored(const QString& column) const override {
        const QString key = column.toCaseFolded();
        if (auto it = read_.constFind(key); it != read_.constEnd())
            return *it;
        data::Value v;
        try {
            v = source_->storedNow(column);
        } catch (const data::DbError&) {
            // The row as the screen read it; the save step reports what is wrong.
            v = source_->isAddingNew() ? data::Value() : shownValue(column);
        }
        read_.insert(key, v);
        return v;
    }
    // Every column an entry writes is written whatever the row holds then: the entry is
    // applied to the row as stored, never refused because another user saved first.
    void stage(const QString& column, const data::Value& v) override {
        source_->stageChange(
            column, [v](const StoredColumns&) { return v; }, field_);
    }
    // What this field staged before for a column gives way; what other fields staged stays.
    void stage(const QString& column, ColumnChange change) override {
        source_->stageChange(column, std::move(change), field_);
    }
    QString fieldText() const override { return field_->text(); }
    bool fieldChanged() const override { return source_->isFieldChanged(field_); }
    void setFieldText(const QString& text) override { field_->setText(text); }
    bool askYesNo(const QString& text, const QString& title) override {
        const bool yes =
            screens::msgBox(screen_, text, screens::MsgButtons::YesNo, screens::MsgIcon::None,
                            title, screens::MsgAnswer::Yes) == screens::MsgAnswer::Yes;
        screens::reactivateWindow(screen_);
        return yes;
    }
    void saveStep() override { save_(); }

  private:
    data::Value shownValue(const QString& column) const {
        data::Recordset* rs = source_->recordset();
        if (!rs || !rs->hasCurrent())
            return {};
        const int i = rs->fieldIndex(column);
        return i < 0 ? data::Value() : rs->value(i);
    }

    mutable QHash<QString, data::Value> read_;
    QWidget* screen_;
    screens::BoundRecordSource* source_;
    QLineEdit* field_;
    std::function<void()> save_;
};

}  // namespace velmora::entry
