#include "LifeBasis.h"

#include "data/TextKey.h"

namespace velmora::due {

QString basisCode(Basis b) {
    static const char* const codes[] = {"RT", "OH", "IN", "MO", "LD", "CY", "RN"};
    return QString::fromLatin1(codes[basisIndex(b)]);
}

std::optional<Basis> basisFromCode(const QString& code) {
    const QString key = data::textKey(code);
    for (Basis b : kAllBases) {
        if (key == data::textKey(basisCode(b)))
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
