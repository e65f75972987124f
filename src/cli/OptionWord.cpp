#include "OptionWord.h"

namespace velmora::cli {

OptionWord splitOptionWord(const QString& argument) {
    OptionWord w;
    const qsizetype eq = argument.indexOf(u'=');
    if (argument.startsWith(QLatin1String("--")) && eq > 0) {
        w.name = argument.left(eq);
        w.value = argument.mid(eq + 1);
        w.inlineValue = true;
    } else {
        w.name = argument;
    }
    return w;
}

bool takeOptionValue(OptionWord& word, const QStringList& arguments, int& index) {
    if (word.inlineValue)
        return true;
    if (index + 1 >= arguments.size())
        return false;
    word.value = arguments[++index];
    return true;
}

}  // namespace velmora::cli
