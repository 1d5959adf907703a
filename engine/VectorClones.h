#pragma once

// A function marked OMBRE_VECTOR_CLONES is compiled twice on x86-64 by GCC:
// for the baseline processor, whose vector registers hold two doubles, and
// for AVX2, whose registers hold four; the program picks one for the
// processor it runs on when it starts. AVX2 alone, without fused
// multiply-add, gives every sum exactly the roundings of the baseline, so the
// results are the same on every x86-64 machine. ThreadSanitizer builds take
// the baseline alone: the picking runs before its runtime is ready.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__) && !defined(__SANITIZE_THREAD__)
#define OMBRE_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
// Inlined into each clone, a helper is compiled for its processor too.
#define OMBRE_INLINE inline __attribute__((always_inline))
#else
#define OMBRE_VECTOR_CLONES
#define OMBRE_INLINE inline
#endif
