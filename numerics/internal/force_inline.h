#pragma once
// Inlines a small helper of a hot path into each caller. The compiler's own
// judgement keeps some of them out of line where they are called twice, and
// the calls then lengthen chains of dependent steps that are short already.

#if defined(_MSC_VER) && !defined(__clang__)
#define QUILLO_FORCE_INLINE __forceinline
#else
#define QUILLO_FORCE_INLINE inline __attribute__((always_inline))
#endif
