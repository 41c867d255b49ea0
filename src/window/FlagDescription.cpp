#include "FlagDescription.h"

namespace {

const char* const kFlagNames[eMathFlagCount]
    = { "Zero", "Sign", "Carry", "Overflow", "Divide by zero" };

// What a set carry means for an operation that can set it.
const char* CarryMeaning(MathOperation operation)
{
    switch (operation) {
    case eMathAdd: return "the unsigned sum does not fit in the width";
    case eMathSubtract: return "the subtraction borrows: the Value is below the Operand, unsigned";
    case eMathMultiply: return "the unsigned product does not fit in the width";
    case eMathRotateLeft:
    case eMathRotateRight: return "the last bit rotated round to the other end";
    default: return "the last bit shifted out of the width";
    }
}

const char* OverflowMeaning(MathOperation operation)
{
    switch (operation) {
    case eMathAdd: return "the signed sum does not fit in the width";
    case eMathSubtract: return "the signed difference does not fit in the width";
    case eMathMultiply: return "the signed product does not fit in the width";
    case eMathSignedDivide:
        return "the most negative number divided by -1: the quotient does not fit, the Value is "
               "shown";
    default: return "the Value is the most negative number: its negation does not fit";
    }
}

const char* Meaning(MathFlag flag, MathOperation operation)
{
    switch (flag) {
    case eMathFlagZero: return "the result is 0 within the width";
    case eMathFlagSign: return "the result's top bit, its sign when read as signed, is set";
    case eMathFlagCarry: return CarryMeaning(operation);
    case eMathFlagOverflow: return OverflowMeaning(operation);
    default: return "the Operand is 0, so the result is 0";
    }
}

} // namespace

QString FlagName(MathFlag flag)
{
    return QLatin1String(kFlagNames[flag]);
}

QString FlagToolTip(MathFlag flag, MathOperation operation, const QString& title)
{
    if (!FlagApplies(operation, flag))
        return QStringLiteral("%1: does not apply to %2").arg(FlagName(flag), title);
    return FlagName(flag) + QLatin1String(": ") + QLatin1String(Meaning(flag, operation));
}
