#include "NumberCells.h"

#include "data/Value.h"

#include <QLocale>

#include <cmath>

namespace velmora::due {

bool readFigure(const QString& text, std::optional<double>* out) {
    const QString t = text.trimmed();
    if (t.isEmpty()) {
        out->reset();
        return true;
    }
    bool ok = false;
    double d = QLocale().toDouble(t, &ok);
    if (!ok)
        d = QLocale::c().toDouble(t, &ok);
    if (!ok || !std::isfinite(d) || d < 0)
        return false;
    *out = d;
    return true;
}

QString figureText(const std::optional<double>& figure) {
    return figure ? data::formatNumber(*figure) : QString();
}

}  // namespace velmora::due
