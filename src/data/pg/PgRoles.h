#pragma once

// The group roles of a shared fleet database, each with the least privileges its work needs:
//   velmora_read   reads every table of the data sets (screens, reports, tools); writes none
//   velmora_entry  also enters meter readings and totals, components, oil samples and planned
//                  use; adds journal lines but never changes or deletes one; no DDL
//   velmora_admin  owns the data sets: templates, company settings, migrations, new tables
// Each includes the one before it. Users are made members of one of them by the server's
// administrator (GRANT velmora_entry TO planner).

#include <QString>
#include <QStringList>

namespace velmora::data::pg {

inline constexpr char kReadRole[] = "velmora_read";
inline constexpr char kEntryRole[] = "velmora_entry";
inline constexpr char kAdminRole[] = "velmora_admin";

// Makes the three roles (those that exist are kept) and gives them their privileges on the
// data sets (schemas timemgr and helipart) and the engine's functions of the database the
// connection URI names: the data sets and their tables then belong to velmora_admin. Run again
// after a data set was added. All in one transaction: a failure leaves the server as it was.
// Returns a report, a line for each role and data set. Throws DbError (3151 when the server
// cannot be reached, 3033 when the login may not do it, 3044 for a URI with a password).
QStringList setUpServerRoles(const QString& uri);

}  // namespace velmora::data::pg
