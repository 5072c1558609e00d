#include "framework/system_look.h"

#include <atomic>

namespace {

class SystemsOwnLook : public SystemLook {
public:
    bool HighContrast() const override {
        HIGHCONTRASTA contrast{};
        contrast.cbSize = sizeof contrast;
        return ::SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
               (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
    }
    COLORREF Colour(int index) const override { return ::GetSysColor(index); }
};

const SystemsOwnLook kSystemsLook;
// Read by the animation's worker too, hence atomic.
std::atomic<const SystemLook*> g_replacement{nullptr};

}  // namespace

const SystemLook& CurrentSystemLook() {
    if (const SystemLook* replacement = g_replacement.load()) return *replacement;
    return kSystemsLook;
}

const SystemLook* UseSystemLook(const SystemLook* look) { return g_replacement.exchange(look); }

bool HighContrastOn() { return CurrentSystemLook().HighContrast(); }
