#pragma once

// Record sets a server session keeps, to hand out again while nothing on the server has
// changed. Internal to the engine.

#include "data/Recordset.h"

#include <QByteArray>
#include <QString>

#include <map>
#include <vector>

namespace velmora::data::pg {

// What plain table sources read last, each with the server's snapshot taken before it was
// read. While the server gives the same snapshot, no transaction has ended anywhere on it
// since: the same query would read the same rows.
class KeptSets {
  public:
    struct Set {
        std::vector<Field> fields;
        std::vector<Recordset::Row> rows;
        QString table;  // the table the set writes to
    };

    // The set the source read under this snapshot; none when it read none or read it under
    // another.
    const Set* find(const QString& source, const QByteArray& snapshot) const;
    // Keeps what the source read under the snapshot taken before it, in place of what it
    // read before. Only a set that fits is kept.
    void keep(const QString& source, const QByteArray& snapshot, Set set);
    // Whether a set the source read is kept, under whatever snapshot.
    bool holds(const QString& source) const { return sets_.count(source) > 0; }
    // Drops what the source read before, as when what it reads now is too large to keep.
    void forget(const QString& source) { sets_.erase(source); }
    // Drops every set: the session ended a transaction, and what it changed is in none.
    void forgetAll() { sets_.clear(); }
    // Whether a set of so many rows is kept.
    static bool fits(size_t rows) { return rows <= kMostRows; }

  private:
    static constexpr size_t kMostSets = 8;
    static constexpr size_t kMostRows = 20000;
    struct Kept {
        QByteArray snapshot;
        Set set;
    };
    std::map<QString, Kept> sets_;
};

// The name a Jet source reads all columns of, in an order and nothing else ("select * from
// [Aircraft] order by [RegNum]" reads Aircraft); empty for any other source. When the name
// is a table's, what the source reads depends on the table's rows alone, never on the day,
// the session or a function.
QString nameReadPlainly(const QString& jetSource);

}  // namespace velmora::data::pg
