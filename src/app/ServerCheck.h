#pragma once

#include <QString>
#include <QWidget>

namespace velmora::app {

// Asks the user once for the password of the server a data path names, when the server asks
// for one and neither ~/.pgpass nor PGPASSWORD (nor an earlier answer) gives it: the answer
// is kept for the session only. False when the user cancelled; true otherwise (also when no
// password was needed, or the server cannot be reached: opening the data then says why).
bool askServerPasswordIfNeeded(QWidget* parent, const QString& dataPath);

// Opens the data sets a server data path names; what was found, for the user: whether both
// were there, or why not (the engine's numbered error).
struct ServerCheck {
    bool ok = false;
    QString text;
};
ServerCheck checkServerDataPath(const QString& dataPath);

}  // namespace velmora::app
