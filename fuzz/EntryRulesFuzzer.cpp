// The reading rule and the meter and total entry rules with any typed text, stored values
// and answers: a number read is finite, a number written in an entry picture reads back to
// itself within the picture's rounding, and every entry ends in one save step that writes
// finite numbers, with a meter's reading and last counted reading kept together.
#include "FuzzChecks.h"
#include "data/Recordset.h"
#include "entry/EntryRules.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QHash>

#include <cmath>
#include <cstring>
#include <vector>

using namespace velmora;
using velmora::fuzz::check;

namespace {

QString takeText(FuzzedDataProvider& in, std::size_t maxBytes) {
    const std::string s = in.ConsumeRandomLengthString(maxBytes);
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

data::Value takeStored(FuzzedDataProvider& in) {
    switch (in.ConsumeIntegralInRange<int>(0, 3)) {
        case 0:
            return {};
        case 1:
            return data::Value(in.ConsumeIntegralInRange<int>(0, 2000000) / 10.0);
        case 2:
            return data::Value(static_cast<std::int64_t>(in.ConsumeIntegral<std::int32_t>()));
        default: {
            const double d = in.ConsumeFloatingPoint<double>();
            return data::Value(std::isfinite(d) ? d : 0.0);
        }
    }
}

// A screen as the rules see it, answering from the input and recording what the rules do.
class RecordingHost : public entry::EntryHost {
  public:
    RecordingHost(FuzzedDataProvider& in, QString typed) : in_(in), field_(std::move(typed)) {
        for (const char* c : {"CurrentMeter1", "CurrentMeter2", "LastMeter1", "LastMeter2",
                              "TotalTime", "TotalTime2"})
            stored_.insert(QString::fromLatin1(c).toLower(), takeStored(in));
        // The whole-number totals' columns hold whole numbers.
        for (const char* c : {"TotalLandings", "TotalCycles", "TotalRIN"}) {
            data::Value v;
            if (in.ConsumeBool())
                v = data::Value(static_cast<std::int64_t>(in.ConsumeIntegral<std::int32_t>()));
            stored_.insert(QString::fromLatin1(c).toLower(), v);
        }
    }
    data::Value stored(const QString& column) const override {
        return stored_.value(column.toLower());
    }
    void stage(const QString& column, const data::Value& v) override {
        check(saves == 0, "nothing is staged after the save step", column);
        staged.insert(column.toLower(), v);
    }
    // Worked out from the stored row, which nobody else changes here.
    void stage(const QString& column, entry::ColumnChange change) override {
        stage(column, change([this](const QString& c) { return stored(c); }));
    }
    QString fieldText() const override { return field_; }
    bool fieldChanged() const override { return true; }
    void setFieldText(const QString& text) override { field_ = text; }
    bool askYesNo(const QString&, const QString&) override { return in_.ConsumeBool(); }
    void saveStep() override { ++saves; }

    QHash<QString, data::Value> staged;
    int saves = 0;

  private:
    FuzzedDataProvider& in_;
    QHash<QString, data::Value> stored_;
    QString field_;
};

// A number beyond any the columns take (the sum of two huge totals) may be staged, but the
// row then refuses it with a numbered error, and the file keeps what it had.
void checkStagedNumbers(const RecordingHost& host, const QString& typed) {
    for (auto it = host.staged.begin(); it != host.staged.end(); ++it) {
        check(it.value().isNumber(), "a rule stages numbers", it.key() + u' ' + typed);
        if (std::isfinite(it.value().toDouble()))
            continue;
        data::FieldType number;
        number.kind = data::FieldType::Kind::Real;
        bool refused = false;
        try {
            data::convertForField(it.value(), number, it.key());
        } catch (const data::DbError& e) {
            fuzz::checkNumbered(e, typed);
            refused = true;
        }
        check(refused, "a number beyond any is not saved",
              it.key() + QStringLiteral(" = ") + it.value().toString() + QStringLiteral(" from ") +
                  typed);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzedDataProvider in(bytes, size);
    const int what = in.ConsumeIntegralInRange<int>(0, 2);
    const QString typed = takeText(in, 40);
    if (what == 0) {
        const double v = entry::readEntryNumber(typed);
        check(std::isfinite(v), "a typed number reads as a finite number", typed);
        for (const char* picture : {"####0.0", "#####0.0", "#####0"}) {
            if (std::fabs(v) >= 1e12)
                break;
            const QString written = entry::writeInPicture(v, QString::fromLatin1(picture));
            const double back = entry::readEntryNumber(written);
            const double step =
                picture[std::strlen(picture) - 1] == '0' && std::strchr(picture, '.') == nullptr
                    ? 0.5
                    : 0.05;
            check(std::fabs(back - v) <= step + 1e-9 * std::fabs(v),
                  "a number written in an entry picture reads back within its rounding",
                  typed + QStringLiteral(" -> ") + written);
        }
        return 0;
    }
    RecordingHost host(in, typed);
    if (what == 1) {
        const int meter = in.ConsumeBool() ? 1 : 2;
        entry::applyMeterRule(host, meter,
                              in.ConsumeBool() ? entry::EntryScreen::AircraftSetup
                                               : entry::EntryScreen::TimeRemaining);
        check(host.saves == 1, "a meter entry ends in one save step", typed);
        checkStagedNumbers(host, typed);
        const QString reading =
            meter == 1 ? QStringLiteral("currentmeter1") : QStringLiteral("currentmeter2");
        const QString last =
            meter == 1 ? QStringLiteral("lastmeter1") : QStringLiteral("lastmeter2");
        check(
            host.staged.contains(reading) && host.staged.value(reading) == host.staged.value(last),
            "a meter entry keeps the reading and the last counted reading together", typed);
    } else {
        const auto total =
            in.PickValueInArray<entry::Total>({entry::Total::FlightTime, entry::Total::Landings,
                                               entry::Total::Cycles, entry::Total::RIN});
        entry::applyTotalRule(host, total);
        check(host.saves == 1, "a total entry ends in one save step", typed);
        checkStagedNumbers(host, typed);
        const QString column = entry::totalColumn(total).toLower();
        check(host.staged.size() == 1 && host.staged.contains(column),
              "a total entry stages its own column only", typed);
        if (total != entry::Total::FlightTime) {
            const data::Value v = host.staged.value(column);
            check(v.type() == data::Value::Type::Integer || std::fabs(v.toDouble()) >= 9.0e18,
                  "a whole-number total is staged as a whole number",
                  typed + QStringLiteral(" -> ") + v.toString());
        }
    }
    return 0;
}
