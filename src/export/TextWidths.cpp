#include "TextWidths.h"

namespace velmora::exporting {

TextWidths::TextWidths(const QFontMetricsF& metrics) : metrics_(metrics) {
    for (char16_t c = 0; c < latin1_.size(); ++c)
        latin1_[c] = QChar(c).isPrint() ? metrics_.horizontalAdvance(QChar(c)) : -1;
}

qreal TextWidths::width(QStringView text) const {
    qreal sum = 0;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u >= latin1_.size() || latin1_[u] < 0)
            return metrics_.horizontalAdvance(text.toString());
        sum += latin1_[u];
    }
    return sum;
}

}  // namespace velmora::exporting
