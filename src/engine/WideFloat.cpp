#include "WideFloat.h"

#include "BigNumber.h"
#include "Characters.h"
#include "FloatFormat.h"
#include "ShortestLayout.h"

#include <algorithm>
#include <cstring>

namespace {

using WideFormat = BasicFloatFormat<UInt128>;

constexpr WideFormat kBinary128 { 112, 15 };
constexpr WideFormat kBfloat16 { 7, 8 };

// Significands are carried with this many bits, three more than binary128's
// 113 and some to spare, so that rounding always drops a few.
constexpr int kCarriedBits = 118;

// floor(x × log10(2)) for |x| below 20 000, or one less when x × log10(2)
// lies within 10^-4 above an integer.
SInt64 FloorLog10Of2(SInt64 x)
{
    const SInt64 scaled = x * 1262611; // log10(2) × 2^22, rounded down
    return scaled >= 0 ? scaled >> 22 : -((-scaled + (SInt64(1) << 22) - 1) >> 22);
}

// significand × 2^exponent, a hair more when `sticky`, rounded to the nearest
// value of `format`, ties to even; infinity beyond its range. The
// significand carries at least two bits more than the format keeps.
UInt128 RoundToFormat(UInt128 significand, SInt64 exponent, bool sticky, const WideFormat& format)
{
    const int m = format.mantissaBits;
    const SInt64 valueExponent = exponent + BitLength(significand) - 1;
    if (valueExponent > format.Bias())
        return format.Infinity();
    SInt64 quantum = std::max<SInt64>(valueExponent, 1 - format.Bias()) - m;
    const SInt64 dropped = quantum - exponent;
    UInt128 kept = 0;
    if (dropped <= 0) {
        kept = -dropped < 128 ? significand << -dropped : 0;
    } else if (dropped < 128) {
        kept = significand >> dropped;
        const UInt128 rest = significand & ((UInt128(1) << dropped) - 1);
        const UInt128 half = UInt128(1) << (dropped - 1);
        if (rest > half || (rest == half && (sticky || (kept & 1) != 0)))
            ++kept;
    } // else below half the smallest subnormal: zero
    if ((kept >> (m + 1)) != 0) {
        kept >>= 1;
        ++quantum;
    }
    if (kept < (UInt128(1) << m))
        return kept; // subnormal or zero; a carry to 2^m is the smallest normal
    const SInt64 biased = quantum + m + format.Bias();
    if (biased >= (SInt64(1) << format.exponentBits) - 1)
        return format.Infinity();
    return UInt128(biased) << m | (kept & format.MantissaMask());
}

// --- Reading -------------------------------------------------------------------

// A NaN's payload "(...)" from `p` to `end`: hexadecimal "0x..." or decimal,
// modulo 2^128, then to the mantissa's bits; 0 when it is neither.
UInt128 ReadNan(const char* p, const char* end, const WideFormat& format)
{
    UInt128 payload = 0;
    if (end - p >= 2) {
        const char* begin = p + 1;
        const char* close = end - 1;
        const bool hex = close - begin > 2 && begin[0] == '0' && Lower(begin[1]) == 'x';
        const unsigned base = hex ? 16 : 10;
        for (const char* d = hex ? begin + 2 : begin; d < close; ++d) {
            const int digit = hex ? HexDigitValue(*d) : (IsDecimalDigit(*d) ? *d - '0' : -1);
            if (digit < 0) {
                payload = 0;
                break;
            }
            payload = payload * base + unsigned(digit);
        }
    }
    payload &= format.MantissaMask();
    return format.Infinity() | (payload != 0 ? payload : format.QuietBit());
}

// After "0x", up to `end`: digits with at most one point, then a binary
// exponent if the reading took one. The first 30 significant digits are
// kept; the rest only tell whether the number lies a hair above.
UInt128 ReadHexadecimal(const char* p, const char* end, const WideFormat& format)
{
    UInt128 significand = 0;
    SInt64 exponent = 0;
    int keptDigits = 0;
    bool beyond = false;
    bool inFraction = false;
    for (; p < end && Lower(*p) != 'p'; ++p) {
        if (*p == '.') {
            inFraction = true;
            continue;
        }
        const int digit = HexDigitValue(*p);
        if (significand == 0 && digit == 0) {
            exponent -= inFraction ? 4 : 0;
        } else if (keptDigits < 30) {
            significand = significand << 4 | unsigned(digit);
            ++keptDigits;
            exponent -= inFraction ? 4 : 0;
        } else {
            beyond = beyond || digit != 0;
            exponent += inFraction ? 0 : 4;
        }
        exponent = Clamped(exponent);
    }
    if (p < end) {
        const bool negative = p[1] == '-';
        SInt64 power = 0;
        for (const char* q = p + 1; q < end; ++q)
            if (IsDecimalDigit(*q))
                power = std::min(power * 10 + (*q - '0'), kExponentLimit);
        exponent = Clamped(exponent + (negative ? -power : power));
    }
    if (significand == 0)
        return 0;
    const int shift = kCarriedBits - BitLength(significand);
    if (shift > 0) {
        significand <<= shift;
        exponent -= shift;
    }
    return RoundToFormat(significand, exponent, beyond, format);
}

struct Wide256;
bool PowerOf5(SInt64 power, Wide256& result);
UInt128 ReadFast(UInt128 digits, SInt64 tenExponent, const WideFormat& format, bool& decided);

// Significant digits beyond these only tell whether the number lies a hair
// above: every number halfway between two binary128 values has fewer
// (11 564 at most), and so does every number halfway in a narrower format.
constexpr int kMaxDecimalDigits = 11600;

// Digits with at most one point from `p` to `end`, then a decimal exponent
// if the reading took one: exactly, from the decimal's integer and a power of
// five and of two.
UInt128 ReadDecimal(const char* p, const char* end, const WideFormat& format)
{
    BigNumber digits;
    UInt64 chunk = 0;
    int chunkDigits = 0;
    int kept = 0;
    bool beyond = false;
    SInt64 integerDigits = 0;
    SInt64 zerosBefore = 0;
    bool inFraction = false;
    bool significant = false;
    auto flush = [&] {
        UInt64 scale = 1;
        for (int i = 0; i < chunkDigits; ++i)
            scale *= 10;
        digits.MultiplyWord(scale);
        digits.AddWord(chunk);
        chunk = 0;
        chunkDigits = 0;
    };
    for (; p < end && Lower(*p) != 'e'; ++p) {
        if (*p == '.') {
            inFraction = true;
            continue;
        }
        const int digit = *p - '0';
        if (!inFraction)
            ++integerDigits;
        if (!significant && digit == 0) {
            ++zerosBefore;
            continue;
        }
        significant = true;
        if (kept == kMaxDecimalDigits) {
            beyond = beyond || digit != 0;
            continue;
        }
        chunk = chunk * 10 + unsigned(digit);
        ++kept;
        if (++chunkDigits == 19)
            flush();
    }
    flush();
    SInt64 exponent = 0;
    if (p < end) {
        const bool negative = p[1] == '-';
        for (const char* q = p + 1; q < end; ++q)
            if (IsDecimalDigit(*q))
                exponent = std::min(exponent * 10 + (*q - '0'), kExponentLimit);
        exponent = negative ? -exponent : exponent;
    }
    if (!significant)
        return 0;
    // The number is 0.d1d2d3... × 10^decimalExponent, d1 not 0.
    const SInt64 decimalExponent = Clamped(exponent + integerDigits - zerosBefore);
    const SInt64 smallestExponent = 1 - format.Bias() - format.mantissaBits;
    if (decimalExponent > FloorLog10Of2(format.Bias() + 1) + 2)
        return format.Infinity();
    if (decimalExponent < FloorLog10Of2(smallestExponent - 1) - 1)
        return 0; // below half the smallest subnormal
    const SInt64 tenExponent = decimalExponent - kept; // the number is digits × 10^tenExponent
    if (!beyond && digits.BitLength() <= 128) {
        bool decided = false;
        const UInt128 fast = ReadFast(digits.Bits(0), tenExponent, format, decided);
        if (decided)
            return fast;
    }
    UInt128 significand;
    SInt64 binaryExponent;
    if (tenExponent >= 0) {
        digits.MultiplyPowerOf5(int(tenExponent));
        digits.ShiftLeft(int(tenExponent));
        const int drop = digits.BitLength() - kCarriedBits;
        if (drop > 0) {
            significand = digits.Bits(drop);
            beyond = beyond || digits.AnyBelow(drop);
        } else {
            significand = digits.Bits(0) << -drop;
        }
        binaryExponent = drop;
    } else {
        // digits / (5^n × 2^n), n = -tenExponent: a quotient of the carried
        // bits, the remainder telling whether it lies a hair above.
        const int n = int(-tenExponent);
        BigNumber divisor(1);
        divisor.MultiplyPowerOf5(n);
        const int shift = kCarriedBits + divisor.BitLength() - digits.BitLength();
        if (shift >= 0)
            digits.ShiftLeft(shift);
        else
            divisor.ShiftLeft(-shift);
        significand = BigNumber::Divide(digits, divisor);
        beyond = beyond || !digits.IsZero();
        binaryExponent = -SInt64(shift) - n;
    }
    return RoundToFormat(significand, binaryExponent, beyond, format);
}

UInt128 ReadBinaryFloat(const char* text, const WideFormat& format)
{
    // FloatNotation.cpp's reading decides where the number ends, so the
    // grammar is one at every width; here it is only read.
    const char* end = FloatReadingEnd(text);
    if (end == text)
        return 0;
    const char* p = text;
    while (IsBlank(*p))
        ++p;
    const bool negative = *p == '-';
    if (*p == '+' || *p == '-')
        ++p;
    UInt128 magnitude;
    if (BeginsWithWord(p, "inf"))
        magnitude = format.Infinity();
    else if (BeginsWithWord(p, "nan"))
        magnitude = ReadNan(p + 3, end, format);
    else if (p[0] == '0' && Lower(p[1]) == 'x' && end > p + 2)
        magnitude = ReadHexadecimal(p + 2, end, format);
    else
        magnitude = ReadDecimal(p, end, format);
    return magnitude | (negative ? format.SignBit() : 0);
}

// --- Writing: the shortest decimal -------------------------------------------------
//
// A finite value v = c × 2^q reads back from every decimal strictly between
// the midpoints to its neighbours, L and U (and from the midpoints too when
// c is even, as ties round to even). Scaled by 10^-k0 so that v lands
// between about 10^36.7 and 10^38, the shortest decimal is the largest power
// of ten whose multiples reach into [L, U], and of those multiples the
// nearest to v. L, v and U scaled are n × 2^(q-2) × 10^-k0 for n = 4c - 2 (or
// 4c - 1 at the bottom of a binade, where the step below is half as wide),
// 4c and 4c + 2.

// What a scaled value is past its integer part.
enum Fraction { eFractionZero, eFractionBelowHalf, eFractionHalf, eFractionAboveHalf };

struct Scaled {
    UInt128 integer;
    Fraction fraction;
};

// A 256-bit number m × 2^exponent, m's top bit set.
struct Wide256 {
    UInt64 words[4]; // least significant first
    int exponent;
};

Wide256 FromBits(UInt128 high, UInt128 low, int exponent)
{
    return { { LowHalf(low), HighHalf(low), LowHalf(high), HighHalf(high) }, exponent };
}

// The top 256 bits, rounded down, of the number words × 2^exponent, whose
// top word or the one below it is not 0 (a product of numbers of 256 bits
// and of a word).
Wide256 TopOf(const UInt64* words, int count, int exponent)
{
    const int top = words[count - 1] != 0 ? count - 1 : count - 2;
    const int skip = __builtin_clzll(words[top]);
    Wide256 result;
    for (int i = 0; i < 4; ++i) {
        const int at = top - 3 + i;
        const UInt64 word = at >= 0 ? words[at] : 0;
        const UInt64 below = at - 1 >= 0 ? words[at - 1] : 0;
        result.words[i] = skip == 0 ? word : word << skip | below >> (64 - skip);
    }
    result.exponent = exponent + 64 * (top - 3) - skip;
    return result;
}

// The top 256 bits of a × b, rounded down.
Wide256 Multiply(const Wide256& a, const Wide256& b)
{
    UInt64 product[8] = {};
    for (int i = 0; i < 4; ++i) {
        UInt64 carry = 0;
        for (int j = 0; j < 4; ++j) {
            const UInt128 sum = UInt128(a.words[i]) * b.words[j] + product[i + j] + carry;
            product[i + j] = LowHalf(sum);
            carry = HighHalf(sum);
        }
        product[i + 4] = carry;
    }
    return TopOf(product, 8, a.exponent + b.exponent);
}

Wide256 MultiplyWord(const Wide256& a, UInt64 factor)
{
    UInt64 product[5];
    UInt64 carry = 0;
    for (int i = 0; i < 4; ++i) {
        const UInt128 sum = UInt128(a.words[i]) * factor + carry;
        product[i] = LowHalf(sum);
        carry = HighHalf(sum);
    }
    product[4] = carry;
    return TopOf(product, 5, a.exponent);
}

// 5^(27 j) and 5^-(27 j) to 256 bits, rounded down, for j up to 186: past
// every power the conversions ask for. 5^27 is the largest power of five in a
// word, which the next smaller power multiplies. Made once, on first use.
constexpr int kPowerSteps = 187;
constexpr UInt64 kFiveTo27 = 7450580596923828125u;

struct PowerTable {
    Wide256 up[kPowerSteps]; // each within 2^-255 below
    Wide256 down[kPowerSteps]; // each within (2 j - 1) × 2^-255 below
};

PowerTable MakePowers()
{
    PowerTable table;
    BigNumber five(1);
    for (int j = 0; j < kPowerSteps; ++j) {
        const int length = five.BitLength();
        BigNumber top = five;
        if (length < 256)
            top.ShiftLeft(256 - length);
        const int low = std::max(length, 256) - 256;
        table.up[j] = FromBits(top.Bits(low + 128), top.Bits(low), length - 256);
        five.MultiplyWord(kFiveTo27);
    }
    // 2^318 / 5^27 lies between 2^255 and 2^256: two quotients of 128 bits.
    BigNumber numerator(1);
    numerator.ShiftLeft(190);
    const BigNumber divisor(kFiveTo27);
    const UInt128 high = BigNumber::Divide(numerator, divisor);
    numerator.ShiftLeft(128);
    const UInt128 low = BigNumber::Divide(numerator, divisor);
    table.down[0] = { { 0, 0, 0, UInt64(1) << 63 }, -255 };
    table.down[1] = FromBits(high, low, -318);
    for (int j = 2; j < kPowerSteps; ++j)
        table.down[j] = Multiply(table.down[j - 1], table.down[1]);
    return table;
}

const PowerTable& Powers()
{
    static const PowerTable table = MakePowers();
    return table;
}

// 5^power to 256 bits, rounded down, within 2^-246 below; false past the
// table.
bool PowerOf5(SInt64 power, Wide256& result)
{
    const SInt64 magnitude = power < 0 ? -power : power;
    const SInt64 step = power < 0 ? (magnitude + 26) / 27 : magnitude / 27;
    if (step >= kPowerSteps)
        return false;
    // 5^-m is 5^-(27 j) × 5^(27 j - m) for the j that makes the rest whole.
    const SInt64 rest = power < 0 ? 27 * step - magnitude : magnitude - 27 * step;
    UInt64 factor = 1;
    for (SInt64 i = 0; i < rest; ++i)
        factor *= 5;
    const PowerTable& table = Powers();
    result = MultiplyWord(power < 0 ? table.down[step] : table.up[step], factor);
    return true;
}

// Bits `low` to `low` + 127 of a number of `count` words.
UInt128 BitsOf(const UInt64* words, int count, int low)
{
    auto word = [&](int i) { return i >= 0 && i < count ? words[i] : UInt64(0); };
    const int first = low >> 6;
    const int shift = low & 63;
    const UInt64 a = word(first), b = word(first + 1), c = word(first + 2);
    if (shift == 0)
        return MakeUInt128(b, a);
    return MakeUInt128(b >> shift | c << (64 - shift), a >> shift | b << (64 - shift));
}

// The six words of a number below 2^128 times one of 256 bits.
void MultiplyInto(UInt128 number, const Wide256& wide, UInt64 (&product)[6])
{
    std::memset(product, 0, sizeof product);
    const UInt64 factor[2] = { LowHalf(number), HighHalf(number) };
    for (int i = 0; i < 2; ++i) {
        UInt64 carry = 0;
        for (int j = 0; j < 4; ++j) {
            const UInt128 sum = UInt128(factor[i]) * wide.words[j] + product[i + j] + carry;
            product[i + j] = LowHalf(sum);
            carry = HighHalf(sum);
        }
        product[i + 4] = carry;
    }
}

// digits × 10^tenExponent from 5^tenExponent to 256 bits: its carried bits
// are those of the product when the bits below them, known but for their
// last two of 128, are neither all clear nor all set; the number then lies
// strictly between two multiples of their unit, which is all rounding needs
// to know of them. `decided` is false when it cannot tell.
UInt128 ReadFast(UInt128 digits, SInt64 tenExponent, const WideFormat& format, bool& decided)
{
    Wide256 power;
    decided = false;
    if (digits == 0 || !PowerOf5(tenExponent, power))
        return 0;
    UInt64 product[6];
    MultiplyInto(digits, power, product);
    int top = 5;
    while (product[top] == 0)
        --top;
    const int length = 64 * top + 64 - __builtin_clzll(product[top]);
    const int drop = length - kCarriedBits;
    const UInt128 below = BitsOf(product, 6, drop - 128);
    constexpr UInt128 kSlack = 1024;
    if (below == 0 || below > kUInt128Max - kSlack)
        return 0;
    decided = true;
    return RoundToFormat(
        BitsOf(product, 6, drop), drop + power.exponent + tenExponent, true, format);
}

// The scaled values L, v and U as far as they matter: each one's integer
// part, and what v is past its own.
struct Scaling {
    Scaled low;
    Scaled value;
    Scaled high;
};

// n × 2^(q - 2) × 10^-k0 for the three n, from 5^-k0 to 256 bits. The
// results lie below 2^127 and within 2^-119 below the true ones, so a
// fraction is known but for its last ten of 128 bits: when that leaves a
// decision open (an integer, a half, too near either), the exact scaling
// decides.
bool ScaleFast(const UInt128 (&n)[3], SInt64 q, SInt64 k0, Scaling& out)
{
    Wide256 power;
    if (!PowerOf5(-k0, power))
        return false;
    const SInt64 exponent = power.exponent + (q - 2 - k0);
    const int point = int(-exponent); // the binary point within n × power
    if (point < 128 || point > 384)
        return false;
    Scaled* results[3] = { &out.low, &out.value, &out.high };
    constexpr UInt128 kSlack = 1024;
    constexpr UInt128 kHalf = UInt128(1) << 127;
    for (int k = 0; k < 3; ++k) {
        UInt64 product[6];
        MultiplyInto(n[k], power, product);
        const UInt128 fraction = BitsOf(product, 6, point - 128);
        if (fraction == 0 || fraction > kUInt128Max - kSlack)
            return false;
        results[k]->integer = BitsOf(product, 6, point);
        if (fraction + kSlack <= kHalf)
            results[k]->fraction = eFractionBelowHalf;
        else if (fraction > kHalf)
            results[k]->fraction = eFractionAboveHalf;
        else
            return false;
    }
    return true;
}

// The same, exactly: n × 5^b × 2^a as a quotient and its remainder.
Scaling ScaleExactly(const UInt128 (&n)[3], SInt64 q, SInt64 k0)
{
    const int a = int(q - 2 - k0);
    const int b = int(-k0);
    BigNumber divisor(1);
    if (b < 0)
        divisor.MultiplyPowerOf5(-b);
    if (a < 0)
        divisor.ShiftLeft(-a);
    Scaling scaling;
    Scaled* results[3] = { &scaling.low, &scaling.value, &scaling.high };
    for (int k = 0; k < 3; ++k) {
        BigNumber number(n[k]);
        if (b > 0)
            number.MultiplyPowerOf5(b);
        if (a > 0)
            number.ShiftLeft(a);
        Scaled& result = *results[k];
        if (b >= 0 && a < 0) {
            // A power of two divides: the quotient and remainder are bits.
            result.integer = number.Bits(-a);
            const bool halfBit = number.AnyBelow(-a) && number.Bits(-a - 1) & 1;
            const bool belowHalf = number.AnyBelow(-a - 1);
            result.fraction = !number.AnyBelow(-a) ? eFractionZero
                : !halfBit                         ? eFractionBelowHalf
                : belowHalf                        ? eFractionAboveHalf
                                                   : eFractionHalf;
            continue;
        }
        result.integer = BigNumber::Divide(number, divisor);
        if (number.IsZero()) {
            result.fraction = eFractionZero;
            continue;
        }
        number.ShiftLeft(1);
        const int side = BigNumber::Compare(number, divisor);
        result.fraction = side < 0 ? eFractionBelowHalf
            : side == 0            ? eFractionHalf
                                   : eFractionAboveHalf;
    }
    return scaling;
}

// The shortest decimal, digits × 10^exponent.
struct Decimal {
    char digits[40];
    int count;
    int exponent;
};

constexpr UInt64 kPowersOfTen[] = { 1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000,
    1000000000, 10000000000, 100000000000, 1000000000000, 10000000000000, 100000000000000,
    1000000000000000, 10000000000000000, 100000000000000000, 1000000000000000000, kTenToThe19 };

// The most digits, up to `limit`, that can be dropped from the words `top`
// and `bottom` (bottom < top) leaving a multiple of their unit in
// (bottom, top]: at least as many as the difference has, more by luck.
int MostDropped(UInt64 top, UInt64 bottom, int limit)
{
    int dropped = 0;
    while (dropped < limit && kPowersOfTen[dropped + 1] <= top - bottom)
        ++dropped;
    while (dropped < limit && top / kPowersOfTen[dropped + 1] != bottom / kPowersOfTen[dropped + 1])
        ++dropped;
    return dropped;
}

// The candidates are the integers in (belowBottom, top], all below 2^127:
// the shortest are the multiples of the largest power of ten among them, and
// of those the nearest to v, ties to even. Worked in two words of 19
// digits: the ends share the high word at binary128's precision, and part
// in it only where the interval is wide (small subnormals, bfloat16).
Decimal ShortestOf(UInt128 top, UInt128 belowBottom, const Scaled& value)
{
    const auto topHigh = UInt64(top / kTenToThe19);
    const auto bottomHigh = UInt64(belowBottom / kTenToThe19);
    const auto valueHigh = UInt64(value.integer / kTenToThe19);
    const auto topLow = UInt64(top - UInt128(topHigh) * kTenToThe19);
    const auto bottomLow = UInt64(belowBottom - UInt128(bottomHigh) * kTenToThe19);
    const auto valueLow = UInt64(value.integer - UInt128(valueHigh) * kTenToThe19);
    const bool inHigh = topHigh != bottomHigh;
    // The high words lie below 1.8 × 10^19: 10^38 can stand between them.
    const int dropped
        = inHigh ? MostDropped(topHigh, bottomHigh, 19) : MostDropped(topLow, bottomLow, 18);
    const UInt64 unit = kPowersOfTen[dropped];
    UInt64 highest, lowest, nearest;
    int side; // v's rest against half of the unit
    if (inHigh) {
        highest = topHigh / unit;
        lowest = bottomHigh / unit + 1;
        nearest = valueHigh / unit;
        // The rest is restHigh × 10^19 + valueLow, the half 5 × 10^(18 + dropped).
        const UInt64 restHigh = valueHigh - nearest * unit;
        const UInt64 halfHigh = dropped == 0 ? 0 : unit / 2;
        const UInt64 halfLow = dropped == 0 ? kTenToThe19 / 2 : 0;
        side = restHigh != halfHigh ? (restHigh > halfHigh ? 1 : -1)
            : valueLow != halfLow   ? (valueLow > halfLow ? 1 : -1)
                                    : value.fraction != eFractionZero;
    } else {
        highest = topLow / unit;
        lowest = bottomLow / unit + 1;
        nearest = valueLow / unit;
        const UInt64 rest = valueLow - nearest * unit;
        if (dropped == 0)
            side = value.fraction == eFractionHalf     ? 0
                : value.fraction == eFractionAboveHalf ? 1
                                                       : -1;
        else
            side = rest * 2 != unit ? (rest * 2 > unit ? 1 : -1) : value.fraction != eFractionZero;
    }
    if (side > 0 || (side == 0 && (nearest & 1) != 0))
        ++nearest;
    nearest = std::clamp(nearest, lowest, highest);

    Decimal shortest;
    char* end = shortest.digits;
    if (!inHigh && topHigh != 0) {
        end = PutUnsigned(end, topHigh);
        PutPaddedDecimal(end, nearest, 19 - dropped);
        end += 19 - dropped;
    } else {
        end = PutUnsigned(end, nearest);
    }
    shortest.count = int(end - shortest.digits);
    shortest.exponent = dropped + (inHigh ? 19 : 0);
    return shortest;
}

Decimal ShortestDecimal(UInt128 c, SInt64 q, bool narrowBelow)
{
    const bool inclusive = (c & 1) == 0;
    const SInt64 k0 = FloorLog10Of2(q + BitLength(c)) - 37;
    const UInt128 n[3] = { 4 * c - (narrowBelow ? 1 : 2), 4 * c, 4 * c + 2 };
    Scaling scaling;
    if (!ScaleFast(n, q, k0, scaling))
        scaling = ScaleExactly(n, q, k0);
    // The integers from belowBottom + 1 to top read back.
    UInt128 top = scaling.high.integer;
    if (scaling.high.fraction == eFractionZero && !inclusive)
        --top;
    UInt128 belowBottom = scaling.low.integer;
    if (scaling.low.fraction == eFractionZero && inclusive)
        --belowBottom;
    Decimal shortest = ShortestOf(top, belowBottom, scaling.value);
    shortest.exponent += int(k0);
    return shortest;
}

// v = c × 2^q, an integer, in decimal.
char* PutExactInteger(char* out, UInt128 c, SInt64 q)
{
    if (q <= 0)
        return PutUnsigned128(out, c >> -q);
    BigNumber number(c);
    number.ShiftLeft(int(q));
    UInt64 chunks[4];
    int count = 0;
    while (!number.IsZero() && count < 4)
        chunks[count++] = number.DivideWord(kTenToThe19);
    out = PutUnsigned(out, chunks[count - 1]);
    for (int i = count - 1; i-- > 0;) {
        PutPaddedDecimal(out, chunks[i], 19);
        out += 19;
    }
    return out;
}

char* PutShortest(char* out, UInt128 c, SInt64 q, bool narrowBelow)
{
    const Decimal shortest = ShortestDecimal(c, q, narrowBelow);
    return PutShortestLayout(out, shortest.digits, shortest.count, shortest.exponent,
        [c, q](char* at) { return PutExactInteger(at, c, q); });
}

void WriteBinaryFloat(UInt128 bits, const WideFormat& format, char* out)
{
    const int m = format.mantissaBits;
    const UInt128 magnitude = bits & (format.SignBit() - 1);
    if ((bits & format.SignBit()) != 0)
        *out++ = '-';
    if (magnitude > format.Infinity()) {
        std::memcpy(out, "nan", 3);
        out += 3;
        const UInt128 payload = magnitude & format.MantissaMask();
        if (payload != format.QuietBit()) {
            std::memcpy(out, "(0x", 3);
            out += 3;
            const int digits = (BitLength(payload) + 3) / 4;
            for (int digit = digits; digit-- > 0;)
                *out++ = "0123456789abcdef"[unsigned(payload >> (4 * digit)) & 0xF];
            *out++ = ')';
        }
    } else if (magnitude == format.Infinity()) {
        std::memcpy(out, "inf", 3);
        out += 3;
    } else if (magnitude == 0) {
        *out++ = '0';
    } else {
        const auto field = SInt64(magnitude >> m);
        const UInt128 fraction = magnitude & format.MantissaMask();
        const UInt128 c = field == 0 ? fraction : fraction | (UInt128(1) << m);
        const SInt64 q = (field == 0 ? 1 : field) - format.Bias() - m;
        out = PutShortest(out, c, q, fraction == 0 && field > 1);
    }
    *out = '\0';
}

} // namespace

bool IsWideFloatWidth(UInt16 width)
{
    return width == 128 || IsFloatWidth(width);
}

void WriteWideFloat(UInt128 bits, UInt16 width, char* out)
{
    if (width == 128)
        WriteBinaryFloat(bits, kBinary128, out);
    else
        WriteFloat(LowHalf(bits), width, out);
}

UInt128 ReadWideFloat(const char* text, UInt16 width)
{
    return width == 128 ? ReadBinaryFloat(text, kBinary128) : UInt128(ReadFloat(text, width));
}

void WriteBfloat16(UInt64 bits, char* out)
{
    WriteBinaryFloat(bits & 0xFFFF, kBfloat16, out);
}

UInt64 ReadBfloat16(const char* text)
{
    return UInt64(ReadBinaryFloat(text, kBfloat16));
}

void WriteFloatNotation(const WideConverter& number, Endian endian, char* out)
{
    if (number.BitWidth() <= 64)
        WriteFloatNotation(number.ToBaseConverter(), endian, out);
    else
        WriteBinaryFloat(number.GetValue(endian), kBinary128, out);
}

void ReadFloatNotation(WideConverter& number, const char* text, Endian endian)
{
    if (number.BitWidth() <= 64) {
        BaseConverter low = number.ToBaseConverter();
        ReadFloatNotation(low, text, endian);
        number = WideConverter::FromBaseConverter(low);
        return;
    }
    number.SetUnsignedDec(ReadBinaryFloat(text, kBinary128), endian);
}
