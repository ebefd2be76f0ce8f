#pragma once
// How a run does its work. The results are the same to the last bit either
// way; every run of the program has both on, and the tests turn them off to
// show that nothing depends on them.

namespace envelope {

struct RunOptions {
    // Each thread remembers the cubics it has solved (thermo/cubic_memo.h).
    bool cubicMemo = true;
    // A second thread takes the dew branch and a share of the bubble march's
    // searches (two_threads.h); without it the calling thread does it all.
    bool secondThread = true;
};

} // namespace envelope
