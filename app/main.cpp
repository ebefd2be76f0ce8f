// Until the windows exist: flashes the built-in feed at 400 K and 10 bar.
#include <cstdio>

#include "envelope/case.h"
#include "equilibrium/flash.h"

int main()
{
    using namespace envelope;
    const CompositionVector feed = LoadBuiltInCase();
    CompositionVector x(3, 0.0), y(3, 0.0);
    double V = 0.0;
    IsothermalFlash(feed, 400.0, 10.0, y, x, V, 1e-5, 50);
    std::printf("Flash of the feed at 400 K and 10 bar\nV = %.6f\n", V);
    for (int i = 0; i < 3; ++i)
        std::printf("component %d: x = %.6f  y = %.6f\n", i, x[i], y[i]);
    return 0;
}
