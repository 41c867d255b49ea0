#include "WideInteger.h"

#include "Characters.h"

#include <cstring>

// Two digits at a time, the 100 pairs from "00" to "99".
static const char kDigitPairs[] = "00010203040506070809101112131415161718192021222324"
                                  "25262728293031323334353637383940414243444546474849"
                                  "50515253545556575859606162636465666768697071727374"
                                  "75767778798081828384858687888990919293949596979899";

void PutPaddedDecimal(char* out, UInt64 number, int count)
{
    int i = count;
    for (; i >= 2; i -= 2) {
        std::memcpy(out + i - 2, kDigitPairs + 2 * (number % 100), 2);
        number /= 100;
    }
    if (i == 1)
        out[0] = char('0' + number % 10);
}

char* PutUnsigned128(char* out, UInt128 number)
{
    if (HighHalf(number) == 0)
        return PutUnsigned(out, LowHalf(number));
    // The digits above the low nineteen, then those nineteen in full.
    const UInt128 high = number / kTenToThe19;
    out = PutUnsigned128(out, high);
    PutPaddedDecimal(out, UInt64(number - high * kTenToThe19), 19);
    return out + 19;
}
