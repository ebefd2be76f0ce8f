#pragma once
// Small mixtures that several test programs run.

#include <string>

#include "components/component_table.h"
#include "envelope/case.h"
#include "thermo/mixture.h"

namespace envelope::test {

// The built-in mixture without its lightest component: ethane- and
// octane-like, 0.3 and 0.7.
inline Mixture BuiltInWithoutMethane()
{
    Mixture m = BuiltInMixture();
    for (auto* list : {&m.criticalTemperature, &m.criticalPressure, &m.acentricFactor})
        list->erase(list->begin());
    m.componentNames.erase(m.componentNames.begin());
    m.feed = {0.3, 0.7};
    return m;
}

// Hydrogen and helium: at 2 bar no temperature makes the feed all liquid, so
// a run fails while it looks for its dew start point.
inline Mixture HydrogenHelium()
{
    Mixture m;
    m.componentNames = {"hydrogen", "helium"};
    m.criticalTemperature = {33.19, 5.2};
    m.criticalPressure = {13.13, 2.28};
    m.acentricFactor = {-0.216, -0.39};
    m.feed = {0.5, 0.5};
    return m;
}

// Methane and n-butane, 0.6 and 0.4, with the component table's constants
// (for the test programs that link the table).
inline Mixture MethaneButaneFromTable()
{
    Mixture m;
    m.componentNames = {"methane", "n-butane"};
    for (const std::string& name : m.componentNames) {
        const Component* known = FindComponent(name);
        m.criticalTemperature.push_back(known->criticalTemperature);
        m.criticalPressure.push_back(known->criticalPressure);
        m.acentricFactor.push_back(known->acentricFactor);
    }
    m.feed = {0.6, 0.4};
    return m;
}

// A lean nine-component natural gas (nitrogen, carbon dioxide, methane to
// n-pentane), given by its constants alone.
inline Mixture NineComponentGas()
{
    Mixture gas;
    gas.criticalTemperature = {126.2, 304.2, 190.6, 305.4, 369.8, 408.1, 425.2, 460.4, 469.7};
    gas.criticalPressure = {33.9, 73.8, 46.0, 48.8, 42.5, 36.5, 38.0, 33.8, 33.7};
    gas.acentricFactor = {0.039, 0.225, 0.011, 0.099, 0.153, 0.183, 0.199, 0.227, 0.251};
    gas.feed = {0.01, 0.02, 0.85, 0.06, 0.03, 0.01, 0.01, 0.005, 0.005};
    return gas;
}

} // namespace envelope::test
