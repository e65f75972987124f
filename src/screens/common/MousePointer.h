#pragma once

namespace velmora::screens {

// The program's mouse pointer: the default arrow or the busy pointer, for every window at
// once. Setting busy twice still needs only one setDefault().
class MousePointer {
  public:
    static void setBusy();
    static void setDefault();
    static bool isBusy();
};

// Shows the busy pointer for the life of this object, then puts back what was shown before.
class BusyPointer {
  public:
    BusyPointer() : wasBusy_(MousePointer::isBusy()) { MousePointer::setBusy(); }
    ~BusyPointer() {
        if (!wasBusy_)
            MousePointer::setDefault();
    }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;

  private:
    bool wasBusy_;
};

}  // namespace velmora::screens
