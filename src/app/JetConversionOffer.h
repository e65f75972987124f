#pragma once

#include <QString>

class QWidget;

namespace velmora::app {

// Start-up's offer to convert data files still in the earlier Jet format. When the program
// folder's SetupPP.mdb, or the data path's TimeMgr.mdb or HeliPart.mdb, is a Jet file, it
// asks, for the first of them met, "FILE is in the earlier Jet format. Convert it now? The
// original is kept as FILE.jet." Yes converts all of them where they lie (busy pointer; a
// progress dialog that can cancel for files of more than kProgressRows rows) and shows the
// report; No, a failure or a cancel leaves every file as it was. Returns true when files
// were converted.
bool offerJetConversion(QWidget* parent, const QString& programFolder);

// Files with more rows than this show the conversion's progress.
inline constexpr qint64 kProgressRows = 2000;

}  // namespace velmora::app
