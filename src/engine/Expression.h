// C integer expressions typed into a number field ("0x10 << 3", "ff + 1",
// "(1 << 20) - 1"), evaluated in 64-bit two's complement with C's meanings.
// The binary, decimal, hexadecimal, octal and base-36 fields read them; the
// other notations never do.
//
// When a text is an expression (IsExpression): it holds one of the operators
// + - * / % << >> & | ^ ~ or a parenthesis outside a plain number of the
// field, or it is one literal whose radix prefix the field's plain reading
// would misread. A plain number reads exactly as ReadNotation reads it: in
// the decimal field, blanks, one sign directly before the digits, and
// whatever follows the digits; in the other fields, digits among any other
// characters. A lone '<' or '>' is no operator, so the plain reading skips it.
//
// Numbers inside an expression:
// - Digits are the field's, letters in either case, unless the number
//   begins with a prefix 0x, 0b, 0o or 0d (either case), which switches to
//   radix 16, 2, 8 or 10 where the prefix's letter is not a digit of the
//   field: every prefix in the binary, octal and decimal fields, 0x and 0o in
//   the hexadecimal field (there 0b1 is the hexadecimal b1), none in base 36.
// - '_' and '\'' after a digit are digit separators and are skipped.
// - In the binary, octal, hexadecimal and base-36 fields, which show their
//   numbers in groups ("dead beef"), blanks between digits join them into one
//   number, so "ff 00 + 1" is 0xff01 and a field's own text stays one number.
//   In the decimal field a blank ends a number, as it ends a plain decimal:
//   "1 000 + 1" is an error (an operator is missing), never 1001 or 2.
// - A character that is neither a digit of the number nor an operator, a
//   parenthesis or a blank is an error, not skipped as the plain readers skip
//   it: an expression that silently drops a character gives a wrong answer.
//
// Evaluation, with C's precedence and associativity (unary + - ~ bind
// tightest, then * / %, + -, << >>, &, ^, |; binary operators left to right):
// - Signed reading, in the decimal field or when the row is signed: numbers
//   are int64; / and % divide the signed numbers toward zero; >> is
//   arithmetic. A decimal literal above INT64_MAX wraps (C gives decimal
//   literals a signed type), except 9223372036854775808 right after a unary
//   minus; a literal of any other radix is its 64-bit pattern.
// - Unsigned reading, otherwise: / and % divide the unsigned numbers; >> is
//   logical. A result may still go below zero: 0 - 1, -1 and ~0 are -1, which
//   64 bits hold as two's complement, and the caller stores as such at the
//   row's width. Only / % and >> read a number below zero as its unsigned
//   bits (as C converts it).
// - + - * and << wrap modulo 2^64. A step wraps when its exact result needs
//   more than 64 bits: outside the int64 range in the signed reading, outside
//   -2^63 .. 2^64 - 1 in the unsigned one (so 0 - 1 does not wrap there, and
//   ffffffffffffffff + 1 does); a left shift wraps when set bits fall off.
//   The bitwise operators never wrap.
// - Shift counts are read as unsigned 64-bit numbers (a negative count is
//   huge): 64 or more gives 0, or copies of the sign bit for an arithmetic
//   shift right.
// - INT64_MIN / -1 gives INT64_MIN and wraps; INT64_MIN % -1 gives 0.
//
// Faults: the first fault of the text's grammar, in reading order, wins over
// a division by zero, which wins over a literal too big for 64 bits.
// Parentheses and unary operators nest at most kMaxExpressionNesting deep, so
// a field's 127 characters nested 127 deep evaluate, and the evaluator's
// stack stays bounded whatever the text's length. Nothing allocates.
#ifndef BITLENS_EXPRESSION_H
#define BITLENS_EXPRESSION_H

#include "BaseConverter.h"
#include "Message.h"
#include "Notation.h"

constexpr int kMaxExpressionNesting = 127;

// The radix a notation reads expressions in: 2, 8, 10, 16 or 36, or 0 for a
// notation that never reads one.
int ExpressionRadix(Notation notation);

// Whether `text` (the engine's bytes, zero-terminated) typed into the field
// of `notation` is read by EvaluateExpression rather than by ReadNotation:
// an expression, or a literal alone whose prefix the plain reading would
// misread ("0x000000ff" in the decimal field, "0o17" in the hexadecimal
// one). Every text a field writes, and every plain number, is not.
bool IsExpression(const char* text, Notation notation);

enum ExpressionStatus {
    eExpressionEvaluated, // value holds the result
    eExpressionTooBig, // a literal needs more than 64 bits; value is the result with its low 64
    eExpressionDivisionByZero, // / or % by 0
    eExpressionEmpty, // nothing but blanks
    eExpressionNumberIncomplete, // the text ends where a number should come
    eExpressionDigitsIncomplete, // a radix prefix with no digit after it ("0x")
    eExpressionParenthesisIncomplete, // the text ends inside a parenthesis
    eExpressionNumberMissing, // an operator or ')' where a number should come ("1 + * 2")
    eExpressionOperatorMissing, // a number or '(' right after a whole operand ("2 3", "2(3)")
    eExpressionParenthesisUnopened, // a ')' that closes nothing
    eExpressionStrayCharacter, // neither a digit of its number nor an operator
    eExpressionTooDeep, // more than kMaxExpressionNesting parentheses and unary operators
    eExpressionNotRead, // a notation that reads no expressions
    eExpressionStatusCount
};

// Where in the text a status points: the token its message names. Positions
// are byte indices into the text evaluated; each byte is one character typed.
struct ExpressionDetail {
    int position = 0;
    int length = 0; // 0 when the message names no token
    // For eExpressionStrayCharacter: the radix of the digits expected there
    // (the field's, or the prefixed number's the character follows).
    int radix = 0;
};

struct ExpressionResult {
    ExpressionStatus status = eExpressionEmpty;
    // The result's 64 bits, for eExpressionEvaluated and eExpressionTooBig;
    // 0 otherwise.
    UInt64 value = 0;
    // The result is below zero, so the caller stores it as a typed negative
    // decimal (two's complement at the row's width). In the signed reading
    // this is the sign bit; in the unsigned one, a result that went below
    // zero without wrapping (0 - 1, ~0xff).
    bool negative = false;
    // A step needed more than 64 bits and kept C's wrapped result.
    bool wrapped = false;
    // For eExpressionEvaluated with `wrapped`, the first step that wrapped
    // (an operator, or a decimal literal above INT64_MAX); for any other
    // status but eExpressionEmpty and eExpressionNotRead, the token its
    // message names: the operator after which a number is missing, the
    // prefix without digits, the '/' or '%' dividing by zero, the literal too
    // big, the stray character, the '(' too deep, the ')' closing nothing.
    ExpressionDetail detail;
};

// Evaluates `text` (zero-terminated, any length; a field gives at most 127
// bytes) as typed into the field of `notation` in a row that is signed when
// `rowIsSigned`. The decimal field reads signed in any row. Meant for texts
// IsExpression accepts: a plain text may read differently from
// ReadNotation's reading (a decimal "1 000" is an error here).
ExpressionResult EvaluateExpression(const char* text, Notation notation, bool rowIsSigned);

// Every message an expression gives, in English, one row per status (the
// stray character has one per radix). The row of eExpressionEvaluated is
// shown only when a step wrapped.
inline constexpr MessageTemplate kExpressionMessages[] = {
    { eExpressionEvaluated, 0,
        BITLENS_TRANSLATABLE("Message", "wrapped: needs more than 64 bits") },
    { eExpressionTooBig, 0, BITLENS_TRANSLATABLE("Message", "%1 needs more than 64 bits") },
    { eExpressionDivisionByZero, 0, BITLENS_TRANSLATABLE("Message", "division by zero") },
    { eExpressionEmpty, 0, BITLENS_TRANSLATABLE("Message", "incomplete: a number") },
    { eExpressionNumberIncomplete, 0,
        BITLENS_TRANSLATABLE("Message", "incomplete: a number after %1") },
    { eExpressionDigitsIncomplete, 0,
        BITLENS_TRANSLATABLE("Message", "incomplete: a digit after %1") },
    { eExpressionParenthesisIncomplete, 0,
        BITLENS_TRANSLATABLE("Message", "incomplete: a closing parenthesis") },
    { eExpressionNumberMissing, 0,
        BITLENS_TRANSLATABLE("Message", "a number is missing before %1") },
    { eExpressionOperatorMissing, 0,
        BITLENS_TRANSLATABLE("Message", "an operator is missing before %1") },
    { eExpressionParenthesisUnopened, 0,
        BITLENS_TRANSLATABLE("Message", "a closing parenthesis without an opening one") },
    { eExpressionStrayCharacter, 2,
        BITLENS_TRANSLATABLE("Message", "%1 is not a binary digit or an operator") },
    { eExpressionStrayCharacter, 8,
        BITLENS_TRANSLATABLE("Message", "%1 is not an octal digit or an operator") },
    { eExpressionStrayCharacter, 10,
        BITLENS_TRANSLATABLE("Message", "%1 is not a decimal digit or an operator") },
    { eExpressionStrayCharacter, 16,
        BITLENS_TRANSLATABLE("Message", "%1 is not a hexadecimal digit or an operator") },
    { eExpressionStrayCharacter, 36,
        BITLENS_TRANSLATABLE("Message", "%1 is not a base-36 digit or an operator") },
    { eExpressionTooDeep, 0, BITLENS_TRANSLATABLE("Message", "nested more than 127 deep") },
    { eExpressionNotRead, 0, BITLENS_TRANSLATABLE("Message", "this field reads no expressions") },
};

// The template of the message for `result`, or null when there is nothing
// to say (evaluated without wrapping). The token is the characters of the
// text at `detail`.
const char* ExpressionMessageTemplate(const ExpressionResult& result);

#endif
