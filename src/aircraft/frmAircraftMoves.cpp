// Aircraft set-up: components removed to and installed from the stores, their history.
#include "AircraftSetupLayout.h"
#include "ComponentGridColumns.h"
#include "ComponentMoveQuestions.h"
#include "data/DataFiles.h"
#include "data/Database.h"
#include "frmAircraft.h"
#include "frmComponentTable.h"
#include "screens/common/BoundRecordSource.h"
#include "screens/common/DataGrid.h"
#include "screens/common/Dialogs.h"
#include "screens/common/Twips.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>

#include <algorithm>

namespace velmora::aircraft {

namespace {

// The component of the grid's current row; blank when no row holding data is current.
components::ComponentKey keyOf(const screens::DataGrid& grid) {
    const int row = grid.currentRow();
    if (row < 0 || row >= grid.rowCount())
        return {};
    auto text = [&](int column) {
        const data::Value v = grid.valueAt(row, column);
        return v.isNull() ? QString() : v.toString();
    };
    return {text(col::PartNumber), text(col::SerialNumber)};
}

}  // namespace

void frmAircraft::buildMoveControls(double scale) {
    auto tw = [scale](int t) { return screens::twips(t, scale); };
    auto action = [this](const QString& text, const QString& name, void (frmAircraft::*slot)()) {
        auto* a = new QAction(text, this);
        a->setObjectName(name);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    actRemoveComponent =
        action(QStringLiteral("Remove Component..."), QStringLiteral("actRemoveComponent"),
               &frmAircraft::cmdRemoveComponent_Click);
    actInstallComponent =
        action(QStringLiteral("Install Component..."), QStringLiteral("actInstallComponent"),
               &frmAircraft::cmdInstallComponent_Click);
    actHistory = action(QStringLiteral("Component History..."), QStringLiteral("actHistory"),
                        &frmAircraft::cmdHistory_Click);
    actStores = action(QStringLiteral("Stores..."), QStringLiteral("actStores"),
                       &frmAircraft::cmdStores_Click);
    actLifeLimited = action(QStringLiteral("Life-Limited Parts..."),
                            QStringLiteral("actLifeLimited"), &frmAircraft::cmdLifeLimited_Click);
    const QList<QAction*> actions = {actRemoveComponent, actInstallComponent, actHistory, actStores,
                                     actLifeLimited};
    // The grid's context menu has its export and print entries; these follow them.
    auto* separator = new QAction(this);
    separator->setSeparator(true);
    grdDataGrid->addAction(separator);
    grdDataGrid->addActions(actions);

    cmdComponents =
        new QPushButton(QString::fromLatin1(layout::kComponentsButton.caption), picButtons);
    cmdComponents->setObjectName(QString::fromLatin1(layout::kComponentsButton.name));
    auto* menu = new QMenu(cmdComponents);
    menu->addActions(actions);
    cmdComponents->setMenu(menu);
    // As wide as its caption and the menu's arrow need.
    cmdComponents->setGeometry(
        tw(layout::kComponentsButton.left), 0,
        std::max(tw(layout::kComponentsButton.width), cmdComponents->sizeHint().width()),
        cmdRename->height());
    cmdComponents->setToolTip(QStringLiteral(
        "Remove the component of the current row to the stores, install one from the stores, "
        "see a component's history, or the status of the aircraft's life-limited parts"));
}

// A move writes the file at once: what is typed on the screen is saved first.
bool frmAircraft::changesSaved() {
    if (!cmdSave->isEnabled())
        return true;
    screens::msgBox(this, QStringLiteral("Save or undo the changes on the screen first."),
                    screens::MsgButtons::Ok, screens::MsgIcon::Information,
                    QStringLiteral("Components"));
    screens::reactivateWindow(this);
    return false;
}

QDate frmAircraft::moveDay() const {
    return moveDay_.isValid() ? moveDay_ : QDate::currentDate();
}

void frmAircraft::cmdRemoveComponent_Click() {
    auto db = datPrimaryRS->database();
    const QString reg = currentRegNum();
    if (!db || reg.isEmpty() || datPrimaryRS->isAddingNew() || !changesSaved())
        return;
    if (askAndRemove(this, *db, keyOf(*grdDataGrid), reg, moveDay()))
        requeryComponents(componentListSource());
}

void frmAircraft::cmdInstallComponent_Click() {
    auto db = datPrimaryRS->database();
    const QString reg = currentRegNum();
    if (!db || reg.isEmpty() || datPrimaryRS->isAddingNew() || !changesSaved())
        return;
    if (askAndInstall(this, *db, reg, moveDay()))
        requeryComponents(componentListSource());
}

void frmAircraft::cmdStores_Click() {
    auto* screen = new frmComponentTable(frmComponentTable::Kind::Stores,
                                         data::dataFileName(dataPath_, data::files::kMain));
    screen->show();
}

void frmAircraft::cmdHistory_Click() {
    const components::ComponentKey key = keyOf(*grdDataGrid);
    if (key.isBlank()) {
        screens::msgBox(this,
                        QStringLiteral("Choose a component with a part number and a serial "
                                       "number to see its history."),
                        screens::MsgButtons::Ok, screens::MsgIcon::Information,
                        QStringLiteral("Component History"));
        screens::reactivateWindow(this);
        return;
    }
    auto* screen = new frmComponentTable(frmComponentTable::Kind::History,
                                         data::dataFileName(dataPath_, data::files::kMain), key);
    screen->show();
}

void frmAircraft::setLifeLimitedLevels(const due::WarningSettings& warnings,
                                       due::UtilisationFactory use) {
    llpWarnings_ = warnings;
    llpUse_ = std::move(use);
}

void frmAircraft::cmdLifeLimited_Click() {
    const QString reg = currentRegNum();
    if (reg.isEmpty() || datPrimaryRS->isAddingNew())
        return;
    LifeLimitedRequest request;
    request.regNum = reg;
    request.day = moveDay();
    request.warnings = llpWarnings_;
    request.utilisation = llpUse_;
    auto* screen =
        new frmComponentTable(data::dataFileName(dataPath_, data::files::kMain), request);
    screen->show();
}

}  // namespace velmora::aircraft
