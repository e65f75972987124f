#include "JetFormat.h"

#include "JetDates.h"

#include <QLocale>
#include <QStringList>

#include <cfloat>
#include <cmath>

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

// Rounds half away from zero on the decimal value the user sees (1234.55 to one decimal
// gives 1234.6 although the binary value lies just below).
QString fixedDigits(double absValue, int decimals) {
    const double scale = std::pow(10.0, decimals);
    const double scaled = absValue * scale;
    if (scaled < 1e15) {
        const double r = std::round(scaled * (1.0 + 4 * DBL_EPSILON));
        return QString::number(r / scale, 'f', decimals);
    }
    return QString::number(absValue, 'f', decimals);
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
        } else if (c == u'd' || c == u'm' || c == u'y' || c == u'h' || c == u'n' || c == u's') {
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
            out += len >= 3 ? QString::number(d.year()) : two(d.year() % 100);
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

Value jetFormat(const Value& value, const QString& format) {
    if (value.isNull())
        return {};
    // The text pictures that only change the letter case.
    if (format == u">")
        return value.toString().toUpper();
    if (format == u"<")
        return value.toString().toLower();
    const QString f = format.trimmed().toLower();
    std::optional<QDateTime> date;
    if (value.type() == Value::Type::Text)
        date = parseJetDateTime(value.toString());
    double number = 0;
    const bool isNumber = value.isNumber() || (value.type() == Value::Type::Text &&
                                               Value::parseNumber(value.toString(), &number));
    if (value.isNumber())
        number = value.toDouble();

    if (f.isEmpty() || f == u"general number")
        return value.toString();
    const QLocale loc;
    if (f == u"short date" && date)
        return loc.toString(date->date(), QLocale::ShortFormat);
    if (f == u"long date" && date)
        return loc.toString(date->date(), QLocale::LongFormat);
    if (f == u"medium date" && date)
        return formatDatePicture(*date, QStringLiteral("dd-mmm-yy"));
    if (f == u"general date" && date)
        return date->time() == QTime(0, 0) ? loc.toString(date->date(), QLocale::ShortFormat)
                                           : loc.toString(*date, QLocale::ShortFormat);
    if (isNumber) {
        if (f == u"currency")
            return loc.toCurrencyString(number, QString(), 2);
        if (f == u"fixed")
            return formatNumberPicture(number, QStringLiteral("0.00"));
        if (f == u"standard")
            return formatNumberPicture(number, QStringLiteral("#,##0.00"));
        if (f == u"percent")
            return formatNumberPicture(number, QStringLiteral("0.00%"));
        if (f == u"yes/no")
            return number != 0 ? QStringLiteral("Yes") : QStringLiteral("No");
        if (f == u"true/false")
            return number != 0 ? QStringLiteral("True") : QStringLiteral("False");
        if (f == u"on/off")
            return number != 0 ? QStringLiteral("On") : QStringLiteral("Off");
    }
    if (isDatePicture(format)) {
        if (date)
            return formatDatePicture(*date, format);
        return value.toString();
    }
    if (isNumber)
        return formatNumberPicture(number, format);
    return value.toString();
}

}  // namespace velmora::data
