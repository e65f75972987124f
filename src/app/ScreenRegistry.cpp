#include "ScreenRegistry.h"

#include "aircraft/frmAircraft.h"
#include "due/screen/frmDueList.h"
#include "frmCompanyInfo.h"
#include "frmMenuVelmora.h"
#include "journal/screen/UtilisationPanel.h"
#include "oil/frmOilAnalysis.h"
#include "remaining/frmRemain.h"
#include "reports/ReportPreview.h"
#include "screens/common/BoundRecordSource.h"
#include "screens/common/Chooser.h"
#include "screens/common/Dialogs.h"
#include "tasks/TaskDueLines.h"
#include "tasks/screen/frmDirectives.h"
#include "utilisation/UtilisationSettings.h"

namespace velmora::app {

namespace {

// The company's warning levels; the defaults when its settings file cannot give them (the
// due list says why when it opens).
due::WarningSettings companyWarnings(frmMenuVelmora& menu) {
    try {
        return due::readWarningSettingsFile(menu.company().fileName());
    } catch (const data::DbError&) {
        return {};
    }
}

}  // namespace

void showAircraftInSetup(frmMenuVelmora& menu, const QString& regNum) {
    menu.Command1_Click(frmMenuVelmora::AircraftSetup);
    auto* screen =
        qobject_cast<aircraft::frmAircraft*>(menu.openScreen(frmMenuVelmora::AircraftSetup));
    if (!screen)
        return;
    screen->showAircraft(regNum);
}

void registerScreens(frmMenuVelmora& menu) {
    // Each screen takes the data path from the company record when it opens.
    menu.setScreenFactory(frmMenuVelmora::AircraftSetup, [](frmMenuVelmora& m) -> QWidget* {
        auto* screen = new aircraft::frmAircraft(m.company().pathData());
        screen->setAverageDays(utilisation::averageDaysOf(m.company().fileName()));
        screen->setLifeLimitedLevels(
            companyWarnings(m),
            due::journalledUtilisation(utilisation::averageDaysOf(m.company().fileName())));
        return screen;
    });
    menu.setScreenFactory(frmMenuVelmora::TimeRemaining, [](frmMenuVelmora& m) -> QWidget* {
        auto* screen = new remaining::frmRemain(
            m.company().pathData(),
            [&m](const QString& column) { return m.company().value(column); });
        screen->setReportRunner(&reports::showReportPreview);
        screen->setWarningLevels(
            companyWarnings(m),
            due::journalledUtilisation(utilisation::averageDaysOf(m.company().fileName())));
        return screen;
    });
    menu.setScreenFactory(frmMenuVelmora::OilAnalysis, [](frmMenuVelmora& m) -> QWidget* {
        return new oil::frmOilAnalysis(m.company().pathData());
    });
    menu.setScreenFactory(frmMenuVelmora::CompanySetup,
                          [](frmMenuVelmora& m) -> QWidget* { return new frmCompanyInfo(m); });
    menu.setDueListFactory([](frmMenuVelmora& m) -> QWidget* {
        due::frmDueList::Options options;
        options.request.dataPath = m.company().pathData();
        options.request.companyFile = m.company().fileName();
        options.request.utilisation =
            due::journalledUtilisation(utilisation::averageDaysOf(m.company().fileName()));
        options.request.moreLines = tasks::taskDueLines();
        options.companyName = m.company().value(QStringLiteral("Name")).toString();
        auto* screen = new due::frmDueList(options);
        screen->setAircraftOpener([&m](const QString& reg) { showAircraftInSetup(m, reg); });
        screen->setTaskOpener([&m](std::int64_t task, std::int64_t, const QString& reg) {
            m.cmdDirectives_Click();
            if (auto* d = qobject_cast<tasks::frmDirectives*>(m.openDirectives()))
                d->showTask(task, reg);
        });
        return screen;
    });
    menu.setDirectivesFactory([](frmMenuVelmora& m) -> QWidget* {
        tasks::frmDirectives::Options options;
        options.dataPath = m.company().pathData();
        options.companyFile = m.company().fileName();
        options.utilisation =
            due::journalledUtilisation(utilisation::averageDaysOf(m.company().fileName()));
        options.companyName = m.company().value(QStringLiteral("Name")).toString();
        return new tasks::frmDirectives(options);
    });
}

}  // namespace velmora::app
