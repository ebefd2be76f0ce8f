#include "computation.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

#include "bindings.h"

namespace envelope::python {

namespace {

// The gate: how many computations it waits for, how many have arrived, and
// how many were inside together when it last opened.
struct Gate {
    std::atomic<bool> set{false};
    std::mutex mutex;
    std::condition_variable opened;
    int expected = 0;
    int arrived = 0;
    int met = 0;
    std::chrono::milliseconds timeout{0};
};

Gate& TheGate()
{
    static Gate gate;
    return gate;
}

// Opens the gate for every computation waiting at it; the lock is held.
void Open(Gate& gate)
{
    gate.met = gate.arrived;
    gate.expected = 0;
    gate.set.store(false, std::memory_order_release);
    gate.opened.notify_all();
}

} // namespace

void EnterComputation()
{
    Gate& gate = TheGate();
    if (!gate.set.load(std::memory_order_acquire))
        return;
    std::unique_lock<std::mutex> lock(gate.mutex);
    if (gate.expected == 0)
        return;
    if (++gate.arrived == gate.expected) {
        Open(gate);
        return;
    }
    // A computation that never comes (one that holds the interpreter lock
    // while it waits here, say) opens the gate when the time is up, with
    // fewer met than expected.
    if (!gate.opened.wait_for(lock, gate.timeout, [&gate] { return gate.expected == 0; }))
        Open(gate);
}

void BindComputationGate(py::module_& module)
{
    module.def(
        "_hold_computations",
        [](int count, double timeout) {
            if (count < 1 || !(timeout > 0.0 && timeout < 3600.0))
                throw InputProblem("the gate holds at least one computation for 0 to 3600 seconds");
            Gate& gate = TheGate();
            std::lock_guard<std::mutex> lock(gate.mutex);
            gate.expected = count;
            gate.arrived = 0;
            gate.met = 0;
            gate.timeout = std::chrono::milliseconds(static_cast<long long>(timeout * 1000.0));
            gate.set.store(true, std::memory_order_release);
        },
        py::arg("count"), py::arg("timeout"),
        "For tests: holds the next `count` computations at their start, without the interpreter\n"
        "lock, until all have arrived or `timeout` seconds have passed.");
    module.def(
        "_computations_met",
        [] {
            Gate& gate = TheGate();
            std::lock_guard<std::mutex> lock(gate.mutex);
            return gate.met;
        },
        "For tests: how many computations were held at the gate together when it last opened.");
}

} // namespace envelope::python
