// The math area's operations: the Value row's bits combined with the
// Operand row's, at the rows' shared width. Pure functions of their
// arguments, so the window, the tests and the fuzzers all get one answer.
#ifndef BITLENS_MATHOPERATION_H
#define BITLENS_MATHOPERATION_H

#include "BaseConverter.h"
#include "WideInteger.h"

// In the order of the operation popup's items: an item's index is its
// operation. Below, w is the width, a and b the width's bits of the Value
// and the Operand, "signed" reads them as two's complement at w bits and
// MIN is the most negative number there.
enum MathOperation {
    eMathAnd,
    eMathOr,
    eMathXor,
    eMathAdd,
    eMathSubtract,
    eMathMultiply,
    eMathDivide, // unsigned
    eMathRemainder, // unsigned
    eMathShiftRight, // by the low 6 bits of b, zeros in from the top
    eMathShiftLeft, // by the low 6 bits of b
    eMathNot, // b plays no part
    eMathNand,
    eMathNor,
    eMathXnor,
    eMathRotateLeft, // by b modulo w
    eMathRotateRight, // by b modulo w
    eMathArithmeticShiftRight, // by the low 6 bits of b, copies of the sign bit in from the top
    eMathSignedDivide, // rounded toward zero; MIN / -1 gives MIN back
    eMathSignedRemainder, // with the sign of a; MIN % -1 gives 0
    eMathNegate, // b plays no part
    eMathOperationCount
};

// A processor's status flags after the operation, in the order the Result
// row shows them. With n the shift count:
// - Zero: the result within the width is 0. Sign: its bit w - 1.
// - Carry, add and multiply: the exact unsigned result needs more than w
//   bits; subtract: it borrows (a < b unsigned).
// - Carry, shifts: the last bit out, as if shifted a bit at a time: bit
//   n - 1 of a for a right shift, bit w - n for a left shift, for n from 1
//   to w. Beyond w the bits out are the zeros that came in, or for the
//   arithmetic shift the copies of the sign bit, so the carry is the sign.
// - Carry, rotates: the bit that wrapped around last, which is the result's
//   bit 0 after a left rotation and bit w - 1 after a right one; clear when
//   the count is a multiple of w.
// - Overflow: the exact signed result of add, subtract, multiply, negate or
//   signed divide does not fit in w bits (for negate only -MIN, for signed
//   divide only MIN / -1).
// - DivideByZero: b is 0 in one of the four divisions and remainders.
// The logic operations never set Carry or Overflow, nor negate Carry. A flag
// that does not apply to an operation (FlagApplies) is always clear.
enum MathFlag {
    eMathFlagZero,
    eMathFlagSign,
    eMathFlagCarry,
    eMathFlagOverflow,
    eMathFlagDivideByZero,
    eMathFlagCount
};

struct MathResult {
    UInt64 value;
    UInt8 flags; // bit (1 << flag) for each MathFlag that is set

    bool Has(MathFlag flag) const { return (flags >> flag) & 1; }
};

// `current` and `operand` are the rows' bits within `width` (8, 16, 32 or
// 64; 0 or more than 64 count as 64), read big-endian; the flags and the
// operations from eMathNot on look only at their bits within the width.
// The first ten keep their whole 64-bit result, bits above the width
// included (the row stores it whole and shows the width's bits): arithmetic
// wraps modulo 2^64, a zero divisor gives 0, a shift counts only the low 6
// bits of `operand`. The others give the width's bits with those above it
// clear. Any other `operation` gives 0 and no flag.
MathResult Combine(MathOperation operation, UInt64 current, UInt64 operand, UInt16 width);

struct WideMathResult {
    UInt128 value;
    UInt8 flags;

    bool Has(MathFlag flag) const { return (flags >> flag) & 1; }
};

// Combine for rows of up to 128 bits: at 8 to 64 bits Combine's answer, from
// the low 64 bits of `current` and `operand`; at 128 bits (and at 0, or more
// than 128) the same rules with 128 in place of 64: the first ten keep their
// result modulo 2^128, a shift counts the low 7 bits of `operand`.
WideMathResult CombineWide(MathOperation operation, UInt128 current, UInt128 operand, UInt16 width);

// Whether `operation` can set `flag`, for the window to tell the user that
// a flag means nothing for the selected operation.
bool FlagApplies(MathOperation operation, MathFlag flag);

#endif
