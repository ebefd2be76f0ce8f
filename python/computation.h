#pragma once
// The core's computations run without Python's global interpreter lock, so
// that Python threads run envelopes at the same time.
//
// For the tests, a gate can hold the next few computations at their start,
// once the lock is released, until all of them have arrived: when they all
// arrive, they were inside their computations at the same time.

#include <pybind11/pybind11.h>

namespace envelope::python {

// Called at the start of each computation, without the interpreter lock;
// returns at once unless the gate is set.
void EnterComputation();

// Runs the computation without the interpreter lock and returns its value.
// Nothing of Python may be touched inside; exceptions pass through once the
// lock is taken back.
template <class Computation>
auto WithoutInterpreterLock(Computation&& computation)
{
    pybind11::gil_scoped_release released;
    EnterComputation();
    return computation();
}

} // namespace envelope::python
