// The expression evaluator on any text. The first byte chooses the field
// (its low three bits, one of the five that read expressions), whether the
// row is signed (bit 3) and the message buffer's size (the upper bits); the
// rest is the text. Beyond not crashing, the result must point inside the
// text, keep the sign rules, read a plain run of digits as the field's
// reader does, and mean the same in parentheses and negated.
#include "FuzzCommon.h"
#include "engine/Expression.h"

namespace {

constexpr Notation kFields[] = { eNotationBinary, eNotationOctal, eNotationDecimal,
    eNotationHexadecimal, eNotationQuixadecimal };

bool HasValue(const ExpressionResult& result)
{
    return result.status == eExpressionEvaluated || result.status == eExpressionTooBig;
}

void CheckResult(const ExpressionResult& result, std::size_t length, bool signedReading)
{
    FUZZ_REQUIRE(result.status >= eExpressionEvaluated && result.status < eExpressionStatusCount);
    FUZZ_REQUIRE(result.status != eExpressionNotRead);
    const ExpressionDetail& detail = result.detail;
    FUZZ_REQUIRE(detail.position >= 0 && detail.length >= 0);
    FUZZ_REQUIRE(std::size_t(detail.position) + std::size_t(detail.length) <= length);
    if (!HasValue(result)) {
        FUZZ_REQUIRE(result.value == 0 && !result.negative && !result.wrapped);
        return;
    }
    const bool topBit = (result.value >> 63) != 0;
    if (signedReading)
        FUZZ_REQUIRE(result.negative == topBit);
    else
        FUZZ_REQUIRE(!result.negative || topBit);
}

// The message's template, filled with the token at the detail, fits any room.
void CheckMessage(const ExpressionResult& result, const char* text, int size)
{
    const char* words = ExpressionMessageTemplate(result);
    FUZZ_REQUIRE((words == nullptr) == (result.status == eExpressionEvaluated && !result.wrapped));
    if (!words)
        return;
    const std::string token(text + result.detail.position, std::size_t(result.detail.length));
    Buffer out(new char[std::size_t(size)]);
    const int length = FillMessage(words, token.c_str(), out.get(), size);
    FUZZ_REQUIRE(length >= 0 && length < size && std::strlen(out.get()) == std::size_t(length));
    if (size == kMessageSize)
        FUZZ_REQUIRE(length > 0);
}

// Text of the field's digits alone, which the plain reader reads in full.
bool OnlyDigits(const std::string& text, int radix)
{
    for (char c : text) {
        const char lower = c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
        const int digit = lower >= '0' && lower <= '9' ? lower - '0'
            : lower >= 'a' && lower <= 'z'             ? lower - 'a' + 10
                                                       : 99;
        if (digit >= radix)
            return false;
    }
    return !text.empty();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const Notation field = kFields[(data[0] & 7) % 5];
    const bool rowIsSigned = (data[0] & 8) != 0;
    const int messageSize = 1 + (data[0] >> 4) * 8;
    FuzzText typed(data + 1, size - 1);
    const std::string original = typed.get();
    const bool signedReading = rowIsSigned || field == eNotationDecimal;

    const ExpressionResult result = EvaluateExpression(typed.get(), field, rowIsSigned);
    FUZZ_REQUIRE(original == typed.get());
    CheckResult(result, original.size(), signedReading);
    CheckMessage(result, typed.get(), messageSize);
    CheckMessage(result, typed.get(), kMessageSize);
    (void)IsExpression(typed.get(), field);

    const int radix = ExpressionRadix(field);
    if (OnlyDigits(original, radix) && result.status == eExpressionEvaluated) {
        FUZZ_REQUIRE(!IsExpression(typed.get(), field));
        FuzzNumber number = FuzzNumber::Make(0, 64, false);
        FuzzText copy(original);
        ReadNotation(number, field, copy.get(), eBigEndian);
        FUZZ_REQUIRE(number.Bits() == result.value);
    }

    if (result.status != eExpressionEvaluated && result.status != eExpressionTooBig
        && result.status != eExpressionDivisionByZero)
        return 0;
    // A whole expression means the same in parentheses, and its negation is
    // 0 minus it: nothing inside reads differently once enclosed.
    const ExpressionResult enclosed
        = EvaluateExpression(FuzzText("(" + original + ")").get(), field, rowIsSigned);
    if (enclosed.status != eExpressionTooDeep) {
        FUZZ_REQUIRE(enclosed.status == result.status && enclosed.value == result.value);
        FUZZ_REQUIRE(enclosed.negative == result.negative && enclosed.wrapped == result.wrapped);
    }
    const ExpressionResult negated
        = EvaluateExpression(FuzzText("-(" + original + ")").get(), field, rowIsSigned);
    if (negated.status != eExpressionTooDeep) {
        FUZZ_REQUIRE(negated.status == result.status);
        FUZZ_REQUIRE(negated.value == 0 - result.value);
    }
    return 0;
}
