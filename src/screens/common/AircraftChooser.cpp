#include "AircraftChooser.h"

#include "BoundRecordSource.h"
#include "Chooser.h"

#include "data/Database.h"
#include "data/JetSqlTranslator.h"
#include "data/Recordset.h"

namespace velmora::screens {

QString aircraftNavigationCaption() {
    return QStringLiteral(
        "To view another aircraft, click the arrow buttons to the left and right. ");
}

void listRegistrations(Chooser& chooser, const data::Recordset* rows) {
    if (!rows)
        return;
    const int reg = rows->fieldIndex(QStringLiteral("RegNum"));
    if (reg < 0)
        return;
    for (const data::Recordset::Row& row : rows->rows()) {
        const data::Value& v = row.values[static_cast<size_t>(reg)];
        if (!v.isNull() && chooser.findExact(v.toString()) < 0)
            chooser.addEntry(v.toString());
    }
}

QString registrationCriterion(const QString& regNum) {
    return QStringLiteral("RegNum = ") + data::quoteJetLiteral(regNum);
}

bool findAircraft(BoundRecordSource& source, const QString& regNum) {
    return source.findFirst(registrationCriterion(regNum)) || !source.isChanged();
}

bool aircraftInFile(data::Database& db, const QString& regNum) {
    auto rs = db.openRecordset(QStringLiteral("SELECT Count(*) FROM Aircraft WHERE RegNum = ?1"),
                               {data::Value(regNum)});
    return rs->hasCurrent() && rs->value(0).toInt() > 0;
}

void keepChooserOn(Chooser& chooser, const QString& regNum) {
    if (!regNum.isEmpty() && regNum != chooser.text())
        chooser.setListIndexQuietly(chooser.findExact(regNum));
}

}  // namespace velmora::screens
