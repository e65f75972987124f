#include "TemplateLibrary.h"

#include "data/Database.h"
#include "data/JetSqlTranslator.h"
#include "data/Recordset.h"
#include "data/Schema.h"

namespace velmora::aircraft {

using data::Database;
using data::DbError;
using data::Value;

QString makeNameProblem(const QString& make) {
    const QString m = make.trimmed();
    if (m.isEmpty())
        return QStringLiteral(
            "A make made of blanks cannot hold a template. Type the make's "
            "name.");
    if (make.contains(u']'))
        return QStringLiteral(
                   "The make \"%1\" contains ']', which a template cannot be stored "
                   "under. Change the make's name.")
            .arg(make);
    if (m.compare(QLatin1String("Aircraft"), Qt::CaseInsensitive) == 0 ||
        m.startsWith(QLatin1String("sqlite_"), Qt::CaseInsensitive) || m.startsWith(u'_'))
        return QStringLiteral(
                   "\"%1\" cannot be used as a make for templates: the template "
                   "library uses that name itself.")
            .arg(make);
    return {};
}

QString templateReadSql(const QString& make, const QString& model, bool capitalSelect) {
    const QString problem = makeNameProblem(make);
    if (!problem.isEmpty())
        throw DbError(data::err::SyntaxError, problem);
    return (capitalSelect ? QStringLiteral("Select") : QStringLiteral("select")) +
           QStringLiteral(
               " [ItemNumber],[Model],[Year],[Manufacturer],[Description],[TBO],"
               "[PartNum],[Assembly],[Basis],[Cost] from ") +
           data::quoteJetName(make) + QStringLiteral(" where [Model]=") +
           data::quoteJetLiteral(model);
}

void saveTemplate(const QString& libraryFile, const QString& make, const QString& model,
                  const std::vector<TemplateRow>& rows) {
    const QString read = templateReadSql(make, model, true);
    auto db = Database::open(libraryFile);
    data::Transaction tx(*db);
    if (!db->hasTable(make))
        db->execute(data::schema::templateTableStatement(make));
    auto rs = db->openRecordset(read);
    // The model's earlier template goes first.
    while (rs->recordCount() > 0) {
        rs->moveFirst();
        rs->deleteCurrent();
    }
    for (const TemplateRow& r : rows) {
        rs->addNew();
        rs->setValue(QStringLiteral("ItemNumber"), r.itemNumber);
        rs->setValue(QStringLiteral("Model"), Value(model));
        rs->setValue(QStringLiteral("Manufacturer"), r.manufacturer);
        rs->setValue(QStringLiteral("Description"), r.description);
        rs->setValue(QStringLiteral("PartNum"), r.partNumber);
        rs->setValue(QStringLiteral("Assembly"), r.assembly);
        rs->setValue(QStringLiteral("TBO"), r.lifeNumber);
        rs->setValue(QStringLiteral("Basis"), r.lifeBasis);
        rs->setValue(QStringLiteral("Cost"), r.cost);
        rs->update();
    }
    // The index keeps the make and model once.
    db->execute(QStringLiteral("DELETE FROM Aircraft WHERE Make = ?1 AND Model = ?2"),
                {Value(make), Value(model)});
    db->execute(QStringLiteral("INSERT INTO Aircraft (Make, Model) VALUES (?1, ?2)"),
                {Value(make), Value(model)});
    tx.commit();
}

std::vector<TemplateRow> readTemplate(const QString& libraryFile, const QString& make,
                                      const QString& model) {
    const QString read = templateReadSql(make, model);
    auto db = Database::open(libraryFile);
    auto rs = db->openRecordset(read);
    std::vector<TemplateRow> out;
    const int item = rs->fieldIndex(QStringLiteral("ItemNumber")),
              man = rs->fieldIndex(QStringLiteral("Manufacturer")),
              desc = rs->fieldIndex(QStringLiteral("Description")),
              part = rs->fieldIndex(QStringLiteral("PartNum")),
              assy = rs->fieldIndex(QStringLiteral("Assembly")),
              tbo = rs->fieldIndex(QStringLiteral("TBO")),
              basis = rs->fieldIndex(QStringLiteral("Basis")),
              cost = rs->fieldIndex(QStringLiteral("Cost"));
    for (const auto& row : rs->rows()) {
        const auto& v = row.values;
        out.push_back({v[static_cast<size_t>(item)], v[static_cast<size_t>(man)],
                       v[static_cast<size_t>(desc)], v[static_cast<size_t>(part)],
                       v[static_cast<size_t>(assy)], v[static_cast<size_t>(tbo)],
                       v[static_cast<size_t>(basis)], v[static_cast<size_t>(cost)]});
    }
    return out;
}

std::vector<std::int64_t> generatedItemNumbers(const std::vector<std::int64_t>& stored) {
    std::vector<std::int64_t> out;
    std::int64_t running = 1;
    for (std::int64_t n : stored) {
        if (n == 0) {
            out.push_back(running);
            running = running == 1 ? 5 : running + 5;
        } else {
            out.push_back(n);
        }
    }
    return out;
}

void applyTemplate(const QString& mainFile, const QString& regNum, const QString& make,
                   const std::vector<TemplateRow>& rows) {
    std::vector<std::int64_t> stored;
    for (const TemplateRow& r : rows)
        stored.push_back(r.itemNumber.toInt());
    const std::vector<std::int64_t> items = generatedItemNumbers(stored);
    auto db = Database::open(mainFile);
    data::Transaction tx(*db);
    auto parts = db->openRecordset(QStringLiteral("select * from [Parts] where [RegNum] = ''"));
    for (size_t i = 0; i < rows.size(); ++i) {
        const TemplateRow& r = rows[i];
        parts->addNew();
        parts->setValue(QStringLiteral("RegNum"), Value(regNum));
        parts->setValue(QStringLiteral("ItemNumber"), Value(items[i]));
        parts->setValue(QStringLiteral("MeterNumber"), Value(1));
        parts->setValue(QStringLiteral("Active"), Value(true));
        parts->setValue(QStringLiteral("Assembly"), r.assembly);
        parts->setValue(QStringLiteral("Description"), r.description);
        parts->setValue(QStringLiteral("PartNumber"), r.partNumber);
        parts->setValue(QStringLiteral("Manufacturer"), Value(make));
        parts->setValue(QStringLiteral("ReplaceCost"), r.cost);
        parts->setValue(QStringLiteral("LifeNumber"), r.lifeNumber);
        parts->setValue(QStringLiteral("LifeBasis"), r.lifeBasis);
        parts->update();
    }
    tx.commit();
}

}  // namespace velmora::aircraft
