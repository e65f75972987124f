#pragma once

#include "journal/JournalAnchors.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace velmora::data {
class Database;
}

namespace velmora::journaltool {

// Where an anchor of the chain was found, and what it says.
struct FoundAnchor {
    QString source;  // "SetupPP.mdb (/path)", "backup 2026-12-06_083015_daily", "typed"
    journal::ChainPoint point;
    QString backupName;  // for a backup's anchor
};

// The anchors kept outside a main data file: in the settings file (when it names one for the
// file), in each backup's copy of the file (its newest line), and those typed from reports.
std::vector<FoundAnchor> findAnchors(const QString& mainFile, const QString& settingsFile,
                                     const std::vector<journal::ChainPoint>& typed);

// How each anchor compares with the file: lines that agree (for standard output) and
// findings (for standard error). A backup's anchor that lies on the lines a journalled
// restore replaced is set aside, with the restore named.
struct AnchorReport {
    QStringList agreed;
    QStringList findings;
    QStringList setAside;
};
AnchorReport compareAnchors(data::Database& mainDb, const std::vector<FoundAnchor>& anchors);

}  // namespace velmora::journaltool
