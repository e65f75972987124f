#include "ComponentRules.h"

#include "entry/EntryRules.h"

#include <QLocale>

namespace velmora::aircraft {

bool yesNoFromText(const QString& text) {
    return text == u"Yes" || text.toUpper() == u"Y";
}

bool isLifeBasisCode(const QString& text) {
    for (const char* code : {"RT", "OH", "IN", "MO", "LD", "CY", "RN"}) {
        if (text == QLatin1String(code))
            return true;
    }
    return false;
}

double leadingNumber(const QString& text) {
    return entry::readEntryNumber(text);
}

std::optional<double> reservePerHour(const QString& costText, const QString& lifeText,
                                     const QString& basis) {
    if (basis != u"RT")
        return std::nullopt;
    QString cost = costText.trimmed();
    // The cell may show the amount in the locale's currency form.
    const QLocale loc;
    cost.remove(loc.currencySymbol());
    cost.remove(loc.groupSeparator());
    cost.remove(u'$');
    bool ok = false;
    const double c = cost.trimmed().toDouble(&ok);
    if (!ok)
        return std::nullopt;
    const double life = leadingNumber(lifeText);
    if (!(life > 0))
        return std::nullopt;
    return c / life;
}

}  // namespace velmora::aircraft
