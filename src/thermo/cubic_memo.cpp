#include "thermo/cubic_memo.h"

#include <algorithm>
#include <bit>

#include "thermo/bairstow.h"
#include "thermo/numerical_fault.h"

namespace envelope {

namespace {

constexpr std::uint32_t EmptySlot = 0;
constexpr std::uint32_t Solved = 1;
constexpr std::uint32_t FirstFault = 2;

// Equality of the bits, not of the values: 0.0 and -0.0 are different keys.
bool SameBits(const std::array<double, 4>& one, const std::array<double, 4>& other)
{
    for (std::size_t k = 0; k < 4; ++k)
        if (std::bit_cast<std::uint64_t>(one[k]) != std::bit_cast<std::uint64_t>(other[k]))
            return false;
    return true;
}

} // namespace

void CubicRootMemo::Enable()
{
    if (!slots_)
        slots_ = std::make_unique<Entry[]>(SlotCount);
}

std::size_t CubicRootMemo::SlotOf(const std::array<double, 4>& key)
{
    std::uint64_t h = 0;
    for (double v : key)
        h = (h ^ std::bit_cast<std::uint64_t>(v)) * 0x9E3779B97F4A7C15ull;
    return static_cast<std::size_t>(h >> (64 - std::countr_zero(SlotCount)));
}

void CubicRootMemo::Solve(std::span<double, 4> a, std::span<double, 3> re, std::span<double, 3> im,
                          long long& passes)
{
    if (!slots_) {
        BairstowRoots(a, re, im, passes);
        return;
    }
    std::array<double, 4> key;
    std::copy(a.begin(), a.end(), key.begin());
    Entry& slot = slots_[SlotOf(key)];

    if (slot.state != EmptySlot && SameBits(slot.key, key)) {
        ++hits_;
        if (slot.state >= FirstFault)
            throw faults_[slot.state - FirstFault];
        a[0] = slot.deflated[0];
        a[1] = slot.deflated[1];
        std::copy(slot.re.begin(), slot.re.end(), re.begin());
        std::copy(slot.im.begin(), slot.im.end(), im.begin());
        return;
    }

    ++misses_;
    try {
        BairstowRoots(a, re, im, passes);
    } catch (const NumericalFault& fault) {
        if (faults_.size() < FaultCapacity) {
            slot.key = key;
            slot.state = FirstFault + static_cast<std::uint32_t>(faults_.size());
            faults_.push_back(fault);
        }
        throw;
    }
    slot.key = key;
    slot.deflated = {a[0], a[1]};
    std::copy(re.begin(), re.end(), slot.re.begin());
    std::copy(im.begin(), im.end(), slot.im.begin());
    slot.state = Solved;
}

} // namespace envelope
