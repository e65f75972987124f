#include "DemoFiles.h"

#include "DemoFleet.h"
#include "FleetWriter.h"
#include "data/DataFiles.h"
#include "data/Database.h"
#include "data/Schema.h"
#include "reportfiles/MainDataFile.h"
#include "reportfiles/ReportDefinition.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace velmora::demo {

namespace {

void fillMainFile(const QString& path, const DemoFleet& fleet) {
    auto db = data::Database::open(path);
    data::Transaction tx(*db);
    MainFileWriter writer(*db);
    for (const AircraftRow& a : fleet.aircraft)
        writer.add(a);
    for (const ComponentRow& c : fleet.components)
        writer.add(c);
    for (const OilSampleRow& s : fleet.oilSamples)
        writer.add(s);
    writer.finish();
    utilisation::savePlannedUtilisation(*db, fleet.plannedUse);
    tx.commit();
}

void fillTemplateFile(const QString& path, const DemoFleet& fleet) {
    auto db = data::Database::open(path);
    data::Transaction tx(*db);
    TemplateFileWriter writer(*db);
    for (const MakeTemplates& t : fleet.templates) {
        writer.addMake(t.make);
        for (const QString& model : t.models)
            writer.addModel(t.make, model);
        for (const TemplateRow& r : t.rows)
            writer.add(t.make, r);
    }
    tx.commit();
}

DemoSummary summarise(const DemoFleet& fleet) {
    DemoSummary s;
    s.aircraft = static_cast<int>(fleet.aircraft.size());
    s.components = static_cast<int>(fleet.components.size());
    s.overdue = fleet.overdue;
    s.notInstalled = fleet.notInstalled;
    s.oilSamples = static_cast<int>(fleet.oilSamples.size());
    s.templateMakes = static_cast<int>(fleet.templates.size());
    for (const MakeTemplates& t : fleet.templates) {
        s.templateModels += static_cast<int>(t.models.size());
        s.templateRows += static_cast<int>(t.rows.size());
    }
    return s;
}

}  // namespace

DemoSummary createDemoFiles(const QString& folder, bool empty, const QDate& today) {
    const QDir dir(folder);
    const QString mainPath = dir.filePath(data::files::kMain);
    const QString templatePath = dir.filePath(data::files::kTemplates);
    QStringList made;
    try {
        reports::createMainDataFile(mainPath);
        made << mainPath;
        data::schema::createTemplateFile(templatePath);
        made << templatePath;
        // The report definitions the folder lacks; ones already there are kept.
        for (const QString& name : {reports::kActualReportFile, reports::kForecastReportFile}) {
            const QString file = dir.filePath(name);
            if (!QFileInfo::exists(data::resolvePathCaseInsensitive(file)))
                made << file;
        }
        reports::writeDefaultReportDefinitions(folder);
        if (empty)
            return {};
        const DemoFleet fleet = buildDemoFleet(today);
        fillMainFile(mainPath, fleet);
        fillTemplateFile(templatePath, fleet);
        return summarise(fleet);
    } catch (...) {
        // The connections closed with the fill functions, so the files can go.
        for (const QString& p : made)
            QFile::remove(p);
        throw;
    }
}

}  // namespace velmora::demo
