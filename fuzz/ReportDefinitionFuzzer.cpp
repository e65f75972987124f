// Report definitions as a user may edit them: any text is read or refused with a message
// naming the file, and a definition that is read has what the renderer relies on.
#include "FuzzChecks.h"
#include "reportfiles/ReportDefinition.h"

#include <cmath>

using namespace velmora;
using velmora::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const QString text = fuzz::inputText(bytes, size);
    reports::ReportDefinition def;
    if (const auto failure =
            reports::parseReportDefinition(text, QStringLiteral("fuzz.rpt"), &def)) {
        check(failure->text.contains(QLatin1String("fuzz.rpt")), "a refusal names the file",
              failure->text);
        return 0;
    }
    check(!def.columns.isEmpty(), "a definition has columns", text);
    for (const reports::ReportColumn& c : def.columns) {
        check(!c.field.isEmpty(), "every column names its field", text);
        check(std::isfinite(c.width) && c.width > 0, "every column has a width", text);
    }
    check(std::isfinite(def.fontSize) && def.fontSize > 0, "the font has a size", text);
    check(std::isfinite(def.marginMm) && def.marginMm >= 0, "the margins are a length", text);
    check(def.factColumns > 0, "the aircraft block has columns", text);
    return 0;
}
