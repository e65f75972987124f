#pragma once

#include <QString>

namespace velmora::aircraft {

// Which components of an aircraft the list shows, and in which order.
enum class ShowRecords { Installed, NotInstalled, All };
enum class OrderBy { ItemNumber, Assembly, Inspection };

// The component list of one aircraft. The registration number goes into the text between
// single quotes with any quote in it doubled, so that it stays one literal.
QString componentListSql(const QString& regNum, ShowRecords show, OrderBy order);

// The statement that reads the oil samples of one component is elsewhere; this one reads
// the rows of every aircraft's table by registration for deleting: kept here so that the
// quoting rule lives in one place.
QString quotedRegNum(const QString& regNum);

}  // namespace velmora::aircraft
