#include "OilSamples.h"

#include "data/JetSqlTranslator.h"

namespace velmora::oil {

const std::array<SampleColumn, kSampleColumnCount> kSampleColumns = {{
    {"RegNum", "RegNum"},
    {"Component", "Component"},
    {"Date Performed", "DatePerformed"},
    {"Iron", "Iron"},
    {"Chromium", "Chromium"},
    {"Nickel", "Nickel"},
    {"Aluminum", "Aluminum"},
    {"Lead", "Lead"},
    {"Copper", "Copper"},
    {"Tin", "Tin"},
    {"Silver", "Silver"},
    {"Titanium", "Titanium"},
    {"Silicon", "Silicon"},
    {"Boron", "Boron"},
    {"Sodium", "Sodium"},
    {"Potassium", "Potassium"},
    {"Molybdenum", "Molybdenum"},
    {"Phosphorus", "Phosphorus"},
    {"Zinc", "Zinc"},
    {"Calcium", "Calcium"},
    {"Barium", "Barium"},
    {"Magnesium", "Magnesium"},
    {"Antimony", "Antimony"},
    {"Vanadium", "Vanadium"},
    {"Engine Hrs", "EngineHrs"},
}};

// The captions the operators know from the first version of this screen, spelling included.
const std::array<const char*, kOptionCount> kOptionCaptions = {
    "Iron",      "Chromium",   "Nickel",     "Aluminum", "Lead",         "Copper",
    "Tin",       "Silver",     "Titanium",   "Silicon",  "Boron",        "Sodium",
    "Potasium",  "Molybdenum", "Phosphorus", "Zinc",     "Calcium",      "Barium",
    "Magnesium", "Antmony",    "Vanadium",   "Hours",    "All (x Phos)",
};

QString sampleListQuery(const QString& regNum, const QString& component, bool ordered) {
    QString sql = QStringLiteral(
        "select [RegNum],[Component],[DatePerformed],[Iron],[Chromium],[Nickel],[Aluminum],"
        "[Lead],[Copper],[Tin],[Silver],[Titanium],[Silicon],[Boron],[Sodium],[Potassium],"
        "[Molybdenum],[Phosphorus],[Zinc],[Calcium],[Barium],[Magnesium],[Antimony],"
        "[Vanadium],[EngineHrs] from [Oil] where [RegNum]=");
    sql += data::quoteJetLiteral(regNum);
    sql += QStringLiteral(" and [Component]=");
    sql += data::quoteJetLiteral(component);
    if (ordered)
        sql += QStringLiteral(" order by [DatePerformed] ");
    return sql;
}

QString oilComponentsQuery(const QString& regNum) {
    return QStringLiteral("select [Description] from [Parts] where [RegNum]=") +
           data::quoteJetLiteral(regNum) + QStringLiteral(" and [OilAnalysis]=-1");
}

}  // namespace velmora::oil
