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

QString displayDatePicture() {
    // Qt's pattern letters d, M and y become Format's d, m and y; quoted text stays text.
    const QString pattern = QLocale().dateFormat(QLocale::ShortFormat);
    QString out;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (c == u'\'') {
            const qsizetype close = pattern.indexOf(u'\'', i + 1);
            const qsizetype end = close < 0 ? pattern.size() : close;
            const QString text = pattern.mid(i + 1, end - i - 1);
            if (!text.isEmpty())
                out += u'"' + text + u'"';
            else if (close == i + 1)
                out += QStringLiteral("\\'");  // '' is a quote
            i = end;
        } else if (c == u'd' || c == u'y') {
            out += c;
        } else if (c == u'M') {
            out += u'm';
        } else if (c.isLetter() || c == u'"' || c == u'\\') {
            out += u'\\';
            out += c;
        } else {
            out += c;
        }
    }
    return out.isEmpty() ? QStringLiteral("d mmm yyyy") : out;
}

}  // namespace velmora::data
