#include "Magnitude.h"

#include <cstdio>

namespace {

struct Unit {
    double size;
    const char* format;
};

} // namespace

void FormatMagnitude(
    const BaseConverter& value, Endian endian, bool metric, char* out, std::size_t size)
{
    if (size == 0)
        return;

    const double base = metric ? 1000.0 : 1024.0;
    const double mega = metric ? 1000000.0 : 1048576.0;
    const double giga = mega * base;
    const double tera = base * giga;
    const double peta = base * tera;
    const Unit units[] = {
        { peta, metric ? "%.3f quadrillion" : "%.3f PB" },
        { tera, metric ? "%.3f trillion" : "%.3f TB" },
        { giga, metric ? "%.3f billion" : "%.3f GB" },
        { mega, metric ? "%.3f million" : "%.3f MB" },
        { base, metric ? "%.3f thousand" : "%.3f KB" },
    };

    bool negative = false;
    UInt64 whole;
    if (value.IsSigned()) {
        const SInt64 number = value.GetSignedValue(endian);
        negative = number < 0;
        // Negating in unsigned arithmetic keeps the most negative number's
        // magnitude, 2^63, exact.
        whole = negative ? UInt64(0) - UInt64(number) : UInt64(number);
    } else {
        whole = value.GetValue(endian);
    }
    const double f = static_cast<double>(whole);
    const double sign = negative ? -1.0 : 1.0;

    for (const Unit& unit : units) {
        const double magnitude = f / unit.size;
        if (magnitude > 1.0) {
            std::snprintf(out, size, unit.format, sign * magnitude);
            return;
        }
    }
    std::snprintf(out, size, "%.0f", sign * f);
}

void FormatMagnitude(
    const WideConverter& value, Endian endian, bool metric, char* out, std::size_t size)
{
    if (size == 0)
        return;
    if (value.BitWidth() <= 64) {
        FormatMagnitude(value.ToBaseConverter(), endian, metric, out, size);
        return;
    }
    bool negative = false;
    UInt128 whole;
    if (value.IsSigned()) {
        const SInt128 number = value.GetSignedValue(endian);
        negative = number < 0;
        whole = negative ? UInt128(0) - UInt128(number) : UInt128(number);
    } else {
        whole = value.GetValue(endian);
    }
    if (HighHalf(whole) == 0) {
        // The 64-bit row's words for the same magnitude, its sign in front.
        BaseConverter magnitude {};
        magnitude.SetBitWidth(64);
        magnitude.SetUnsignedDec(LowHalf(whole), eBigEndian);
        char text[kWideMagnitudeSize];
        FormatMagnitude(magnitude, eBigEndian, metric, text, sizeof text);
        std::snprintf(out, size, "%s%s", negative ? "-" : "", text);
        return;
    }
    // Past 2^64: the largest unit, peta (2^50) or quadrillion (10^15).
    const UInt128 unit = metric ? UInt128(1000000000000000) : UInt128(1) << 50;
    UInt128 units = whole / unit;
    const UInt128 rest = whole - units * unit;
    // Thousandths of the unit, rounded to nearest, ties to even.
    const UInt128 scaled = rest * 1000;
    UInt128 thousandths = scaled / unit;
    const UInt128 left = scaled - thousandths * unit;
    if (left * 2 > unit || (left * 2 == unit && (thousandths & 1) != 0))
        ++thousandths;
    if (thousandths == 1000) {
        ++units;
        thousandths = 0;
    }
    char digits[kWideMagnitudeSize];
    *PutUnsigned128(digits, units) = '\0';
    std::snprintf(out, size, "%s%s.%03u %s", negative ? "-" : "", digits, unsigned(thousandths),
        metric ? "quadrillion" : "PB");
}
