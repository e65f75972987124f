#pragma once

#include <array>
#include <cstddef>

// Constant tables kept as data: an array of rows (an enum's code, its name for people, ...)
// read in either direction with one lookup instead of a switch per direction.
namespace velmora::data {

// The first row whose field equals the value; null where none does.
template <typename Row, std::size_t N, typename Field, typename Value>
constexpr const Row* rowWhere(const std::array<Row, N>& rows, Field Row::*field,
                              const Value& value) {
    for (const Row& r : rows) {
        if (r.*field == value)
            return &r;
    }
    return nullptr;
}

// The row of a key in a table with a row for every key there is (each enumerator of an
// enum); the last row stands for a value the table does not list.
template <typename Row, std::size_t N, typename Key>
constexpr const Row& rowFor(const std::array<Row, N>& rows, Key Row::*field, Key key) {
    const Row* r = rowWhere(rows, field, key);
    return r ? *r : rows.back();
}

// A row of a table that only names its keys.
template <typename Key>
struct Named {
    Key key;
    const char* name;
};

// The name of a key in such a table; null where the table does not list it.
template <typename Key, std::size_t N>
constexpr const char* nameOf(const std::array<Named<Key>, N>& rows, Key key) {
    const Named<Key>* r = rowWhere(rows, &Named<Key>::key, key);
    return r ? r->name : nullptr;
}

}  // namespace velmora::data
