#include "FloatNotation.h"

#include "Characters.h"
#include "FloatFormat.h"
#include "ShortestLayout.h"

#include <algorithm>
#include <charconv>
#include <cstring>

namespace {

using FloatFormat = BasicFloatFormat<UInt64>;

constexpr FloatFormat kHalf { 10, 5 };
constexpr FloatFormat kSingle { 23, 8 };
constexpr FloatFormat kDouble { 52, 11 };

const FloatFormat* FormatOfWidth(UInt16 width)
{
    switch (width) {
    case 16: return &kHalf;
    case 32: return &kSingle;
    case 64: return &kDouble;
    default: return nullptr;
    }
}

int DecimalDigitValue(char c)
{
    return IsDecimalDigit(c) ? c - '0' : -1;
}

// Whether `text` begins a hexadecimal number: "0x" and a digit, or a point
// and a digit.
bool BeginsHexadecimal(const char* text)
{
    return text[0] == '0' && Lower(text[1]) == 'x'
        && (HexDigitValue(text[2]) >= 0 || (text[2] == '.' && HexDigitValue(text[3]) >= 0));
}

// --- Rounding to a format ------------------------------------------------------

struct Rounded {
    UInt64 magnitude; // the format's bits without the sign
    bool tie; // the value lay exactly halfway between two of the format's
};

// Rounds significand × 2^exponent (significand not 0) to the nearest value
// of `format`, ties to even, to infinity beyond its range. `direction` says
// where the true value lies when significand × 2^exponent only approximates
// it: a hair above (+1), a hair below (-1), or exactly there (0); it
// decides only what would otherwise be a tie.
Rounded RoundToFormat(UInt64 significand, SInt64 exponent, int direction, const FloatFormat& format)
{
    const int m = format.mantissaBits;
    const SInt64 valueExponent = exponent + (63 - __builtin_clzll(significand));
    if (valueExponent > format.Bias())
        return { format.Infinity(), false };
    // The exponent of the result's last mantissa bit; subnormals share one.
    SInt64 quantum = std::max<SInt64>(valueExponent, 1 - format.Bias()) - m;
    const SInt64 dropped = quantum - exponent;
    UInt64 kept = 0;
    bool tie = false;
    if (dropped <= 0) {
        kept = significand << -dropped;
    } else if (dropped <= 64) {
        kept = dropped == 64 ? 0 : significand >> dropped;
        const UInt64 rest
            = dropped == 64 ? significand : significand & ((UInt64(1) << dropped) - 1);
        const UInt64 half = UInt64(1) << (dropped - 1);
        tie = rest == half && direction == 0;
        if (rest > half || (rest == half && (direction > 0 || (direction == 0 && (kept & 1)))))
            ++kept;
    } // else below half the smallest subnormal: zero
    if (kept >> (m + 1) != 0) {
        kept >>= 1;
        ++quantum;
    }
    if (kept < (UInt64(1) << m))
        return { kept, tie }; // subnormal or zero; a carry to 2^m is the smallest normal
    const SInt64 biased = quantum + m + format.Bias();
    if (biased >= (SInt64(1) << format.exponentBits) - 1)
        return { format.Infinity(), tie };
    return { UInt64(biased) << m | (kept & format.MantissaMask()), tie };
}

// --- Reading -------------------------------------------------------------------

struct Reading {
    bool found; // a valid beginning
    UInt64 magnitude;
};

// Digits with at most one point among them, from `p`: `take` is given each
// digit's value, place and whether it follows the point. Returns the end:
// past the last digit, or past the point when it comes last.
template <class DigitValue, class Take>
const char* ScanDigits(const char* p, DigitValue digitValue, Take take)
{
    bool inFraction = false;
    for (;; ++p) {
        if (*p == '.' && !inFraction) {
            inFraction = true;
            continue;
        }
        const int digit = digitValue(*p);
        if (digit < 0)
            return p;
        take(digit, p, inFraction);
    }
}

// A decimal number's text: digits with at most one point, at least one
// digit, then an exponent if one is complete.
struct DecimalText {
    const char* begin;
    const char* digitsEnd; // past the last digit before any exponent
    const char* end; // past the whole number
    const char* firstSignificant; // the first digit other than 0, or null
    // The number is 0.d1d2d3... × 10^exponent, d1 the first significant.
    SInt64 exponent;
};

bool ScanDecimal(const char* text, DecimalText& scanned)
{
    scanned = { text, text, text, nullptr, 0 };
    SInt64 integerDigits = 0;
    SInt64 zerosBefore = 0; // digits ahead of the first significant one
    bool anyDigit = false;
    const char* const p
        = ScanDigits(text, DecimalDigitValue, [&](int digit, const char* at, bool inFraction) {
              anyDigit = true;
              if (!inFraction)
                  ++integerDigits;
              if (scanned.firstSignificant == nullptr) {
                  if (digit == 0)
                      ++zerosBefore;
                  else
                      scanned.firstSignificant = at;
              }
          });
    if (!anyDigit)
        return false;
    scanned.digitsEnd = p;
    scanned.end = p;
    if (Lower(*p) == 'e') {
        const char* q = p + 1;
        const bool negative = *q == '-';
        if (*q == '+' || *q == '-')
            ++q;
        if (IsDecimalDigit(*q)) {
            SInt64 exponent = 0;
            for (; IsDecimalDigit(*q); ++q)
                exponent = std::min(exponent * 10 + (*q - '0'), kExponentLimit);
            scanned.exponent = negative ? -exponent : exponent;
            scanned.end = q;
        }
    }
    scanned.exponent = Clamped(scanned.exponent + integerDigits - zerosBefore);
    return true;
}

// The sign of the text's number minus 0.digits × 10^exponent, both not 0.
int CompareDecimal(const DecimalText& text, const char* digits, int count, SInt64 exponent)
{
    if (text.exponent != exponent)
        return text.exponent > exponent ? 1 : -1;
    const char* p = text.firstSignificant;
    for (int i = 0; i < count; ++i) {
        if (p < text.digitsEnd && *p == '.')
            ++p;
        const char ours = p < text.digitsEnd ? *p++ : '0'; // zeros past the end
        if (ours != digits[i])
            return ours > digits[i] ? 1 : -1;
    }
    for (; p < text.digitsEnd; ++p) {
        if (*p != '0' && *p != '.')
            return 1;
    }
    return 0;
}

// A double that is exactly a half tie, as 0.digits × 10^exponent. A tie has
// at most 12 significant bits and lies between 2^-25 and 65520, so the
// digits are few: an odd multiple of a power of two times 5^n for n <= 25.
int TieDigits(double tie, char* digits, SInt64& exponent)
{
    UInt64 bits;
    std::memcpy(&bits, &tie, sizeof bits);
    UInt64 significand = (bits & kDouble.MantissaMask()) | (UInt64(1) << 52);
    int binaryExponent = int(bits >> 52) - 1075;
    const int trailing = __builtin_ctzll(significand);
    significand >>= trailing;
    binaryExponent += trailing;
    if (binaryExponent >= 0) {
        const int count = int(PutUnsigned(digits, significand << binaryExponent) - digits);
        exponent = count;
        return count;
    }
    // significand × 5^n / 10^n, n = -binaryExponent, in little-endian digits.
    char reversed[40];
    int count = 0;
    for (UInt64 rest = significand; rest != 0; rest /= 10)
        reversed[count++] = char(rest % 10);
    for (int n = 0; n < -binaryExponent; ++n) {
        int carry = 0;
        for (int i = 0; i < count; ++i) {
            const int product = reversed[i] * 5 + carry;
            reversed[i] = char(product % 10);
            carry = product / 10;
        }
        if (carry != 0)
            reversed[count++] = char(carry);
    }
    for (int i = 0; i < count; ++i)
        digits[i] = char('0' + reversed[count - 1 - i]);
    exponent = count + binaryExponent;
    return count;
}

// std::from_chars is correctly rounded and ignores the locale, but leaves
// the value unwritten when it is out of range: the text's exponent then
// tells an overflow from an underflow.
template <class Float> UInt64 FromChars(const DecimalText& text, const FloatFormat& format)
{
    Float value = 0;
    const std::from_chars_result result = std::from_chars(text.begin, text.end, value);
    if (result.ec == std::errc::result_out_of_range)
        return text.exponent > 0 ? format.Infinity() : 0;
    return BitsOf(value);
}

// Half has no from_chars: the double nearest the text, rounded again to
// half. That double rounding can err only when the double lands exactly on
// a tie between two halves; the text itself then decides.
UInt64 DecimalToHalf(const DecimalText& text)
{
    const UInt64 bits = FromChars<double>(text, kDouble);
    const UInt64 field = bits >> 52;
    if (field == 0x7FF)
        return kHalf.Infinity();
    if (field == 0)
        return 0; // a double subnormal lies far below half's smallest value
    const UInt64 significand = (bits & kDouble.MantissaMask()) | (UInt64(1) << 52);
    const SInt64 exponent = SInt64(field) - 1075;
    const Rounded rounded = RoundToFormat(significand, exponent, 0, kHalf);
    if (!rounded.tie)
        return rounded.magnitude;
    double tie;
    std::memcpy(&tie, &bits, sizeof tie);
    char digits[40];
    SInt64 tieExponent;
    const int count = TieDigits(tie, digits, tieExponent);
    const int side = CompareDecimal(text, digits, count, tieExponent);
    return side == 0 ? rounded.magnitude
                     : RoundToFormat(significand, exponent, side, kHalf).magnitude;
}

Reading ReadDecimal(const char* text, const FloatFormat& format)
{
    DecimalText scanned;
    if (!ScanDecimal(text, scanned))
        return { false, 0 };
    if (scanned.firstSignificant == nullptr)
        return { true, 0 };
    switch (format.mantissaBits) {
    case kSingle.mantissaBits: return { true, FromChars<float>(scanned, format) };
    case kDouble.mantissaBits: return { true, FromChars<double>(scanned, format) };
    default: return { true, DecimalToHalf(scanned) };
    }
}

// After "0x": hexadecimal digits with at most one point, at least one
// digit, then a binary exponent if one is complete. The first 16
// significant digits are kept, more than any format needs; the rest only
// tell whether the number lies a hair above those.
Reading ReadHexadecimal(const char* p, const FloatFormat& format)
{
    UInt64 significand = 0;
    SInt64 exponent = 0;
    int keptDigits = 0;
    bool beyond = false;
    bool anyDigit = false;
    p = ScanDigits(p, HexDigitValue, [&](int digit, const char*, bool inFraction) {
        anyDigit = true;
        if (significand == 0 && digit == 0) {
            exponent -= inFraction ? 4 : 0;
        } else if (keptDigits < 16) {
            significand = significand << 4 | UInt64(digit);
            ++keptDigits;
            exponent -= inFraction ? 4 : 0;
        } else {
            beyond = beyond || digit != 0;
            exponent += inFraction ? 0 : 4;
        }
        exponent = Clamped(exponent);
    });
    if (!anyDigit)
        return { false, 0 };
    if (Lower(*p) == 'p') {
        const char* q = p + 1;
        const bool negative = *q == '-';
        if (*q == '+' || *q == '-')
            ++q;
        SInt64 power = 0;
        for (; IsDecimalDigit(*q); ++q)
            power = std::min(power * 10 + (*q - '0'), kExponentLimit);
        exponent = Clamped(exponent + (negative ? -power : power));
    }
    if (significand == 0)
        return { true, 0 };
    return { true, RoundToFormat(significand, exponent, beyond ? 1 : 0, format).magnitude };
}

// A NaN's payload text: hexadecimal "0x..." or decimal, modulo 2^64; 0
// when it is neither.
UInt64 PayloadNumber(const char* begin, const char* end)
{
    const bool hex = end - begin > 2 && begin[0] == '0' && Lower(begin[1]) == 'x';
    const UInt64 base = hex ? 16 : 10;
    UInt64 payload = 0;
    for (const char* d = hex ? begin + 2 : begin; d < end; ++d) {
        const int digit = hex ? HexDigitValue(*d) : DecimalDigitValue(*d);
        if (digit < 0)
            return 0;
        payload = payload * base + UInt64(digit);
    }
    return payload;
}

// The ')' of a payload "(...)" of letters, digits and underscores at `p`,
// or null when there is none.
const char* PayloadClose(const char* p)
{
    if (*p != '(')
        return nullptr;
    const char* end = p + 1;
    while (IsDecimalDigit(*end) || (Lower(*end) >= 'a' && Lower(*end) <= 'z') || *end == '_')
        ++end;
    return *end == ')' ? end : nullptr;
}

// After "nan": an optional "(...)" of letters, digits and underscores. Its
// payload is a hexadecimal "0x..." or a decimal number, taken modulo 2^64
// and then to the mantissa's bits.
UInt64 ReadNan(const char* p, const FloatFormat& format)
{
    UInt64 payload = 0;
    if (const char* close = PayloadClose(p))
        payload = PayloadNumber(p + 1, close);
    payload &= format.MantissaMask();
    return format.Infinity() | (payload != 0 ? payload : format.QuietBit());
}

// --- Writing -------------------------------------------------------------------

// A finite, non-zero half (its bits without the sign) and the bounds of
// the texts that read back as it, exact in 64-bit integers: every half and
// every bound is a multiple of 2^-26 below 2^43.
constexpr int kHalfUnitBits = 26;

struct HalfInterval {
    UInt64 value;
    UInt64 lower;
    UInt64 upper;
    bool boundsRead; // a tie rounds to the even one
};

HalfInterval IntervalOfHalf(unsigned magnitude)
{
    const unsigned field = magnitude >> 10;
    const unsigned fraction = magnitude & 0x3FF;
    const UInt64 significand = field == 0 ? fraction : fraction | 0x400;
    const int shift = field == 0 ? 0 : int(field) - 1;
    const UInt64 value = significand << (shift + 2);
    // Below a power of two the next half down is nearer.
    const int lowerShift = fraction == 0 && field > 1 ? shift : shift + 1;
    return { value, value - (UInt64(1) << lowerShift), value + (UInt64(1) << (shift + 1)),
        significand % 2 == 0 };
}

constexpr UInt64 kPowersOfTen[] = { 1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000,
    1000000000, 10000000000, 100000000000, 1000000000000, 10000000000000 };

// The shortest decimal, digits × 10^exponent, within the interval, and of
// those the nearest to the half, ties to even.
struct Decimal {
    UInt64 digits;
    int exponent;
};

Decimal ShortestDecimal(const HalfInterval& half)
{
    // Start from the largest power of ten not above the interval's top.
    int exponent = 4;
    while (exponent > 0 && (kPowersOfTen[exponent] << kHalfUnitBits) > half.upper)
        --exponent;
    while (exponent <= 0 && (half.upper * kPowersOfTen[-exponent]) >> kHalfUnitBits == 0)
        --exponent;

    for (;; --exponent) {
        // Candidates d × 10^exponent: in units, d × scale against bound × boost.
        const UInt64 boost = exponent < 0 ? kPowersOfTen[-exponent] : 1;
        const UInt64 scale = (exponent > 0 ? kPowersOfTen[exponent] : 1) << kHalfUnitBits;
        const UInt64 low = half.lower * boost;
        const UInt64 high = half.upper * boost;
        const UInt64 first = low / scale + (low % scale != 0 || !half.boundsRead ? 1 : 0);
        const UInt64 last = high / scale - (high % scale == 0 && !half.boundsRead ? 1 : 0);
        if (first > last)
            continue;
        const UInt64 scaled = half.value * boost;
        UInt64 nearest = scaled / scale;
        const UInt64 rest = scaled % scale;
        if (rest * 2 > scale || (rest * 2 == scale && nearest % 2 != 0))
            ++nearest;
        return { std::clamp(nearest, first, last), exponent };
    }
}

// The shortest digits, laid out as std::to_chars lays out a double's.
char* PutHalf(char* out, unsigned magnitude)
{
    const HalfInterval half = IntervalOfHalf(magnitude);
    const Decimal shortest = ShortestDecimal(half);
    char digits[20];
    const int count = int(PutUnsigned(digits, shortest.digits) - digits);
    return PutShortestLayout(out, digits, count, shortest.exponent,
        [&half](char* at) { return PutUnsigned(at, half.value >> kHalfUnitBits); });
}

} // namespace

bool IsFloatWidth(UInt16 width)
{
    return FormatOfWidth(width) != nullptr;
}

void WriteFloat(UInt64 bits, UInt16 width, char* out)
{
    const FloatFormat* format = FormatOfWidth(width);
    if (format == nullptr) {
        *out = '\0';
        return;
    }
    const UInt64 sign = bits & format->SignBit();
    const UInt64 magnitude = bits & (format->SignBit() - 1);
    char* end = out;
    if (magnitude > format->Infinity()) {
        if (sign != 0)
            *end++ = '-';
        std::memcpy(end, "nan", 3);
        end += 3;
        const UInt64 payload = magnitude & format->MantissaMask();
        if (payload != format->QuietBit()) {
            std::memcpy(end, "(0x", 3);
            end = std::to_chars(end + 3, end + 3 + 16, payload, 16).ptr;
            *end++ = ')';
        }
    } else if (width == 32) {
        float value;
        const UInt32 single = UInt32(bits);
        std::memcpy(&value, &single, sizeof value);
        end = std::to_chars(out, out + kFloatSize - 1, value).ptr;
    } else if (width == 64) {
        double value;
        std::memcpy(&value, &bits, sizeof value);
        end = std::to_chars(out, out + kFloatSize - 1, value).ptr;
    } else {
        if (sign != 0)
            *end++ = '-';
        if (magnitude == format->Infinity()) {
            std::memcpy(end, "inf", 3);
            end += 3;
        } else if (magnitude == 0) {
            *end++ = '0';
        } else {
            end = PutHalf(end, unsigned(magnitude));
        }
    }
    *end = '\0';
}

namespace {

// A finite value's magnitude as a hexadecimal float, as C's printf writes
// it with %a ("0x1.8p+0", "0x0.004p-14"): exact for every value of the format.
char* PutHexadecimalFloat(const FloatFormat& format, UInt64 magnitude, char* out)
{
    const int exponentField = int(magnitude >> format.mantissaBits);
    UInt64 mantissa = magnitude & format.MantissaMask();
    std::memcpy(out, "0x", 2);
    out += 2;
    *out++ = exponentField == 0 ? '0' : '1';
    const int exponent = exponentField == 0 ? (mantissa == 0 ? 0 : 1 - format.Bias())
                                            : exponentField - format.Bias();
    if (mantissa != 0) {
        int digits = (format.mantissaBits + 3) / 4;
        mantissa <<= digits * 4 - format.mantissaBits;
        for (; (mantissa & 0xf) == 0; mantissa >>= 4)
            --digits;
        *out++ = '.';
        for (int digit = digits - 1; digit >= 0; --digit)
            *out++ = "0123456789abcdef"[(mantissa >> (4 * digit)) & 0xf];
    }
    *out++ = 'p';
    *out++ = exponent < 0 ? '-' : '+';
    return PutUnsigned(out, UInt64(exponent < 0 ? -exponent : exponent));
}

char* PutText(char* out, const char* text)
{
    const std::size_t length = std::strlen(text);
    std::memcpy(out, text, length);
    return out + length;
}

} // namespace

void WriteFloatLiteral(UInt64 bits, UInt16 width, char* out)
{
    const FloatFormat* format = FormatOfWidth(width);
    if (format == nullptr) {
        *out = '\0';
        return;
    }
    const UInt64 sign = bits & format->SignBit();
    const UInt64 magnitude = bits & (format->SignBit() - 1);
    char* end = out;
    if (magnitude > format->Infinity()
        && (magnitude & format->MantissaMask()) != format->QuietBit()) {
        // No literal spells a NaN's payload: its bits do, for a bit cast.
        end = PutText(end, "0x");
        for (int digit = width / 4 - 1; digit >= 0; --digit)
            *end++ = "0123456789abcdef"[(bits >> (4 * digit)) & 0xf];
        *end = '\0';
        return;
    }
    if (sign != 0)
        *end++ = '-';
    if (magnitude >= format->Infinity()) {
        // <math.h>'s, which convert to any width exactly.
        end = PutText(end, magnitude == format->Infinity() ? "INFINITY" : "NAN");
        *end = '\0';
        return;
    }
    // C has no half literal: a half is a float's value exactly, written as a
    // float; in decimal where that reads back as it, else in hexadecimal.
    char decimal[kFloatSize];
    WriteFloat(magnitude, width, decimal);
    char hexadecimal[kFloatSize];
    *PutHexadecimalFloat(*format, magnitude, hexadecimal) = '\0';
    if (width == 16 && ReadFloat(decimal, 32) != ReadFloat(hexadecimal, 32)) {
        end = PutText(end, hexadecimal);
    } else {
        end = PutText(end, decimal);
        // "1" would be an integer.
        if (std::strpbrk(decimal, ".e") == nullptr)
            end = PutText(end, ".0");
    }
    if (width != 64)
        *end++ = 'f';
    *end = '\0';
}

UInt64 ReadFloat(const char* text, UInt16 width)
{
    const FloatFormat* format = FormatOfWidth(width);
    if (format == nullptr)
        return 0;
    while (IsBlank(*text))
        ++text;
    const bool negative = *text == '-';
    if (*text == '+' || *text == '-')
        ++text;
    Reading reading;
    if (BeginsWithWord(text, "inf"))
        reading = { true, format->Infinity() };
    else if (BeginsWithWord(text, "nan"))
        reading = { true, ReadNan(text + 3, *format) };
    else if (BeginsHexadecimal(text))
        reading = ReadHexadecimal(text + 2, *format);
    else
        reading = ReadDecimal(text, *format);
    if (!reading.found)
        return 0;
    return reading.magnitude | (negative ? format->SignBit() : 0);
}

const char* FloatReadingEnd(const char* text)
{
    const char* p = text;
    while (IsBlank(*p))
        ++p;
    if (*p == '+' || *p == '-')
        ++p;
    if (BeginsWithWord(p, "inf"))
        return p + (BeginsWithWord(p, "infinity") ? 8 : 3);
    if (BeginsWithWord(p, "nan")) {
        const char* close = PayloadClose(p + 3);
        return close != nullptr ? close + 1 : p + 3;
    }
    if (BeginsHexadecimal(p)) {
        const char* end = ScanDigits(p + 2, HexDigitValue, [](int, const char*, bool) {});
        // The binary exponent counts only with a digit, as strtod reads it.
        if (Lower(*end) == 'p') {
            const char* q = end + 1;
            if (*q == '+' || *q == '-')
                ++q;
            if (IsDecimalDigit(*q)) {
                while (IsDecimalDigit(*q))
                    ++q;
                end = q;
            }
        }
        return end;
    }
    DecimalText scanned;
    return ScanDecimal(p, scanned) ? scanned.end : text;
}

void WriteFloatNotation(const BaseConverter& number, Endian endian, char* out)
{
    WriteFloat(number.GetValue(endian), number.BitWidth(), out);
}

void ReadFloatNotation(BaseConverter& number, const char* text, Endian endian)
{
    if (!IsFloatWidth(number.BitWidth()))
        number.SetBitWidth(32);
    number.SetUnsignedDec(ReadFloat(text, number.BitWidth()), endian);
}
