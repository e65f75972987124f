#include "OilLimitsStore.h"

#include "data/Database.h"
#include "data/JetSqlTranslator.h"
#include "data/Recordset.h"
#include "data/ValueNumber.h"

#include <cmath>

namespace velmora::oil::limits {

namespace {

using data::Value;

const QString kCreateTable = QStringLiteral(
    "CREATE TABLE OilLimits (Scope TEXT(10), RegNum TEXT(10), Make TEXT(50), Model TEXT(50), "
    "Component TEXT(255), Element TEXT(20), CautionPpm DOUBLE, AlertPpm DOUBLE, "
    "CautionRise DOUBLE)");

QString scopeCode(LimitScope scope) {
    switch (scope) {
        case LimitScope::Component:
            return QStringLiteral("Component");
        case LimitScope::Model:
            return QStringLiteral("Model");
        case LimitScope::Company:
            break;
    }
    return QStringLiteral("Company");
}

// The key's columns and values; unused ones hold empty text.
QStringList keyColumns() {
    return {QStringLiteral("Scope"), QStringLiteral("RegNum"), QStringLiteral("Make"),
            QStringLiteral("Model"), QStringLiteral("Component")};
}
QStringList keyValues(const LimitKey& key) {
    return {scopeCode(key.scope), key.regNum.trimmed(), key.make.trimmed(), key.model.trimmed(),
            key.component.trimmed()};
}

// The condition on the key's columns, their values bound to ?1 .. ?5.
QString whereKey() {
    const QStringList columns = keyColumns();
    QString where;
    for (int i = 0; i < columns.size(); ++i) {
        where += i == 0 ? QStringLiteral(" where ") : QStringLiteral(" and ");
        where += data::quoteJetName(columns[i]) + QStringLiteral("=?") + QString::number(i + 1);
    }
    return where;
}

std::vector<Value> keyParameters(const LimitKey& key) {
    std::vector<Value> out;
    for (const QString& v : keyValues(key))
        out.emplace_back(v);
    return out;
}

std::optional<double> limitValue(const Value& v) {
    const auto d = data::numberIn(v);
    return d && std::isfinite(*d) && *d >= 0 ? d : std::nullopt;
}

Value stored(const std::optional<double>& v) {
    return v ? Value(*v) : Value();
}

}  // namespace

LimitKey LimitKey::forComponent(const QString& regNum, const QString& component) {
    LimitKey k;
    k.scope = LimitScope::Component;
    k.regNum = regNum;
    k.component = component;
    return k;
}

LimitKey LimitKey::forModel(const QString& make, const QString& model, const QString& component) {
    LimitKey k;
    k.scope = LimitScope::Model;
    k.make = make;
    k.model = model;
    k.component = component;
    return k;
}

LimitKey LimitKey::company() {
    return {};
}

namespace {

// A key as text, letter case and outer blanks folded, for the limit book.
QString foldedKey(const QStringList& values) {
    QStringList folded;
    for (const QString& v : values)
        folded << v.trimmed().toCaseFolded();
    return folded.join(QChar(0x1f));
}

// A row's limit; nothing when the program would not have written it.
std::optional<ElementLimit> rowLimit(const Value& caution, const Value& alert, const Value& rise) {
    ElementLimit l;
    l.caution = limitValue(caution);
    l.alert = limitValue(alert);
    l.cautionRise = limitValue(rise);
    if (!limitProblem(l).isEmpty())
        return std::nullopt;
    return l;
}

}  // namespace

LimitSet readLimitSet(data::Database& mainDb, const LimitKey& key) {
    LimitSet out{};
    if (!mainDb.hasTable(kOilLimitsTable))
        return out;
    auto rs = mainDb.openRecordset(QStringLiteral("select [Element],[CautionPpm],[AlertPpm],"
                                                  "[CautionRise] from [OilLimits]") +
                                       whereKey(),
                                   keyParameters(key));
    for (const auto& row : rs->rows()) {
        const int e = elementIndex(row.values[0].toString().trimmed());
        if (e < 0)
            continue;
        // A row the program would not have written is not judged by.
        if (const auto l = rowLimit(row.values[1], row.values[2], row.values[3]))
            out[static_cast<size_t>(e)] = *l;
    }
    return out;
}

void saveLimitSet(data::Database& mainDb, const LimitKey& key, const LimitSet& limits) {
    for (int e = 0; e < kElementCount; ++e) {
        const QString problem = limitProblem(limits[static_cast<size_t>(e)]);
        if (!problem.isEmpty())
            throw data::DbError(data::err::TypeMismatch,
                                elementName(e) + QStringLiteral(": ") + problem);
    }
    // No limits where the file keeps none leaves the file as it is.
    if (isEmpty(limits) && !mainDb.hasTable(kOilLimitsTable))
        return;
    data::Transaction tx(mainDb);
    if (!mainDb.hasTable(kOilLimitsTable))
        mainDb.execute(kCreateTable);
    const QStringList values = keyValues(key);
    mainDb.executeBound(QStringLiteral("DELETE FROM OilLimits WHERE Scope = ?1 AND RegNum = ?2 "
                                       "AND Make = ?3 AND Model = ?4 AND Component = ?5"),
                        keyParameters(key));
    for (int e = 0; e < kElementCount; ++e) {
        const ElementLimit& l = limits[static_cast<size_t>(e)];
        if (l.isEmpty())
            continue;
        mainDb.executeBound(
            QStringLiteral("INSERT INTO OilLimits (Scope, RegNum, Make, Model, Component, "
                           "Element, CautionPpm, AlertPpm, CautionRise) VALUES (?1, ?2, ?3, ?4, "
                           "?5, ?6, ?7, ?8, ?9)"),
            {Value(values[0]), Value(values[1]), Value(values[2]), Value(values[3]),
             Value(values[4]), Value(elementName(e)), stored(l.caution), stored(l.alert),
             stored(l.cautionRise)});
    }
    tx.commit();
}

AircraftModel aircraftModel(data::Database& mainDb, const QString& regNum) {
    AircraftModel out;
    auto rs = mainDb.openRecordset(
        QStringLiteral("select [Make],[Model] from [Aircraft] where [RegNum]=?1"), {Value(regNum)});
    if (!rs->rows().empty()) {
        const auto& row = rs->rows().front();
        out.make = row.values[0].toString().trimmed();
        out.model = row.values[1].toString().trimmed();
    }
    return out;
}

LimitLevels readLimitLevels(data::Database& mainDb, const QString& regNum,
                            const QString& component) {
    LimitLevels levels;
    if (!mainDb.hasTable(kOilLimitsTable))
        return levels;
    levels.component = readLimitSet(mainDb, LimitKey::forComponent(regNum, component));
    const AircraftModel m = aircraftModel(mainDb, regNum);
    if (!m.make.isEmpty() || !m.model.isEmpty())
        levels.model = readLimitSet(mainDb, LimitKey::forModel(m.make, m.model, component));
    levels.company = readLimitSet(mainDb, LimitKey::company());
    return levels;
}

LimitBook LimitBook::read(data::Database& mainDb) {
    LimitBook book;
    if (!mainDb.hasTable(kOilLimitsTable))
        return book;
    auto rs = mainDb.openRecordset(
        QStringLiteral("select [Scope],[RegNum],[Make],[Model],[Component],[Element],"
                       "[CautionPpm],[AlertPpm],[CautionRise] from [OilLimits]"));
    for (const auto& row : rs->rows()) {
        const int e = elementIndex(row.values[5].toString().trimmed());
        if (e < 0)
            continue;
        if (const auto l = rowLimit(row.values[6], row.values[7], row.values[8])) {
            QStringList key;
            for (size_t i = 0; i < 5; ++i)
                key << row.values[i].toString();
            book.sets_[foldedKey(key)][static_cast<size_t>(e)] = *l;
        }
    }
    if (book.sets_.empty())
        return book;
    auto aircraft =
        mainDb.openRecordset(QStringLiteral("select [RegNum],[Make],[Model] from [Aircraft]"));
    for (const auto& row : aircraft->rows()) {
        const QString reg = row.values[0].toString().trimmed().toCaseFolded();
        // The first record of a registration is the aircraft, as the screens find it.
        if (!book.models_.count(reg))
            book.models_[reg] = {row.values[1].toString().trimmed(),
                                 row.values[2].toString().trimmed()};
    }
    return book;
}

LimitLevels LimitBook::levelsFor(const QString& regNum, const QString& component) const {
    LimitLevels levels;
    auto find = [this](const LimitKey& key, LimitSet* out) {
        const auto it = sets_.find(foldedKey(keyValues(key)));
        if (it != sets_.end())
            *out = it->second;
    };
    find(LimitKey::forComponent(regNum, component), &levels.component);
    const auto m = models_.find(regNum.trimmed().toCaseFolded());
    if (m != models_.end() && (!m->second.make.isEmpty() || !m->second.model.isEmpty()))
        find(LimitKey::forModel(m->second.make, m->second.model, component), &levels.model);
    find(LimitKey::company(), &levels.company);
    return levels;
}

}  // namespace velmora::oil::limits
