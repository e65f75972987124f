#include "RetirementDate.h"

#include "data/JetDates.h"

namespace velmora::remaining {

data::Value retirementDate(const data::Value& shown, const data::Value& installDate,
                           const data::Value& lifeMonths) {
    if (shown.type() != data::Value::Type::Text || shown.toString().trimmed().isEmpty() ||
        installDate.isNull() || lifeMonths.isNull())
        return shown;
    double months = 0;
    if (lifeMonths.isNumber())
        months = lifeMonths.toDouble();
    else if (!data::Value::parseNumber(lifeMonths.toString(), &months))
        return shown;
    const auto installed = data::parseJetDateTime(installDate.toString());
    if (!installed)
        return shown;
    const auto due = data::jetDateAdd(QStringLiteral("m"), months, *installed);
    if (!due || due->date().toString(QStringLiteral("MM/dd/yy")) != shown.toString().trimmed())
        return shown;
    return data::Value(due->date().toString(Qt::ISODate));
}

}  // namespace velmora::remaining
