#include "thermo/composition.h"

#include "thermo/numerical_fault.h"

namespace envelope {

double SumVector(std::span<const double> v)
{
    double sum = 0.0;
    for (double entry : v)
        sum = Finite(sum + entry);
    return sum;
}

void NormalizeVector(std::span<double> v)
{
    const double sum = SumVector(v);
    for (double& entry : v)
        entry = Finite(entry / sum);
}

void CopyVector(std::span<double> target, std::span<const double> source)
{
    for (std::size_t i = 0; i < target.size(); ++i)
        target[i] = At(source, static_cast<long long>(i));
}

} // namespace envelope
