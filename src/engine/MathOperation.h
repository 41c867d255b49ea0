// The math area's operations: the Value row's bits combined with the
// Operand row's, at the rows' shared width. Pure functions of their
// arguments, so the window, the tests and the fuzzers all get one answer.
#ifndef BITLENS_MATHOPERATION_H
#define BITLENS_MATHOPERATION_H

#include "BaseConverter.h"

// In the order of the operation popup's items: an item's index is its
// operation.
enum MathOperation {
    eMathAnd,
    eMathOr,
    eMathXor,
    eMathAdd,
    eMathSubtract,
    eMathMultiply,
    eMathDivide,
    eMathRemainder,
    eMathShiftRight,
    eMathShiftLeft,
    eMathOperationCount
};

struct MathResult {
    UInt64 value;
};

// `current` and `operand` are the rows' bits within `width` (8, 16, 32 or
// 64), read big-endian. Arithmetic wraps modulo 2^64 and the result is kept
// whole, bits above the width included; a zero divisor gives 0, a shift
// counts only the low 6 bits of `operand`. Any other `operation` gives 0.
MathResult Combine(MathOperation operation, UInt64 current, UInt64 operand, UInt16 width);

#endif
