#include "casefile/mixture_check.h"

#include <cmath>

#include "components/component_table.h"
#include "text/quoted_name.h"

namespace envelope {

namespace {

MixtureProblem Problem(MixtureProblem::Field field, int component, int column, const QString& text)
{
    return {field, component, column, text};
}

// The name two components are compared by: the table's name for a component
// found there under any of its names, else the name itself.
QString Identity(const std::string& name)
{
    if (const Component* known = FindComponent(name))
        return QString::fromStdString(known->name).toLower();
    return QString::fromStdString(name).trimmed().toLower();
}

QString Number(double value)
{
    return QString::number(value, 'g', 10);
}

} // namespace

QString ComponentPlace(const Mixture& mixture, int i)
{
    const std::size_t index = static_cast<std::size_t>(i);
    if (index < mixture.componentNames.size() && !mixture.componentNames[index].empty())
        return QString("component %1 (%2)")
            .arg(i + 1)
            .arg(QString::fromStdString(QuotedName(mixture.componentNames[index])));
    return QString("component %1").arg(i + 1);
}

MixtureProblem CheckMixture(const Mixture& m)
{
    using Field = MixtureProblem::Field;
    const std::size_t n = m.componentNames.size();
    if (n < MinComponentCount || n > MaxComponentCount)
        return Problem(Field::ComponentCount, -1, -1,
                       QString("%1 components: a mixture has %2 to %3").arg(n).arg(MinComponentCount).arg(MaxComponentCount));
    if (m.criticalTemperature.size() != n || m.criticalPressure.size() != n || m.acentricFactor.size() != n ||
        m.feed.size() != n)
        return Problem(Field::ComponentCount, -1, -1, "the components' constants and fractions differ in number");

    for (std::size_t i = 0; i < n; ++i) {
        const int row = static_cast<int>(i);
        const QString place = ComponentPlace(m, row);
        if (QString::fromStdString(m.componentNames[i]).trimmed().isEmpty())
            return Problem(Field::Name, row, -1, place + ": no name");
        for (std::size_t j = 0; j < i; ++j)
            if (Identity(m.componentNames[j]) == Identity(m.componentNames[i]))
                return Problem(Field::Name, row, -1, place + QString(": the same component as component %1").arg(j + 1));
        if (!std::isfinite(m.feed[i]) || m.feed[i] <= 0.0)
            return Problem(Field::Z, row, -1, place + ": z must be a finite number greater than 0, not " + Number(m.feed[i]));
        if (!std::isfinite(m.criticalTemperature[i]) || m.criticalTemperature[i] <= 0.0)
            return Problem(Field::Tc, row, -1,
                           place + ": Tc must be a finite number greater than 0 K, not " + Number(m.criticalTemperature[i]));
        if (!std::isfinite(m.criticalPressure[i]) || m.criticalPressure[i] <= 0.0)
            return Problem(Field::Pc, row, -1,
                           place + ": Pc must be a finite number greater than 0 bar, not " + Number(m.criticalPressure[i]));
        if (!(m.acentricFactor[i] > -1.0 && m.acentricFactor[i] < 2.0))
            return Problem(Field::Omega, row, -1,
                           place + ": omega must lie between -1 and 2, not " + Number(m.acentricFactor[i]));
    }

    if (!m.kij.empty()) {
        if (m.kij.size() != n * n)
            return Problem(Field::Kij, -1, -1,
                           QString("kij: %1 values for %2 components, not %3 x %3").arg(m.kij.size()).arg(n).arg(n));
        for (std::size_t i = 0; i < n; ++i) {
            for (std::size_t j = 0; j < n; ++j) {
                const double k = m.kij[i * n + j];
                const QString place = QString("kij row %1, column %2").arg(i + 1).arg(j + 1);
                const int row = static_cast<int>(i);
                const int column = static_cast<int>(j);
                if (i == j && k != 0.0)
                    return Problem(Field::Kij, row, column, place + ": the diagonal must be 0, not " + Number(k));
                if (!(k > -1.0 && k < 1.0))
                    return Problem(Field::Kij, row, column, place + ": kij must lie between -1 and 1, not " + Number(k));
                if (k != m.kij[j * n + i])
                    return Problem(Field::Kij, row, column,
                                   place + QString(": not symmetric, %1 here but %2 in row %3, column %4")
                                               .arg(Number(k), Number(m.kij[j * n + i]))
                                               .arg(j + 1)
                                               .arg(i + 1));
            }
        }
    }

    double sum = 0.0;
    for (double z : m.feed)
        sum += z;
    if (std::fabs(sum - 1.0) > FeedSumTolerance)
        return Problem(Field::Z, -1, -1,
                       QString("the mole fractions z sum to %1, not 1 (allowed: 1e-6 either side); normalise them")
                           .arg(Number(sum)));
    return {};
}

} // namespace envelope
