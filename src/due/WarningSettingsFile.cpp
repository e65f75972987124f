#include "WarningSettingsFile.h"

#include "data/Database.h"
#include "data/Recordset.h"
#include "data/ValueNumber.h"

#include <cmath>
#include <limits>

namespace velmora::due {

namespace {

using data::Value;

const QString kCreateTable = QStringLiteral(
    "CREATE TABLE WarningLevels (LifeBasis TEXT(2), SoonAmount DOUBLE, SoonPercent DOUBLE, "
    "SoonDays LONG)");

// Thresholds are finite numbers; anything else keeps the default.
std::optional<double> numberOf(const Value& v) {
    const auto d = data::numberIn(v);
    return d && std::isfinite(*d) ? d : std::nullopt;
}

void check(bool ok, Basis b, const char* what) {
    if (!ok)
        throw data::DbError(data::err::TypeMismatch,
                            QStringLiteral("The %1 of the %2 warning must be a number not below "
                                           "zero.")
                                .arg(QLatin1String(what), basisCode(b)));
}

}  // namespace

WarningSettings readWarningSettings(data::Database& companyDb) {
    WarningSettings out;
    if (!companyDb.hasTable(kWarningLevelsTable))
        return out;
    auto rs = companyDb.openRecordset(kWarningLevelsTable);
    const int basis = rs->fieldIndex(QStringLiteral("LifeBasis"));
    const int amount = rs->fieldIndex(QStringLiteral("SoonAmount"));
    const int percent = rs->fieldIndex(QStringLiteral("SoonPercent"));
    const int days = rs->fieldIndex(QStringLiteral("SoonDays"));
    if (basis < 0)
        return out;
    bool seen[kBasisCount] = {};
    for (const auto& row : rs->rows()) {
        auto at = [&](int i) { return i < 0 ? Value() : row.values[static_cast<size_t>(i)]; };
        const auto b = basisFromCode(at(basis).toString());
        if (!b || seen[basisIndex(*b)])
            continue;
        seen[basisIndex(*b)] = true;
        BasisWarning w;
        w.soonAmount = numberOf(at(amount));
        if (w.soonAmount && *w.soonAmount < 0)
            w.soonAmount.reset();
        if (const auto p = numberOf(at(percent)); p && *p >= 0)
            w.soonPercent = *p;
        w.soonDays.reset();
        if (const auto d = numberOf(at(days)); d && *d >= 0 && *d <= 1e6)
            w.soonDays = static_cast<int>(std::floor(*d));
        out.of(*b) = w;
    }
    return out;
}

void saveWarningSettings(data::Database& companyDb, const WarningSettings& settings) {
    for (Basis b : kAllBases) {
        const BasisWarning& w = settings.of(b);
        check(!w.soonAmount || (std::isfinite(*w.soonAmount) && *w.soonAmount >= 0), b, "amount");
        check(std::isfinite(w.soonPercent) && w.soonPercent >= 0, b, "share of the life");
        check(!w.soonDays || (*w.soonDays >= 0 && *w.soonDays <= 1000000), b, "number of days");
    }
    data::Transaction tx(companyDb);
    if (!companyDb.hasTable(kWarningLevelsTable))
        companyDb.execute(kCreateTable);
    auto rs = companyDb.openRecordset(kWarningLevelsTable);
    while (rs->recordCount() > 0) {
        rs->moveFirst();
        rs->deleteCurrent();
    }
    for (Basis b : kAllBases) {
        const BasisWarning& w = settings.of(b);
        rs->addNew();
        rs->setValue(QStringLiteral("LifeBasis"), Value(basisCode(b)));
        rs->setValue(QStringLiteral("SoonAmount"), w.soonAmount ? Value(*w.soonAmount) : Value());
        rs->setValue(QStringLiteral("SoonPercent"), Value(w.soonPercent));
        rs->setValue(QStringLiteral("SoonDays"), w.soonDays ? Value(*w.soonDays) : Value());
        rs->update();
    }
    tx.commit();
}

}  // namespace velmora::due
