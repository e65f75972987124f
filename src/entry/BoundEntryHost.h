#pragma once

#include "EntryRules.h"
#include "screens/common/BoundRecordSource.h"
#include "screens/common/Dialogs.h"

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

    data::Value stored(const QString& column) const override {
        data::Recordset* rs = source_->recordset();
        if (!rs || source_->isAddingNew() || !rs->hasCurrent())
            return {};
        const int i = rs->fieldIndex(column);
        return i < 0 ? data::Value() : rs->value(i);
    }
    void stage(const QString& column, const data::Value& v) override {
        source_->stageValue(column, v);
    }
    QString fieldText() const override { return field_->text(); }
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
    QWidget* screen_;
    screens::BoundRecordSource* source_;
    QLineEdit* field_;
    std::function<void()> save_;
};

}  // namespace velmora::entry
