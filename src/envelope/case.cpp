#include "envelope/case.h"

namespace envelope {

Mixture BuiltInMixture()
{
    Mixture m;
    m.componentNames = {"methane", "ethane", "octane"};
    m.criticalTemperature = {190.7, 305.43, 568.6};
    m.criticalPressure = {46.41, 48.84, 24.97};
    m.acentricFactor = {0.0115, 0.0986, 0.4018};
    m.feed = {0.1, 0.15, 0.75};
    return m;
}

bool IsBuiltInCase(const Mixture& mixture)
{
    Mixture unnamed = mixture;
    unnamed.name = BuiltInMixture().name;
    // All-zero interaction parameters are the same arithmetic as none.
    if (!unnamed.HasInteractionParameters())
        unnamed.kij.clear();
    return unnamed == BuiltInMixture();
}

} // namespace envelope
