#include "JetFormat.h"

#include "DateDisplay.h"
#include "JetDates.h"
#include "JetText.h"

#include <QLocale>
#include <QStringList>

#include <cfloat>
#include <cmath>
#include <optional>
#include <string>

namespace velmora::data {

namespace {

QStringList splitSections(const QString& picture) {
    QStringList out;
    QString cur;
    bool quoted = false;
    for (int i = 0; i < picture.size(); ++i) {
        const QChar c = picture[i];
        if (c == u'"') {
            quoted = !quoted;
        } else if (c == u'\\' && !quoted && i + 1 < picture.size()) {
            cur += c;
            cur += picture[++i];
            continue;
        } else if (c == u';' && !quoted) {
            out << cur;
            cur.clear();
            continue;
        }
        cur += c;
    }
    out << cur;
    return out;
}

struct Piece {
    enum Kind { Literal, Digit, Point, Comma, Percent } kind;
    QString text;  // literal text or the digit character
};

QList<Piece> parseSection(const QString& s) {
    QList<Piece> out;
    for (int i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        if (c == u'\\') {
            if (i + 1 < s.size())
                out.append(Piece{Piece::Literal, QString(s[++i])});
        } else if (c == u'"') {
            const int close = s.indexOf(u'"', i + 1);
            const int end = close < 0 ? static_cast<int>(s.size()) : close;
            out.append(Piece{Piece::Literal, s.mid(i + 1, end - i - 1)});
            i = end;
        } else if (c == u'0' || c == u'#') {
            out.append(Piece{Piece::Digit, QString(c)});
        } else if (c == u'.') {
            out.append(Piece{Piece::Point, {}});
        } else if (c == u',') {
            out.append(Piece{Piece::Comma, {}});
        } else if (c == u'%') {
            out.append(Piece{Piece::Percent, QStringLiteral("%")});
        } else {
            out.append(Piece{Piece::Literal, QString(c)});
        }
    }
    return out;
}

// Adds one to the last digit of a text of decimal digits, carrying over.
void incrementDigits(QString& digits) {
    for (qsizetype i = digits.size() - 1; i >= 0; --i) {
        if (digits[i] != u'9') {
            digits[i] = QChar(digits[i].unicode() + 1);
            return;
        }
        digits[i] = u'0';
    }
    digits.prepend(u'1');
}

// A number's digits as Format writes them: the number taken to 15 significant digits, as
// Jet keeps it, then rounded half away from zero to the decimals asked for (0.125 to two
// decimals gives 0.13, 1234.55 to one 1234.6). Returns "integer.fraction".
QString fixedDigits(double absValue, int decimals) {
    if (absValue == 0 || !std::isfinite(absValue))
        return QString::number(0.0, 'f', decimals);
    const QString e = QString::number(absValue, 'e', 14);  // d.dddddddddddddde+XX
    const qsizetype ePos = e.indexOf(u'e');
    const QString digits = e.left(1) + e.mid(2, ePos - 2);
    const int point = e.mid(ePos + 1).toInt() + 1;  // digits before the decimal point
    QString intPart, frac;
    if (point <= 0) {
        intPart = QStringLiteral("0");
        frac = QString(-point, u'0') + digits;
    } else if (point >= digits.size()) {
        intPart = digits + QString(point - digits.size(), u'0');
    } else {
        intPart = digits.left(point);
        frac = digits.mid(point);
    }
    if (frac.size() > decimals) {
        const bool up = frac[decimals] >= u'5';
        frac.truncate(decimals);
        if (up) {
            QString all = intPart + frac;
            const qsizetype before = all.size();
            incrementDigits(all);
            intPart = all.left(intPart.size() + (all.size() - before));
            frac = all.mid(intPart.size());
        }
    }
    while (frac.size() < decimals)
        frac += u'0';
    return decimals > 0 ? intPart + u'.' + frac : intPart;
}

// "Scientific": three significant digits and a signed exponent of at least two digits
// (1234567890123 is 1.23E+12), rounded as fixedDigits rounds.
QString scientific(double v) {
    if (v == 0 || !std::isfinite(v))
        return QStringLiteral("0.00E+00");
    const QString e = QString::number(std::fabs(v), 'e', 14);
    const qsizetype ePos = e.indexOf(u'e');
    QString digits = e.left(1) + e.mid(2, ePos - 2);
    int exponent = e.mid(ePos + 1).toInt();
    const bool up = digits[3] >= u'5';
    digits.truncate(3);
    if (up)
        incrementDigits(digits);
    if (digits.size() > 3) {
        digits.truncate(3);
        ++exponent;
    }
    const QString exp = QString::number(std::abs(exponent)).rightJustified(2, u'0');
    return (v < 0 ? QStringLiteral("-") : QString()) + digits[0] + u'.' + digits.mid(1) + u'E' +
           (exponent < 0 ? u'-' : u'+') + exp;
}

QString formatSection(double absValue, const QString& section, bool* hasDigits) {
    const QList<Piece> pieces = parseSection(section);
    int intZeros = 0, decZeros = 0, decAll = 0;
    bool afterPoint = false, grouping = false, percent = false, seenDigit = false;
    int firstNumeric = -1, lastNumeric = -1;
    for (int i = 0; i < pieces.size(); ++i) {
        const Piece& p = pieces[i];
        switch (p.kind) {
            case Piece::Digit:
                seenDigit = true;
                if (afterPoint) {
                    ++decAll;
                    if (p.text == u"0")
                        decZeros = decAll;  // zeros force every decimal up to them
                } else if (p.text == u"0") {
                    ++intZeros;
                }
                if (firstNumeric < 0)
                    firstNumeric = i;
                lastNumeric = i;
                break;
            case Piece::Point:
                afterPoint = true;
                if (firstNumeric < 0)
                    firstNumeric = i;
                lastNumeric = i;
                break;
            case Piece::Comma:
                if (seenDigit && !afterPoint)
                    grouping = true;
                break;
            case Piece::Percent:
                percent = true;
                break;
            case Piece::Literal:
                break;
        }
    }
    *hasDigits = firstNumeric >= 0;
    QString prefix, suffix;
    for (int i = 0; i < pieces.size(); ++i) {
        const Piece& p = pieces[i];
        if (p.kind != Piece::Literal && p.kind != Piece::Percent)
            continue;
        (firstNumeric >= 0 && i > firstNumeric ? suffix : prefix) += p.text;
    }
    if (firstNumeric < 0)
        return prefix;
    Q_UNUSED(lastNumeric);
    if (percent)
        absValue *= 100.0;
    const QString fixed = fixedDigits(absValue, decAll);
    QString intPart = fixed.section(u'.', 0, 0);
    QString fracPart = decAll > 0 ? fixed.section(u'.', 1, 1) : QString();
    while (fracPart.size() > decZeros && fracPart.endsWith(u'0'))
        fracPart.chop(1);
    if (intPart == u"0" && intZeros == 0)
        intPart.clear();
    while (intPart.size() < intZeros)
        intPart.prepend(u'0');
    if (grouping) {
        // The pictures always write "." as the decimal point, so the digits are grouped
        // with ",": the locale's own separator could be "." too.
        for (int i = static_cast<int>(intPart.size()) - 3; i > 0; i -= 3)
            intPart.insert(i, u',');
    }
    QString number = intPart;
    if (!fracPart.isEmpty() || (afterPoint && decZeros > 0))
        number += u'.' + fracPart;
    return prefix + number + suffix;
}

QString monthName(int m, bool longForm) {
    return QLocale::c().monthName(m, longForm ? QLocale::LongFormat : QLocale::ShortFormat);
}

}  // namespace

QString formatNumberPicture(std::optional<double> value, const QString& picture) {
    const QStringList sections = splitSections(picture);
    bool hasDigits = false;
    if (!value)
        return sections.size() >= 4 ? formatSection(0, sections[3], &hasDigits) : QString();
    const double v = *value;
    if (v < 0 && sections.size() >= 2 && !sections[1].isEmpty())
        return formatSection(-v, sections[1], &hasDigits);
    if (v == 0 && sections.size() >= 3 && !sections[2].isEmpty())
        return formatSection(0, sections[2], &hasDigits);
    const QString text = formatSection(std::fabs(v), sections[0], &hasDigits);
    if (v < 0 && hasDigits) {
        // A value that rounds to zero digits is still written as negative: a remaining
        // life of -0.04 must not read as if it were not yet reached.
        return u'-' + text;
    }
    return text;
}

bool isDatePicture(const QString& picture) {
    bool quoted = false;
    for (int i = 0; i < picture.size(); ++i) {
        const QChar c = picture[i].toLower();
        if (c == u'"') {
            quoted = !quoted;
        } else if (quoted) {
            continue;
        } else if (c == u'\\') {
            ++i;
        } else if (c == u'0' || c == u'#') {
            return false;
        } else if (c == u'd' || c == u'm' || c == u'y' || c == u'h' || c == u'n' || c == u's' ||
                   c == u'q' || c == u'w') {
            return true;
        }
    }
    return false;
}

QString formatDatePicture(const QDateTime& dt, const QString& picture) {
    const QDate d = dt.date();
    const QTime t = dt.time();
    const bool twelveHour = picture.contains(QLatin1String("AM/PM"), Qt::CaseInsensitive) ||
                            picture.contains(QLatin1String("A/P"), Qt::CaseInsensitive);
    QString out;
    out.reserve(picture.size() + 8);
    auto two = [](int v) {
        v = std::abs(v) % 100;
        const QChar digits[2] = {QChar(u'0' + v / 10), QChar(u'0' + v % 10)};
        return QString(digits, 2);
    };
    int i = 0;
    const int n = static_cast<int>(picture.size());
    auto run = [&](QChar c) {
        int k = i;
        while (k < n && picture[k].toLower() == c)
            ++k;
        return k - i;
    };
    while (i < n) {
        const QChar c = picture[i];
        const QChar lc = c.toLower();
        if (c == u'\\' && i + 1 < n) {
            out += picture[i + 1];
            i += 2;
            continue;
        }
        if (c == u'"') {
            const int close = picture.indexOf(u'"', i + 1);
            const int end = close < 0 ? n : close;
            out += picture.mid(i + 1, end - i - 1);
            i = end + 1;
            continue;
        }
        const QStringView rest = QStringView(picture).mid(i);
        if (rest.startsWith(QLatin1String("AM/PM"), Qt::CaseInsensitive)) {
            const bool upper = picture[i].isUpper();
            const QString s = t.hour() < 12 ? QStringLiteral("AM") : QStringLiteral("PM");
            out += upper ? s : s.toLower();
            i += 5;
            continue;
        }
        if (rest.startsWith(QLatin1String("A/P"), Qt::CaseInsensitive)) {
            const QString s = t.hour() < 12 ? QStringLiteral("A") : QStringLiteral("P");
            out += picture[i].isUpper() ? s : s.toLower();
            i += 3;
            continue;
        }
        const int len = run(lc);
        if (lc == u'y') {
            out += len >= 3   ? QString::number(d.year())
                   : len == 2 ? two(d.year() % 100)
                              : QString::number(d.dayOfYear());
        } else if (lc == u'q') {
            out += QString::number((d.month() + 2) / 3);
            i += 1;
            continue;
        } else if (lc == u'w') {
            // Sunday is the first day of the week (1), and the week holding 1 January the
            // first week of the year.
            const int weekday = d.dayOfWeek() % 7 + 1;
            const int firstWeekday = QDate(d.year(), 1, 1).dayOfWeek() % 7 + 1;
            out += len >= 2 ? QString::number((d.dayOfYear() - 1 + firstWeekday - 1) / 7 + 1)
                            : QString::number(weekday);
            i += std::min(len, 2);
            continue;
        } else if (lc == u'm') {
            out += len >= 4   ? monthName(d.month(), true)
                   : len == 3 ? monthName(d.month(), false)
                   : len == 2 ? two(d.month())
                              : QString::number(d.month());
        } else if (lc == u'd') {
            out += len >= 4   ? QLocale::c().dayName(d.dayOfWeek(), QLocale::LongFormat)
                   : len == 3 ? QLocale::c().dayName(d.dayOfWeek(), QLocale::ShortFormat)
                   : len == 2 ? two(d.day())
                              : QString::number(d.day());
        } else if (lc == u'h') {
            int h = t.hour();
            if (twelveHour)
                h = h % 12 == 0 ? 12 : h % 12;
            out += len >= 2 ? two(h) : QString::number(h);
        } else if (lc == u'n') {
            out += len >= 2 ? two(t.minute()) : QString::number(t.minute());
        } else if (lc == u's') {
            out += len >= 2 ? two(t.second()) : QString::number(t.second());
        } else {
            out += c;
            i += 1;
            continue;
        }
        i += len;
    }
    return out;
}

namespace {

// A date's serial number, as Jet counts it: days since 30 December 1899, the time of day
// the fraction (its magnitude, before that day too).
std::optional<QDateTime> dateOfSerial(double serial) {
    if (!(serial >= -657434.0 && serial < 2958466.0))
        return std::nullopt;
    const double days = std::trunc(serial);
    const qint64 seconds = std::llround(std::fabs(serial - days) * 86400.0);
    const QDateTime base(QDate(1899, 12, 30), QTime(0, 0), Qt::UTC);
    return base.addDays(static_cast<qint64>(days)).addSecs(seconds);
}

// The named formats of dates and times; empty when the name is none of them.
std::optional<QString> namedDatePicture(const QString& name, const QDateTime& dt) {
    if (name == u"short date")
        return displayDatePicture();
    if (name == u"general date") {
        // The date as the program shows dates, the time of day when there is one; a time
        // alone (on 30 December 1899) without its date.
        const bool noTime = dt.time() == QTime(0, 0);
        if (dt.date() == QDate(1899, 12, 30) && !noTime)
            return QStringLiteral("h:nn:ss AM/PM");
        return noTime ? displayDatePicture()
                      : displayDatePicture() + QStringLiteral(" h:nn:ss AM/PM");
    }
    if (name == u"long date")
        return QStringLiteral("dddd, mmmm d, yyyy");
    if (name == u"medium date")
        return QStringLiteral("dd-mmm-yy");
    if (name == u"long time")
        return QStringLiteral("h:nn:ss AM/PM");
    if (name == u"medium time")
        return QStringLiteral("hh:nn AM/PM");
    if (name == u"short time")
        return QStringLiteral("hh:nn");
    return std::nullopt;
}

// The named formats of numbers but "General Number" and "Scientific"; empty when the name is
// none of them.
std::optional<QString> namedNumberPicture(const QString& name, double number) {
    if (name == u"currency")
        return QStringLiteral("$#,##0.00;($#,##0.00)");
    if (name == u"euro")
        return QStringLiteral("\u20ac#,##0.00;(\u20ac#,##0.00)");
    if (name == u"fixed")
        return QStringLiteral("0.00");
    if (name == u"standard")
        return QStringLiteral("#,##0.00");
    if (name == u"percent")
        return QStringLiteral("0.00%");
    if (name == u"yes/no")
        return number != 0 ? QStringLiteral("\"Yes\"") : QStringLiteral("\"No\"");
    if (name == u"true/false")
        return number != 0 ? QStringLiteral("\"True\"") : QStringLiteral("\"False\"");
    if (name == u"on/off")
        return number != 0 ? QStringLiteral("\"On\"") : QStringLiteral("\"Off\"");
    return std::nullopt;
}

// "mm/dd/yy" of a date in its stored form, "2005-01-31": the picture the time remaining
// list formats for each of its rows, read and written here without going through
// QDateTime and QString. What this does not read as such a date takes the general way.
std::optional<std::string> storedDateShortYear(const Value& value, const QString& format) {
    if (value.type() != Value::Type::Text || format.size() != 8 ||
        format.compare(QLatin1String("mm/dd/yy"), Qt::CaseInsensitive) != 0)
        return std::nullopt;
    const std::string& s = value.utf8();
    if (s.size() != 10 || s[4] != '-' || s[7] != '-')
        return std::nullopt;
    auto digits = [&](size_t from, size_t count) {
        int v = 0;
        for (size_t i = from; i < from + count; ++i) {
            if (s[i] < '0' || s[i] > '9')
                return -1;
            v = v * 10 + (s[i] - '0');
        }
        return v;
    };
    const int y = digits(0, 4), m = digits(5, 2), d = digits(8, 2);
    if (y < 0 || m < 0 || d < 0 || !QDate::isValid(y, m, d))
        return std::nullopt;
    const int yy = y % 100;
    const char out[8] = {static_cast<char>('0' + m / 10),  static_cast<char>('0' + m % 10), '/',
                         static_cast<char>('0' + d / 10),  static_cast<char>('0' + d % 10), '/',
                         static_cast<char>('0' + yy / 10), static_cast<char>('0' + yy % 10)};
    return std::string(out, sizeof out);
}

double serialOfDate(const QDateTime& dt) {
    const QDateTime base(QDate(1899, 12, 30), QTime(0, 0), Qt::UTC);
    const qint64 days = base.date().daysTo(dt.date());
    const double fraction = dt.time().msecsSinceStartOfDay() / 86400000.0;
    return days < 0 ? days - fraction : days + fraction;
}

}  // namespace

Value jetFormat(const Value& value, const QString& format) {
    if (value.isNull())
        return {};
    if (auto shortYear = storedDateShortYear(value, format))
        return Value(std::move(*shortYear));
    // The text pictures that only change the letter case.
    if (format == u">")
        return value.toString().toUpper();
    if (format == u"<")
        return value.toString().toLower();
    const QString name = format.trimmed().toLower();
    std::optional<QDateTime> date;
    double number = 0;
    bool isNumber = value.isNumber();
    if (isNumber) {
        number = value.toDouble();
    } else {
        const QString text = value.toString();
        date = parseJetDateTime(text);
        if (!date)
            isNumber = Value::parseNumber(text, &number);
    }

    if (name.isEmpty() || name == u"general number")
        return isNumber ? jetNumberText(number) : value.toString();
    // A number stands for the date of its serial number, a date for its serial number.
    std::optional<QDateTime> asDate = date;
    if (!asDate && isNumber)
        asDate = dateOfSerial(number);
    if (asDate) {
        if (const auto picture = namedDatePicture(name, *asDate))
            return formatDatePicture(*asDate, *picture);
    }
    if (date && !isNumber) {
        number = serialOfDate(*date);
        isNumber = namedNumberPicture(name, 0).has_value() || name == u"scientific";
    }
    if (isNumber) {
        if (name == u"scientific")
            return scientific(number);
        if (const auto picture = namedNumberPicture(name, number))
            return formatNumberPicture(number, *picture);
    }
    if (isDatePicture(format)) {
        if (asDate)
            return formatDatePicture(*asDate, format);
        return value.toString();
    }
    if (isNumber)
        return formatNumberPicture(number, format);
    return value.toString();
}

}  // namespace velmora::data
