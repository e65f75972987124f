#include "ScreenMemory.h"

#include "DataGrid.h"

#include <QSettings>
#include <QVariantList>
#include <QWidget>

namespace velmora::screens {

namespace {

// One file per user, beside other programs' settings (on Linux ~/.config/Velmora/Screens.conf).
QSettings userSettings() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Velmora"),
                     QStringLiteral("Screens"));
}

}  // namespace

void restoreScreenLayout(QWidget* screen, DataGrid* grid) {
    if (!screen || screen->objectName().isEmpty())
        return;
    QSettings settings = userSettings();
    settings.beginGroup(screen->objectName());
    const QByteArray geometry = settings.value(QStringLiteral("geometry")).toByteArray();
    if (!geometry.isEmpty())
        screen->restoreGeometry(geometry);
    if (grid) {
        std::vector<int> widths;
        for (const QVariant& w : settings.value(QStringLiteral("columnWidths")).toList())
            widths.push_back(w.toInt());
        grid->setColumnWidths(widths);
    }
}

void saveScreenLayout(const QWidget* screen, const DataGrid* grid) {
    if (!screen || screen->objectName().isEmpty())
        return;
    QSettings settings = userSettings();
    settings.beginGroup(screen->objectName());
    settings.setValue(QStringLiteral("geometry"), screen->saveGeometry());
    if (grid) {
        QVariantList widths;
        for (int w : grid->columnWidths())
            widths << w;
        settings.setValue(QStringLiteral("columnWidths"), widths);
    }
}

}  // namespace velmora::screens
