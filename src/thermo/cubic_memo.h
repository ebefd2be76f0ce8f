#pragma once
// The roots of the equation of state's cubics already solved in one run.
//
// BairstowRoots is a pure function of its coefficients: the same four doubles
// always give the same roots, the same deflated coefficients and the same
// fault. A run solves many cubics more than once (the searches of one
// temperature step flash the feed at the same pressures, and a converging
// flash repeats its last cubics), so a run keeps the outcomes it has found,
// keyed by the exact bits of the coefficients, and hands a repeated cubic the
// stored outcome instead of iterating again.
//
// The memo is a fixed-size table in which a new cubic replaces the one that
// held its slot, so its memory is bounded whatever the run does. It belongs
// to one run and one thread; nothing in it is shared. A memo is off until
// Enable(): then it holds no table, and Solve() is BairstowRoots itself, so
// that a single calculation or a benchmark of one measures the root finder.

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "thermo/numerical_fault.h"

namespace envelope {

class CubicRootMemo {
public:
    // Allocates the table: from now on, cubics are remembered.
    void Enable();
    bool Enabled() const { return slots_ != nullptr; }

    // BairstowRoots on the cubic a (a[k] the coefficient of Z^k) into the
    // three-entry root list re/im, with every effect of the call that its
    // caller sees: a deflated in place and the roots written, or the numerical
    // same numerical fault raised, kind and reason (a, re and im then hold no
    // result).
    // A cubic met before is not iterated again, and adds no passes.
    void Solve(std::span<double, 4> a, std::span<double, 3> re, std::span<double, 3> im, long long& passes);

    // How many cubics were answered from the memo and how many were solved.
    long long Hits() const { return hits_; }
    long long Misses() const { return misses_; }

private:
    struct Entry {
        std::array<double, 4> key;      // the coefficients as given
        std::array<double, 2> deflated; // a[0] and a[1] afterwards
        std::array<double, 3> re;
        std::array<double, 3> im;
        // 0: empty slot; 1: roots found; 2 + n: raised the fault faults_[n].
        std::uint32_t state = 0;
    };

    static constexpr std::size_t SlotCount = 4096; // a power of two
    // At most this many distinct faulting cubics keep their fault; later
    // ones are solved again each time they come.
    static constexpr std::size_t FaultCapacity = 64;

    static std::size_t SlotOf(const std::array<double, 4>& key);

    std::unique_ptr<Entry[]> slots_;
    std::vector<NumericalFault> faults_;
    long long hits_ = 0;
    long long misses_ = 0;
};

} // namespace envelope
