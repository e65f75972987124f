#include "JetDates.h"

#include <QRegularExpression>

#include <cmath>

namespace velmora::data {

namespace {

int expandYear(int y, int digits) {
    if (digits > 2)
        return y;
    return y < 30 ? 2000 + y : 1900 + y;  // the engine's two-digit year window
}

std::optional<QTime> parseTime(const QString& t) {
    static const QRegularExpression re(
        QStringLiteral(R"(^(\d{1,2}):(\d{2})(?::(\d{2}))?\s*([AaPp][Mm])?$)"));
    const auto m = re.match(t.trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    int h = m.captured(1).toInt();
    const int mi = m.captured(2).toInt();
    const int s = m.captured(3).isEmpty() ? 0 : m.captured(3).toInt();
    const QString ampm = m.captured(4).toUpper();
    if (!ampm.isEmpty()) {
        if (h < 1 || h > 12)
            return std::nullopt;
        h = (h % 12) + (ampm == QLatin1String("PM") ? 12 : 0);
    }
    QTime time(h, mi, s);
    if (!time.isValid())
        return std::nullopt;
    return time;
}

}  // namespace

std::optional<QDateTime> parseJetDateTime(const QString& text) {
    // The stored form, "2005-01-31", is by far the most frequent: read it directly.
    if (text.size() == 10 && text[4] == u'-' && text[7] == u'-') {
        auto digits = [&](int from, int count) {
            int v = 0;
            for (int i = from; i < from + count; ++i) {
                if (!text[i].isDigit())
                    return -1;
                v = v * 10 + text[i].digitValue();
            }
            return v;
        };
        const int y = digits(0, 4), m = digits(5, 2), d = digits(8, 2);
        if (y >= 0 && m >= 0 && d >= 0) {
            const QDate date(y, m, d);
            if (!date.isValid())
                return std::nullopt;
            return QDateTime(date, QTime(0, 0), Qt::UTC);
        }
    }
    const QString s = text.trimmed();
    if (s.isEmpty())
        return std::nullopt;
    static const QRegularExpression iso(
        QStringLiteral(R"(^(\d{4})-(\d{1,2})-(\d{1,2})(?:[T ](.+))?$)"));
    static const QRegularExpression us(
        QStringLiteral(R"(^(\d{1,2})/(\d{1,2})/(\d{2}|\d{4})(?:\s+(.+))?$)"));
    QDate date;
    QString rest;
    if (auto m = iso.match(s); m.hasMatch()) {
        date = QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
        rest = m.captured(4);
    } else if (auto u = us.match(s); u.hasMatch()) {
        date = QDate(expandYear(u.captured(3).toInt(), static_cast<int>(u.captured(3).size())),
                     u.captured(1).toInt(), u.captured(2).toInt());
        rest = u.captured(4);
    } else {
        return std::nullopt;
    }
    if (!date.isValid())
        return std::nullopt;
    QTime time(0, 0, 0);
    if (!rest.isEmpty()) {
        auto t = parseTime(rest);
        if (!t)
            return std::nullopt;
        time = *t;
    }
    return QDateTime(date, time, Qt::UTC);
}

QString storedDateText(const QDateTime& dt) {
    if (dt.time() == QTime(0, 0, 0)) {
        // yyyy-MM-dd written digit by digit: the engine's DateAdd writes a date on every row
        // of a months component, and QDate::toString formats through printf.
        int y = 0, m = 0, d = 0;
        const QDate date = dt.date();
        if (date.isValid())
            date.getDate(&y, &m, &d);
        if (!date.isValid() || y < 0 || y > 9999)
            return date.toString(Qt::ISODate);
        char text[] = "0000-00-00";
        auto put = [&](int at, int value, int digits) {
            for (int i = at + digits - 1; i >= at; --i, value /= 10)
                text[i] = static_cast<char>('0' + value % 10);
        };
        put(0, y, 4);
        put(5, m, 2);
        put(8, d, 2);
        return QString::fromLatin1(text, 10);
    }
    return dt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

bool isJetDateInRange(const QDate& d) {
    return d.isValid() && d.year() >= 100 && d.year() <= 9999;
}

std::optional<QDate> jetDateSerial(double year, double month, double day) {
    double parts[] = {year, month, day};
    for (double& p : parts) {
        if (!std::isfinite(p))
            return std::nullopt;
        p = std::nearbyint(p);
        if (p < -32768 || p > 32767)
            return std::nullopt;
    }
    auto y = static_cast<qint64>(parts[0]);
    if (y >= 0 && y <= 99)
        y = expandYear(static_cast<int>(y), 2);
    // Whole months from year 0, so that any month carries into the year.
    const qint64 months = y * 12 + static_cast<qint64>(parts[1]) - 1;
    const qint64 carriedYear = months >= 0 ? months / 12 : -((-months + 11) / 12);
    const int carriedMonth = static_cast<int>(months - carriedYear * 12) + 1;
    if (carriedYear < 100 || carriedYear > 9999)
        return std::nullopt;
    const QDate d = QDate(static_cast<int>(carriedYear), carriedMonth, 1)
                        .addDays(static_cast<qint64>(parts[2]) - 1);
    if (!isJetDateInRange(d))
        return std::nullopt;
    return d;
}

std::optional<qint64> jetDateDiff(const QString& interval, const QDateTime& from,
                                  const QDateTime& to) {
    const QString iv = interval.trimmed().toLower();
    const QDate a = from.date(), b = to.date();
    const qint64 days = b.toJulianDay() - a.toJulianDay();
    auto seconds = [](const QDateTime& dt) {
        return dt.date().toJulianDay() * 86400 + dt.time().msecsSinceStartOfDay() / 1000;
    };
    if (iv == u"yyyy")
        return b.year() - a.year();
    if (iv == u"q")
        return (b.year() * 4 + (b.month() - 1) / 3) - (a.year() * 4 + (a.month() - 1) / 3);
    if (iv == u"m")
        return (b.year() * 12 + b.month()) - (a.year() * 12 + a.month());
    if (iv == u"y" || iv == u"d")
        return days;
    if (iv == u"w")
        return days / 7;
    if (iv == u"ww") {
        // Weeks begin on Sunday: the Sunday on or before each date.
        const qint64 sundayA = a.toJulianDay() - a.dayOfWeek() % 7;
        const qint64 sundayB = b.toJulianDay() - b.dayOfWeek() % 7;
        return (sundayB - sundayA) / 7;
    }
    if (iv == u"h")
        return seconds(to) / 3600 - seconds(from) / 3600;
    if (iv == u"n")
        return seconds(to) / 60 - seconds(from) / 60;
    if (iv == u"s")
        return seconds(to) - seconds(from);
    return std::nullopt;
}

namespace {

// The mean length in days of one DateAdd interval (a Gregorian month is 30.436875 days on
// average); 0 for a name that is no interval.
double intervalDays(const QString& iv) {
    if (iv == u"yyyy")
        return 365.2425;
    if (iv == u"q")
        return 91.310625;
    if (iv == u"m")
        return 30.436875;
    if (iv == u"ww")
        return 7;
    if (iv == u"y" || iv == u"d" || iv == u"w")
        return 1;
    if (iv == u"h")
        return 1.0 / 24;
    if (iv == u"n")
        return 1.0 / 1440;
    if (iv == u"s")
        return 1.0 / 86400;
    return 0;
}

}  // namespace

bool isJetDateInterval(const QString& interval) {
    return intervalDays(interval.trimmed().toLower()) != 0;
}

std::optional<QDateTime> jetDateAdd(const QString& interval, double number, const QDateTime& dt) {
    // The count is a Long. A span of more than 10,000 years leads out of the years 100 to
    // 9999 from any date in them, and is Null without being worked out.
    const double rounded = std::nearbyint(number);
    if (!std::isfinite(rounded) || rounded < -2147483648.0 || rounded > 2147483647.0)
        return std::nullopt;
    const QString iv = interval.trimmed().toLower();
    const double days = intervalDays(iv);
    if (days == 0 || std::fabs(rounded * days) > 3'700'000)
        return std::nullopt;
    const auto n = static_cast<qint64>(rounded);
    if (iv == u"yyyy")
        return QDateTime(dt.date().addYears(static_cast<int>(n)), dt.time(), Qt::UTC);
    if (iv == u"q")
        return QDateTime(dt.date().addMonths(static_cast<int>(n * 3)), dt.time(), Qt::UTC);
    if (iv == u"m")
        return QDateTime(dt.date().addMonths(static_cast<int>(n)), dt.time(), Qt::UTC);
    const QDateTime utc(dt.date(), dt.time(), Qt::UTC);
    if (iv == u"y" || iv == u"d" || iv == u"w")
        return utc.addDays(n);
    if (iv == u"ww")
        return utc.addDays(n * 7);
    if (iv == u"h")
        return utc.addSecs(n * 3600);
    if (iv == u"n")
        return utc.addSecs(n * 60);
    if (iv == u"s")
        return utc.addSecs(n);
    return std::nullopt;
}

}  // namespace velmora::data
