#include "scenarios.h"

const AdapterScenario* FindScenario(const std::string& name) {
    for (const AdapterScenario& scenario : kAdapterScenarios)
        if (name == scenario.name) return &scenario;
    return nullptr;
}

bool SimulateAdapter(StandinDrivers& drivers, const AdapterScenario& scenario) {
    switch (scenario.vendor) {
        case SimulatedVendor::Ati:
            drivers.Scenario("ORVA_ATI_ANSWER", scenario.answer);
            return drivers.InstallAti();
        case SimulatedVendor::Intel:
            // The TV device (type 4) on the first display device, uid 7.
            drivers.Scenario("ORVA_IGFX_DISPLAY1_0", "7,4,0");
            drivers.Scenario("ORVA_IGFX_CONNECTOR_TYPE", scenario.answer);
            return drivers.RegisterIntel();
        case SimulatedVendor::Nvidia:
            drivers.Scenario("ORVA_NV_CONNECTOR", scenario.answer);
            return drivers.InstallNvapi();
        case SimulatedVendor::None: break;
    }
    return true;
}
