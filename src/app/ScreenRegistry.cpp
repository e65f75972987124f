#include "ScreenRegistry.h"

#include "frmCompanyInfo.h"
#include "frmMenuVelmora.h"

namespace velmora::app {

void registerScreens(frmMenuVelmora& menu) {
    menu.setScreenFactory(frmMenuVelmora::CompanySetup,
                          [](frmMenuVelmora& m) -> QWidget* { return new frmCompanyInfo(m); });
}

}  // namespace velmora::app
