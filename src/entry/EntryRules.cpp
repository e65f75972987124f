#include "EntryRules.h"

#include "data/ConstantTable.h"

#include <QStringLiteral>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace velmora::entry {

namespace {

const QString kChangePicture = QStringLiteral("####0.0");
const QString kResetTitle = QStringLiteral("Reset value or abort entry");

struct Meter {
    QString reading;  // the meter's reading, bound to the field
    QString last;     // the reading up to which flight time has been added to the total
    QString total;    // the meter's flight time total
    QString title;
};

// A total, the column it is kept in, and what its plus entries write and ask. Flight time,
// last, for any other value.
struct TotalKind {
    Total total;
    const char* column;
    const char* resultPicture;      // a plus entry's result as written into the field
    const char* differencePicture;  // the difference shown in the question
    const char* question;
    const char* title;
    bool whole;  // kept in a whole-number column
};

constexpr std::array<TotalKind, 4> kTotals = {{
    {Total::Landings, "TotalLandings", "#####0", "#####0", "Increasing landings by ",
     "Landings change", true},
    {Total::Cycles, "TotalCycles", "#####0", "#####0", "Increasing cycles by ", "Cycles change",
     true},
    {Total::RIN, "TotalRIN", "#####0", "#####0", "Increasing RIN by ", "RIN change", true},
    {Total::FlightTime, "TotalTime", "#####0.0", "####0.0", "Increasing flight time by ",
     "Meter change", false},
}};

const TotalKind& totalKind(Total total) {
    return data::rowFor(kTotals, &TotalKind::total, total);
}

Meter meterColumns(int meter) {
    if (meter == 2) {
        return {QStringLiteral("CurrentMeter2"), QStringLiteral("LastMeter2"),
                QStringLiteral("TotalTime2"), QStringLiteral("Meter #2 change")};
    }
    return {QStringLiteral("CurrentMeter1"), QStringLiteral("LastMeter1"),
            QStringLiteral("TotalTime"), QStringLiteral("Meter #1 change")};
}

// A column without a value yet counts as 0 in the arithmetic.
double numberOf(const data::Value& v) {
    return v.toDouble();
}

// Sums and differences are kept to the fifteen significant digits of the larger operand, the
// digits plain number text writes: 800.1 + 0.2 is stored as 800.3 and compares equal to an entry
// of "800.3" later, and 800.15 - 800 is the 0.15 the user sees (and rounds to 0.2), not the
// 0.149999999999977 that binary arithmetic leaves.
double settle(double v, double a, double b) {
    const double scale = std::max({std::fabs(v), std::fabs(a), std::fabs(b)});
    if (!std::isfinite(v) || !std::isfinite(scale) || scale == 0)
        return v;
    const int decimals = 15 - (static_cast<int>(std::floor(std::log10(scale))) + 1);
    if (decimals > 300)
        return v;
    if (decimals <= 0)
        return readEntryNumber(QString::number(v, 'g', 15));
    return readEntryNumber(QString::number(v, 'f', decimals));
}

double sum(double a, double b) {
    return settle(a + b, a, b);
}
double difference(double a, double b) {
    return settle(a - b, a, b);
}

bool sameNumber(double a, double b) {
    return plainNumberText(a) == plainNumberText(b);
}

// A column's value as the column `source` holds it when the row is written, as plain number
// text reads it back (what the field then shows).
ColumnChange sameAs(const QString& source) {
    return [source](const StoredColumns& stored) {
        return data::Value(readEntryNumber(plainNumberText(numberOf(stored(source)))));
    };
}

// A total column keeps what it holds when the row is written (a number: 0 for none).
ColumnChange keepsStored(const QString& column) {
    return [column](const StoredColumns& now) {
        const data::Value v = now(column);
        return v.isNumber() ? v : data::Value(numberOf(v));
    };
}

// The flight time a meter entry adds to the total: the change as the question shows it.
double changeAmount(double change) {
    return readEntryNumber(writeInPicture(change, kChangePicture));
}

QString changeQuestion(double change) {
    return QStringLiteral("Flight time was changed by ") + writeInPicture(change, kChangePicture) +
           QStringLiteral(". Is this correct?");
}

// The save step writes the bound field into the reading as well as the staged number: the
// field's text must convert to the same number, else it is rewritten as plain number text
// ("1 240" becomes "1240", "1D3" becomes "1000").
void keepEntryText(EntryHost& host, const QString& typed, double v) {
    double back = 0;
    if (!data::Value::parseNumber(typed, &back) || back != v)
        host.setFieldText(plainNumberText(v));
}

// The entry is dropped: the field shows the stored reading again and both the reading and the
// last counted reading are set to the reading as stored when the row is written. The total is
// not touched.
void dropMeterEntry(EntryHost& host, const Meter& m) {
    host.setFieldText(plainNumberText(numberOf(host.stored(m.reading))));
    host.stage(m.last, sameAs(m.reading));
    host.stage(m.reading, sameAs(m.reading));
    host.saveStep();
}

// The reading (and the last counted reading) become `reading`; the total grows by the change
// as the question showed it, on top of whatever it holds when the row is written.
void countFlightTime(EntryHost& host, const Meter& m, const ColumnChange& reading, double change) {
    const double c = changeAmount(change);
    host.stage(m.last, reading);
    host.stage(m.reading, reading);
    host.stage(m.total, ColumnChange([total = m.total, c](const StoredColumns& stored) {
                   return data::Value(sum(numberOf(stored(total)), c));
               }));
}

// The number a total column receives for the entry v: whole-number totals take v rounded half
// away from zero, as the field then shows it.
data::Value totalValue(const TotalKind& k, double v) {
    if (!k.whole)
        return data::Value(v);
    const double w = std::round(v);
    if (std::fabs(w) < 9.0e18)
        return data::Value(static_cast<std::int64_t>(w));
    return data::Value(w);
}

// The total takes the entry's number: the field shows it as plain number text (the bound field
// writes that text) and the number itself is staged.
void storeTotal(EntryHost& host, const TotalKind& k, double v) {
    const data::Value value = totalValue(k, v);
    host.setFieldText(plainNumberText(value.toDouble()));
    host.stage(k.column, value);
    host.saveStep();
}

}  // namespace

QString totalColumn(Total total) {
    return QString::fromLatin1(totalKind(total).column);
}

void applyMeterRule(EntryHost& host, int meter, EntryScreen screen) {
    if (meter != 1 && meter != 2)
        return;
    const Meter m = meterColumns(meter);
    const QString typed = host.fieldText();

    if (typed.startsWith(u'+')) {
        // An increment: the reading and the last counted reading both become the stored
        // reading plus n, whatever the last counted reading was before.
        const double n = readEntryNumber(typed);
        if (!host.askYesNo(changeQuestion(n), m.title)) {
            dropMeterEntry(host, m);
            return;
        }
        // On top of the reading as stored when the row is written: an increment another
        // workstation saved meanwhile counts as well.
        const double reading = sum(numberOf(host.stored(m.reading)), n);
        countFlightTime(
            host, m,
            [column = m.reading, n](const StoredColumns& stored) {
                return data::Value(sum(numberOf(stored(column)), n));
            },
            n);
        host.setFieldText(plainNumberText(reading));
        host.saveStep();
        return;
    }

    // A new reading: its flight time is counted from the last counted reading. A field left
    // untouched enters the reading as it is stored (another workstation may have entered one
    // since the screen read the row), and keeps it as stored when the row is written.
    const bool untouched = !host.fieldChanged();
    const double v = untouched ? numberOf(host.stored(m.reading)) : readEntryNumber(typed);
    if (untouched)
        host.setFieldText(plainNumberText(v));
    const ColumnChange reading =
        untouched ? sameAs(m.reading) : [v](const StoredColumns&) { return data::Value(v); };
    const double d = difference(v, numberOf(host.stored(m.last)));
    if (host.askYesNo(changeQuestion(d), m.title)) {
        countFlightTime(host, m, reading, d);
        if (!untouched)
            keepEntryText(host, typed, v);
        host.saveStep();
        return;
    }
    const QString reset = screen == EntryScreen::AircraftSetup
                              ? QStringLiteral("Reset Meter value to entry shown?")
                              : QStringLiteral("Reset total value to entry shown?");
    if (host.askYesNo(reset, kResetTitle)) {
        // The entry becomes the reading without counting flight time.
        host.stage(m.last, reading);
        host.stage(m.reading, reading);
        if (!untouched)
            keepEntryText(host, typed, v);
        host.saveStep();
        return;
    }
    dropMeterEntry(host, m);
}

void applyTotalRule(EntryHost& host, Total total) {
    const TotalKind& k = totalKind(total);
    const QString typed = host.fieldText();
    const data::Value stored = host.stored(k.column);

    if (typed.startsWith(u'+')) {
        // An increment is added without a question; the column takes the result as written.
        const double x = readEntryNumber(typed.mid(1));
        host.setFieldText(writeInPicture(sum(numberOf(stored), x), k.resultPicture));
        // Added to the total as stored when the row is written.
        host.stage(k.column, ColumnChange([k, x](const StoredColumns& now) {
                       return totalValue(k, readEntryNumber(writeInPicture(
                                                sum(numberOf(now(k.column)), x), k.resultPicture)));
                   }));
        host.saveStep();
        return;
    }

    // A field left untouched enters the total as it is stored.
    const double v = host.fieldChanged() ? readEntryNumber(typed) : numberOf(stored);
    // A total without a value yet is not asked about: the entry is its first value.
    if (stored.isNull()) {
        storeTotal(host, k, v);
        return;
    }
    // The total as it is: it keeps what it holds when the row is written (an entry another
    // workstation saved meanwhile, or one of this screen not yet saved).
    if (sameNumber(v, numberOf(stored))) {
        host.setFieldText(plainNumberText(v));
        host.stage(k.column, keepsStored(k.column));
        host.saveStep();
        return;
    }
    const double d = difference(v, numberOf(stored));
    const QString question =
        k.question + writeInPicture(d, k.differencePicture) + QStringLiteral(". Is this correct?");
    if (host.askYesNo(question, k.title) ||
        host.askYesNo(QStringLiteral("Reset total value to entry shown?"), kResetTitle)) {
        storeTotal(host, k, v);
        return;
    }
    // Abandoned: the field shows the stored total again and the column keeps it.
    host.setFieldText(plainNumberText(numberOf(stored)));
    host.stage(k.column, keepsStored(k.column));
    host.saveStep();
}

}  // namespace velmora::entry
