#include "TestFiles.h"

#include "data/DataFiles.h"
#include "data/Schema.h"

#include <QDir>
#include <QFile>

#include <ostream>
#include <stdexcept>

#include <sys/stat.h>

namespace velmora::testing {

TestFolder::TestFolder() {
    if (!dir_.isValid())
        throw std::runtime_error("cannot create a temporary folder");
}

QString TestFolder::file(const QString& name) const {
    return QDir(dir_.path()).filePath(name);
}

QString TestFolder::dataPath() const {
    return dir_.path() + QLatin1Char('/');
}

QString TestFolder::createMainFile() {
    const QString p = file(data::files::kMain);
    data::schema::createMainFile(p);
    return p;
}

QString TestFolder::createTemplateFile() {
    const QString p = file(data::files::kTemplates);
    data::schema::createTemplateFile(p);
    return p;
}

QString TestFolder::createCompanyFile(const QString& dataPath) {
    const QString p = file(data::files::kCompany);
    data::schema::createCompanyFile(p, dataPath);
    return p;
}

QString TestFolder::writeFile(const QString& name, const QByteArray& bytes) {
    const QString p = file(name);
    QFile f(p);
    if (!f.open(QIODevice::WriteOnly))
        throw std::runtime_error("cannot write test file");
    f.write(bytes);
    return p;
}

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

QStringList folderEntries(const QString& folder) {
    return QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

void setMode(const QString& path, unsigned mode) {
    if (::chmod(QFile::encodeName(path).constData(), static_cast<mode_t>(mode)) != 0)
        throw std::runtime_error("cannot change the permissions of a test file");
}

QByteArray jetFileHeader(const char* signature) {
    QByteArray b(2048, '\0');
    b[1] = 1;
    b.replace(4, static_cast<int>(qstrlen(signature)), signature);
    b[20] = 1;  // the Jet 4 version byte
    return b;
}

std::optional<data::DbError> dbErrorOf(const std::function<void()>& fn) {
    try {
        fn();
    } catch (const data::DbError& e) {
        return e;
    }
    return std::nullopt;
}

void addAircraft(data::Database& db, const QString& reg, double totalTime, double totalTime2,
                 int landings, int cycles, int rin) {
    auto rs = db.openRecordset(QStringLiteral("Aircraft"));
    rs->addNew();
    rs->setValue(QStringLiteral("RegNum"), reg);
    rs->setValue(QStringLiteral("TotalTime"), totalTime);
    rs->setValue(QStringLiteral("TotalTime2"), totalTime2);
    rs->setValue(QStringLiteral("TotalLandings"), landings);
    rs->setValue(QStringLiteral("TotalCycles"), cycles);
    rs->setValue(QStringLiteral("TotalRIN"), rin);
    rs->update();
}

PartSpec part(const QString& reg, int item) {
    PartSpec p;
    p.reg = reg;
    p.item = item;
    return p;
}

void addPart(data::Database& db, const PartSpec& p) {
    auto rs = db.openRecordset(QStringLiteral("Parts"));
    rs->addNew();
    rs->setValue(QStringLiteral("RegNum"), p.reg);
    rs->setValue(QStringLiteral("ItemNumber"), p.item);
    rs->setValue(QStringLiteral("MeterNumber"), p.meter);
    rs->setValue(QStringLiteral("Active"), p.active);
    rs->setValue(QStringLiteral("LifeBasis"), p.basis);
    rs->setValue(QStringLiteral("LifeNumber"), p.life);
    rs->setValue(QStringLiteral("InstallTimeLeft"), p.installLeft);
    rs->setValue(QStringLiteral("InstallACHour"), p.installAc);
    if (!p.installDate.isEmpty())
        rs->setValue(QStringLiteral("InstallDate"), p.installDate);
    rs->setValue(QStringLiteral("Description"), p.description);
    if (!p.partNumber.isNull())
        rs->setValue(QStringLiteral("PartNumber"), p.partNumber);
    if (!p.serial.isNull())
        rs->setValue(QStringLiteral("Serial#"), p.serial);
    rs->setValue(QStringLiteral("OilAnalysis"), p.oil);
    rs->update();
}

}  // namespace velmora::testing

void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

void PrintTo(const QStringList& list, std::ostream* os) {
    *os << '{';
    for (qsizetype i = 0; i < list.size(); ++i) {
        *os << (i ? ", " : "");
        PrintTo(list[i], os);
    }
    *os << '}';
}

namespace velmora::data {
void PrintTo(const Value& value, std::ostream* os) {
    switch (value.type()) {
        case Value::Type::Null:
            *os << "Null";
            break;
        case Value::Type::Integer:
            *os << value.toInt() << " (whole number)";
            break;
        case Value::Type::Real:
            *os << value.toString().toStdString() << " (number)";
            break;
        case Value::Type::Text:
            *os << '"' << value.utf8() << "\" (text)";
            break;
    }
}
}  // namespace velmora::data
