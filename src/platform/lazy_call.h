#pragma once

#include "platform/shared_library.h"

// Defines a function of a library opened on first use under the library's
// own name and signature, so callers keep calling it as its header declares
// it and the compiler checks the definition against that declaration. The
// first call takes the address from the library (once, safe from any
// thread); a missing library or function ends the run (SharedLibrary::require).
//
//   PELLUCID_LAZY_CALL(freeImageLibrary(), FIBITMAP*, FreeImage_Clone, FIBITMAP*)
//
// defines FIBITMAP* FreeImage_Clone(FIBITMAP* a1) { return <resolved>(a1); }.
// Parameter types come without names, at most ten; a type that needs a
// declarator around the name (a function pointer, an array) needs a typedef.
// PELLUCID_LAZY_CALL0 is the same for a function without parameters.
#define PELLUCID_LAZY_CALL(library, result, name, ...)                     \
  extern "C" result name(PELLUCID_LAZY_PARAMS(__VA_ARGS__)) {             \
    static const auto call = (library).require<decltype(&name)>(#name);   \
    return call(PELLUCID_LAZY_ARGS(__VA_ARGS__));                          \
  }

#define PELLUCID_LAZY_CALL0(library, result, name)                       \
  extern "C" result name() {                                            \
    static const auto call = (library).require<decltype(&name)>(#name); \
    return call();                                                      \
  }

// Names the parameters a1, a2, ... by their count.
#define PELLUCID_LAZY_COUNT(...) PELLUCID_LAZY_NTH(__VA_ARGS__, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0)
#define PELLUCID_LAZY_NTH(t1, t2, t3, t4, t5, t6, t7, t8, t9, t10, n, ...) n
#define PELLUCID_LAZY_JOIN(a, b) PELLUCID_LAZY_JOIN_(a, b)
#define PELLUCID_LAZY_JOIN_(a, b) a##b
#define PELLUCID_LAZY_PARAMS(...) \
  PELLUCID_LAZY_JOIN(PELLUCID_LAZY_P, PELLUCID_LAZY_COUNT(__VA_ARGS__))(__VA_ARGS__)
#define PELLUCID_LAZY_ARGS(...) PELLUCID_LAZY_JOIN(PELLUCID_LAZY_A, PELLUCID_LAZY_COUNT(__VA_ARGS__))

#define PELLUCID_LAZY_P1(t1) t1 a1
#define PELLUCID_LAZY_P2(t1, t2) t1 a1, t2 a2
#define PELLUCID_LAZY_P3(t1, t2, t3) PELLUCID_LAZY_P2(t1, t2), t3 a3
#define PELLUCID_LAZY_P4(t1, t2, t3, t4) PELLUCID_LAZY_P3(t1, t2, t3), t4 a4
#define PELLUCID_LAZY_P5(t1, t2, t3, t4, t5) PELLUCID_LAZY_P4(t1, t2, t3, t4), t5 a5
#define PELLUCID_LAZY_P6(t1, t2, t3, t4, t5, t6) PELLUCID_LAZY_P5(t1, t2, t3, t4, t5), t6 a6
#define PELLUCID_LAZY_P7(t1, t2, t3, t4, t5, t6, t7) \
  PELLUCID_LAZY_P6(t1, t2, t3, t4, t5, t6), t7 a7
#define PELLUCID_LAZY_P8(t1, t2, t3, t4, t5, t6, t7, t8) \
  PELLUCID_LAZY_P7(t1, t2, t3, t4, t5, t6, t7), t8 a8
#define PELLUCID_LAZY_P9(t1, t2, t3, t4, t5, t6, t7, t8, t9) \
  PELLUCID_LAZY_P8(t1, t2, t3, t4, t5, t6, t7, t8), t9 a9
#define PELLUCID_LAZY_P10(t1, t2, t3, t4, t5, t6, t7, t8, t9, t10) \
  PELLUCID_LAZY_P9(t1, t2, t3, t4, t5, t6, t7, t8, t9), t10 a10

#define PELLUCID_LAZY_A1 a1
#define PELLUCID_LAZY_A2 a1, a2
#define PELLUCID_LAZY_A3 PELLUCID_LAZY_A2, a3
#define PELLUCID_LAZY_A4 PELLUCID_LAZY_A3, a4
#define PELLUCID_LAZY_A5 PELLUCID_LAZY_A4, a5
#define PELLUCID_LAZY_A6 PELLUCID_LAZY_A5, a6
#define PELLUCID_LAZY_A7 PELLUCID_LAZY_A6, a7
#define PELLUCID_LAZY_A8 PELLUCID_LAZY_A7, a8
#define PELLUCID_LAZY_A9 PELLUCID_LAZY_A8, a9
#define PELLUCID_LAZY_A10 PELLUCID_LAZY_A9, a10
