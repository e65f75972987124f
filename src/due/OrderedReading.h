#pragma once

#include <cstddef>
#include <functional>

namespace velmora::data {
class Database;
}

namespace velmora::due {

// Reads item i (an aircraft, say) on the connection given.
using ReadItem = std::function<void(data::Database& db, std::size_t i)>;
// Takes item i once it has been read.
using TakeItem = std::function<void(std::size_t i)>;

// Reads the items 0 .. count-1 of a data set and takes them in that order. The items are
// read on several connections at once where the data can give more than one: the given
// connection on the calling thread, and for each further thread (at most one a core, never
// more than there are items) a reader of its own on the same data, which no other thread
// touches. On one connection alone when the data gives no reader, when the given
// connection has a transaction open (whose changes a reader would not see), or when there
// is one core or one item; on a database server, whose further sessions cost their start,
// also when there are fewer than 8 items.
//
// take(i) runs after read(db, i), one call at a time, in the order of i, on any of the
// threads. The first error of a read or a take stops the others and is thrown here, as it
// was thrown, once every thread has stopped.
void readInOrder(data::Database& db, std::size_t count, const ReadItem& read, const TakeItem& take);

}  // namespace velmora::due
