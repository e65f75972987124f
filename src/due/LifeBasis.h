#pragma once

#include <QString>

#include <array>
#include <optional>
#include <string>

namespace velmora::due {

// The seven life bases of a component (column LifeBasis): flight time to retire, overhaul
// or inspection on the component's time meter, months from installation, landings, cycles
// and RIN.
enum class Basis { RT, OH, IN, MO, LD, CY, RN };

inline constexpr std::array<Basis, 7> kAllBases = {Basis::RT, Basis::OH, Basis::IN, Basis::MO,
                                                   Basis::LD, Basis::CY, Basis::RN};
inline constexpr int kBasisCount = static_cast<int>(kAllBases.size());

inline int basisIndex(Basis b) {
    return static_cast<int>(b);
}

// The code as stored: "RT", "OH", ...
QString basisCode(Basis b);
// The code read as the engine compares text (letter case and trailing blanks do not
// count); nothing for any other text.
std::optional<Basis> basisFromCode(const QString& code);
std::optional<Basis> basisFromUtf8(const std::string& code);

// Flight time, counted on a time meter.
inline bool isTimeBasis(Basis b) {
    return b == Basis::RT || b == Basis::OH || b == Basis::IN;
}

// The unit a remaining amount of this basis is counted in, for people: "hours", "months",
// "landings", "cycles", "RIN".
QString basisUnit(Basis b);
// What the limit means: "retire", "overhaul", "inspection".
QString basisMeaning(Basis b);

}  // namespace velmora::due
