#pragma once

#include "components/ComponentTypes.h"

#include <QDate>
#include <QString>

class QWidget;

namespace velmora::data {
class Database;
}

// The questions the aircraft set-up screen asks to remove a component from the aircraft
// shown or install one from the stores, asked through the dialogs service one after the
// other; the move itself is the components library's. A refusal is shown with its reason.
namespace velmora::aircraft {

inline const QString kRemoveTitle = QStringLiteral("Remove Component");
inline const QString kInstallTitle = QStringLiteral("Install Component");

// The reasons offered for a removal, in the order of the list.
QStringList removalReasons();

// Asks the date, the reason (with the defect's text), where it goes and the reference, then
// removes the component. True when it was removed.
bool askAndRemove(QWidget* parent, data::Database& db, const components::ComponentKey& key,
                  const QString& regNum, const QDate& today);

// Asks which component of the stores, the item number, the meter, the date and the
// reference; warns of a limit reached (naming it) and asks whether to go on; then installs
// it. True when it was installed.
bool askAndInstall(QWidget* parent, data::Database& db, const QString& regNum, const QDate& today);

}  // namespace velmora::aircraft
