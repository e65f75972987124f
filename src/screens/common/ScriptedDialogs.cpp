#include "ScriptedDialogs.h"

namespace velmora::screens {

namespace {

// Records the request and gives the next scripted answer (taken from the queue); none, as
// a cancelled dialog answers, when the script has no more.
template <typename Request, typename Answer>
std::optional<Answer> nextScripted(std::vector<Request>& asked, const Request& request,
                                   std::deque<std::optional<Answer>>& queue) {
    asked.push_back(request);
    if (queue.empty())
        return std::nullopt;
    const std::optional<Answer> next = queue.front();
    queue.pop_front();
    return next;
}

}  // namespace

MsgAnswer ScriptedDialogs::message(QWidget* parent, const MessageRequest& request) {
    messages.push_back(request);
    messageParents.push_back(parent);
    if (onMessage)
        onMessage(request);
    MsgAnswer a = effectiveDefault(request);
    if (!answers_.empty()) {
        a = answers_.front();
        answers_.pop_front();
    }
    givenAnswers.push_back(a);
    return a;
}

std::optional<QString> ScriptedDialogs::openFile(QWidget*, const FileOpenRequest& request) {
    fileRequests.push_back(request);
    if (files_.empty())
        return std::nullopt;
    const FileResult result = files_.front();
    files_.pop_front();
    if (!result.chosen)
        return std::nullopt;
    return result.path;
}

std::optional<QString> ScriptedDialogs::saveFile(QWidget*, const FileSaveRequest& request) {
    return nextScripted(saveRequests, request, saves_);
}

std::optional<int> ScriptedDialogs::choose(QWidget*, const ChoiceRequest& request) {
    return nextScripted(choiceRequests, request, choices_);
}

std::optional<QString> ScriptedDialogs::askPassword(QWidget*, const PasswordRequest& request) {
    return nextScripted(passwordRequests, request, passwords_);
}

std::optional<QString> ScriptedDialogs::askText(QWidget*, const TextRequest& request) {
    return nextScripted(textRequests, request, texts_);
}

}  // namespace velmora::screens
