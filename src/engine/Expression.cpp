#include "Expression.h"

#include "Characters.h"

#include <cstring>

namespace {

// Evaluation is in the bits of a Word: UInt64, or UInt128 for rows of 128
// bits and numbers 64 bits do not hold.
template <class Word> constexpr int kWordBits = int(8 * sizeof(Word));
template <class Word> constexpr Word kSignBit = Word(1) << (kWordBits<Word> - 1);

template <class Word> struct SignedOf;
template <> struct SignedOf<UInt64> {
    using Type = SInt64;
};
template <> struct SignedOf<UInt128> {
    using Type = SInt128;
};

template <class Word> bool TopBit(Word bits)
{
    return (bits & kSignBit<Word>) != 0;
}

// The value of `c` as a digit below `radix`, letters in either case, or -1.
int DigitOf(char c, int radix)
{
    const int digit = DigitValue(static_cast<unsigned char>(Lower(c)));
    return digit < radix ? digit : -1;
}

// The radix a prefix at `p` ("0x", "0b", "0o", "0d", either case) switches
// to in a field of `fieldRadix`, or 0 when there is none or its letter is a
// digit of the field.
int PrefixRadix(const char* p, int fieldRadix)
{
    if (p[0] != '0')
        return 0;
    const char letter = Lower(p[1]);
    int radix;
    switch (letter) {
    case 'x': radix = 16; break;
    case 'b': radix = 2; break;
    case 'o': radix = 8; break;
    case 'd': radix = 10; break;
    default: return 0;
    }
    return DigitOf(letter, fieldRadix) < 0 ? radix : 0;
}

enum Operator : UInt8 {
    eOpAdd,
    eOpSubtract,
    eOpMultiply,
    eOpDivide,
    eOpRemainder,
    eOpShiftLeft,
    eOpShiftRight,
    eOpAnd,
    eOpXor,
    eOpOr,
    eOpNot,
};

// C's binding of the binary operators, loosest first from 1; 0 for '~',
// which is only unary.
int Precedence(Operator op)
{
    switch (op) {
    case eOpOr: return 1;
    case eOpXor: return 2;
    case eOpAnd: return 3;
    case eOpShiftLeft:
    case eOpShiftRight: return 4;
    case eOpAdd:
    case eOpSubtract: return 5;
    case eOpMultiply:
    case eOpDivide:
    case eOpRemainder: return 6;
    default: return 0;
    }
}

// The operator that begins at `p` and its length in bytes, or length 0.
int OperatorAt(const char* p, Operator& op)
{
    switch (*p) {
    case '+': op = eOpAdd; return 1;
    case '-': op = eOpSubtract; return 1;
    case '*': op = eOpMultiply; return 1;
    case '/': op = eOpDivide; return 1;
    case '%': op = eOpRemainder; return 1;
    case '&': op = eOpAnd; return 1;
    case '^': op = eOpXor; return 1;
    case '|': op = eOpOr; return 1;
    case '~': op = eOpNot; return 1;
    case '<': op = eOpShiftLeft; return p[1] == '<' ? 2 : 0;
    case '>': op = eOpShiftRight; return p[1] == '>' ? 2 : 0;
    default: return 0;
    }
}

bool IsOperatorOrParenthesis(const char* p)
{
    Operator op;
    return *p == '(' || *p == ')' || OperatorAt(p, op) != 0;
}

enum TokenKind : UInt8 {
    eTokenNone, // before the first token
    eTokenEnd,
    eTokenNumber,
    eTokenOperator,
    eTokenOpen,
    eTokenClose,
    eTokenStray,
    eTokenPrefixAlone, // a radix prefix with no digit after it
};

template <class Word> struct Token {
    TokenKind kind = eTokenNone;
    Operator op = eOpAdd;
    bool tooBig = false; // a number beyond the Word; `value` holds its low bits
    int position = 0;
    int length = 0;
    int radix = 0; // a number's; for a stray character, the one expected there
    Word value = 0;
};

// An operator where it stands in the text: what a step that wraps or
// divides by zero points at.
struct Step {
    Operator op;
    int position;
    int length;
};

// A step's exact result, to tell whether it fits in the Word: its sign and
// magnitude, `beyond` when the magnitude does not fit in the Word. The
// operands are numbers the Word holds, never beyond.
template <class Word> struct Exact {
    bool negative;
    Word magnitude;
    bool beyond;
};

template <class Word> Exact<Word> Sum(const Exact<Word>& a, const Exact<Word>& b)
{
    if (a.negative == b.negative) {
        Exact<Word> sum { a.negative, 0, false };
        sum.beyond = __builtin_add_overflow(a.magnitude, b.magnitude, &sum.magnitude);
        return sum;
    }
    if (a.magnitude >= b.magnitude)
        return { a.negative && a.magnitude != b.magnitude, a.magnitude - b.magnitude, false };
    return { b.negative, b.magnitude - a.magnitude, false };
}

template <class Word> Exact<Word> Negated(const Exact<Word>& a)
{
    return { !a.negative && a.magnitude != 0, a.magnitude, false };
}

template <class Word> Exact<Word> Product(const Exact<Word>& a, const Exact<Word>& b)
{
    if (a.magnitude == 0 || b.magnitude == 0)
        return { false, 0, false };
    Exact<Word> product { a.negative != b.negative, 0, false };
    product.beyond = __builtin_mul_overflow(a.magnitude, b.magnitude, &product.magnitude);
    return product;
}

template <class Word> Word ShiftArithmetic(Word bits, Word count)
{
    if (count >= Word(kWordBits<Word>))
        return TopBit(bits) ? ~Word(0) : 0;
    const Word shifted = bits >> count;
    return TopBit(bits) ? shifted | ~(~Word(0) >> count) : shifted;
}

// Result is ExpressionResult for UInt64, WideExpressionResult for UInt128.
template <class Word, class Result> class Evaluator {
public:
    Evaluator(const char* text, int radix, bool signedReading)
        : fText(text)
        , fAt(text)
        , fRadix(radix)
        , fSigned(signedReading)
        // The fields that show their digits in groups join them across blanks.
        , fJoinsGroups(radix != 10)
    { }

    Result Evaluate()
    {
        Advance();
        Value value { 0, false };
        if (ParseBinary(1, value) && fToken.kind != eTokenEnd)
            FailAfterOperand(false);
        Result result;
        if (fFault.status != eExpressionEvaluated)
            return fFault;
        if (fDividedByZero) {
            result.status = eExpressionDivisionByZero;
            result.detail = fDivision;
            return result;
        }
        result.status = fTooBig ? eExpressionTooBig : eExpressionEvaluated;
        result.detail = fTooBig ? fTooBigAt : fWrapAt;
        result.value = value.bits;
        result.negative = value.negative;
        result.wrapped = fWrapped;
        return result;
    }

    // Whether a literal needed more than the Word, whatever else went wrong.
    bool LiteralTooBig() const { return fTooBig; }

private:
    using Exact = ::Exact<Word>;
    using Token = ::Token<Word>;
    static constexpr Word kSign = kSignBit<Word>;
    static constexpr Word kBits = kWordBits<Word>;

    // A number as evaluated: its bits and whether it is below zero. In the
    // signed reading `negative` is the sign bit; in the unsigned one it marks
    // -2^63 .. -1 (at 64 bits), whose bits have the top bit set.
    struct Value {
        Word bits;
        bool negative;
    };

    static Exact ExactOf(const Value& value)
    {
        return value.negative ? Exact { true, 0 - value.bits, false }
                              : Exact { false, value.bits, false };
    }

    bool Fits(const Exact& exact) const
    {
        if (exact.beyond)
            return false;
        if (exact.negative)
            return exact.magnitude <= kSign;
        return !fSigned || exact.magnitude < kSign;
    }

    // C's wrapped bits of a step whose exact result is `exact`.
    template <class At> Value Checked(Word bits, const Exact& exact, const At& step)
    {
        if (Fits(exact))
            return { bits, exact.negative };
        Wrapped(step);
        return { bits, fSigned && TopBit(bits) };
    }

    template <class At> void Wrapped(const At& step)
    {
        if (!fWrapped)
            fWrapAt = { step.position, step.length, 0 };
        fWrapped = true;
    }

    // --- Reading tokens ------------------------------------------------------

    int Offset(const char* p) const { return int(p - fText); }

    // Fills fToken in place: the parser reads it right away, and reading a
    // copy of a token built field by field stalls.
    void Advance()
    {
        while (IsBlank(*fAt))
            ++fAt;
        const char* start = fAt;
        Token& token = fToken;
        token.radix = 0;
        token.tooBig = false;
        token.value = 0;
        int length = 1;
        Operator op;
        if (*start == '\0') {
            token.kind = eTokenEnd;
            length = 0;
        } else if (*start == '(' || *start == ')') {
            token.kind = *start == '(' ? eTokenOpen : eTokenClose;
        } else if (const int operatorLength = OperatorAt(start, op)) {
            token.kind = eTokenOperator;
            token.op = op;
            length = operatorLength;
        } else if (start != fLastNumberEnd && DigitOf(*start, fRadix) >= 0) {
            length = ScanNumber(start, token);
        } else {
            // Right after a number, a character is judged by that number's
            // digits ("0b102": 2 is no binary digit).
            token.kind = eTokenStray;
            token.radix = start == fLastNumberEnd ? fLastNumberRadix : fRadix;
        }
        fAt = start + length;
        token.position = Offset(start);
        token.length = length;
    }

    // C's integer suffixes (u, l, ll and their mixes, as a copied literal
    // carries them) say nothing here: the row's width and sign decide.
    static const char* PastIntegerSuffix(const char* p)
    {
        const bool unsignedFirst = *p == 'u' || *p == 'U';
        if (unsignedFirst)
            ++p;
        if ((p[0] == 'l' && p[1] == 'l') || (p[0] == 'L' && p[1] == 'L'))
            p += 2;
        else if (*p == 'l' || *p == 'L')
            ++p;
        else
            return p;
        if (!unsignedFirst && (*p == 'u' || *p == 'U'))
            ++p;
        return p;
    }

    // Reads a number at `start` into `token`; returns its length.
    int ScanNumber(const char* start, Token& token)
    {
        token.kind = eTokenNumber;
        int radix = fRadix;
        const char* p = start;
        if (const int prefixed = PrefixRadix(start, fRadix)) {
            radix = prefixed;
            p += 2;
            if (DigitOf(*p, prefixed) < 0) {
                token.kind = eTokenPrefixAlone;
                token.radix = radix;
                return 2;
            }
        }
        Word value = 0;
        bool tooBig = false;
        const char* end = p;
        for (;;) {
            const int digit = DigitOf(*p, radix);
            if (digit >= 0) {
                // The low bits are kept either way.
                tooBig |= __builtin_mul_overflow(value, Word(unsigned(radix)), &value);
                tooBig |= __builtin_add_overflow(value, Word(unsigned(digit)), &value);
                end = ++p;
            } else if (*p == '_' || *p == '\'') {
                end = ++p;
            } else if (fJoinsGroups && IsBlank(*p)) {
                const char* next = p;
                while (IsBlank(*next))
                    ++next;
                if (DigitOf(*next, radix) < 0)
                    break;
                p = next;
            } else {
                break;
            }
        }
        end = PastIntegerSuffix(end);
        token.radix = radix;
        token.value = value;
        token.tooBig = tooBig;
        fLastNumberEnd = end;
        fLastNumberRadix = radix;
        return int(end - start);
    }

    void Consume()
    {
        fPrevious = { fToken.op, fToken.position, fToken.length };
        fConsumedAny = true;
        Advance();
    }

    // --- Grammar -------------------------------------------------------------

    template <class At> bool Fail(ExpressionStatus status, const At& at, int radix = 0)
    {
        fFault.status = status;
        fFault.detail = { at.position, at.length, radix };
        return false;
    }

    // The token after a whole operand, where only a binary operator, a ')'
    // closing an open parenthesis or the end may come.
    bool FailAfterOperand(bool inParenthesis)
    {
        switch (fToken.kind) {
        case eTokenEnd: return Fail(eExpressionParenthesisIncomplete, fToken);
        case eTokenClose:
            if (!inParenthesis)
                return Fail(eExpressionParenthesisUnopened, fToken);
            break;
        case eTokenStray: return Fail(eExpressionStrayCharacter, fToken, fToken.radix);
        default: break;
        }
        return Fail(eExpressionOperatorMissing, fToken);
    }

    // Operators of `minPrecedence` or looser bind left to right: a
    // right-hand side takes only what binds tighter. Each call nests one
    // precedence level deeper, so the depth is bounded by the six levels.
    bool ParseBinary(int minPrecedence, Value& left)
    {
        if (!ParseOperand(left))
            return false;
        while (fToken.kind == eTokenOperator) {
            const int precedence = Precedence(fToken.op);
            if (precedence == 0 || precedence < minPrecedence)
                break;
            const Step step { fToken.op, fToken.position, fToken.length };
            Consume();
            Value right { 0, false };
            if (!ParseBinary(precedence + 1, right))
                return false;
            left = Apply(step, left, right);
        }
        return true;
    }

    bool Nest(const Token& at)
    {
        if (fDepth == kMaxExpressionNesting)
            return Fail(eExpressionTooDeep, at);
        ++fDepth;
        return true;
    }

    bool ParseOperand(Value& out)
    {
        const Token& token = fToken;
        switch (token.kind) {
        case eTokenNumber:
            out = Literal(token);
            Consume();
            return true;
        case eTokenOpen:
            if (!Nest(token))
                return false;
            Consume();
            if (!ParseBinary(1, out))
                return false;
            if (fToken.kind != eTokenClose)
                return FailAfterOperand(true);
            --fDepth;
            Consume();
            return true;
        case eTokenOperator:
            if (token.op == eOpAdd || token.op == eOpSubtract || token.op == eOpNot) {
                if (!Nest(token))
                    return false;
                const Step step { token.op, token.position, token.length };
                Consume();
                if (!NegatedLimit(step, out)) {
                    Value operand { 0, false };
                    if (!ParseOperand(operand))
                        return false;
                    out = ApplyUnary(step, operand);
                }
                --fDepth;
                return true;
            }
            return Fail(eExpressionNumberMissing, token);
        case eTokenClose: return Fail(eExpressionNumberMissing, token);
        case eTokenStray: return Fail(eExpressionStrayCharacter, token, token.radix);
        case eTokenPrefixAlone: return Fail(eExpressionDigitsIncomplete, token);
        default:
            if (!fConsumedAny)
                return Fail(eExpressionEmpty, token);
            return Fail(eExpressionNumberIncomplete, fPrevious);
        }
    }

    // -9223372036854775808 in the signed reading: the one decimal literal
    // above INT64_MAX that C programmers write, which does not wrap there.
    bool NegatedLimit(const Step& sign, Value& out)
    {
        if (!fSigned || sign.op != eOpSubtract || fToken.kind != eTokenNumber || fToken.radix != 10
            || fToken.tooBig || fToken.value != kSign)
            return false;
        out = { kSign, true };
        Consume();
        return true;
    }

    // --- Arithmetic ----------------------------------------------------------

    Value Literal(const Token& token)
    {
        if (token.tooBig && !fTooBig) {
            fTooBig = true;
            fTooBigAt = { token.position, token.length, 0 };
        }
        if (!fSigned)
            return { token.value, false };
        // C's decimal literals are signed; the others spell a bit pattern.
        if (token.radix == 10 && TopBit(token.value) && !token.tooBig)
            Wrapped(token);
        return { token.value, TopBit(token.value) };
    }

    Value ApplyUnary(const Step& step, const Value& operand)
    {
        switch (step.op) {
        case eOpSubtract: return Checked(0 - operand.bits, Negated(ExactOf(operand)), step);
        case eOpNot: {
            const Word bits = ~operand.bits;
            return { bits, !operand.negative && TopBit(bits) };
        }
        default: return operand;
        }
    }

    Value Apply(const Step& step, const Value& a, const Value& b)
    {
        switch (step.op) {
        case eOpAdd: return Checked(a.bits + b.bits, Sum(ExactOf(a), ExactOf(b)), step);
        case eOpSubtract:
            return Checked(a.bits - b.bits, Sum(ExactOf(a), Negated(ExactOf(b))), step);
        case eOpMultiply: return Checked(a.bits * b.bits, Product(ExactOf(a), ExactOf(b)), step);
        case eOpShiftLeft:
            if (b.bits >= kBits) {
                if (a.bits != 0)
                    Wrapped(step);
                return { 0, false };
            }
            return Checked(a.bits << b.bits,
                Product(ExactOf(a), Exact { false, Word(1) << b.bits, false }), step);
        case eOpShiftRight:
            if (fSigned) {
                const Word bits = ShiftArithmetic(a.bits, b.bits);
                return { bits, TopBit(bits) };
            }
            return { b.bits >= kBits ? 0 : a.bits >> b.bits, false };
        case eOpDivide:
        case eOpRemainder: return Divide(step, a, b);
        // Below zero only where the signs below the Word's bits say so too.
        case eOpAnd: {
            const Word bits = a.bits & b.bits;
            return { bits, a.negative && b.negative && TopBit(bits) };
        }
        case eOpXor: {
            const Word bits = a.bits ^ b.bits;
            return { bits, a.negative != b.negative && TopBit(bits) };
        }
        case eOpOr: {
            const Word bits = a.bits | b.bits;
            return { bits, (a.negative || b.negative) && TopBit(bits) };
        }
        default: return a;
        }
    }

    Value Divide(const Step& step, const Value& a, const Value& b)
    {
        const bool remainder = step.op == eOpRemainder;
        if (b.bits == 0) {
            if (!fDividedByZero)
                fDivision = { step.position, step.length, 0 };
            fDividedByZero = true;
            return { 0, false };
        }
        if (!fSigned)
            return { remainder ? a.bits % b.bits : a.bits / b.bits, false };
        using Signed = typename SignedOf<Word>::Type;
        const auto x = Signed(a.bits);
        const auto y = Signed(b.bits);
        if (a.bits == kSign && y == -1) {
            if (remainder)
                return { 0, false };
            Wrapped(step);
            return { a.bits, true };
        }
        const Signed result = remainder ? x % y : x / y;
        return { Word(result), result < 0 };
    }

    const char* const fText;
    const char* fAt;
    const int fRadix;
    const bool fSigned;
    const bool fJoinsGroups;

    Token fToken;
    Step fPrevious { eOpAdd, 0, 0 }; // the token consumed last
    bool fConsumedAny = false;
    const char* fLastNumberEnd = nullptr;
    int fLastNumberRadix = 0;
    int fDepth = 0;

    Result fFault { eExpressionEvaluated, 0, false, false, {} };
    bool fDividedByZero = false;
    ExpressionDetail fDivision;
    bool fTooBig = false;
    ExpressionDetail fTooBigAt;
    bool fWrapped = false;
    ExpressionDetail fWrapAt;
};

} // namespace

int ExpressionRadix(Notation notation)
{
    switch (notation) {
    case eNotationBinary: return 2;
    case eNotationOctal: return 8;
    case eNotationDecimal: return 10;
    case eNotationHexadecimal: return 16;
    case eNotationQuixadecimal: return 36;
    default: return 0;
    }
}

bool IsExpression(const char* text, Notation notation)
{
    const int radix = ExpressionRadix(notation);
    if (radix == 0)
        return false;
    const char* p = text;
    while (IsBlank(*p))
        ++p;
    // A plain decimal's sign stands right before its first digit.
    if (notation == eNotationDecimal && (*p == '+' || *p == '-') && IsDecimalDigit(p[1]))
        ++p;
    // The plain decimal reading stops at any prefix's letter; the others
    // skip it and read on in their own radix, right only for their own.
    const int prefixed = PrefixRadix(p, radix);
    if (prefixed != 0 && (prefixed != radix || notation == eNotationDecimal))
        return true;
    for (; *p != '\0'; ++p) {
        if (IsOperatorOrParenthesis(p))
            return true;
    }
    return false;
}

ExpressionResult EvaluateExpression(const char* text, Notation notation, bool rowIsSigned)
{
    const int radix = ExpressionRadix(notation);
    if (radix == 0) {
        ExpressionResult result;
        result.status = eExpressionNotRead;
        return result;
    }
    return Evaluator<UInt64, ExpressionResult>(
        text, radix, rowIsSigned || notation == eNotationDecimal)
        .Evaluate();
}

WideExpressionResult EvaluateWideExpression(
    const char* text, Notation notation, bool rowIsSigned, UInt16 rowWidth)
{
    const int radix = ExpressionRadix(notation);
    WideExpressionResult result;
    if (radix == 0) {
        result.status = eExpressionNotRead;
        return result;
    }
    const bool signedReading = rowIsSigned || notation == eNotationDecimal;
    if (rowWidth < 128) {
        Evaluator<UInt64, ExpressionResult> evaluator(text, radix, signedReading);
        const ExpressionResult narrow = evaluator.Evaluate();
        if (!evaluator.LiteralTooBig()) {
            result.status = narrow.status;
            // Below zero, as 128 bits hold it.
            result.value = narrow.negative ? UInt128(SInt128(SInt64(narrow.value))) : narrow.value;
            result.negative = narrow.negative;
            result.wrapped = narrow.wrapped;
            result.detail = narrow.detail;
            return result;
        }
    }
    result = Evaluator<UInt128, WideExpressionResult>(text, radix, signedReading).Evaluate();
    result.evaluatedBits = 128;
    return result;
}

const char* ExpressionMessageTemplate(const ExpressionResult& result)
{
    if (result.status == eExpressionEvaluated && !result.wrapped)
        return nullptr;
    return FindMessageTemplate(kExpressionMessages, result.status, result.detail.radix);
}

const char* ExpressionMessageTemplate(const WideExpressionResult& result)
{
    if (result.status == eExpressionEvaluated && !result.wrapped)
        return nullptr;
    if (result.evaluatedBits == 128) {
        if (const char* wide = FindMessageTemplate(kWideExpressionMessages, result.status, 0))
            return wide;
    }
    return FindMessageTemplate(kExpressionMessages, result.status, result.detail.radix);
}
