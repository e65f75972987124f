#include "OilElements.h"

namespace velmora::oil::limits {

const std::array<const char*, kElementCount> kElementNames = {
    "Iron",       "Chromium", "Nickel",  "Aluminum", "Lead",      "Copper",    "Tin",
    "Silver",     "Titanium", "Silicon", "Boron",    "Sodium",    "Potassium", "Molybdenum",
    "Phosphorus", "Zinc",     "Calcium", "Barium",   "Magnesium", "Antimony",  "Vanadium",
};

int elementIndex(const QString& name) {
    for (int i = 0; i < kElementCount; ++i) {
        if (name.compare(QLatin1String(kElementNames[static_cast<size_t>(i)]),
                         Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QString elementName(int element) {
    if (element < 0 || element >= kElementCount)
        return {};
    return QString::fromLatin1(kElementNames[static_cast<size_t>(element)]);
}

}  // namespace velmora::oil::limits
