// WideConverter: one integer of up to 128 bits, with BaseConverter's
// operations under BaseConverter's names, so that one type holds a row at
// every width, 8, 16, 32, 64 and 128 bits.
//
// At 8 to 64 bits it is the 64-bit record, bit for bit and text for text:
// every operation gives BaseConverter's answer, and every text is the one
// BaseConverter writes. One thing more: a reading whose number needs more
// than 64 bits keeps it whole (a decimal up to 2^128 - 1, or from -2^127,
// up to 128 bits of binary, octal, hexadecimal or base 36, up to sixteen
// bytes of text), so GetActualWidth() says 128 and the caller widens to show
// it, where BaseConverter keeps its low 64 bits or its range's edge.
//
// To be the 64-bit record at those widths, the stored bits above bit 63
// follow bit 63 as BaseConverter's reading of it does: copies of it when the
// record is signed, zeros when not; every operation at those widths ends
// that way, except for a number read that needs more than 64 bits.
//
// At 128 bits the rules are BaseConverter's with 128 in place of 64: binary,
// octal, hexadecimal and base 36 group the same way; decimal has up to 39
// digits; the text shows sixteen characters; the version shows the low 32
// bits. The address is IPv6 (RFC 5952's form, any of RFC 4291's read), and a
// UUID (RFC 9562) is shown, which narrower widths show as the empty text.
#ifndef BITLENS_WIDECONVERTER_H
#define BITLENS_WIDECONVERTER_H

#include "BaseConverter.h"
#include "WideInteger.h"

class WideConverter {
public:
    // Smallest buffers the formatters write into (terminator included), at
    // 128 bits; narrower widths write what BaseConverter writes.
    static constexpr int kBinSize = 160; // 32 groups of four and 31 spaces
    static constexpr int kOctSize = 55; // 11 groups
    static constexpr int kHexSize = 40; // 8 groups
    static constexpr int kQuixSize = 39; // 13 groups of two
    static constexpr int kDecSize = 41; // a sign and 39 digits
    static constexpr int kTextSize = 17;
    static constexpr int kIPAddressSize = 46;
    static constexpr int kNumVersionSize = BaseConverter::kNumVersionSize;
    static constexpr int kUuidSize = 37;
    static constexpr int kMaxParseLength = BaseConverter::kMaxParseLength;
    static constexpr UInt16 kMaxWidth = 128;

    // --- Value model -----------------------------------------------------
    void SetUnsignedDec(UInt128 inNum, Endian endian);
    void SetSignedDec(SInt128 inNum, Endian endian);
    UInt128 GetValue(Endian endian) const;
    SInt128 GetSignedValue(Endian endian) const;

    Boolean IsSigned() const { return fSigned; }
    void SetSigned(Boolean signedd);
    Boolean IsOverflow() const { return fOverflow; }
    void SetOverflow(Boolean overflow) { fOverflow = overflow; }
    UInt16 BitWidth() const { return fBitWidth; }
    void SetBitWidth(UInt16 width);
    // 8, 16, 32, 64 or 128.
    UInt16 GetActualWidth() const;
    // At 128 bits all 128 stored bits move; narrower, the 64 BaseConverter
    // holds, as it moves them.
    void Shift(ShiftDir shiftDir);

    // --- Radix notations -------------------------------------------------
    // Modulo 2^128; ReadNotation tells when a text spelt more.
    void NewBin(char* newNum);
    void NewOct(char* newNum);
    void NewHex(char* newNum);
    void NewQuix(char* newNum);
    void GetBin(char* outNum) const;
    void GetOct(char* outNum) const;
    void GetHex(char* outNum) const;
    void GetQuix(char* outNum) const;
    void GetDec(char* outNum, Endian endian) const;

    // --- Text, addresses, version, UUID ---------------------------------
    void GetText(char* outNum) const;
    // 1 to 16 bytes become the number's low bytes; anything else gives 0.
    void NewText(char* newNum);
    // At 128 bits the IPv6 address; narrower, the IPv4 address of the low
    // 32 bits.
    void GetIPAddress(char* outNum) const;
    // A text with a colon is an IPv6 address (ReadIPv6); any other is an
    // IPv4 one, as BaseConverter reads it, which at 128 bits stands for its
    // IPv4-mapped address, ::ffff:a.b.c.d (and the empty text for ::).
    // Neither changes the width: ReadNotation widens to 128 for a colon.
    void NewIPAddress(char* inNum);
    void GetNumVersion(char* outNum) const;
    void NewNumVersion(char* inNum);
    // RFC 9562's text, "123e4567-e89b-12d3-a456-426614174000", at 128 bits;
    // the empty text below.
    void GetUuid(char* outNum) const;
    // Hexadecimal digits fill the number from the most significant, as the
    // text lays them out; see ReadUuid. Does not change the width.
    void NewUuid(char* inNum);

    // --- The 64-bit record -----------------------------------------------
    // The same record at 64 bits: its width (at most 64), sign, overflow
    // flag and low 64 stored bits. At 64 bits and below it is the record this
    // one is, and answers as it does.
    BaseConverter ToBaseConverter() const;
    // `number` as this record holds it: the same width, sign, overflow flag
    // and stored bits, those above bit 63 following it as described above.
    static WideConverter FromBaseConverter(const BaseConverter& number);

protected:
    static UInt128 SwapWithWidth(UInt128 inNum, UInt16 width);
    static Boolean IsNegative(UInt128 number, UInt16 width);
    static UInt128 ExtendHighBit(UInt128 number, UInt16 width);

    // At widths to 64, bits 64 and up as BaseConverter reads bit 63, unless
    // the number needs more than 64 bits.
    void FollowBit63();
    void GenericNewValue(UInt16 base, char* inString);

    UInt128 fDecValue;
    Boolean fSigned;
    Boolean fOverflow;
    UInt16 fBitWidth;
};

#endif
