// BaseConverter: one integer of up to 64 bits, how it is read (width, sign,
// byte order) and every text notation it is shown in.
//
// The record is a plain value: no constructor, no virtuals, copied by value.
// A zero-initialised record has width 0; the owner sets width 32 before use.
//
// Rules that hold throughout:
// - The number is the low fBitWidth bits of fDecValue. Bits above the width
//   stay stored (parsers keep every bit they read, negative decimals keep
//   their sign extension) so that a caller can ask GetActualWidth() how wide
//   the number really is and widen to show it whole.
// - Nothing fails and nothing is reported: arithmetic wraps modulo 2^64,
//   characters a notation does not know are skipped or read as 0, and no
//   operation here sets fOverflow (ReadNotation, in Notation.h, does).
// - Text goes through caller-owned, zero-terminated 8-bit buffers. Parsers
//   edit their buffer in place (spaces removed, letters lowered), so pass a
//   copy. Formatters need the room given by the k...Size constants below.
// - Nothing here allocates or includes anything of the window toolkit.
#ifndef BITLENS_BASECONVERTER_H
#define BITLENS_BASECONVERTER_H

#include <cstdint>

typedef std::uint64_t UInt64;
typedef std::int64_t SInt64;
typedef std::uint32_t UInt32;
typedef std::uint16_t UInt16;
typedef std::int16_t SInt16;
typedef std::uint8_t UInt8;
typedef std::uint8_t Boolean; // 0 is false, anything else true

// eBigEndian reads the stored bits as they stand; eLittleEndian reads them
// with the bytes within the width reversed.
enum Endian { eLittleEndian = 0, eBigEndian = 1 };

enum ShiftDir { eShiftRightDir = 0, eShiftLeftDir = 1 };

// The bits of a number `width` bits wide: the low `width` bits set.
constexpr UInt64 WidthMask(unsigned width)
{
    return width >= 64 ? ~UInt64(0) : (UInt64(1) << width) - 1;
}

// A packed four-byte version: 1.2.3b4 is major 1, minor 2, bug fix 3,
// stage b (beta), non-release revision 4. Fields run from the least
// significant byte of `whole` up, so `whole` reads 0xMMmbSSnn.
struct NumVersion {
    UInt8 nonRelRev;
    UInt8 stage; // 0x20 development, 0x40 alpha, 0x60 beta, 0x80 final
    UInt8 minorAndBugRev; // minor in the high nibble, bug fix in the low
    UInt8 majorRev;
};

// The same four bytes as one number; `parts` lies in `whole` as described
// above only on a little-endian host. The engine never reads through this
// union: it packs and unpacks the 32-bit number with shifts, so its results
// do not depend on the host's byte order.
union NumVersionVariant {
    NumVersion parts;
    UInt32 whole;
};

class BaseConverter {
public:
    // Smallest buffers the formatters write into (terminator included).
    static constexpr int kBinSize = 80;
    static constexpr int kOctSize = 40;
    static constexpr int kHexSize = 20;
    static constexpr int kQuixSize = 24;
    static constexpr int kDecSize = 21;
    static constexpr int kTextSize = 9;
    static constexpr int kIPAddressSize = 16;
    static constexpr int kNumVersionSize = 127;
    // The longest text the parsers are asked to read (the fields hold 127).
    static constexpr int kMaxParseLength = 32767;

    // --- Value model -----------------------------------------------------
    // Store a number given in `endian` order. Big-endian stores all 64 bits
    // of the argument, unmasked (a negative one keeps its upper bits set);
    // little-endian stores it byte-reversed within the width.
    void SetUnsignedDec(UInt64 inNum, Endian endian);
    void SetSignedDec(SInt64 inNum, Endian endian);

    // The width's bits, unsigned, read in `endian` order.
    UInt64 GetValue(Endian endian) const;
    // The width's bits as two's complement, whatever fSigned says.
    SInt64 GetSignedValue(Endian endian) const;

    Boolean IsSigned() const { return fSigned; }
    // Switching to unsigned drops every bit above the width.
    void SetSigned(Boolean signedd);

    Boolean IsOverflow() const { return fOverflow; }
    void SetOverflow(Boolean overflow) { fOverflow = overflow; }

    UInt16 BitWidth() const { return fBitWidth; }
    // Cuts the stored bits to the new width; widening a signed negative
    // number extends its sign unless bits between the widths are already
    // set (the number was stored wider than the old width and is kept).
    void SetBitWidth(UInt16 width);

    // 8, 16, 32 or 64: the narrowest width that holds all 64 stored bits.
    // A signed number with bit 63 set needs the narrowest width whose sign
    // bit and everything above it are set, so it reads back unchanged.
    UInt16 GetActualWidth() const;

    // Moves all 64 stored bits one place, not only those within the width.
    void Shift(ShiftDir shiftDir);

    // --- Radix notations -------------------------------------------------
    // Readers skip characters that are not digits of the base and store the
    // whole number read, modulo 2^64, without cutting it to the width.
    void NewBin(char* newNum);
    void NewOct(char* newNum);
    void NewHex(char* newNum);
    void NewQuix(char* newNum); // base 36, digits 0-9 a-z

    // Writers show the width's bits in groups (four digits, two for base
    // 36) counted from the right, all-zero groups on the left removed.
    void GetBin(char* outNum) const;
    void GetOct(char* outNum) const;
    void GetHex(char* outNum) const;
    void GetQuix(char* outNum) const;
    // Plain decimal in `endian` order, with a minus sign when signed.
    void GetDec(char* outNum, Endian endian) const;

    // --- Text and IP address ---------------------------------------------
    // One character per byte of the width, most significant first; bytes
    // that are not printable ASCII show as the placeholder 0xA5.
    void GetText(char* outNum) const;
    // 1 to 8 bytes become the number's low bytes; anything else gives 0.
    void NewText(char* newNum);
    // The low 32 bits as four dotted decimal groups.
    void GetIPAddress(char* outNum) const;
    // Groups fill from the most significant byte of the low 32 bits; a group
    // above 255 is 0. Clears the upper 32 bits.
    void NewIPAddress(char* inNum);

    // --- Version ---------------------------------------------------------
    // The low 32 bits as a version text such as 1.2.3b4 or 1.2.3fc3.
    void GetNumVersion(char* outNum) const;
    // Reads a version text; fields keep only their low bits. Clears the
    // upper 32 bits.
    void NewNumVersion(char* inNum);

protected:
    static UInt64 SwapWithWidth(UInt64 inNum, UInt16 width);
    static Boolean IsNegative(UInt64 number, UInt16 width);
    static UInt64 ExtendHighBit(UInt64 number, UInt16 width);

    void GenericNewValue(UInt16 base, char* inString);
    // Writes the width's bits in `base` (2, 8, 16 or 36) as the writers
    // above show them, grouped, with the terminator.
    void GenericSetValue(UInt16 base, char* dest) const;
    static void KillSpaces(char* inString);
    void SwitchCase(char* inString) const;

    UInt64 fDecValue;
    Boolean fSigned;
    Boolean fOverflow;
    UInt16 fBitWidth;
};

#endif
