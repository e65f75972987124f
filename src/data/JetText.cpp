#include "JetText.h"

#include <QChar>

#include <cmath>
#include <cstdlib>
#include <string>

namespace velmora::data {

namespace {

int trimmedLength(const char* s, int n) {
    while (n > 0 && s[n - 1] == ' ')
        --n;
    return n;
}

// The code point at s[*i], moving *i past it. A byte that does not start a well-formed
// UTF-8 sequence stands for itself, mapped above every code point.
char32_t decode(const unsigned char* s, int n, int* i) {
    const unsigned char c = s[*i];
    int extra = 0;
    char32_t cp = 0;
    if (c >= 0xC2 && c <= 0xDF) {
        extra = 1;
        cp = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
        extra = 2;
        cp = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        extra = 3;
        cp = c & 0x07;
    } else {
        ++*i;
        return c < 0x80 ? char32_t{c} : 0x110000 + c;
    }
    if (*i + extra >= n) {
        ++*i;
        return 0x110000 + c;
    }
    for (int k = 1; k <= extra; ++k) {
        if ((s[*i + k] & 0xC0) != 0x80) {
            ++*i;
            return 0x110000 + c;
        }
        cp = (cp << 6) | (s[*i + k] & 0x3F);
    }
    *i += extra + 1;
    return cp;
}

char32_t fold(char32_t cp) {
    return cp < 0x110000 ? QChar::toCaseFolded(cp) : cp;
}

int asciiLower(unsigned char c) {
    return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c;
}

// The folded code point at s[*i], moving *i past it: what texts are compared and hashed by.
char32_t foldedAt(const unsigned char* s, int n, int* i) {
    return s[*i] < 0x80 ? char32_t(asciiLower(s[(*i)++])) : fold(decode(s, n, i));
}

QChar foldChar(QChar c) {
    return c.toCaseFolded();
}

// Whether the pattern element at p[*at] matches c; *at moves past the element.
bool matchOne(QStringView p, qsizetype* at, QChar c) {
    const QChar e = p[*at];
    if (e == u'?') {
        ++*at;
        return true;
    }
    if (e == u'#') {
        ++*at;
        return c >= u'0' && c <= u'9';
    }
    if (e == u'[') {
        const qsizetype close = p.indexOf(u']', *at + 1);
        if (close > *at) {
            qsizetype k = *at + 1;
            bool negate = false;
            if (k < close && p[k] == u'!') {
                negate = true;
                ++k;
            }
            bool found = false;
            const QChar fc = foldChar(c);
            while (k < close) {
                QChar lo = p[k], hi = p[k];
                if (k + 2 < close && p[k + 1] == u'-') {
                    hi = p[k + 2];
                    k += 3;
                } else {
                    ++k;
                }
                if ((c >= lo && c <= hi) || (fc >= foldChar(lo) && fc <= foldChar(hi)))
                    found = true;
            }
            *at = close + 1;
            return found != negate;
        }
        // A "[" that is never closed is an ordinary character.
    }
    ++*at;
    return foldChar(e) == foldChar(c);
}

}  // namespace

int jetTextCompare(const char* a, int aBytes, const char* b, int bBytes) {
    const auto* x = reinterpret_cast<const unsigned char*>(a);
    const auto* y = reinterpret_cast<const unsigned char*>(b);
    const int n = trimmedLength(a, aBytes);
    const int m = trimmedLength(b, bBytes);
    int i = 0, j = 0;
    while (i < n && j < m) {
        if (x[i] < 0x80 && y[j] < 0x80) {
            const int d = asciiLower(x[i]) - asciiLower(y[j]);
            if (d != 0)
                return d;
            ++i;
            ++j;
            continue;
        }
        const char32_t u = foldedAt(x, n, &i);
        const char32_t v = foldedAt(y, m, &j);
        if (u != v)
            return u < v ? -1 : 1;
    }
    return (i < n ? 1 : 0) - (j < m ? 1 : 0);
}

std::uint64_t jetTextHash(const char* text, int bytes) {
    // FNV-1a over the folded code points, so that texts equal as compared hash alike.
    const auto* s = reinterpret_cast<const unsigned char*>(text);
    const int n = trimmedLength(text, bytes);
    std::uint64_t h = 14695981039346656037ull;
    for (int i = 0; i < n;)
        h = (h ^ foldedAt(s, n, &i)) * 1099511628211ull;
    return h;
}

bool jetLike(QStringView text, QStringView pattern) {
    qsizetype t = 0, p = 0;
    qsizetype starPattern = -1, starText = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == u'*') {
            while (p < pattern.size() && pattern[p] == u'*')
                ++p;
            starPattern = p;
            starText = t;
            continue;
        }
        qsizetype next = p;
        if (p < pattern.size() && matchOne(pattern, &next, text[t])) {
            p = next;
            ++t;
            continue;
        }
        if (starPattern < 0)
            return false;
        // Let the last "*" take one more character and try again from there.
        p = starPattern;
        t = ++starText;
    }
    while (p < pattern.size() && pattern[p] == u'*')
        ++p;
    return p == pattern.size();
}

std::optional<double> jetVal(const QString& text) {
    std::string s;
    s.reserve(static_cast<size_t>(text.size()));
    for (QChar c : text) {
        if (c == u' ' || c == u'\t' || c == u'\n' || c == u'\r')
            continue;
        if (c.unicode() >= 0x80)
            break;  // no digit of a number is outside ASCII
        s += static_cast<char>(c.unicode());
    }
    size_t i = 0;
    if (s.size() >= 2 && s[0] == '&' &&
        (s[1] == 'H' || s[1] == 'h' || s[1] == 'O' || s[1] == 'o')) {
        const int base = (s[1] == 'H' || s[1] == 'h') ? 16 : 8;
        unsigned long long v = 0;
        int digits = 0;
        for (i = 2; i < s.size() && digits < 16; ++i) {
            const char c = s[i];
            int d = -1;
            if (c >= '0' && c <= '7')
                d = c - '0';
            else if (base == 16 && c >= '8' && c <= '9')
                d = c - '0';
            else if (base == 16 && c >= 'a' && c <= 'f')
                d = c - 'a' + 10;
            else if (base == 16 && c >= 'A' && c <= 'F')
                d = c - 'A' + 10;
            if (d < 0)
                break;
            v = v * static_cast<unsigned>(base) + static_cast<unsigned>(d);
            ++digits;
        }
        // As in Basic, four hex digits make a 16-bit and eight a 32-bit signed number.
        if (v <= 0xFFFF && v >= 0x8000 && digits <= (base == 16 ? 4 : 6))
            return static_cast<double>(static_cast<long long>(v) - 0x10000);
        if (v <= 0xFFFFFFFFULL && v >= 0x80000000ULL && digits <= (base == 16 ? 8 : 11))
            return static_cast<double>(static_cast<long long>(v) - 0x100000000LL);
        return static_cast<double>(v);
    }
    std::string number;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        number += s[i++];
    bool digits = false;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
        number += s[i++];
        digits = true;
    }
    if (i < s.size() && s[i] == '.') {
        number += s[i++];
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
            number += s[i++];
            digits = true;
        }
    }
    if (!digits)
        return 0.0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D')) {
        size_t k = i + 1;
        std::string exponent = "e";
        if (k < s.size() && (s[k] == '+' || s[k] == '-'))
            exponent += s[k++];
        const size_t firstDigit = k;
        while (k < s.size() && s[k] >= '0' && s[k] <= '9' && k - firstDigit < 6)
            exponent += s[k++];
        if (k > firstDigit)
            number += exponent;
    }
    const double v = std::strtod(number.c_str(), nullptr);
    if (!std::isfinite(v))
        return std::nullopt;
    return v;
}

QString jetNumberText(double v) {
    if (v == 0.0)
        return QStringLiteral("0");
    return QString::number(v, 'g', 15).toUpper();
}

QString trimBlanks(const QString& text) {
    qsizetype b = 0, e = text.size();
    while (b < e && text[b] == u' ')
        ++b;
    while (e > b && text[e - 1] == u' ')
        --e;
    return text.mid(b, e - b);
}

}  // namespace velmora::data
