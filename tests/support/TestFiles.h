#pragma once

#include "data/Database.h"
#include "data/Recordset.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <memory>

namespace velmora::testing {

// A temporary data folder with fresh, empty data files made on demand.
class TestFolder {
public:
    TestFolder();
    QString path() const { return dir_.path(); }
    QString file(const QString& name) const;   // full path of a file in the folder
    QString dataPath() const;                  // the folder with its trailing separator
    QString createMainFile();                  // Timemgr.mdb with its tables, returned path
    QString createTemplateFile();              // HeliPart.mdb
    QString createCompanyFile(const QString& dataPath);
    QString writeFile(const QString& name, const QByteArray& bytes);

private:
    QTemporaryDir dir_;
};

QByteArray fileBytes(const QString& path);

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
};
void addPart(data::Database& db, const PartSpec& p);

}  // namespace velmora::testing
