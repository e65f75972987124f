#pragma once

#include "Dialogs.h"

#include <deque>
#include <functional>
#include <optional>
#include <vector>

namespace velmora::screens {

// A dialogs service that shows nothing: it answers from queues filled beforehand and
// records every request, for tests of the screens.
class ScriptedDialogs : public Dialogs {
  public:
    // Queues the answer for the next message box (first queued, first given).
    void answer(MsgAnswer answer) { answers_.push_back(answer); }
    // Queues the result of the next file-open dialog; std::nullopt cancels it.
    void fileResult(const std::optional<QString>& path) {
        files_.push_back({path.has_value(), path.value_or(QString())});
    }

    // Queues the result of the next file-save dialog; std::nullopt cancels it.
    void saveResult(const std::optional<QString>& path) { saves_.push_back(path); }
    // Queues the row chosen in the next list; std::nullopt cancels it.
    void choice(std::optional<int> row) { choices_.push_back(row); }
    // Queues what is typed into the next password box; std::nullopt cancels it.
    void password(const std::optional<QString>& typed) { passwords_.push_back(typed); }
    // Queues the text typed into the next text box; std::nullopt cancels it.
    void textResult(const std::optional<QString>& text) { texts_.push_back(text); }

    int pendingAnswers() const { return static_cast<int>(answers_.size()); }
    int pendingFileResults() const { return static_cast<int>(files_.size()); }

    // Records the request, calls onMessage (the box counts as open meanwhile; the callback
    // may queue the answer), then gives the next queued answer, or the default button
    // when none is left.
    MsgAnswer message(QWidget* parent, const MessageRequest& request) override;
    // Records the request and gives the next queued result, or a cancel when none is left.
    std::optional<QString> openFile(QWidget* parent, const FileOpenRequest& request) override;
    // Records the request and gives the next queued result, or a cancel when none is left.
    std::optional<QString> saveFile(QWidget* parent, const FileSaveRequest& request) override;
    // Records the request and gives the next queued row, or a cancel when none is left.
    std::optional<int> choose(QWidget* parent, const ChoiceRequest& request) override;
    // Records the request and gives the next queued password, or a cancel when none is left.
    std::optional<QString> askPassword(QWidget* parent, const PasswordRequest& request) override;
    // Records the request and gives the next queued text, or a cancel when none is left.
    std::optional<QString> askText(QWidget* parent, const TextRequest& request) override;

    std::vector<MessageRequest> messages;  // every message box, in order
    std::vector<MsgAnswer> givenAnswers;   // the answer given to each
    std::vector<FileOpenRequest> fileRequests;
    std::vector<FileSaveRequest> saveRequests;
    std::vector<ChoiceRequest> choiceRequests;
    std::vector<PasswordRequest> passwordRequests;
    std::vector<TextRequest> textRequests;
    std::vector<QWidget*> messageParents;  // the parent each box was given (compare only)
    std::function<void(const MessageRequest&)> onMessage;

  private:
    std::deque<MsgAnswer> answers_;
    struct FileResult {
        bool chosen;
        QString path;
    };
    std::deque<FileResult> files_;
    std::deque<std::optional<QString>> saves_;
    std::deque<std::optional<int>> choices_;
    std::deque<std::optional<QString>> passwords_;
    std::deque<std::optional<QString>> texts_;
};

// Puts a ScriptedDialogs in place for the life of this object and restores the service
// that was current before.
class ScopedDialogs {
  public:
    ScopedDialogs() : previous_(&Dialogs::current()) { Dialogs::install(&scripted_); }
    ~ScopedDialogs() { Dialogs::install(previous_); }
    ScopedDialogs(const ScopedDialogs&) = delete;
    ScopedDialogs& operator=(const ScopedDialogs&) = delete;

    ScriptedDialogs& operator*() { return scripted_; }
    ScriptedDialogs* operator->() { return &scripted_; }
    ScriptedDialogs& get() { return scripted_; }

  private:
    ScriptedDialogs scripted_;
    Dialogs* previous_;
};

}  // namespace velmora::screens
