#pragma once

#include "data/Database.h"
#include "data/Recordset.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>

namespace velmora::testing {

// A temporary data folder with fresh, empty data files made on demand.
class TestFolder {
  public:
    TestFolder();
    QString path() const { return dir_.path(); }
    QString file(const QString& name) const;  // full path of a file in the folder
    QString dataPath() const;                 // the folder with its trailing separator
    QString createMainFile();                 // Timemgr.mdb with its tables, returned path
    QString createTemplateFile();             // HeliPart.mdb
    QString createCompanyFile(const QString& dataPath);
    QString writeFile(const QString& name, const QByteArray& bytes);

  private:
    QTemporaryDir dir_;
};

QByteArray fileBytes(const QString& path);

// The names in a folder, sorted: to see that nothing was created beside a file.
QStringList folderEntries(const QString& folder);

// Sets a file's permission bits, as chmod does (0444: read-only for everyone).
void setMode(const QString& path, unsigned mode);

// The first bytes of a real Access (Jet 4) database file, padded to a page.
QByteArray jetFileHeader(const char* signature = "Standard Jet DB");

// The engine error that running fn throws; none when it throws no engine error.
std::optional<data::DbError> dbErrorOf(const std::function<void()>& fn);

// Adds an aircraft row with the given totals.
void addAircraft(data::Database& db, const QString& reg, double totalTime = 0,
                 double totalTime2 = 0, int landings = 0, int cycles = 0, int rin = 0);

// Adds a component row; the install date is ISO text or empty.
struct PartSpec {
    QString reg;
    int item = 0;
    int meter = 1;
    bool active = true;
    QString basis = QStringLiteral("RT");
    double life = 0;
    double installLeft = 0;
    double installAc = 0;
    QString installDate;
    QString description = QStringLiteral("Component");
    bool oil = false;
    QString partNumber = QString();
    QString serial = QString();

    // Chained setters, so that a test names only what matters to it.
    PartSpec& withMeter(int m) {
        meter = m;
        return *this;
    }
    PartSpec& withBasis(const QString& b) {
        basis = b;
        return *this;
    }
    PartSpec& withLife(double lifeNumber, double leftAtInstall, double acAtInstall) {
        life = lifeNumber;
        installLeft = leftAtInstall;
        installAc = acAtInstall;
        return *this;
    }
    PartSpec& installedOn(const QString& isoDate) {
        installDate = isoDate;
        return *this;
    }
    PartSpec& inactive() {
        active = false;
        return *this;
    }
    PartSpec& withOil() {
        oil = true;
        return *this;
    }
    PartSpec& describedAs(const QString& text) {
        description = text;
        return *this;
    }
    // The unit's part and serial number.
    PartSpec& asUnit(const QString& part, const QString& serialNumber) {
        partNumber = part;
        serial = serialNumber;
        return *this;
    }
};
// An active RT component on meter 1 of the aircraft with this item number.
PartSpec part(const QString& reg, int item);
void addPart(data::Database& db, const PartSpec& p);

}  // namespace velmora::testing

// Readable values in test failure messages.
void PrintTo(const QString& text, std::ostream* os);
void PrintTo(const QStringList& list, std::ostream* os);
namespace velmora::data {
void PrintTo(const Value& value, std::ostream* os);
}  // namespace velmora::data

// Expects the statement to fail with the engine error of this number and a message text.
#define EXPECT_DB_ERROR(statement, expectedNumber)                                             \
    do {                                                                                       \
        const auto dbError_ = ::velmora::testing::dbErrorOf([&] { statement; });               \
        if (!dbError_) {                                                                       \
            ADD_FAILURE() << "no engine error from: " #statement;                              \
        } else {                                                                               \
            EXPECT_EQ(dbError_->number(), (expectedNumber)) << dbError_->text().toStdString(); \
            EXPECT_FALSE(dbError_->text().isEmpty());                                          \
        }                                                                                      \
    } while (0)
