// Format pictures and the date functions with any picture, value and interval: no crash, and
// the results keep their rules (a date read back from its stored text is the same date, a date
// built or moved is a valid one).
#include "FuzzChecks.h"
#include "data/JetDates.h"
#include "data/JetFormat.h"
#include "data/Value.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QDateTime>

#include <cmath>

using namespace velmora;
using velmora::fuzz::check;

namespace {

QString takeText(FuzzedDataProvider& in, std::size_t maxBytes) {
    const std::string s = in.ConsumeRandomLengthString(maxBytes);
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// A number as a user or a file may give it: ordinary ones mostly, and the edges.
double takeNumber(FuzzedDataProvider& in) {
    switch (in.ConsumeIntegralInRange<int>(0, 3)) {
        case 0:
            return in.ConsumeIntegralInRange<int>(-100000, 100000) / 10.0;
        case 1:
            return in.ConsumeFloatingPoint<double>();
        case 2:
            return in.PickValueInArray<double>({0.0, -0.0, 1e15, -1e15, 1e300, -1e300, 32767.5,
                                                -32768.5, 1e7, -1e7, 0.05, -0.04, NAN, INFINITY,
                                                -INFINITY, 2147483648.0, 9.3e18});
        default:
            return static_cast<double>(in.ConsumeIntegral<std::int64_t>());
    }
}

QDateTime takeDateTime(FuzzedDataProvider& in) {
    const qint64 day = in.ConsumeIntegralInRange<qint64>(QDate(100, 1, 1).toJulianDay(),
                                                         QDate(9999, 12, 31).toJulianDay());
    const int second = in.ConsumeIntegralInRange<int>(0, 86399);
    return QDateTime(QDate::fromJulianDay(day), QTime(0, 0).addSecs(second), Qt::UTC);
}

data::Value takeValue(FuzzedDataProvider& in) {
    switch (in.ConsumeIntegralInRange<int>(0, 4)) {
        case 0:
            return {};
        case 1:
            return data::Value(in.ConsumeIntegral<std::int64_t>());
        case 2:
            return data::Value(takeNumber(in));
        case 3:
            return data::Value(data::storedDateText(takeDateTime(in)));
        default:
            return data::Value(takeText(in, 40));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzedDataProvider in(bytes, size);
    switch (in.ConsumeIntegralInRange<int>(0, 6)) {
        case 0: {
            const data::Value v = takeValue(in);
            const data::Value out = data::jetFormat(v, takeText(in, 80));
            check(v.isNull() == out.isNull(), "Format gives Null exactly for Null");
            break;
        }
        case 1: {
            const bool null = in.ConsumeBool();
            const double v = takeNumber(in);
            const QString picture = takeText(in, 200);
            data::formatNumberPicture(null ? std::nullopt : std::optional<double>(v), picture);
            break;
        }
        case 2:
            data::formatDatePicture(takeDateTime(in), takeText(in, 200));
            break;
        case 3: {
            const QString text = takeText(in, 60);
            const auto read = data::parseJetDateTime(text);
            if (read) {
                check(read->isValid(), "a date read from text is valid", text);
                const QString stored = data::storedDateText(*read);
                check(data::parseJetDateTime(stored) == read, "a stored date reads back as itself",
                      text + QStringLiteral(" -> ") + stored);
            }
            break;
        }
        case 4: {
            const double y = takeNumber(in), m = takeNumber(in), d = takeNumber(in);
            if (const auto date = data::jetDateSerial(y, m, d))
                check(data::isJetDateInRange(*date), "DateSerial gives a date the engine keeps",
                      QStringLiteral("%1 %2 %3").arg(y).arg(m).arg(d));
            break;
        }
        case 5: {
            const QString interval =
                in.ConsumeBool() ? takeText(in, 6)
                                 : QString::fromLatin1(in.PickValueInArray(
                                       {"yyyy", "q", "m", "y", "d", "w", "ww", "h", "n", "s"}));
            const double n = takeNumber(in);
            const QDateTime from = takeDateTime(in);
            if (const auto moved = data::jetDateAdd(interval, n, from)) {
                check(moved->isValid(), "DateAdd gives a valid date",
                      QStringLiteral("%1 %2").arg(interval).arg(n));
                if (data::isJetDateInRange(moved->date())) {
                    const auto back = data::jetDateDiff(interval, from, *moved);
                    check(back.has_value(), "DateDiff knows the intervals DateAdd knows", interval);
                }
            }
            break;
        }
        default: {
            const QString interval = takeText(in, 6);
            data::jetDateDiff(interval, takeDateTime(in), takeDateTime(in));
            break;
        }
    }
    return 0;
}
