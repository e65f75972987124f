#pragma once

#include <QtGlobal>

#include <algorithm>
#include <utility>
#include <vector>

class QObject;

namespace velmora::screens {

// Controls of one kind addressed by the index the screen gives each of them, as in
// txtFields[11]. The indexes need not follow one another: only the controls added exist.
template <typename Control>
class ControlArray {
  public:
    using Entry = std::pair<int, Control*>;

    // Adds a control under its index (one added before under that index is replaced).
    void add(int index, Control* control) {
        auto it = std::lower_bound(entries_.begin(), entries_.end(), index,
                                   [](const Entry& e, int i) { return e.first < i; });
        if (it != entries_.end() && it->first == index)
            it->second = control;
        else
            entries_.insert(it, {index, control});
    }

    bool contains(int index) const { return at(index) != nullptr; }
    // The control of an index; null when the array has none of that index.
    Control* at(int index) const {
        auto it = std::lower_bound(entries_.begin(), entries_.end(), index,
                                   [](const Entry& e, int i) { return e.first < i; });
        return it != entries_.end() && it->first == index ? it->second : nullptr;
    }
    // The control of an index the screen has.
    Control* operator[](int index) const {
        Control* control = at(index);
        Q_ASSERT_X(control, "ControlArray", "no control of this index");
        return control;
    }
    // The index of a control of the array; -1 for any other object.
    int indexOf(const QObject* object) const {
        for (const Entry& e : entries_) {
            if (object && static_cast<const QObject*>(e.second) == object)
                return e.first;
        }
        return -1;
    }

    // The (index, control) pairs, by index.
    typename std::vector<Entry>::const_iterator begin() const { return entries_.begin(); }
    typename std::vector<Entry>::const_iterator end() const { return entries_.end(); }
    int size() const { return static_cast<int>(entries_.size()); }

  private:
    std::vector<Entry> entries_;
};

}  // namespace velmora::screens
