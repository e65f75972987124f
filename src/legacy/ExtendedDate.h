#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <cstdint>
#include <optional>

namespace velmora::legacy {

// A Date/Time Extended value of an ACE file: a date and time to the 100 nanoseconds from
// 0001-01-01 to 9999-12-31. The row holds it as text of 42 bytes, "DDDDDDDDDDDDDDDDDDD:
// TTTTTTTTTTTTTTTTTTT:7" and a NUL: the days since 0001-01-01, the time of day in ticks of
// 100 ns, and the number of decimals of a second kept (7).

constexpr std::int64_t kTicksPerSecond = 10'000'000;
constexpr std::int64_t kTicksPerDay = kTicksPerSecond * 86'400;

// The value's ticks since 0001-01-01 00:00; empty when the bytes are not of that form or
// name a day beyond 9999-12-31 or a time beyond the day's end.
std::optional<std::int64_t> parseExtendedDate(const char* bytes, qsizetype size);

// The value as exact text: "2021-06-14 22:45:12.3456789" (seven decimals always, so that
// the texts sort as the dates do).
QString extendedDateText(std::int64_t ticks);

// The date and time (UTC) when a Velmora date column can hold it: whole seconds, from the
// year 100 on. Empty otherwise.
std::optional<QDateTime> extendedDateAsDateTime(std::int64_t ticks);

// Why a date column cannot hold the value; empty when it can.
QString extendedDateMisfit(std::int64_t ticks);

}  // namespace velmora::legacy
