#include "engine/Expression.h"
#include "model/FieldBytes.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

constexpr UInt64 kAll = ~UInt64(0);
constexpr UInt64 kMin = UInt64(1) << 63;

// Columns: notation, row signed, text, then the result's bits, whether it
// is below zero and whether a step wrapped.
struct ValueCase {
    Notation notation;
    bool rowIsSigned;
    const char* text;
    UInt64 value;
    bool negative;
    bool wrapped;
};

void ExpectValues(const ValueCase* begin, const ValueCase* end)
{
    for (const ValueCase* c = begin; c != end; ++c) {
        SCOPED_TRACE(std::string(c->text) + " in notation " + std::to_string(c->notation)
            + (c->rowIsSigned ? ", signed row" : ""));
        const ExpressionResult result = EvaluateExpression(c->text, c->notation, c->rowIsSigned);
        ASSERT_EQ(result.status, eExpressionEvaluated);
        EXPECT_EQ(result.value, c->value);
        EXPECT_EQ(result.negative, c->negative);
        EXPECT_EQ(result.wrapped, c->wrapped);
    }
}

template <std::size_t N> void ExpectValues(const ValueCase (&cases)[N])
{
    ExpectValues(cases, cases + N);
}

constexpr Notation kDec = eNotationDecimal;
constexpr Notation kHex = eNotationHexadecimal;
constexpr Notation kBin = eNotationBinary;
constexpr Notation kOct = eNotationOctal;
constexpr Notation kQuix = eNotationQuixadecimal;

} // namespace

TEST(EvaluateExpression, BindsAsCDoes)
{
    const ValueCase cases[] = {
        { kDec, false, "1 + 2 * 3", 7, false, false },
        { kDec, false, "(1 + 2) * 3", 9, false, false },
        { kDec, false, "2 * 3 + 4 * 5", 26, false, false },
        { kDec, false, "7 - 6 / 3 % 2", 7, false, false }, // 6 / 3 % 2 is (6 / 3) % 2 = 0
        { kDec, false, "1 << 2 + 1", 8, false, false }, // + binds tighter than <<
        { kDec, false, "1 + 2 << 3 | 4 & 5 ^ 6", 26, false, false }, // 24 | ((4 & 5) ^ 6)
        { kDec, false, "6 & 3 ^ 1", 3, false, false }, // (6 & 3) ^ 1
        { kDec, false, "1 | 2 ^ 3", 1, false, false }, // 1 | (2 ^ 3)
        { kDec, false, "12 & 10 | 1", 9, false, false },
        { kDec, false, "12 | 10 & 1", 12, false, false },
        { kDec, false, "256 >> 1 + 1", 64, false, false },
        { kDec, false, "-2 * -3", 6, false, false },
        { kDec, false, "-2 << 1", UInt64(-4), true, false },
        { kDec, false, "~1 + 1", UInt64(-1), true, false }, // unary before binary
        { kDec, false, "2 * (3 + 4) * 5", 70, false, false },
        { kDec, false, "((((7))))", 7, false, false },
    };
    ExpectValues(cases);
}

TEST(EvaluateExpression, BinaryOperatorsGroupLeftToRight)
{
    const ValueCase cases[] = {
        { kDec, false, "8 - 3 - 2", 3, false, false },
        { kDec, false, "64 / 4 / 2", 8, false, false },
        { kDec, false, "100 % 7 % 3", 2, false, false },
        { kDec, false, "1 << 2 << 3", 32, false, false },
        { kDec, false, "256 >> 2 >> 1", 32, false, false },
        { kDec, false, "10 - 2 + 3", 11, false, false },
        { kDec, false, "12 / 3 * 2", 8, false, false },
        { kDec, false, "8 - (3 - 2)", 7, false, false },
    };
    ExpectValues(cases);
}

TEST(EvaluateExpression, UnaryOperatorsNestRightToLeft)
{
    const ValueCase cases[] = {
        { kDec, false, "+5 + 0", 5, false, false },
        { kDec, false, "- - 5", 5, false, false },
        { kDec, false, "--5", 5, false, false }, // no decrement operator here
        { kDec, false, "-~5", 6, false, false },
        { kDec, false, "~-5", 4, false, false },
        { kDec, false, "~0", kAll, true, false },
        { kDec, false, "-(-(3))", 3, false, false },
        { kDec, false, "+-+1", kAll, true, false },
        { kHex, false, "-1", kAll, true, false },
        { kHex, false, "~~ff", 0xff, false, false },
    };
    ExpectValues(cases);
}

TEST(EvaluateExpression, PrefixesSwitchTheRadixWhereTheirLetterIsNoDigit)
{
    const ValueCase cases[] = {
        { kDec, false, "0x10 + 0", 16, false, false },
        { kDec, false, "0X1F", 31, false, false },
        { kDec, false, "0b101 + 0", 5, false, false },
        { kDec, false, "0B11", 3, false, false },
        { kDec, false, "0o17 + 0", 15, false, false },
        { kDec, false, "0d12 + 0", 12, false, false },
        { kDec, false, "0x000000ff", 255, false, false },
        { kDec, false, "-0x10", UInt64(-16), true, false },
        { kBin, false, "0x1f", 31, false, false },
        { kBin, false, "0o17", 15, false, false },
        { kBin, false, "0d12", 12, false, false },
        { kBin, false, "101 + 0b1", 6, false, false },
        { kOct, false, "0x1f", 31, false, false },
        { kOct, false, "0b101", 5, false, false },
        { kOct, false, "0d12", 12, false, false },
        { kOct, false, "17 + 0o1", 16, false, false },
        // In hexadecimal b and d are digits; x and o are not.
        { kHex, false, "0b1 + 0", 0xb1, false, false },
        { kHex, false, "0d1 + 0", 0xd1, false, false },
        { kHex, false, "0o17", 15, false, false },
        { kHex, false, "0x10 + 10", 0x20, false, false },
        { kHex, false, "0x10 << 3", 0x80, false, false },
        // In base 36 every letter is a digit.
        { kQuix, false, "0x1 + 0", 33 * 36 + 1, false, false },
        { kQuix, false, "z + 1", 36, false, false },
        { kQuix, false, "10 * 10", 36 * 36, false, false },
    };
    ExpectValues(cases);
}

TEST(EvaluateExpression, SkipsDigitSeparatorsAndJoinsGroupedDigitsAcrossBlanks)
{
    const ValueCase cases[] = {
        { kDec, false, "1_000 + 1", 1001, false, false },
        { kDec, false, "1'000'000 * 2", 2000000, false, false },
        { kHex, false, "ff_ff + 1", 0x10000, false, false },
        { kHex, false, "ff 00 + 1", 0xff01, false, false },
        { kHex, false, "dead beef + 1", 0xdeadbef0, false, false },
        { kHex, false, "DEAD BEEF & ffff", 0xbeef, false, false },
        { kBin, false, "1010 0101 + 1", 0xa6, false, false },
        { kOct, false, "0001 0000 - 1", 4095, false, false },
        { kQuix, false, "z z + 0", 35 * 36 + 35, false, false },
        { kHex, false, "  ff  +  1  ", 0x100, false, false },
        { kDec, false, "\t1 +\n2", 3, false, false },
        // C's integer suffixes, as a copied literal has them.
        { kDec, false, "(-9223372036854775807LL - 1)", UInt64(1) << 63, true, false },
        { kHex, false, "0xffffffffffffffffULL + 0", kAll, false, false },
        { kDec, false, "0x10u + 1ul + 2lu + 3Ull", 22, false, false },
        { kOct, false, "017L + 1", 16, false, false },
    };
    ExpectValues(cases);
    // The suffix is C's, whole or not at all.
    EXPECT_EQ(EvaluateExpression("1lL + 0", kDec, false).status, eExpressionStrayCharacter);
    EXPECT_EQ(EvaluateExpression("1uu + 0", kDec, false).status, eExpressionStrayCharacter);
    // A separator follows a digit, never the prefix.
    EXPECT_EQ(EvaluateExpression("0x_ff", kDec, false).status, eExpressionDigitsIncomplete);
}

TEST(EvaluateExpression, DividesAndShiftsByTheReadingInForce)
{
    const ValueCase cases[] = {
        // The decimal field reads signed in any row.
        { kDec, false, "-7 / 2", UInt64(-3), true, false },
        { kDec, false, "-7 % 2", UInt64(-1), true, false },
        { kDec, false, "7 % -2", 1, false, false },
        { kDec, false, "-16 >> 2", UInt64(-4), true, false },
        { kDec, false, "-1 >> 64", kAll, true, false },
        { kDec, false, "-1 >> 1000", kAll, true, false },
        { kDec, false, "5 >> 64", 0, false, false },
        // The other fields of an unsigned row read unsigned.
        { kHex, false, "(0-7) / 2", 0x7ffffffffffffffc, false, false },
        { kHex, false, "(0-7) % 2", 1, false, false },
        { kHex, false, "(0-10) >> 2", 0x3ffffffffffffffc, false, false },
        { kHex, false, "~0 >> 4", 0x0fffffffffffffff, false, false },
        { kHex, false, "(0-1) >> 40", 0, false, false }, // 0x40 is 64
        // ... and signed in a signed row.
        { kHex, true, "(0-7) / 2", UInt64(-3), true, false },
        { kHex, true, "(0-10) >> 2", UInt64(-4), true, false },
        { kHex, true, "ffffffffffffffff / 2", 0, false, false }, // -1 / 2
        { kBin, true, "-1000 % 11", UInt64(-2), true, false },
        { kOct, false, "-10 / 2", 0x7ffffffffffffffc, false, false },
        // The most negative number by -1.
        { kDec, false, "-9223372036854775808 / -1", kMin, true, true },
        { kDec, false, "-9223372036854775808 % -1", 0, false, false },
        { kHex, true, "8000000000000000 / -1", kMin, true, true },
        { kHex, false, "8000000000000000 / -1", 0, false, false }, // unsigned: 2^63 / (2^64 - 1)
    };
    ExpectValues(cases);
}

TEST(EvaluateExpression, SaysWhenAStepNeedsMoreThanSixtyFourBits)
{
    const ValueCase cases[] = {
        // Signed: C's signed overflow.
        { kDec, false, "9223372036854775807 + 1", kMin, true, true },
        { kDec, false, "-9223372036854775807 - 2", kAll >> 1, false, true },
        { kDec, false, "4294967296 * 4294967296", 0, false, true },
        { kDec, false, "-(-9223372036854775807 - 1)", kMin, true, true },
        { kDec, false, "1 << 63", kMin, true, true },
        { kDec, false, "-1 << 63", kMin, true, false },
        { kDec, false, "1 << 62", UInt64(1) << 62, false, false },
        { kDec, false, "1 << 64", 0, false, true },
        { kDec, false, "0 << 100", 0, false, false },
        { kDec, false, "1 << -1", 0, false, true }, // the count read unsigned
        // A decimal literal above INT64_MAX, but for C's one idiom.
        { kDec, false, "9223372036854775808 + 0", kMin, true, true },
        { kDec, false, "18446744073709551615 & 1", 1, false, true },
        { kDec, false, "-9223372036854775808 + 0", kMin, true, false },
        { kDec, false, "- 9223372036854775808", kMin, true, false },
        { kHex, true, "ffffffffffffffff + 1", 0, false, false }, // a bit pattern: -1 + 1
        // Unsigned: beyond -2^63 .. 2^64 - 1.
        { kHex, false, "ffffffffffffffff + 1", 0, false, true },
        { kHex, false, "8000000000000000 * 2", 0, false, true },
        { kHex, false, "ffffffffffffffff * ffffffffffffffff", 1, false, true },
        { kHex, false, "1 << 3f", kMin, false, false },
        { kHex, false, "3 << 3f", kMin, false, true },
        { kHex, false, "-8000000000000000", kMin, true, false },
        { kHex, false, "-8000000000000000 - 1", kAll >> 1, false, true },
        { kHex, false, "-8000000000000001", kAll >> 1, false, true },
        { kHex, false, "0 - ffffffffffffffff", 1, false, true },
        // Going below zero is no wrap: 64 bits hold it.
        { kHex, false, "0 - 1", kAll, true, false },
        { kHex, false, "1 - 2 + 3", 2, false, false },
        { kHex, false, "~0 + 1", 0, false, false },
        { kHex, false, "~ff", 0xffffffffffffff00, true, false },
        { kHex, false, "(0 - 1) * 2", UInt64(-2), true, false },
        { kHex, false, "-4000000000000000 * 2", kMin, true, false },
        { kHex, false, "-4000000000000000 * -2", kMin, false, false },
        // The bitwise operators never wrap; below zero where both sides say so.
        { kHex, false, "ff & ~f", 0xf0, false, false },
        { kHex, false, "~f0 & ~0f", 0xffffffffffffff00, true, false },
        { kHex, false, "-1 | 1", kAll, true, false },
        { kHex, false, "-1 ^ 8000000000000000", kAll >> 1, false, false },
        { kHex, false, "~8000000000000000", kAll >> 1, false, false },
        { kHex, false, "~ffffffffffffffff", 0, false, false },
        { kHex, false, "8000000000000000 | 1", kMin | 1, false, false },
    };
    ExpectValues(cases);
}

TEST(EvaluateExpression, ReportsTheFirstStepThatWrapped)
{
    const ExpressionResult result = EvaluateExpression("1 + 2 * 9223372036854775807", kDec, false);
    EXPECT_TRUE(result.wrapped);
    EXPECT_EQ(result.detail.position, 6); // the '*'
    EXPECT_EQ(result.detail.length, 1);
}

TEST(EvaluateExpression, KeepsTheLowBitsOfALiteralTooBig)
{
    const ExpressionResult hex = EvaluateExpression("1 + 10000000000000001", kHex, false);
    EXPECT_EQ(hex.status, eExpressionTooBig);
    EXPECT_EQ(hex.value, 2u);
    EXPECT_EQ(hex.detail.position, 4);
    EXPECT_EQ(hex.detail.length, 17);
    const ExpressionResult decimal = EvaluateExpression("18446744073709551616 + 5", kDec, false);
    EXPECT_EQ(decimal.status, eExpressionTooBig);
    EXPECT_EQ(decimal.value, 5u);
    // Exactly 64 bits is not too big.
    EXPECT_EQ(
        EvaluateExpression(("0b" + std::string(64, '1') + " + 0").c_str(), kDec, false).status,
        eExpressionEvaluated);
    EXPECT_EQ(
        EvaluateExpression(("0b1" + std::string(64, '0') + " + 0").c_str(), kDec, false).status,
        eExpressionTooBig);
    EXPECT_EQ(
        EvaluateExpression("1 0000 0000 0000 0000 + 0", kHex, false).status, eExpressionTooBig);
    EXPECT_EQ(EvaluateExpression("3w5e11264sgsf + 0", kQuix, false).status, eExpressionEvaluated);
    EXPECT_EQ(EvaluateExpression("3w5e11264sgsg + 0", kQuix, false).status, eExpressionTooBig);
}

TEST(EvaluateExpression, SaysWhatIsWrongAndWhere)
{
    // Columns: notation, text, status, message.
    struct Case {
        Notation notation;
        const char* text;
        ExpressionStatus status;
        const char* message;
    };
    const Case cases[] = {
        { kDec, "1 +", eExpressionNumberIncomplete, "incomplete: a number after +" },
        { kDec, "1 <<", eExpressionNumberIncomplete, "incomplete: a number after <<" },
        { kDec, "(", eExpressionNumberIncomplete, "incomplete: a number after (" },
        { kHex, "~", eExpressionNumberIncomplete, "incomplete: a number after ~" },
        { kDec, "-", eExpressionNumberIncomplete, "incomplete: a number after -" },
        { kDec, "(3", eExpressionParenthesisIncomplete, "incomplete: a closing parenthesis" },
        { kDec, "((1 + 2) * 3", eExpressionParenthesisIncomplete,
            "incomplete: a closing parenthesis" },
        { kDec, "1/0", eExpressionDivisionByZero, "division by zero" },
        { kHex, "5 % (3 - 3)", eExpressionDivisionByZero, "division by zero" },
        { kDec, "   ", eExpressionEmpty, "incomplete: a number" },
        { kDec, "0x", eExpressionDigitsIncomplete, "incomplete: a digit after 0x" },
        { kBin, "1 + 0o", eExpressionDigitsIncomplete, "incomplete: a digit after 0o" },
        { kDec, "0b2", eExpressionDigitsIncomplete, "incomplete: a digit after 0b" },
        { kDec, "1 + * 2", eExpressionNumberMissing, "a number is missing before *" },
        { kDec, "* 2", eExpressionNumberMissing, "a number is missing before *" },
        { kDec, "()", eExpressionNumberMissing, "a number is missing before )" },
        { kDec, "1 000 + 1", eExpressionOperatorMissing, "an operator is missing before 000" },
        { kDec, "2(3)", eExpressionOperatorMissing, "an operator is missing before (" },
        { kDec, "(1)(2)", eExpressionOperatorMissing, "an operator is missing before (" },
        { kHex, "1 ~2", eExpressionOperatorMissing, "an operator is missing before ~" },
        { kDec, "1)", eExpressionParenthesisUnopened,
            "a closing parenthesis without an opening one" },
        { kDec, "12abc+1", eExpressionStrayCharacter, "a is not a decimal digit or an operator" },
        { kDec, "1.5 * 2", eExpressionStrayCharacter, ". is not a decimal digit or an operator" },
        { kDec, "1 < 2", eExpressionStrayCharacter, "< is not a decimal digit or an operator" },
        { kHex, "ff + g", eExpressionStrayCharacter,
            "g is not a hexadecimal digit or an operator" },
        { kBin, "1 + 2", eExpressionStrayCharacter, "2 is not a binary digit or an operator" },
        { kOct, "19 + 1", eExpressionStrayCharacter, "9 is not an octal digit or an operator" },
        { kQuix, "z.z + 1", eExpressionStrayCharacter, ". is not a base-36 digit or an operator" },
        // After a prefixed number, its own digits decide.
        { kDec, "0b102 + 1", eExpressionStrayCharacter, "2 is not a binary digit or an operator" },
        { kDec, "0x1fg", eExpressionStrayCharacter, "g is not a hexadecimal digit or an operator" },
        { kDec, "1 \xD7 2", eExpressionStrayCharacter,
            "\xC3\x97 is not a decimal digit or an operator" },
        { kDec, "1 \xA5 2", eExpressionStrayCharacter,
            "\xE2\x80\xA2 is not a decimal digit or an operator" },
        { kDec, "_1 + 1", eExpressionStrayCharacter, "_ is not a decimal digit or an operator" },
        { kDec, "18446744073709551616 + 1", eExpressionTooBig,
            "18446744073709551616 needs more than 64 bits" },
        { kDec, "9223372036854775807 + 1", eExpressionEvaluated,
            "wrapped: needs more than 64 bits" },
        { kDec, "1 + 1", eExpressionEvaluated, "" },
        // The grammar's first fault wins, then a division by zero.
        { kDec, "1/0 +", eExpressionNumberIncomplete, "incomplete: a number after +" },
        { kDec, "18446744073709551616 / 0", eExpressionDivisionByZero, "division by zero" },
        { kDec, "1 + ) + g", eExpressionNumberMissing, "a number is missing before )" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const ExpressionResult result = EvaluateExpression(c.text, c.notation, false);
        EXPECT_EQ(result.status, c.status);
        // The token as the model takes it: the characters at the detail.
        std::string token;
        FieldTextFromBytes(
            std::string(c.text)
                .substr(std::size_t(result.detail.position), std::size_t(result.detail.length))
                .c_str(),
            token);
        const char* words = ExpressionMessageTemplate(result);
        char message[kMessageSize] = "";
        if (words)
            FillMessage(words, token.c_str(), message, sizeof message);
        EXPECT_STREQ(message, c.message);
        if (result.status != eExpressionEvaluated && result.status != eExpressionTooBig) {
            EXPECT_EQ(result.value, 0u);
            EXPECT_FALSE(result.negative || result.wrapped);
        }
    }
    EXPECT_EQ(EvaluateExpression("1 + 1", eNotationIPAddress, false).status, eExpressionNotRead);
    EXPECT_EQ(EvaluateExpression("1 + 1", eNotationFloat, false).status, eExpressionNotRead);
}

TEST(EvaluateExpression, PointsAtTheTokenItsMessageNames)
{
    const ExpressionResult stray = EvaluateExpression("10 + 2 # 3", kDec, false);
    EXPECT_EQ(stray.status, eExpressionStrayCharacter);
    EXPECT_EQ(stray.detail.position, 7);
    EXPECT_EQ(stray.detail.length, 1);
    EXPECT_EQ(stray.detail.radix, 10);
    const ExpressionResult division = EvaluateExpression("8 / 2 % 0", kDec, false);
    EXPECT_EQ(division.detail.position, 6);
    const ExpressionResult shift = EvaluateExpression("1 >>", kDec, false);
    EXPECT_EQ(shift.detail.position, 2);
    EXPECT_EQ(shift.detail.length, 2);
}

TEST(EvaluateExpression, NestsAHundredAndTwentySevenDeepAndNoDeeper)
{
    for (const char* unary : { "-", "~", "+" }) {
        SCOPED_TRACE(unary);
        std::string text;
        for (int i = 0; i < kMaxExpressionNesting; ++i)
            text += unary;
        EXPECT_EQ(
            EvaluateExpression((text + "1").c_str(), kDec, false).status, eExpressionEvaluated);
        const ExpressionResult deeper
            = EvaluateExpression((text + unary + "1").c_str(), kDec, false);
        EXPECT_EQ(deeper.status, eExpressionTooDeep);
        EXPECT_EQ(deeper.detail.position, kMaxExpressionNesting);
    }
    const std::string open(kMaxExpressionNesting, '(');
    const std::string close(kMaxExpressionNesting, ')');
    const ExpressionResult deepest = EvaluateExpression((open + "2" + close).c_str(), kHex, false);
    EXPECT_EQ(deepest.status, eExpressionEvaluated);
    EXPECT_EQ(deepest.value, 2u);
    EXPECT_EQ(EvaluateExpression(("(" + open + "2" + close + ")").c_str(), kHex, false).status,
        eExpressionTooDeep);
    // A field's 127 characters nested 127 deep.
    EXPECT_EQ(EvaluateExpression(open.c_str(), kHex, false).status, eExpressionNumberIncomplete);
    EXPECT_EQ(EvaluateExpression((std::string(126, '-') + "1").c_str(), kDec, false).value, 1u);
    // Nesting in turn, never deeper than the limit at once.
    std::string sequence;
    for (int i = 0; i < 200; ++i)
        sequence += "(1) + -";
    EXPECT_EQ(EvaluateExpression((sequence + "1").c_str(), kDec, false).value, UInt64(-199));
    // A long text reads in time and room bounded by its length.
    std::string sum = "1";
    for (int i = 0; i < 20000; ++i)
        sum += "+1";
    EXPECT_EQ(EvaluateExpression(sum.c_str(), kDec, false).value, 20001u);
    EXPECT_EQ(EvaluateExpression(std::string(40000, '(').c_str(), kDec, false).status,
        eExpressionTooDeep);
}

TEST(IsExpression, OnlyOperatorsOutsideAPlainNumberMakeOne)
{
    // Columns: notation, text, whether it is read as an expression.
    struct Case {
        Notation notation;
        const char* text;
        bool expression;
    };
    const Case cases[] = {
        { kDec, "-5", false },
        { kDec, " -5", false },
        { kDec, "+7", false },
        { kDec, "12abc", false },
        { kDec, "1 000", false },
        { kDec, "1.5", false },
        { kDec, "", false },
        { kDec, "abc", false },
        { kDec, "18446744073709551616", false },
        { kDec, "-9223372036854775808", false },
        { kDec, "1 < 2", false }, // a lone '<' is no operator
        { kDec, "\xA0-5", true },
        { kDec, "- 5", true },
        { kDec, "-", true },
        { kDec, "+-5", true },
        { kDec, "5-3", true },
        { kDec, "16 << 3", true },
        { kDec, "(7)", true },
        { kDec, "0x000000ff", true },
        { kDec, "-0x10", true },
        { kDec, "0b1", true },
        { kDec, "0o17", true },
        { kDec, "0d12", true },
        { kDec, "0x", true },
        { kHex, "dead beef", false },
        { kHex, "DEAD BEEF", false },
        { kHex, "0x1F", false },
        { kHex, "0b1", false },
        { kHex, "0d12", false },
        { kHex, "ffg", false },
        { kHex, "0o17", true },
        { kHex, "ff+1", true },
        { kHex, "-1", true },
        { kHex, "1 >> 2", true },
        { kBin, "1010 0101", false },
        { kBin, "0b101", false },
        { kBin, "0x1f", true },
        { kBin, "0d5", true },
        { kOct, "0o17", false },
        { kOct, "0b101", true },
        { kQuix, "0x1f", false },
        { kQuix, "zz 10", false },
        { kQuix, "z*z", true },
        { eNotationText, "1+1", false },
        { eNotationIPAddress, "(1.2.3.4)", false },
        { eNotationNumVersion, "1.2.3-4", false },
        { eNotationFloat, "-1.5e-3", false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " in notation " + std::to_string(c.notation));
        EXPECT_EQ(IsExpression(c.text, c.notation), c.expression);
    }
}

TEST(IsExpression, NoTextAFieldWritesIsOne)
{
    const UInt64 numbers[] = { 0, 1, 0x7f, 0x80, 0xff, 0xffff, 0x12345678, 0xffffffff,
        0x0123456789abcdef, kMin, kAll, 0x2020202020202020, 0x2b2d2a2f28292526 };
    for (UInt64 bits : numbers) {
        for (UInt16 width : { 8, 16, 32, 64 }) {
            for (bool isSigned : { false, true }) {
                for (Endian endian : { eBigEndian, eLittleEndian }) {
                    BaseConverter number {};
                    number.SetBitWidth(width);
                    number.SetSigned(isSigned);
                    number.SetUnsignedDec(bits & WidthMask(width), eBigEndian);
                    for (int notation = 0; notation < eNotationCount; ++notation) {
                        char text[kFieldBufferSize];
                        WriteNotation(number, Notation(notation), endian, text);
                        SCOPED_TRACE(text);
                        EXPECT_FALSE(IsExpression(text, Notation(notation)));
                    }
                }
            }
        }
    }
}

TEST(IsExpression, ReadsBackEveryLiteralCopiedAsALiteral)
{
    for (UInt64 bits : { UInt64(0), UInt64(5), UInt64(0xff), kAll }) {
        for (Notation copied : { kBin, kHex, kOct }) {
            BaseConverter number {};
            number.SetBitWidth(64);
            number.SetUnsignedDec(bits, eBigEndian);
            char literal[kFieldBufferSize];
            WriteLiteral(number, copied, eBigEndian, literal);
            SCOPED_TRACE(literal);
            // Pasted into any field whose digits cannot be mistaken for its
            // prefix, the literal gives the number back; C's octal has no
            // letter, and is octal in the octal field alone.
            for (Notation field : { kBin, kOct, kDec, kHex }) {
                if ((field == kHex && copied == kBin) || (copied == kOct && field != kOct))
                    continue;
                const bool read = IsExpression(literal, field);
                const UInt64 value = read ? EvaluateExpression(literal, field, false).value : [&] {
                    BaseConverter row {};
                    row.SetBitWidth(64);
                    char buffer[kFieldBufferSize];
                    CopyFieldText(literal, buffer);
                    ReadNotation(row, field, buffer, eBigEndian);
                    return row.GetValue(eBigEndian);
                }();
                EXPECT_EQ(value, bits) << "in notation " << field;
            }
        }
    }
}

TEST(ExpressionMessages, EachTemplateHasAtMostOneTokenAndEveryStatusOne)
{
    for (const MessageTemplate& row : kExpressionMessages) {
        const std::string text = row.text;
        const auto first = text.find("%1");
        EXPECT_TRUE(first == std::string::npos || text.find('%', first + 1) == std::string::npos)
            << text;
    }
    for (int status = 0; status < eExpressionStatusCount; ++status) {
        ExpressionResult result;
        result.status = ExpressionStatus(status);
        result.wrapped = true;
        for (int radix : { 2, 8, 10, 16, 36 }) {
            result.detail.radix = radix;
            EXPECT_NE(ExpressionMessageTemplate(result), nullptr) << status << " " << radix;
        }
    }
}

TEST(FillMessage, PutsTheTokenInPlaceAndCutsOnlyBetweenCharacters)
{
    char out[kMessageSize];
    EXPECT_EQ(FillMessage("ignored: %1 (x)", "\xE2\x82\xAC", out, sizeof out), 16);
    EXPECT_STREQ(out, "ignored: \xE2\x82\xAC (x)");
    EXPECT_EQ(FillMessage("division by zero", "unused", out, sizeof out), 16);
    // Room for "ab" and the first byte of the euro sign only: the sign goes whole.
    char small[4];
    EXPECT_EQ(FillMessage("ab%1", "\xE2\x82\xAC", small, sizeof small), 2);
    EXPECT_STREQ(small, "ab");
    char one[1];
    EXPECT_EQ(FillMessage("abc", nullptr, one, sizeof one), 0);
    EXPECT_STREQ(one, "");
}
