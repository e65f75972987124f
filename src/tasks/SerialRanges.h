#pragma once

#include <QString>

#include <optional>
#include <vector>

namespace velmora::tasks {

// The serial numbers a task applies to, as a register writes them: items separated by
// commas or semicolons, each one serial number ("AB-1234") or a range of them, both ends
// included: "1001-1050" (two whole numbers), "AB-1000 to AB-1050", "AB-1000..AB-1050",
// and open at one end "1200.." (1200 and on) or "..1050" (up to 1050). Empty text: every
// serial number. Serial numbers are compared as people sort them: runs of digits by their
// value, letters without regard to case, outer blanks ignored ("SN998" comes before
// "sn1000"); a range holds only serial numbers that look like one of its ends, letters and
// other signs the same and digits where it has digits ("C-100 to C-199" holds "c-150", not
// "C-150A"; "1200.." holds the numbers from 1200, not "AB-8").
class SerialRanges {
  public:
    // Reads the text; nothing, with the reason in *error, when an item cannot be read (an
    // empty item, a range whose first end lies after its last).
    static std::optional<SerialRanges> parse(const QString& text, QString* error);

    bool isEverySerial() const { return items_.empty(); }
    // Whether a serial number lies in the ranges. An unknown (empty) serial number cannot be
    // told to lie outside them: it counts as inside, so that no task is missed for it.
    bool contains(const QString& serial) const;

  private:
    struct Item {
        std::optional<QString> from, to;  // an open end is unset
    };
    std::vector<Item> items_;
};

// Compares two serial numbers as SerialRanges does: below, equal to or above zero.
int compareSerials(const QString& a, const QString& b);

}  // namespace velmora::tasks
