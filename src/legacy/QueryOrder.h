#pragma once

// The order in which the stored queries of a Jet file are kept: a query that reads others
// comes after them, since the engine keeps only a query it can run.

#include "TableSource.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace velmora::legacy {

struct QueryOrder {
    // Indices into the queries, each after the queries it reads.
    std::vector<size_t> order;
    // For each query (by index), the other queries it reads, by their names.
    std::vector<QStringList> reads;
    // For each query, why it cannot be kept whatever else is: it reads itself, directly or
    // through others (the circle is named). Empty for the others.
    std::vector<QString> circle;
};

// A query reads another when its text names it outside literals (as a table of FROM or
// JOIN, or anywhere else a name stands). Names compare without regard to letter case.
QueryOrder orderQueries(const std::vector<SourceQuery>& queries);

}  // namespace velmora::legacy
