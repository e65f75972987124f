#pragma once

#include <QString>

namespace velmora::data {

// The three database files and where they live.
namespace files {
inline const QString kCompany = QStringLiteral("SetupPP.mdb");
inline const QString kMain = QStringLiteral("Timemgr.mdb");  // as the screens spell it
inline const QString kTemplates = QStringLiteral("HeliPart.mdb");
}  // namespace files

// A data file's name: the data path followed directly by the file name, with no separator
// added (the stored data path ends with one); an empty path gives the bare name, which
// resolves against the current folder. A data path that names a database server
// (postgresql://...) gives the data set of that file on the server: "URI#Timemgr".
QString dataFileName(const QString& dataPath, const QString& fileName);

// A data path as a user names it, on a command line say, in the form dataFileName() takes: a
// database server's URI as it is (without blanks around it), a folder made absolute and
// ending in its separator. Whether the folder exists is not asked.
QString dataPathOf(const QString& given);

// Whether a data location (a data path, or a data file's name made of one) names a data set
// on a database server, a postgresql:// connection URI, rather than a folder or a file.
bool isServerLocation(const QString& location);

// Whether a data path names a folder that is not there (a server's URI never does).
bool isMissingFolder(const QString& dataPath);

// The company settings file: always in the program folder.
QString companyFileName(const QString& programFolder);

// The existing file whose path equals this one without regard to letter case, folder by
// folder; the path unchanged when it exists as written or nothing matches.
QString resolvePathCaseInsensitive(const QString& path);

}  // namespace velmora::data
