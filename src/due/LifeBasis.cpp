#include "LifeBasis.h"

#include "data/JetText.h"

namespace velmora::due {

namespace {

const char* const kCodes[kBasisCount] = {"RT", "OH", "IN", "MO", "LD", "CY", "RN"};

}  // namespace

QString basisCode(Basis b) {
    return QString::fromLatin1(kCodes[basisIndex(b)]);
}

std::optional<Basis> basisFromCode(const QString& code) {
    return basisFromUtf8(code.toStdString());
}

std::optional<Basis> basisFromUtf8(const std::string& code) {
    // Two ASCII letters and blanks, as nearly every row has them, are read at once.
    size_t end = code.size();
    while (end > 0 && code[end - 1] == ' ')
        --end;
    if (end == 2 && static_cast<unsigned char>(code[0]) < 0x80 &&
        static_cast<unsigned char>(code[1]) < 0x80) {
        const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; };
        const char a = upper(code[0]), b = upper(code[1]);
        for (Basis basis : kAllBases) {
            if (kCodes[basisIndex(basis)][0] == a && kCodes[basisIndex(basis)][1] == b)
                return basis;
        }
        return std::nullopt;
    }
    for (Basis b : kAllBases) {
        if (data::jetTextCompare(code.data(), static_cast<int>(code.size()), kCodes[basisIndex(b)],
                                 2) == 0)
            return b;
    }
    return std::nullopt;
}

QString basisUnit(Basis b) {
    switch (b) {
        case Basis::RT:
        case Basis::OH:
        case Basis::IN:
            return QStringLiteral("hours");
        case Basis::MO:
            return QStringLiteral("months");
        case Basis::LD:
            return QStringLiteral("landings");
        case Basis::CY:
            return QStringLiteral("cycles");
        case Basis::RN:
            return QStringLiteral("RIN");
    }
    return {};
}

QString basisMeaning(Basis b) {
    switch (b) {
        case Basis::OH:
            return QStringLiteral("overhaul");
        case Basis::IN:
            return QStringLiteral("inspection");
        default:
            return QStringLiteral("retire");
    }
}

}  // namespace velmora::due
