#include "TaskTestData.h"

namespace velmora::testing {

void describeAircraft(data::Database& db, const QString& reg, const QString& make,
                      const QString& model, const QString& serial, const QString& year) {
    db.execute(QStringLiteral("UPDATE Aircraft SET Make = ?1, Model = ?2, [Serial Number] = ?3, "
                              "[Year] = ?4 WHERE RegNum = ?5"),
               {data::Value(make), data::Value(model), data::Value(serial), data::Value(year),
                data::Value(reg)});
}

tasks::Task directive(const QString& number, const QString& make, const QString& model) {
    tasks::Task t;
    t.kind = tasks::TaskKind::Directive;
    t.number = number;
    t.title = QStringLiteral("Tail rotor inspection");
    t.authority = QStringLiteral("FAA");
    t.effectiveDate = QDate(2025, 1, 1);
    t.revisionDate = QDate(2024, 12, 1);
    t.appliesTo = tasks::AppliesTo::Model;
    t.make = make;
    t.model = model;
    t.interval[tasks::slot(tasks::Parameter::Hours)] = 100;
    return t;
}

tasks::Task partDirective(const QString& number, const QString& partNumber) {
    tasks::Task t = directive(number, {});
    t.appliesTo = tasks::AppliesTo::Part;
    t.partNumber = partNumber;
    t.interval = {};
    t.interval[tasks::slot(tasks::Parameter::Landings)] = 500;
    return t;
}

}  // namespace velmora::testing
