#include "Jet3Text.h"

#include <cerrno>
#include <string>

namespace velmora::legacy {

Jet3Text::Jet3Text(const QByteArray& codePage) : cd_(iconv_open("UTF-8", codePage.constData())) {}

Jet3Text::~Jet3Text() {
    if (valid())
        iconv_close(cd_);
}

QString Jet3Text::decode(const char* bytes, qsizetype size) const {
    if (!valid() || size <= 0)
        return {};
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);  // each text starts in the initial state
    // One byte becomes at most one character of up to four bytes in UTF-8, and a flush may
    // add one held-back character.
    std::string out(static_cast<size_t>(size) * 4 + 8, '\0');
    char* in = const_cast<char*>(bytes);
    size_t inLeft = static_cast<size_t>(size);
    char* to = out.data();
    size_t toLeft = out.size();
    QString text;
    while (inLeft > 0) {
        if (iconv(cd_, &in, &inLeft, &to, &toLeft) != static_cast<size_t>(-1))
            break;
        if (errno == E2BIG)
            break;  // cannot happen with the room given; what was decoded is kept
        // A byte the code page does not map (or a sequence cut short at the end).
        iconv(cd_, nullptr, nullptr, &to, &toLeft);
        text += QString::fromUtf8(out.data(), to - out.data()) + QChar::ReplacementCharacter;
        to = out.data();
        toLeft = out.size();
        ++in;
        --inLeft;
    }
    iconv(cd_, nullptr, nullptr, &to, &toLeft);
    return text + QString::fromUtf8(out.data(), to - out.data());
}

}  // namespace velmora::legacy
