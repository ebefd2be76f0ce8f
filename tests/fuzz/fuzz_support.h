#pragma once
// Helpers shared by the libFuzzer targets: a plain reader for the input bytes
// and the contract every target checks (the call returns or raises
// NumericalFault, nothing else; invariants that must hold on a normal return).
//
// Inputs are read front to back: single bytes for sizes and modes, 16-bit
// integers and IEEE doubles in little-endian byte order. Whatever the input is
// too short to supply reads as zero, so every input is usable and seed files
// can be written by hand from the layout each target documents.

#include <chrono>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <span>
#include <vector>

#include "thermo/numerical_fault.h"
#include "thermo/mixture.h"

namespace envelope::fuzz {

class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::uint8_t Byte()
    {
        std::uint8_t v = 0;
        Read(&v, sizeof v);
        return v;
    }

    std::int16_t Int16()
    {
        std::uint8_t bytes[2] = {0, 0};
        Read(bytes, sizeof bytes);
        return static_cast<std::int16_t>(static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8)));
    }

    double Double()
    {
        std::uint8_t bytes[8] = {};
        Read(bytes, sizeof bytes);
        std::uint64_t bits = 0;
        for (int i = 7; i >= 0; --i)
            bits = (bits << 8) | bytes[i];
        double v;
        std::memcpy(&v, &bits, sizeof v);
        return v;
    }

    void Doubles(std::span<double> out)
    {
        for (double& v : out)
            v = Double();
    }

private:
    void Read(std::uint8_t* out, std::size_t count)
    {
        const std::size_t available = size_ - offset_ < count ? size_ - offset_ : count;
        std::memcpy(out, data_ + offset_, available);
        offset_ += available;
    }

    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t offset_ = 0;
};

// The most components a fuzzed mixture has data for; a count above it makes a
// ragged mixture.
inline constexpr int FuzzedComponents = 3;

// A mixture from the input: three doubles each of Tc, Pc and omega. The
// component count (the number of critical temperatures) is count, at least 0;
// critical pressures and acentric factors stop at three, so a count of 4
// leaves them one short and an index at their end must fault.
inline Mixture ReadMixture(Input& in, int count)
{
    const auto components = static_cast<std::size_t>(count < 0 ? 0 : count);
    const auto listed = components < FuzzedComponents ? components : FuzzedComponents;
    double tc[FuzzedComponents], pc[FuzzedComponents], omega[FuzzedComponents];
    in.Doubles(tc);
    in.Doubles(pc);
    in.Doubles(omega);
    Mixture mixture;
    for (std::size_t i = 0; i < components; ++i)
        mixture.criticalTemperature.push_back(tc[i % FuzzedComponents]);
    mixture.criticalPressure.assign(pc, pc + listed);
    mixture.acentricFactor.assign(omega, omega + listed);
    return mixture;
}

// The interaction parameters, read after everything else of the input so
// that inputs without them keep their meaning: when the next byte is odd,
// count x count doubles.
inline void ReadInteractionParameters(Input& in, Mixture& mixture)
{
    if (in.Byte() % 2 == 0)
        return;
    mixture.kij.resize(mixture.criticalTemperature.size() * mixture.criticalTemperature.size());
    in.Doubles(mixture.kij);
}

// A mixture of 2 to 6 components whose constants lie in physical ranges:
// critical temperatures 50 to 900 K, critical pressures 5 to 120 bar,
// acentric factors -0.3 to 1.5, feed fractions from 1e-6 to 1 and
// interaction parameters -0.2 to 0.4. Layout: byte component count (mod 5,
// plus 2), then per component three bytes (Tc, Pc, omega as fractions of
// their ranges, 0 to 255) and a 16-bit feed weight, then one byte per pair
// i < j for k_ij (0 leaves every k_ij zero when the first pair byte is 0).
inline Mixture ReadPhysicalMixture(Input& in)
{
    const auto fraction = [](std::uint8_t byte) { return byte / 255.0; };
    const std::size_t count = in.Byte() % 5 + 2;
    Mixture mix;
    for (std::size_t i = 0; i < count; ++i) {
        mix.criticalTemperature.push_back(50.0 + 850.0 * fraction(in.Byte()));
        mix.criticalPressure.push_back(5.0 + 115.0 * fraction(in.Byte()));
        mix.acentricFactor.push_back(-0.3 + 1.8 * fraction(in.Byte()));
        mix.feed.push_back(1e-6 + static_cast<std::uint16_t>(in.Int16()) / 65535.0);
        mix.componentNames.push_back("c");
    }
    const std::uint8_t first = in.Byte();
    if (first != 0) {
        mix.kij.assign(count * count, 0.0);
        std::uint8_t byte = first;
        for (std::size_t i = 0; i < count; ++i)
            for (std::size_t j = i + 1; j < count; ++j) {
                mix.kij[i * count + j] = mix.kij[j * count + i] = -0.2 + 0.6 * fraction(byte);
                byte = in.Byte();
            }
    }
    return mix;
}

// Reports a broken contract and aborts, which libFuzzer records as a crash
// and saves the input for.
[[noreturn]] inline void Violation(const char* what)
{
    std::fprintf(stderr, "\n*** contract violated: %s\n", what);
    std::fflush(stderr);
    std::abort();
}

inline void Require(bool condition, const char* what)
{
    if (!condition)
        Violation(what);
}

// The longest one call may take. libFuzzer's -timeout looks only once a
// second, so a call of one to two seconds can slip past it; every call is
// timed here as well.
inline constexpr double CallTimeLimitSeconds = 1.0;

// Runs the call; true when it returned, false when it raised NumericalFault.
// Any other exception, or a call longer than the limit, breaks the contract.
template <class Call>
bool ReturnsOrFaults(Call&& call)
{
    const auto start = std::chrono::steady_clock::now();
    bool returned = true;
    try {
        call();
    } catch (const NumericalFault&) {
        returned = false;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "\n*** exception other than the numerical fault: %s\n", e.what());
        Violation("unexpected exception type");
    } catch (...) {
        Violation("unexpected non-standard exception");
    }
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    if (took.count() > CallTimeLimitSeconds) {
        std::fprintf(stderr, "\n*** the call took %.3f s\n", took.count());
        Violation("a call took longer than one second");
    }
    return returned;
}

// Bitwise equality, so that a NaN left in place compares equal to itself.
inline bool SameBits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// A NaN with a payload of its own, which no guarded calculation can store: an
// entry that still holds it was not written by the call.
inline double Untouched()
{
    const std::uint64_t bits = 0x7ff8'0000'dead'beefULL;
    double v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

inline bool IsUntouched(double v)
{
    return SameBits(v, Untouched());
}

} // namespace envelope::fuzz
