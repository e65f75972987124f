#include "EntryRules.h"

#include "data/JetFormat.h"

#include <charconv>
#include <cmath>
#include <string>
#include <system_error>

namespace velmora::entry {

namespace {

bool isAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// The value of a hexadecimal (base 16) or octal (base 8) digit, or -1 when c is none.
int digitValue(QChar c, int base) {
    int d = -1;
    if (isAsciiDigit(c))
        d = c.unicode() - u'0';
    else if (c >= u'a' && c <= u'f')
        d = c.unicode() - u'a' + 10;
    else if (c >= u'A' && c <= u'F')
        d = c.unicode() - u'A' + 10;
    return d >= 0 && d < base ? d : -1;
}

double readWhole(const QString& s, qsizetype from, int base) {
    double v = 0;
    for (qsizetype i = from; i < s.size(); ++i) {
        const int d = digitValue(s[i], base);
        if (d < 0)
            break;
        v = v * base + d;
    }
    return std::isfinite(v) ? v : 0.0;
}

}  // namespace

double readEntryNumber(const QString& text) {
    QString s;
    s.reserve(text.size());
    for (const QChar c : text) {
        if (c != u' ' && c != u'\t' && c != u'\n')
            s += c;
    }
    const qsizetype n = s.size();
    if (n >= 2 && s[0] == u'&') {
        const QChar kind = s[1].toUpper();
        if (kind == u'H')
            return readWhole(s, 2, 16);
        if (kind == u'O')
            return readWhole(s, 2, 8);
        return 0.0;
    }

    // The number is copied in the plain form from_chars reads: [-]digits[.digits][e[sign]digits].
    std::string number;
    qsizetype i = 0;
    if (i < n && s[i] == u'+') {
        ++i;
        if (i < n && (s[i] == u'+' || s[i] == u'-')) {
            if (s[i] == u'-')
                number += '-';
            ++i;
        }
    } else if (i < n && s[i] == u'-') {
        number += '-';
        ++i;
    }
    bool digits = false, point = false;
    for (; i < n; ++i) {
        const QChar c = s[i];
        if (isAsciiDigit(c)) {
            number += static_cast<char>(c.unicode());
            digits = true;
        } else if (c == u'.' && !point) {
            number += '.';
            point = true;
        } else {
            break;
        }
    }
    if (!digits)
        return 0.0;
    if (i < n) {
        const QChar e = s[i].toUpper();
        if (e == u'E' || e == u'D') {
            std::string exponent = "e";
            qsizetype j = i + 1;
            if (j < n && (s[j] == u'+' || s[j] == u'-'))
                exponent += static_cast<char>(s[j++].unicode());
            bool expDigits = false;
            for (; j < n && isAsciiDigit(s[j]); ++j) {
                exponent += static_cast<char>(s[j].unicode());
                expDigits = true;
            }
            if (expDigits)
                number += exponent;
        }
    }
    // from_chars ignores the process locale: "." is always the decimal point.
    double v = 0;
    const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), v);
    (void)end;
    if (ec != std::errc{} || !std::isfinite(v))
        return 0.0;
    return v;
}

QString writeInPicture(double v, const QString& picture) {
    return data::formatNumberPicture(v, picture);
}

QString plainNumberText(double v) {
    return data::formatNumber(v);
}

}  // namespace velmora::entry
