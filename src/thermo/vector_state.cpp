#include "thermo/vector_state.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace envelope {

#if defined(__x86_64__) || defined(__i386__)

namespace {

// vzeroupper exists only on processors with AVX; the rest of the program is
// compiled without it.
[[gnu::target("avx"), gnu::noinline]] void ZeroUpper()
{
    _mm256_zeroupper();
}

} // namespace

void ClearUpperVectorState()
{
    if (__builtin_cpu_supports("avx"))
        ZeroUpper();
}

#else

void ClearUpperVectorState() {}

#endif

} // namespace envelope
