#pragma once

#include <QString>
#include <QStringList>

namespace velmora::backup {

// The program's data files: the company settings file of the program folder, and the main
// data file and template library of the data path its company row names.
struct ProgramFiles {
    QString settings;       // always known
    QString dataPath;       // as the settings file stores it
    QString main;           // empty when the settings file could not be read
    QString templates;      // empty when the settings file could not be read
    QString settingsError;  // why the settings file could not be read, when it could not

    // Those of the three files that exist, settings file first.
    QStringList existing() const;
};

// Finds the files as the program does (names matched without regard to letter case).
ProgramFiles programFiles(const QString& programFolder);

}  // namespace velmora::backup
