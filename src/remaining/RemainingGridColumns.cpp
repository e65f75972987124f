#include "RemainingGridColumns.h"

#include "RemainingLevels.h"
#include "RetirementDate.h"

namespace velmora::remaining {

std::vector<screens::GridColumn> remainingGridColumns(
    std::shared_ptr<const RemainingLevels> levels) {
    auto c = [](const QString& caption, const QString& field, const QString& format, bool visible) {
        screens::GridColumn g;
        g.caption = caption;
        g.field = field;
        g.format = format;
        g.visible = visible;
        return g;
    };
    const QString time = QStringLiteral("#####0.0;;;\\ ");
    const QString count = QStringLiteral("########;;;\\ ");
    std::vector<screens::GridColumn> cols;
    cols.push_back(c(QStringLiteral("Item #"), QStringLiteral("ItemNumber"),
                     QStringLiteral("General Number"), true));
    for (const char* name :
         {"Serial Number", "Make", "Model", "Year", "Engine1Serial", "Engine2Serial",
          "TrackLandings", "TrackCycles", "TrackRIN", "HobbsVSTach", "CurrentMeter1",
          "CurrentMeter2", "LastMeter1", "LastMeter2", "TotalTime", "TotalTime2", "TotalLandings",
          "TotalCycles", "TotalRIN"})
        cols.push_back(c(QString::fromLatin1(name), QString::fromLatin1(name), {}, false));
    cols.push_back(c(QStringLiteral("Parts.RegNum"), QStringLiteral("Parts.RegNum"), {}, false));
    cols.push_back(c(QStringLiteral("Meter"), QStringLiteral("ItemNumber"), {}, false));
    cols.push_back(c(QStringLiteral("Active"), QStringLiteral("Active"), {}, false));
    cols.push_back(c(QStringLiteral("Major Assembly"), QStringLiteral("Assembly"), {}, true));
    cols.push_back(c(QStringLiteral("Component Name"), QStringLiteral("Description"), {}, true));
    cols.push_back(c(QStringLiteral("Part Number"), QStringLiteral("PartNumber"), {}, true));
    cols.push_back(c(QStringLiteral("Serial #"), QStringLiteral("Serial#"), {}, true));
    cols.push_back(c(QStringLiteral("Purchase Date"), QStringLiteral("DatePurchased"), {}, true));
    cols.push_back(c(QStringLiteral("Manufacturer"), QStringLiteral("Manufacturer"), {}, true));
    cols.push_back(c(QStringLiteral("Inspection Group"), QStringLiteral("Inspection"), {}, true));
    cols.push_back(c(QStringLiteral("Cost"), QStringLiteral("ReplaceCost"),
                     QStringLiteral("$##,##0.00;;\\ ;\\ "), true));
    cols.push_back(
        c(QStringLiteral("ReservePerHour"), QStringLiteral("ReservePerHour"), {}, false));
    cols.push_back(c(QStringLiteral("Service Life"), QStringLiteral("LifeNumber"), {}, true));
    cols.push_back(c(QStringLiteral("Type"), QStringLiteral("LifeBasis"), {}, true));
    cols.push_back(c(QStringLiteral("Date Installed"), QStringLiteral("InstallDate"),
                     QStringLiteral("Short Date"), true));
    cols.push_back(c(QStringLiteral("Component at Install"), QStringLiteral("InstallTimeLeft"),
                     QStringLiteral("#####0.0;;\\ ;\\ "), true));
    cols.push_back(
        c(QStringLiteral("A/C Total at Install"), QStringLiteral("InstallACHour"), time, true));
    cols.push_back(c(QStringLiteral("Notes"), QStringLiteral("Notes"), {}, false));
    cols.push_back(c(QStringLiteral("OilAnalysis"), QStringLiteral("OilAnalysis"), {}, false));
    cols.push_back(
        c(QStringLiteral("Time Remaining to Retire"), QStringLiteral("TTtoRET"), time, true));
    cols.push_back(
        c(QStringLiteral("Time Remaining to Retire (2)"), QStringLiteral("TTtoRET2"), time, true));
    cols.push_back(
        c(QStringLiteral("Lndgs Remaining to Retire"), QStringLiteral("LNDtoRET"), count, true));
    cols.push_back(
        c(QStringLiteral("Cycles Remaining to Retire"), QStringLiteral("CYCtoRET"), count, true));
    cols.push_back(
        c(QStringLiteral("RIN Remaining to Retire"), QStringLiteral("RINtoRET"), count, true));
    cols.push_back(
        c(QStringLiteral("Time Remaining to Overhaul"), QStringLiteral("TTtoOH"), time, true));
    cols.push_back(
        c(QStringLiteral("Time Remaining to Inspection"), QStringLiteral("TTtoIN"), time, true));
    cols.push_back(
        c(QStringLiteral("Time Remaining to Overhaul (2)"), QStringLiteral("TTtoOH2"), time, true));
    cols.push_back(c(QStringLiteral("Time Remaining to Inspection (2)"), QStringLiteral("TTtoIN2"),
                     time, true));
    cols.push_back(c(QStringLiteral("Date to Retire"), QStringLiteral("MTHStoRT"),
                     QStringLiteral("Short Date"), true));
    cols.back().dueDate = true;
    // The query writes the date with two year digits; the grid shows and judges the date.
    cols.back().shownValue = [](const data::Value& stored, const screens::RowReader& row) {
        return retirementDate(stored, row(QStringLiteral("InstallDate")),
                              row(QStringLiteral("LifeNumber")));
    };
    if (levels) {
        for (int i = gridcol::TTtoRET; i <= gridcol::MTHStoRT; ++i) {
            screens::GridColumn& c = cols[static_cast<size_t>(i)];
            c.colour = [levels, field = c.field](const data::Value& shown,
                                                 const screens::RowReader& row) {
                return levels->colour(field, shown, row);
            };
        }
    }
    return cols;
}

}  // namespace velmora::remaining
