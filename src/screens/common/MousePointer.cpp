#include "MousePointer.h"

#include <QCursor>
#include <QGuiApplication>

namespace velmora::screens {

namespace {
bool busy = false;
}

void MousePointer::setBusy() {
    if (busy || !qGuiApp)
        return;
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    busy = true;
}

void MousePointer::setDefault() {
    if (!busy)
        return;
    busy = false;
    if (qGuiApp)
        QGuiApplication::restoreOverrideCursor();
}

bool MousePointer::isBusy() {
    return busy;
}

}  // namespace velmora::screens
