#pragma once
// The simulated adapters the program can be shown on: which stand-in driver answers and what it
// says, and the view of the main window that follows. `scripts/run NAME` and the end-to-end
// tests use the same table.
#include <string>

#include "standin_install.h"

// What the main window shows: the connector pictures that are lit (none in the start-up view,
// where each lights only under the pointer) and whether the high-definition rows replace the
// standard row of resolution buttons.
struct ExpectedView {
    bool sVideoLit;
    bool compositeLit;
    bool componentLit;
    bool hdmiLit;
    bool highDefinitionRow;
};

enum class SimulatedVendor { None, Ati, Intel, Nvidia };

struct AdapterScenario {
    const char* name;
    const char* description;
    SimulatedVendor vendor;
    const char* answer;  // the connector the stand-in reports, in its own encoding
    const ExpectedView* view;
};

inline constexpr ExpectedView kStartUp{false, false, false, false, false};
inline constexpr ExpectedView kSVideo{true, false, false, false, false};
inline constexpr ExpectedView kComposite{false, true, false, false, false};
inline constexpr ExpectedView kSVideoAndComposite{true, true, false, false, false};
inline constexpr ExpectedView kComponent{false, false, true, false, true};
inline constexpr ExpectedView kHdmi{false, false, false, true, true};

inline constexpr AdapterScenario kAdapterScenarios[] = {
    {"nvidia-hdmi", "NVIDIA adapter, TV on HDMI", SimulatedVendor::Nvidia, "97", &kHdmi},
    {"nvidia-component", "NVIDIA adapter, TV on Component", SimulatedVendor::Nvidia, "19", &kComponent},
    {"nvidia-svideo", "NVIDIA adapter, TV on S-Video", SimulatedVendor::Nvidia, "17", &kSVideo},
    {"nvidia-composite", "NVIDIA adapter, TV on Composite", SimulatedVendor::Nvidia, "16", &kComposite},
    {"nvidia-unknown", "NVIDIA adapter reporting a connector code it does not name", SimulatedVendor::Nvidia, "18",
     &kStartUp},
    {"ati-hdmi", "ATI adapter, TV on HDMI", SimulatedVendor::Ati, "2", &kHdmi},
    {"ati-component", "ATI adapter, TV on Component", SimulatedVendor::Ati, "4", &kComponent},
    {"ati-svideo", "ATI adapter, TV output (S-Video and Composite)", SimulatedVendor::Ati, "1", &kSVideoAndComposite},
    {"intel-hdmi", "Intel adapter, TV on HDMI", SimulatedVendor::Intel, "8", &kHdmi},
    {"intel-component", "Intel adapter, TV on Component", SimulatedVendor::Intel, "32", &kComponent},
    {"intel-svideo", "Intel adapter, TV on S-Video", SimulatedVendor::Intel, "2", &kSVideo},
    {"intel-composite", "Intel adapter, TV on Composite", SimulatedVendor::Intel, "4", &kComposite},
    {"none", "no vendor interface: NVIDIA's two failure messages, then the start-up view", SimulatedVendor::None,
     nullptr, &kStartUp},
};

// The scenario of that name; null when there is none.
const AdapterScenario* FindScenario(const std::string& name);
// Installs the scenario's stand-in driver and tells it what to answer; false when that failed.
bool SimulateAdapter(StandinDrivers& drivers, const AdapterScenario& scenario);
