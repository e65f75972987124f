#include "ComponentGridColumns.h"

#include <array>

namespace velmora::aircraft {

namespace {

struct ColumnSpec {
    int index;
    const char* caption;
    const char* field;
    data::Value defaultValue;
    const char* format;
};

}  // namespace

std::vector<screens::GridColumn> componentGridColumns() {
    using data::Value;
    const std::array<ColumnSpec, col::Count> specs = {{
        {col::RegNum, "RegNum", "RegNum", {}, ""},
        {col::ItemNumber, "Item #", "ItemNumber", {}, ""},
        {col::MeterNumber, "Meter", "MeterNumber", {}, ""},
        {col::Active, "Installed", "Active", Value(true), "Yes/No"},
        {col::Assembly, "Assembly", "Assembly", {}, ""},
        {col::Description, "Component Name", "Description", {}, ""},
        {col::PartNumber, "Part Number", "PartNumber", {}, ""},
        {col::SerialNumber, "Serial #", "Serial#", {}, ""},
        {col::DatePurchased, "Date Purchased", "DatePurchased", {}, "Short Date"},
        {col::Manufacturer, "Manufacturer", "Manufacturer", {}, ""},
        {col::Inspection, "Inspection", "Inspection", {}, ""},
        {col::ReplaceCost, "Cost to Replace", "ReplaceCost", Value(0), "Currency"},
        {col::ReservePerHour, "Reserve Per Hour", "ReservePerHour", Value(0), "Currency"},
        {col::LifeNumber, "Service Life", "LifeNumber", Value(0), ""},
        {col::LifeBasis, "Type", "LifeBasis", Value("RT"), ""},
        {col::InstallDate, "Install Date", "InstallDate", {}, "Short Date"},
        {col::InstallTimeLeft, "Component at Install", "InstallTimeLeft", {}, ""},
        {col::InstallACHour, "A/C Total at Install", "InstallACHour", {}, ""},
        {col::Notes, "Notes", "Notes", {}, ""},
        {col::OilAnalysis, "Oil Analysis", "OilAnalysis", Value(false), "Yes/No"},
    }};
    std::vector<screens::GridColumn> columns(specs.size());
    for (const ColumnSpec& s : specs) {
        screens::GridColumn& g = columns[static_cast<size_t>(s.index)];
        g.caption = QString::fromLatin1(s.caption);
        g.field = QString::fromLatin1(s.field);
        g.defaultValue = s.defaultValue;
        g.format = QString::fromLatin1(s.format);
        g.visible = s.index != col::RegNum;
    }
    return columns;
}

}  // namespace velmora::aircraft
