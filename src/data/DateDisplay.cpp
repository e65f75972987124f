#include "DateDisplay.h"

#include <QLocale>

namespace velmora::data {

QString displayDate(const QDate& date) {
    return date.isValid() ? QLocale().toString(date, QLocale::ShortFormat) : QString();
}

QString displayDateText(const QString& text) {
    if (text.size() < 10 || text[4] != u'-' || text[7] != u'-')
        return text;
    if (text.size() > 10 && text[10] != u' ' && text[10] != u'T')
        return text;
    const QDate d = QDate::fromString(text.left(10), Qt::ISODate);
    return d.isValid() ? displayDate(d) : text;
}

}  // namespace velmora::data
