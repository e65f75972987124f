#pragma once

#include <QDateTime>
#include <QString>

namespace velmora::tasks {

// Who makes a change: the operating-system user, as the entry journal names them.
QString currentUser();
// When: the entry journal's clock (UTC), which tests can set.
QDateTime changeTime();

}  // namespace velmora::tasks
