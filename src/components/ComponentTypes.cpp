#include "ComponentTypes.h"

#include "data/ConstantTable.h"
#include "data/JetDates.h"
#include "data/TextKey.h"
#include "data/ValueNumber.h"

namespace velmora::components {

namespace {

// Where a removed component goes, as the stores list and the history show it.
constexpr std::array<data::Named<Location>, 4> kLocations = {{
    {Location::StoresServiceable, "stores serviceable"},
    {Location::StoresUnserviceable, "stores unserviceable"},
    {Location::Shop, "shop"},
    {Location::Scrapped, "scrapped"},
}};

}  // namespace

bool ComponentKey::isBlank() const {
    return partNumber.trimmed().isEmpty() || serialNumber.trimmed().isEmpty();
}

bool ComponentKey::sameAs(const ComponentKey& other) const {
    return groupKey() == other.groupKey();
}

QString ComponentKey::groupKey() const {
    return data::textKey(partNumber) + QChar(0x1f) + data::textKey(serialNumber);
}

QString ComponentKey::label() const {
    return QStringLiteral("P/N %1 S/N %2").arg(partNumber.trimmed(), serialNumber.trimmed());
}

const QStringList& partColumns() {
    static const QStringList c = {
        QStringLiteral("RegNum"),          QStringLiteral("ItemNumber"),
        QStringLiteral("MeterNumber"),     QStringLiteral("Active"),
        QStringLiteral("Assembly"),        QStringLiteral("Description"),
        QStringLiteral("PartNumber"),      QStringLiteral("Serial#"),
        QStringLiteral("DatePurchased"),   QStringLiteral("Manufacturer"),
        QStringLiteral("Inspection"),      QStringLiteral("ReplaceCost"),
        QStringLiteral("ReservePerHour"),  QStringLiteral("LifeNumber"),
        QStringLiteral("LifeBasis"),       QStringLiteral("InstallDate"),
        QStringLiteral("InstallTimeLeft"), QStringLiteral("InstallACHour"),
        QStringLiteral("Notes"),           QStringLiteral("OilAnalysis")};
    return c;
}

std::optional<due::Basis> Limit::basis() const {
    return due::basisFromCode(basisCode());
}

QString Limit::basisCode() const {
    const data::Value& v = row[LifeBasis];
    return v.isNull() ? QString() : v.toString();
}

std::optional<double> Limit::meter() const {
    return data::numberIn(row[MeterNumber]);
}
std::optional<double> Limit::life() const {
    return data::numberIn(row[LifeNumber]);
}
std::optional<double> Limit::usedAtInstall() const {
    return data::numberIn(row[InstallTimeLeft]);
}
std::optional<double> Limit::totalAtInstall() const {
    return data::numberIn(row[InstallACHour]);
}

QDate Limit::installDate() const {
    const data::Value& v = row[InstallDate];
    if (v.isNull())
        return {};
    const auto dt = data::parseJetDateTime(v.toString());
    return dt ? dt->date() : QDate();
}

QString Limit::describe() const {
    const auto b = basis();
    const QString code = b ? due::basisCode(*b) : basisCode().trimmed();
    QString text = code;
    if (const auto l = life())
        text += QStringLiteral(" %1").arg(*l);
    if (b)
        text += QStringLiteral(" ") + due::basisUnit(*b);
    if (b && due::isTimeBasis(*b)) {
        if (const auto m = meter())
            text += QStringLiteral(" (meter %1)").arg(*m);
    }
    return text;
}

QString locationText(Location l) {
    return QString::fromLatin1(data::nameOf(kLocations, l));
}

QStringList locationTexts() {
    QStringList texts;
    for (const auto& r : kLocations)
        texts << QString::fromLatin1(r.name);
    return texts;
}

std::optional<Location> locationFrom(const QString& text) {
    const auto* r =
        data::rowWhere(kLocations, &data::Named<Location>::name, data::textKey(text.trimmed()));
    return r ? std::optional(r->key) : std::nullopt;
}

std::optional<double> StoredLimit::remaining() const {
    const auto b = limit.basis();
    const auto l = limit.life();
    if (!b || *b == due::Basis::MO || !l || !lifeUsed)
        return std::nullopt;
    return *l - *lifeUsed;
}

QDate StoredLimit::retireDate() const {
    const auto b = limit.basis();
    const auto l = limit.life();
    const QDate from = limit.installDate();
    if (!b || *b != due::Basis::MO || !l || !from.isValid())
        return {};
    const auto d = data::jetDateAdd(QStringLiteral("m"), *l, QDateTime(from, QTime(0, 0)));
    return d ? d->date() : QDate();
}

}  // namespace velmora::components
