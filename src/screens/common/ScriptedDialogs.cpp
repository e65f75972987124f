#include "ScriptedDialogs.h"

namespace velmora::screens {

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
    saveRequests.push_back(request);
    if (saves_.empty())
        return std::nullopt;
    const std::optional<QString> result = saves_.front();
    saves_.pop_front();
    return result;
}

std::optional<int> ScriptedDialogs::choose(QWidget*, const ChoiceRequest& request) {
    choiceRequests.push_back(request);
    if (choices_.empty())
        return std::nullopt;
    const std::optional<int> row = choices_.front();
    choices_.pop_front();
    return row;
}

std::optional<QString> ScriptedDialogs::askPassword(QWidget*, const PasswordRequest& request) {
    passwordRequests.push_back(request);
    if (passwords_.empty())
        return std::nullopt;
    const std::optional<QString> typed = passwords_.front();
    passwords_.pop_front();
    return typed;
}

std::optional<QString> ScriptedDialogs::askText(QWidget*, const TextRequest& request) {
    textRequests.push_back(request);
    if (texts_.empty())
        return std::nullopt;
    const std::optional<QString> text = texts_.front();
    texts_.pop_front();
    return text;
}

}  // namespace velmora::screens
