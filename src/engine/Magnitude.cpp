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
