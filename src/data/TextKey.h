#pragma once

#include <QString>

namespace velmora::data {

// Text as the engine compares it: letter case and trailing blanks do not count, leading
// blanks do. Two texts compare equal exactly when their keys are equal, so the key can
// index a hash of registrations, part numbers or basis codes.
inline QString textKey(const QString& text) {
    qsizetype end = text.size();
    while (end > 0 && text[end - 1] == u' ')
        --end;
    return text.left(end).toCaseFolded();
}

}  // namespace velmora::data
