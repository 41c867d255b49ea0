// A decimal field's reading in both byte orders. The first byte sets the
// row's width and sign; the rest is the typed text.
#include "FuzzCommon.h"

namespace {

// The text as strtoull should see it: '_' and '\'' that stand between two
// digits group them and are dropped.
std::string WithoutSeparators(const std::string& text)
{
    std::string plain;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
        std::size_t past = at;
        while (past < text.size() && (text[past] == '_' || text[past] == '\''))
            ++past;
        if (past > at && at > 0 && isDigit(text[at - 1]) && past < text.size()
            && isDigit(text[past])) {
            at = past - 1;
            continue;
        }
        plain += text[at];
    }
    return plain;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const RowSetup row = RowSetup::FromByte(data[0]);
    FuzzText typed(data + 1, size - 1);
    const std::string original = typed.get();

    const char* first = original.c_str();
    while (*first == ' ' || (*first >= '\t' && *first <= '\r'))
        ++first;
    const bool minus = *first == '-';
    const std::string plain = WithoutSeparators(original);
    const UInt64 expected = minus ? UInt64(std::strtoll(plain.c_str(), nullptr, 10))
                                  : std::strtoull(plain.c_str(), nullptr, 10);

    // A number that fits the width is stored in the row's byte order; one
    // that does not is kept whole, so that the caller can widen and re-read.
    const bool fits = HoldsAt(FuzzNumber::Make(expected, 64, minus), row.width);

    for (Endian endian : kEndians) {
        FuzzNumber number = FuzzNumber::Make(0xA5A5A5A5A5A5A5A5, row.width, row.isSigned);
        FuzzText text(original);
        ReadNotation(number, eNotationDecimal, text.get(), endian);
        FUZZ_REQUIRE(original == text.get());
        FUZZ_REQUIRE(number.IsSigned() == minus && number.BitWidth() == row.width);
        if (fits)
            FUZZ_REQUIRE(number.GetValue(endian) == (expected & WidthMask(row.width)));
        if (!fits || endian == eBigEndian)
            FUZZ_REQUIRE(number.Bits() == expected);
        CheckInvariants(number);
    }
    return 0;
}
