#include "BenchDialogs.h"

#include <string>

namespace velmora::bench {

screens::ScriptedDialogs& benchDialogs() {
    static screens::ScriptedDialogs dialogs;
    return dialogs;
}

bool noMessageShown(benchmark::State& state) {
    auto& shown = benchDialogs().messages;
    if (shown.empty())
        return true;
    const std::string reason = "a message box was shown: \"" + shown.front().text.toStdString() +
                               "\" (" + shown.front().title.toStdString() + ")";
    shown.clear();
    state.SkipWithError(reason.c_str());
    return false;
}

}  // namespace velmora::bench
