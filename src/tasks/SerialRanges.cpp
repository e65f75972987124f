#include "SerialRanges.h"

#include <QRegularExpression>
#include <QStringList>

namespace velmora::tasks {

namespace {

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

bool allDigits(const QString& s) {
    if (s.isEmpty())
        return false;
    for (QChar c : s) {
        if (!isDigit(c))
            return false;
    }
    return true;
}

// A run of digits compared by its value, whatever its length: leading zeros dropped, then
// the longer run is the larger number.
int compareNumberRuns(QStringView a, QStringView b) {
    while (a.size() > 1 && a.front() == u'0')
        a = a.mid(1);
    while (b.size() > 1 && b.front() == u'0')
        b = b.mid(1);
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    return a.compare(b);
}

// What a serial number looks like: each run of digits as '#', letters in one case ("C-#"
// for "c-150"). A range holds serial numbers of the look of one of its ends only, so that
// "1200.." does not take in "AB-8", which sorts after every number.
QString shapeOf(const QString& serial) {
    QString shape;
    bool inDigits = false;
    for (QChar c : serial.trimmed().toCaseFolded()) {
        if (isDigit(c)) {
            if (!inDigits)
                shape += u'#';
            inDigits = true;
            continue;
        }
        inDigits = false;
        shape += c;
    }
    return shape;
}

}  // namespace

int compareSerials(const QString& left, const QString& right) {
    const QString a = left.trimmed().toCaseFolded();
    const QString b = right.trimmed().toCaseFolded();
    qsizetype i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            qsizetype ei = i, ej = j;
            while (ei < a.size() && isDigit(a[ei]))
                ++ei;
            while (ej < b.size() && isDigit(b[ej]))
                ++ej;
            const int c =
                compareNumberRuns(QStringView(a).mid(i, ei - i), QStringView(b).mid(j, ej - j));
            if (c != 0)
                return c;
            i = ei;
            j = ej;
            continue;
        }
        if (a[i] != b[j])
            return a[i] < b[j] ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < a.size())
        return 1;
    if (j < b.size())
        return -1;
    return 0;
}

std::optional<SerialRanges> SerialRanges::parse(const QString& text, QString* error) {
    SerialRanges out;
    if (text.trimmed().isEmpty())
        return out;
    static const QRegularExpression separators(QStringLiteral("[,;]"));
    static const QRegularExpression spelledRange(QStringLiteral("\\s+(?:to|through|thru)\\s+"),
                                                 QRegularExpression::CaseInsensitiveOption);
    for (const QString& raw : text.split(separators)) {
        const QString item = raw.trimmed();
        if (item.isEmpty()) {
            *error = QStringLiteral("the serial numbers \"%1\" hold an empty item").arg(text);
            return std::nullopt;
        }
        Item range;
        QStringList ends;
        if (item.contains(QStringLiteral(".."))) {
            ends = item.split(QStringLiteral(".."));
        } else if (item.contains(spelledRange)) {
            ends = item.split(spelledRange);
        } else if (const qsizetype dash = item.indexOf(u'-');
                   dash > 0 && allDigits(item.left(dash).trimmed()) &&
                   allDigits(item.mid(dash + 1).trimmed())) {
            ends = {item.left(dash), item.mid(dash + 1)};
        }
        if (ends.isEmpty()) {
            range.from = item;
            range.to = item;
        } else {
            if (ends.size() != 2 || (ends[0].trimmed().isEmpty() && ends[1].trimmed().isEmpty())) {
                *error = QStringLiteral("the serial-number range \"%1\" cannot be read").arg(item);
                return std::nullopt;
            }
            if (!ends[0].trimmed().isEmpty())
                range.from = ends[0].trimmed();
            if (!ends[1].trimmed().isEmpty())
                range.to = ends[1].trimmed();
            if (range.from && range.to && compareSerials(*range.from, *range.to) > 0) {
                *error =
                    QStringLiteral("the serial-number range \"%1\" begins after it ends").arg(item);
                return std::nullopt;
            }
        }
        out.items_.push_back(std::move(range));
    }
    return out;
}

bool SerialRanges::contains(const QString& serial) const {
    if (items_.empty() || serial.trimmed().isEmpty())
        return true;
    const QString shape = shapeOf(serial);
    for (const Item& item : items_) {
        if ((!item.from || shapeOf(*item.from) != shape) &&
            (!item.to || shapeOf(*item.to) != shape))
            continue;
        if (item.from && compareSerials(serial, *item.from) < 0)
            continue;
        if (item.to && compareSerials(serial, *item.to) > 0)
            continue;
        return true;
    }
    return false;
}

}  // namespace velmora::tasks
