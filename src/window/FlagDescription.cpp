#include "FlagDescription.h"

#include <QCoreApplication>

namespace {

constexpr char kContext[] = "FlagDescription";

const char* const kFlagNames[eMathFlagCount] = { QT_TRANSLATE_NOOP("FlagDescription", "Zero flag"),
    QT_TRANSLATE_NOOP("FlagDescription", "Sign flag"),
    QT_TRANSLATE_NOOP("FlagDescription", "Carry flag"),
    QT_TRANSLATE_NOOP("FlagDescription", "Overflow flag"),
    QT_TRANSLATE_NOOP("FlagDescription", "Divide-by-zero flag") };

// What a set carry means for an operation that can set it.
const char* CarryMeaning(MathOperation operation)
{
    switch (operation) {
    case eMathAdd:
        return QT_TRANSLATE_NOOP("FlagDescription", "the unsigned sum does not fit in the width");
    case eMathSubtract:
        return QT_TRANSLATE_NOOP(
            "FlagDescription", "the subtraction borrows: the Value is below the Operand, unsigned");
    case eMathMultiply:
        return QT_TRANSLATE_NOOP(
            "FlagDescription", "the unsigned product does not fit in the width");
    case eMathRotateLeft:
    case eMathRotateRight:
        return QT_TRANSLATE_NOOP("FlagDescription", "the last bit rotated round to the other end");
    default: return QT_TRANSLATE_NOOP("FlagDescription", "the last bit shifted out of the width");
    }
}

const char* OverflowMeaning(MathOperation operation)
{
    switch (operation) {
    case eMathAdd:
        return QT_TRANSLATE_NOOP("FlagDescription", "the signed sum does not fit in the width");
    case eMathSubtract:
        return QT_TRANSLATE_NOOP(
            "FlagDescription", "the signed difference does not fit in the width");
    case eMathMultiply:
        return QT_TRANSLATE_NOOP("FlagDescription", "the signed product does not fit in the width");
    case eMathSignedDivide:
        return QT_TRANSLATE_NOOP("FlagDescription",
            "the most negative number divided by -1: the quotient does not fit, the Value is "
            "shown");
    default:
        return QT_TRANSLATE_NOOP(
            "FlagDescription", "the Value is the most negative number: its negation does not fit");
    }
}

const char* Meaning(MathFlag flag, MathOperation operation)
{
    switch (flag) {
    case eMathFlagZero:
        return QT_TRANSLATE_NOOP("FlagDescription", "the result is 0 within the width");
    case eMathFlagSign:
        return QT_TRANSLATE_NOOP(
            "FlagDescription", "the result's top bit, its sign when read as signed, is set");
    case eMathFlagCarry: return CarryMeaning(operation);
    case eMathFlagOverflow: return OverflowMeaning(operation);
    default: return QT_TRANSLATE_NOOP("FlagDescription", "the Operand is 0, so the result is 0");
    }
}

} // namespace

QString FlagName(MathFlag flag)
{
    return QCoreApplication::translate(kContext, kFlagNames[flag]);
}

QString FlagMeaning(MathFlag flag, MathOperation operation, const QString& title)
{
    // The popup's title names the operation, then any C operator after two
    // blanks: the words name it alone.
    if (!FlagApplies(operation, flag))
        return QCoreApplication::translate("FlagDescription", "does not apply to %1", "operation")
            .arg(title.section(QStringLiteral("  "), 0, 0));
    return QCoreApplication::translate(kContext, Meaning(flag, operation));
}

QString FlagToolTip(MathFlag flag, MathOperation operation, const QString& title)
{
    return QCoreApplication::translate("FlagDescription", "%1: %2", "flag, what it means when set")
        .arg(FlagName(flag), FlagMeaning(flag, operation, title));
}
