#pragma once
// The state of the processor's vector registers, as the numeric core needs it.

namespace envelope {

// On x86 processors with AVX, clears the upper halves of the vector
// registers; elsewhere, does nothing. The core's arithmetic is scalar SSE
// code, and while another piece of code (a library at program start, say) has
// left data in those upper halves, every SSE operation waits on them as well:
// the root finder then runs at two thirds of its speed. Clearing them changes
// no value the core computes. Called by the run before its heavy work, on
// every thread that does it.
void ClearUpperVectorState();

} // namespace envelope
