#include "MathOperation.h"

MathResult Combine(MathOperation operation, UInt64 current, UInt64 operand, UInt16 width)
{
    (void)width;
    switch (operation) {
    case eMathAnd: return { current & operand };
    case eMathOr: return { current | operand };
    case eMathXor: return { current ^ operand };
    case eMathAdd: return { current + operand };
    case eMathSubtract: return { current - operand };
    case eMathMultiply: return { current * operand };
    case eMathDivide: return { operand == 0 ? 0 : current / operand };
    case eMathRemainder: return { operand == 0 ? 0 : current % operand };
    case eMathShiftRight: return { current >> (operand & 63) };
    case eMathShiftLeft: return { current << (operand & 63) };
    case eMathOperationCount: break;
    }
    return { 0 };
}
