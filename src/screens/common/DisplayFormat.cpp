#include "DisplayFormat.h"

#include "data/DateDisplay.h"
#include "data/JetDates.h"
#include "data/JetFormat.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>

#include <optional>

namespace velmora::screens {

namespace {

// The number a value holds: numbers as they are, text when it reads as one.
std::optional<double> numberOf(const data::Value& v) {
    if (v.isNumber())
        return v.toDouble();
    double d = 0;
    if (v.type() == data::Value::Type::Text && data::Value::parseNumber(v.toString(), &d))
        return d;
    return std::nullopt;
}

QString shortDate(const data::Value& v) {
    const QString text = v.toString();
    if (v.type() == data::Value::Type::Text) {
        if (const auto d = isoDate(text))
            return data::displayDate(*d);
    }
    return text;
}

}  // namespace

std::optional<QDate> isoDate(const QString& text) {
    if (text.size() < 10 || text[4] != u'-' || text[7] != u'-')
        return std::nullopt;
    if (text.size() > 10 && text[10] != u' ' && text[10] != u'T')
        return std::nullopt;
    const QDate d = QDate::fromString(text.left(10), Qt::ISODate);
    if (!d.isValid())
        return std::nullopt;
    return d;
}

QString formatForDisplay(const data::Value& v, const QString& format, data::FieldType type) {
    const QString f = format.trimmed();
    if (f.isEmpty()) {
        if (type.kind == data::FieldType::Kind::Date)
            return shortDate(v);
        return v.toString();
    }
    if (f.compare(u"Short Date", Qt::CaseInsensitive) == 0)
        return shortDate(v);
    if (f.compare(u"Yes/No", Qt::CaseInsensitive) == 0) {
        if (v.isNumber())
            return v.toDouble() != 0.0 ? QStringLiteral("Yes") : QStringLiteral("No");
        return v.toString();
    }
    if (f.compare(u"General Number", Qt::CaseInsensitive) == 0) {
        if (v.type() == data::Value::Type::Text) {
            if (const auto n = numberOf(v))
                return data::formatNumber(*n);
        }
        return v.toString();
    }
    if (f.compare(u"Currency", Qt::CaseInsensitive) == 0) {
        if (const auto n = numberOf(v))
            return QLocale().toCurrencyString(*n, QString(), 2);
        return v.toString();
    }
    // A date picture ("mm/dd/yy") applies to ISO date text.
    if (data::isDatePicture(format)) {
        if (v.type() == data::Value::Type::Text) {
            const QString text = v.toString();
            if (const auto d = isoDate(text)) {
                QTime t(0, 0);
                if (text.size() > 10)
                    t = QTime::fromString(text.mid(11), Qt::ISODate);
                return data::formatDatePicture(QDateTime(*d, t.isValid() ? t : QTime(0, 0)),
                                               format);
            }
        }
        return v.toString();
    }
    // A number picture: Null takes the fourth section, numbers (and numeric text) the
    // others; text that is no number is shown as it stands.
    if (v.isNull())
        return data::formatNumberPicture(std::nullopt, format);
    if (const auto n = numberOf(v))
        return data::formatNumberPicture(*n, format);
    return v.toString();
}

std::optional<QString> formatForExport(const data::Value& v, const QString& format,
                                       data::FieldType type) {
    if (v.isNull())
        return std::nullopt;
    const QString shown = formatForDisplay(v, format, type);
    if (shown.trimmed().isEmpty())
        return std::nullopt;
    const QString f = format.trimmed();
    auto named = [&f](const char* name) {
        return f.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
    };
    if (named("Yes/No"))
        return shown;
    if (named("Short Date") || (f.isEmpty() && type.kind == data::FieldType::Kind::Date))
        return v.toString();
    const auto n = numberOf(v);
    if (named("Currency"))
        return n ? data::formatNumberPicture(*n, QStringLiteral("0.00")) : shown;
    if (f.isEmpty() || named("General Number"))
        return shown;
    if (data::isDatePicture(f))
        return v.toString();
    if (!n)
        return shown;
    // A number picture writes "." as its decimal point and "," between groups of digits;
    // what else it adds (a currency sign, a blank) is no part of the number.
    QString number;
    for (const QChar c : shown) {
        if (c.isDigit() || c == u'.' || c == u'-' || c == u'%')
            number += c;
    }
    if (number.isEmpty())
        return std::nullopt;
    return number;
}

bool isOverdue(const data::Value& v) {
    return v.isNumber() && v.toDouble() < 0.0;
}

bool isPastDue(const data::Value& v, const QDate& today) {
    if (v.type() != data::Value::Type::Text)
        return false;
    const auto due = data::parseJetDateTime(v.toString());
    return due && due->date() < today;
}

}  // namespace velmora::screens
