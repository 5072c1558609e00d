// Built into a copy of the program for scripts/bench alone: the look every window reads reports
// a contrast theme on (Wine cannot turn one on), with the system's colours, so that the bench
// can time the first paint in that look against the skin's. The program itself reads nothing
// that would switch this.
#include "framework/system_look.h"

namespace {

class ContrastOn : public SystemLook {
public:
    bool HighContrast() const override { return true; }
    COLORREF Colour(int index) const override { return ::GetSysColor(index); }
};

const ContrastOn kContrastOn;

// Put in place while the program's objects are built, before its entry point runs.
struct PutInPlace {
    PutInPlace() { UseSystemLook(&kContrastOn); }
} const kPutInPlace;

}  // namespace
