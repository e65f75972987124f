#pragma once

#include <QString>

namespace velmora::aircraft {

// Which components of an aircraft the list shows, and in which order.
enum class ShowRecords { Installed, NotInstalled, All };
enum class OrderBy { ItemNumber, Assembly, Inspection };

// The component list of one aircraft. The registration number goes into the text between
// single quotes with any quote in it doubled, so that it stays one literal.
QString componentListSql(const QString& regNum, ShowRecords show, OrderBy order);

}  // namespace velmora::aircraft
