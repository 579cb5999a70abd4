// Whether the readers use SSE2: where the processor has it, unless the build asks for the
// scalar code (QUORVANE_SIMD=OFF), which is also what processors without SSE2 run.
#pragma once

#if defined(__SSE2__) && !defined(QUORVANE_NO_SIMD)
#define QUORVANE_SSE2 1
#include <emmintrin.h>
#else
#define QUORVANE_SSE2 0
#endif
