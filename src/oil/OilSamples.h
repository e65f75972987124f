#pragma once

#include <QString>

#include <array>

namespace velmora::oil {

// One column of the sample grid: its caption and the column of the Oil table it shows.
struct SampleColumn {
    const char* caption;
    const char* field;
};

// The sample grid's columns, addressed by index: 0 RegNum and 1 Component (hidden), 2 the
// date, 3 to 23 the twenty-one elements, 24 the engine hours.
inline constexpr int kSampleColumnCount = 25;
inline constexpr int kColRegNum = 0;
inline constexpr int kColComponent = 1;
inline constexpr int kColDate = 2;
inline constexpr int kColIron = 3;
inline constexpr int kColPhosphorus = 17;
inline constexpr int kColVanadium = 23;
inline constexpr int kColEngineHrs = 24;
extern const std::array<SampleColumn, kSampleColumnCount> kSampleColumns;

// The element choices of "Show Graph": options 0 to 21 chart the grid column option + 3
// alone, option 22 charts every element but phosphorus.
inline constexpr int kOptionCount = 23;
inline constexpr int kOptionAllButPhosphorus = 22;
extern const std::array<const char*, kOptionCount> kOptionCaptions;

// The samples of one aircraft component, oldest first. The registration number and the
// component name are quoted as literals, so any text a user typed is safe in them.
// Without the order clause the rows come in the order the file keeps them.
QString sampleListQuery(const QString& regNum, const QString& component, bool ordered = true);

// The names of an aircraft's components marked for oil analysis.
QString oilComponentsQuery(const QString& regNum);

}  // namespace velmora::oil
