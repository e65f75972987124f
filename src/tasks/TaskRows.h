#pragma once

#include "TaskTypes.h"
#include "data/Value.h"

#include <QStringList>

#include <vector>

// How tasks, compliance and accomplishments are kept in the rows of their tables: the
// columns of each, in order, and the values of a record in that order.
namespace velmora::tasks::rows {

const QStringList& taskColumns();
std::vector<data::Value> taskValues(const Task& t);
Task taskFrom(const std::vector<data::Value>& v);

const QStringList& complianceColumns();
std::vector<data::Value> complianceValues(const Compliance& c);
Compliance complianceFrom(const std::vector<data::Value>& v);

const QStringList& accomplishmentColumns();
std::vector<data::Value> accomplishmentValues(const Accomplishment& a);
Accomplishment accomplishmentFrom(const std::vector<data::Value>& v);

// "SELECT [a],[b],... FROM [table]" and "INSERT INTO table (a, b, ...) VALUES (?1, ?2, ...)"
// for a table's columns.
QString selectFrom(const QString& table, const QStringList& columns);
QString insertInto(const QString& table, const QStringList& columns);
// "UPDATE table SET b = ?2, c = ?3, ... WHERE a = ?1": the first column is the key.
QString updateByKey(const QString& table, const QStringList& columns);

}  // namespace velmora::tasks::rows
