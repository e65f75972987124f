#pragma once

#include "backup/Backup.h"

#include <QStringList>

class QWidget;

namespace velmora::screens {

// Backs the files up before a change that rewrites them. When the backup cannot be made,
// says why and asks whether to go on without it ("the change" names it: "copying the
// template's components"). Returns true when the change may go on: the backup was made,
// or the user chose to go on without it.
bool backUpBeforeChange(QWidget* parent, const QStringList& files, backup::Reason reason,
                        const QString& change);

}  // namespace velmora::screens
