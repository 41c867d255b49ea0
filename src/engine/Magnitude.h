// A row's number as a size a person reads at a glance: 1024-based units
// (KB up to PB) or 1000-based unit words (thousand up to quadrillion).
#ifndef BITLENS_MAGNITUDE_H
#define BITLENS_MAGNITUDE_H

#include "BaseConverter.h"
#include "WideConverter.h"

#include <cstddef>

// Room for the longest magnitude text, "-9223.372 quadrillion", and more.
constexpr std::size_t kMagnitudeSize = 32;

// Reads `value` as its decimal field does (in `endian`, signed when the row
// is) and writes the magnitude into `out`, cut to fit `size` bytes. A unit is
// used only when the number is strictly greater than it, so 1024 stays 1024.
void FormatMagnitude(
    const BaseConverter& value, Endian endian, bool metric, char* out, std::size_t size);

// Room for the longest magnitude text of 128 bits,
// "-170141183460469231731687.304 quadrillion", and more.
constexpr std::size_t kWideMagnitudeSize = 48;

// The same for a row of up to 128 bits: FormatMagnitude's text for every
// number 64 bits hold. A larger one, past the largest unit, is written in
// that unit exactly, with as many digits as it takes and three decimals
// rounded to nearest even: 2^100 is "1125899906842624.000 PB" and
// "1267650600228229.401 quadrillion".
void FormatMagnitude(
    const WideConverter& value, Endian endian, bool metric, char* out, std::size_t size);

#endif
