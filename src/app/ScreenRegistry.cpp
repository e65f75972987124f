#include "ScreenRegistry.h"

#include "aircraft/frmAircraft.h"
#include "frmCompanyInfo.h"
#include "frmMenuVelmora.h"
#include "oil/frmOilAnalysis.h"
#include "remaining/frmRemain.h"
#include "reports/ReportPreview.h"

namespace velmora::app {

void registerScreens(frmMenuVelmora& menu) {
    // Each screen takes the data path from the company record when it opens.
    menu.setScreenFactory(frmMenuVelmora::AircraftSetup, [](frmMenuVelmora& m) -> QWidget* {
        return new aircraft::frmAircraft(m.company().pathData());
    });
    menu.setScreenFactory(frmMenuVelmora::TimeRemaining, [](frmMenuVelmora& m) -> QWidget* {
        auto* screen = new remaining::frmRemain(
            m.company().pathData(),
            [&m](const QString& column) { return m.company().value(column); });
        screen->setReportRunner(&reports::showReportPreview);
        return screen;
    });
    menu.setScreenFactory(frmMenuVelmora::OilAnalysis, [](frmMenuVelmora& m) -> QWidget* {
        return new oil::frmOilAnalysis(m.company().pathData());
    });
    menu.setScreenFactory(frmMenuVelmora::CompanySetup,
                          [](frmMenuVelmora& m) -> QWidget* { return new frmCompanyInfo(m); });
}

}  // namespace velmora::app
