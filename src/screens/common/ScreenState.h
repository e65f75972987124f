#pragma once

namespace velmora::screens {

// While set, the screens' record-change handlers skip their own work: screens set it
// around filling their choosers and beginning a new aircraft.
extern bool SuppressReposition;

// Sets SuppressReposition for its lifetime and clears it when it ends, however the block is
// left. The flag is one switch for the whole program, not a count: the end of any such block
// clears it, as each screen's own bulk work ends.
class RepositionSuppressed {
  public:
    RepositionSuppressed() { SuppressReposition = true; }
    ~RepositionSuppressed() { SuppressReposition = false; }
    RepositionSuppressed(const RepositionSuppressed&) = delete;
    RepositionSuppressed& operator=(const RepositionSuppressed&) = delete;
};

}  // namespace velmora::screens
