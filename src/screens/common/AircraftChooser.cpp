#include "AircraftChooser.h"

#include "BoundRecordSource.h"
#include "Chooser.h"
#include "Dialogs.h"

#include "data/Database.h"
#include "data/DbError.h"
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

bool aircraftStillInFile(QWidget* parent, const BoundRecordSource& source, const QString& regNum,
                         const QString& record, const QString& advice, const QString& title) {
    QString text;
    try {
        auto db = source.database();
        if (!db || aircraftInFile(*db, regNum))
            return true;
        text = QStringLiteral(
                   "The aircraft %1 is not in the data file any more: it was renamed or "
                   "deleted since this screen read it. The %2 is not saved; %3")
                   .arg(regNum, record, advice);
    } catch (const data::DbError& e) {
        text = QStringLiteral("The %1 is not saved: %2").arg(record, e.text());
    }
    msgBox(parent, text, MsgButtons::Ok, MsgIcon::Exclamation, title, MsgAnswer::Ok);
    return false;
}

void keepChooserOn(Chooser& chooser, const QString& regNum) {
    if (!regNum.isEmpty() && regNum != chooser.text())
        chooser.setListIndexQuietly(chooser.findExact(regNum));
}

}  // namespace velmora::screens
