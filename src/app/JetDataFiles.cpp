#include "JetDataFiles.h"

#include "data/DataFiles.h"
#include "data/Database.h"
#include "data/Recordset.h"
#include "legacy/JetFile.h"
#include "legacy/ReaderProcessSource.h"
#include "reportfiles/ReportDefinition.h"
#include "reportfiles/ReportQueries.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace velmora::app {

namespace {

using legacy::FileInPlace;
using legacy::TargetKind;

// PathData of the first CompanyInfo row of a settings file still in the Jet format.
QString jetDataPath(const QString& settingsFile) {
    try {
        auto source = legacy::openJetFile(settingsFile);
        for (const legacy::SourceTable& t : source->tables()) {
            if (t.name.compare(QLatin1String("CompanyInfo"), Qt::CaseInsensitive) != 0)
                continue;
            for (size_t c = 0; c < t.columns.size(); ++c) {
                if (t.columns[c].name.compare(QLatin1String("PathData"), Qt::CaseInsensitive) != 0)
                    continue;
                auto rows = source->rows(t.name);
                std::vector<legacy::SourceValue> row;
                if (rows->next(&row) && row[c].kind() == legacy::SourceValue::Kind::Text)
                    return row[c].text();
            }
        }
    } catch (const data::DbError&) {
    }
    return {};
}

QString velmoraDataPath(const QString& settingsFile) {
    try {
        auto rs = data::Database::open(settingsFile)->openRecordset(QStringLiteral("CompanyInfo"));
        return rs->eof() ? QString() : rs->value(QStringLiteral("PathData")).toString();
    } catch (const data::DbError&) {
        return {};
    }
}

}  // namespace

QString reportFileName(const QString& path) {
    return legacy::keptOriginalName(path) + QStringLiteral(".txt");
}

std::vector<FileInPlace> findJetDataFiles(const QString& programFolder) {
    std::vector<FileInPlace> out;
    const QString settings = data::resolvePathCaseInsensitive(data::companyFileName(programFolder));
    if (!QFileInfo(settings).isFile())
        return out;
    QString dataPath;
    if (legacy::isJetFile(settings)) {
        out.push_back({settings, TargetKind::Company});
        dataPath = jetDataPath(settings);
    } else {
        dataPath = velmoraDataPath(settings);
    }
    const std::pair<QString, TargetKind> dataFiles[] = {
        {data::files::kMain, TargetKind::Main}, {data::files::kTemplates, TargetKind::Templates}};
    for (const auto& [name, kind] : dataFiles) {
        const QString file = data::resolvePathCaseInsensitive(data::dataFileName(dataPath, name));
        if (QFileInfo(file).isFile() && legacy::isJetFile(file))
            out.push_back({file, kind});
    }
    return out;
}

JetConversionResult convertJetDataFiles(const std::vector<FileInPlace>& files,
                                        const legacy::ProgressFn& progress) {
    legacy::ConversionOptions options;
    options.progress = progress;
    options.completeMainFile = [](data::Database& db) { reports::ensureReportQueries(db); };
    JetConversionResult result;
    result.reports = legacy::convertInPlace(files, options);
    for (size_t i = 0; i < files.size() && i < result.reports.size(); ++i) {
        // The whole report stays beside the kept original, for the record.
        const QString path = reportFileName(files[i].path);
        QFile file(path);
        if (!QFileInfo::exists(path) && file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            file.write(result.reports[i].text().toUtf8());
            result.reportFiles << path;
        }
    }
    for (const FileInPlace& f : files) {
        if (f.kind != TargetKind::Main)
            continue;
        // The reports read their definitions beside the main data file.
        const QString folder = QFileInfo(f.path).absolutePath();
        try {
            reports::writeDefaultReportDefinitions(folder);
        } catch (const data::DbError&) {
            // A default that cannot be written is left out; the conversion goes on without it.
        }
        for (const QString& name : {reports::kActualReportFile, reports::kForecastReportFile}) {
            const QString path = data::resolvePathCaseInsensitive(QDir(folder).filePath(name));
            reports::ReportDefinition definition;
            if (QFileInfo::exists(path) && reports::loadReportDefinition(path, &definition))
                result.unreadableReports << path;
        }
    }
    return result;
}

QString conversionSummary(const JetConversionResult& result) {
    QStringList lines;
    for (const legacy::ConversionReport& r : result.reports)
        lines << r.summary();
    if (!result.reportFiles.isEmpty()) {
        lines << QStringLiteral("The whole reports, with every value and query, are kept in:");
        for (const QString& path : result.reportFiles)
            lines << QStringLiteral("  ") + path;
        lines << QString();
    }
    if (!result.unreadableReports.isEmpty()) {
        lines << QStringLiteral(
            "These report definitions are not Velmora's and cannot be "
            "printed from; remove them to get Velmora's own:");
        for (const QString& path : result.unreadableReports)
            lines << QStringLiteral("  ") + path;
    }
    return lines.join(u'\n').trimmed();
}

}  // namespace velmora::app
