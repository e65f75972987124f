#pragma once

#include "data/Failure.h"
#include "due/DueListSource.h"
#include "due/WarningLevel.h"

#include <QString>

#include <functional>

class QWidget;

namespace velmora::reports {

// What the time remaining screen hands to the report engine for one print.
struct PrintRequest {
    QString selectionFormula;  // {Remaining.Aircraft.RegNum} = 'N1'
    QString reportFile;        // the data path followed by 1.rpt or 2.rpt
    QString dataFile;          // TimeMgr.mdb
    QString companyName;
    QString companyPhone;
    // What marks remaining life as overdue or due soon: the company's warning levels, and
    // where the aircraft's daily use comes from.
    due::WarningSettings warnings;
    due::UtilisationFactory utilisation =
        due::journalledUtilisation(utilisation::kDefaultAverageDays);
};

// Runs a print; a failure, its text for the user, when it cannot.
using ReportRunner = std::function<data::MaybeFailure(QWidget* parent, const PrintRequest&)>;

}  // namespace velmora::reports
