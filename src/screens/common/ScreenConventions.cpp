#include "ScreenConventions.h"

#include "Dialogs.h"
#include "Twips.h"

#include <QApplication>
#include <QWidget>

namespace velmora::screens {

CloseDecision askToSaveOnClose(QWidget* screen, bool saveEnabled) {
    if (!saveEnabled)
        return CloseDecision::Close;
    const MsgAnswer a =
        msgBox(screen, QStringLiteral("Data has changed. Save data?"), MsgButtons::YesNoCancel,
               MsgIcon::Information, QStringLiteral("Data not saved"), MsgAnswer::No);
    if (a == MsgAnswer::Yes)
        return CloseDecision::SaveThenClose;
    if (a == MsgAnswer::No)
        return CloseDecision::Close;
    reactivateWindow(screen);
    return CloseDecision::Stay;
}

void showDataError(QWidget* parent, const QString& engineText) {
    msgBox(parent, QStringLiteral("Data error event hit err:") + engineText, MsgButtons::Ok,
           MsgIcon::None, QApplication::applicationDisplayName(), MsgAnswer::Ok);
}

void setEditedButtons(bool edited, const std::vector<QWidget*>& enabledWhenEdited,
                      const std::vector<QWidget*>& disabledWhenEdited) {
    for (QWidget* w : enabledWhenEdited) {
        if (w)
            w->setEnabled(edited);
    }
    for (QWidget* w : disabledWhenEdited) {
        if (w)
            w->setEnabled(!edited);
    }
}

bool applyGridLayoutA(QWidget* window, QWidget* grid, const QWidget* navigationBar,
                      const QWidget* buttonBar) {
    if (!window || !grid)
        return false;
    const QRect inner = window->contentsRect();
    const int height = inner.height() - grid->y() - (navigationBar ? navigationBar->height() : 0) -
                       (buttonBar ? buttonBar->height() : 0) - twips(30);
    grid->resize(inner.width(), grid->height());
    if (height < 0)
        return false;
    grid->resize(inner.width(), height);
    return true;
}

}  // namespace velmora::screens
