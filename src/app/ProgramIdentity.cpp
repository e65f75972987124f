#include "ProgramIdentity.h"

#include <QApplication>

namespace velmora::app {

void setProgramIdentity() {
    QApplication::setApplicationName(QStringLiteral("Velmora"));
}

}  // namespace velmora::app
