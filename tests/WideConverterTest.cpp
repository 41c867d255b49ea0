#include "RandomText.h"
#include "WideReference.h"
#include "engine/WideFloat.h"
#include "engine/WideNotation.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <tuple>
#include <vector>

namespace {

constexpr UInt128 kAll = kUInt128Max;
constexpr UInt128 k2To64 = MakeUInt128(1, 0);

WideConverter Row(UInt16 width, UInt128 bits, bool isSigned = false)
{
    WideConverter number {};
    number.SetBitWidth(width);
    number.SetSigned(isSigned);
    number.SetUnsignedDec(bits, eBigEndian);
    return number;
}

template <class Number>
std::string Show(const Number& number, Notation notation, Endian endian = eBigEndian)
{
    char out[kWideFieldBufferSize];
    WriteNotation(number, notation, endian, out);
    return out;
}

std::string Hex(UInt128 bits)
{
    char out[WideConverter::kHexSize];
    Row(128, bits).GetHex(out);
    return out;
}

} // namespace

// At 8 to 64 bits the wide record is the 64-bit one: the same texts typed
// into both, the same controls used, give the same texts in every notation,
// the same width needed, the same sign. A text that spells more than 64 bits
// is kept whole instead, and needs 128 bits.
TEST(WideConverter, IsTheSixtyFourBitRecordUpToSixtyFourBits)
{
    static const char kActive[] = "0123456789abcdefxzABF.-+ :";
    std::mt19937 rng(20270127);
    const UInt16 widths[] = { 8, 16, 32, 64 };
    for (int round = 0; round < 20000; ++round) {
        const UInt16 width = widths[rng() % 4];
        const bool isSigned = rng() % 2;
        const Endian endian = Endian(rng() % 2);
        const UInt64 start = UInt64(rng()) << 32 | rng();
        BaseConverter narrow {};
        narrow.SetBitWidth(width);
        narrow.SetSigned(isSigned);
        narrow.SetUnsignedDec(start, eBigEndian);
        WideConverter wide = WideConverter::FromBaseConverter(narrow);
        // A field's own text, or one with something typed into it.
        const auto typed = Notation(rng() % eNotationCount);
        BaseConverter shown = narrow;
        shown.SetUnsignedDec(UInt64(rng()) * rng() >> (rng() % 64), eBigEndian);
        std::string text = Show(shown, typed, endian);
        if (rng() % 2)
            text.insert(rng() % (text.size() + 1), 1 + rng() % 3, kActive[rng() % 26]);
        std::string copy = text;
        ReadNotation(narrow, typed, text.data(), endian);
        ReadNotation(wide, typed, copy.data(), endian);
        SCOPED_TRACE("notation " + std::to_string(typed) + " \"" + copy + "\"");
        // A UUID widens to 128 bits, which the 64-bit record does not hold.
        if (narrow.IsOverflow() || typed == eNotationUuid
            || (typed == eNotationIPAddress && text.find(':') != std::string::npos)) {
            EXPECT_TRUE(
                wide.IsOverflow() || wide.GetActualWidth() == 128 || wide.BitWidth() == 128);
            continue;
        }
        // Then the controls: a width, a shift, the sign, a negative number.
        for (int step = 0; step < 4; ++step) {
            ASSERT_EQ(wide.BitWidth(), narrow.BitWidth());
            ASSERT_EQ(wide.IsSigned(), narrow.IsSigned());
            ASSERT_EQ(wide.GetActualWidth(), narrow.GetActualWidth()) << "step " << step;
            for (int notation = 0; notation < eNotationCount; ++notation)
                for (Endian order : { eBigEndian, eLittleEndian })
                    ASSERT_EQ(Show(wide, Notation(notation), order),
                        Show(narrow, Notation(notation), order))
                        << "step " << step;
            switch (step) {
            case 0: {
                const UInt16 to = std::max(narrow.GetActualWidth(), widths[rng() % 4]);
                narrow.SetBitWidth(to);
                wide.SetBitWidth(to);
                break;
            }
            case 1: {
                const auto direction = ShiftDir(rng() % 2);
                narrow.Shift(direction);
                wide.Shift(direction);
                break;
            }
            case 2:
                narrow.SetSigned(!narrow.IsSigned());
                wide.SetSigned(!wide.IsSigned());
                break;
            default: {
                const auto negative = -SInt64(rng() % 100000);
                narrow.SetSignedDec(negative, endian);
                wide.SetSignedDec(negative, endian);
                break;
            }
            }
        }
    }
}

TEST(WideConverter, ATextThatNeedsMoreThanSixtyFourBitsIsKeptWhole)
{
    const std::string ones(65, '1');
    // Columns: width, signed, notation, text, width needed, too big, hexadecimal at it.
    using Case = std::tuple<UInt16, bool, Notation, std::string, UInt16, bool, const char*>;
    const Case cases[] = {
        { 8, false, eNotationHexadecimal, "1ffffffffffffffff", 128, false,
            "0001 ffff ffff ffff ffff" },
        { 64, false, eNotationBinary, ones, 128, false, "0001 ffff ffff ffff ffff" },
        { 8, false, eNotationQuixadecimal, "3w5e11264sgsg", 128, false,
            "0001 0000 0000 0000 0000" },
        { 32, false, eNotationDecimal, "18446744073709551616", 128, false,
            "0001 0000 0000 0000 0000" },
        { 64, false, eNotationDecimal, "18'446'744'073'709'551'616", 128, false,
            "0001 0000 0000 0000 0000" },
        { 128, false, eNotationDecimal, "1_000_000", 32, false, "000f 4240" },
        { 64, false, eNotationDecimal, "-9223372036854775809", 128, false,
            "ffff ffff ffff ffff 7fff ffff ffff ffff" },
        { 16, false, eNotationText, "ABCDEFGHIJ", 128, false, "4142 4344 4546 4748 494a" },
        { 32, false, eNotationIPAddress, "2001:db8::1", 128, false,
            "2001 0db8 0000 0000 0000 0000 0000 0001" },
        // As at 64 bits: sixteen f's in a signed row are -1.
        { 8, true, eNotationHexadecimal, "ffffffffffffffff", 8, false, "ff" },
        { 128, false, eNotationHexadecimal, "ffffffffffffffff", 64, false, "ffff ffff ffff ffff" },
        { 128, false, eNotationDecimal, "340282366920938463463374607431768211455", 128, false,
            "ffff ffff ffff ffff ffff ffff ffff ffff" },
        { 128, false, eNotationDecimal, "340282366920938463463374607431768211456", 128, true,
            "ffff ffff ffff ffff ffff ffff ffff ffff" },
        { 128, false, eNotationDecimal, "-170141183460469231731687303715884105729", 128, true,
            "8000 0000 0000 0000 0000 0000 0000 0000" },
        { 128, false, eNotationHexadecimal, "1" + std::string(32, '0') + "5", 8, true, "0005" },
        { 128, false, eNotationText, "ABCDEFGHIJKLMNOPQ", 8, true, "0000" },
        { 128, false, eNotationIPAddress, "10.0.0.1", 64, false, "ffff 0a00 0001" },
    };
    for (auto [width, isSigned, notation, text, needed, tooBig, hex] : cases) {
        SCOPED_TRACE(text);
        WideConverter number = Row(width, 0, isSigned);
        ReadNotation(number, notation, text.data(), eBigEndian);
        EXPECT_EQ(number.GetActualWidth(), needed);
        EXPECT_EQ(bool(number.IsOverflow()), tooBig);
        number.SetBitWidth(std::max(number.BitWidth(), needed));
        EXPECT_EQ(Show(number, eNotationHexadecimal), hex);
    }
}

TEST(WideConverter, TheValueModelAtTheWidthsBorders)
{
    // Columns: signed, stored bits, width needed.
    using Case = std::tuple<bool, UInt128, UInt16>;
    const Case widths[] = { { false, ~UInt64(0), 64 }, { false, k2To64, 128 }, { false, kAll, 128 },
        { true, kAll, 8 }, { true, UInt128(SInt128(INT64_MIN)), 64 },
        { true, UInt128(SInt128(INT64_MIN) - 1), 128 }, { true, UInt128(1) << 127, 128 } };
    for (auto [isSigned, bits, needed] : widths)
        EXPECT_EQ(Row(128, bits, isSigned).GetActualWidth(), needed) << Hex(bits);

    // A negative number keeps its value from 64 bits to 128 and back.
    WideConverter number = Row(64, 0, true);
    number.SetSignedDec(-5, eBigEndian);
    number.SetBitWidth(128);
    EXPECT_EQ(number.GetSignedValue(eBigEndian), -5);
    EXPECT_EQ(Show(number, eNotationDecimal), "-5");
    number.SetBitWidth(64);
    EXPECT_EQ(Show(number, eNotationHexadecimal), "ffff ffff ffff fffb");
    // The bytes of all sixteen reverse in the little-endian decimal.
    const WideConverter one = Row(128, 1);
    EXPECT_EQ(Show(one, eNotationDecimal, eLittleEndian), "1329227995784915872903807060280344576");
    WideConverter shifted = Row(128, UInt128(1) << 127);
    shifted.Shift(eShiftLeftDir);
    EXPECT_EQ(shifted.GetValue(eBigEndian), 0u);
    shifted = Row(128, k2To64);
    shifted.Shift(eShiftRightDir);
    EXPECT_EQ(shifted.GetValue(eBigEndian), UInt128(1) << 63);
}

TEST(WideConverter, RadixAndTextAt128BitsAsAt64)
{
    // Columns: bits, octal, base 36, decimal, signed decimal.
    using Case = std::tuple<UInt128, const char*, const char*, const char*, const char*>;
    const Case cases[] = { { ~UInt64(0), "0017 7777 7777 7777 7777 7777", "03 w5 e1 12 64 sg sf",
                               "18446744073709551615", "18446744073709551615" },
        { k2To64, "0020 0000 0000 0000 0000 0000", "03 w5 e1 12 64 sg sg", "18446744073709551616",
            "18446744073709551616" },
        { kAll, "0377 7777 7777 7777 7777 7777 7777 7777 7777 7777 7777",
            "0f 5l xx 1z z5 pn or yn qg lh zm sp 33", "340282366920938463463374607431768211455",
            "-1" },
        { UInt128(1) << 127, "0200 0000 0000 0000 0000 0000 0000 0000 0000 0000 0000",
            "07 ks yy iz zk ut ud zb v8 aq zt ec jk", "170141183460469231731687303715884105728",
            "-170141183460469231731687303715884105728" } };
    for (auto [bits, oct, quix, dec, signedDec] : cases) {
        SCOPED_TRACE(Hex(bits));
        EXPECT_EQ(Show(Row(128, bits), eNotationOctal), oct);
        EXPECT_EQ(Show(Row(128, bits), eNotationQuixadecimal), quix);
        EXPECT_EQ(Show(Row(128, bits), eNotationDecimal), dec);
        EXPECT_EQ(Show(Row(128, bits, true), eNotationDecimal), signedDec);
    }
    const std::string dot = "\xA5";
    EXPECT_EQ(Show(Row(128, 0x4142434445464748), eNotationText),
        dot + dot + dot + dot + dot + dot + dot + dot + "ABCDEFGH");
    EXPECT_EQ(
        Show(Row(128, MakeUInt128(0x0102030405060708, 0x090A0B0C0D0E0F10)), eNotationNumVersion),
        "13.0.14");
    // Literals at 128 bits: columns: bits, signed, notation, literal.
    using Literal = std::tuple<UInt128, bool, Notation, std::string>;
    const Literal literals[]
        = { { 5, false, eNotationHexadecimal, "0x" + std::string(31, '0') + "5" },
              { kAll, false, eNotationOctal, "03" + std::string(42, '7') },
              { 0, false, eNotationOctal, "0" },
              { ~UInt64(0), false, eNotationDecimal, "18446744073709551615ULL" },
              { UInt128(SInt128(INT64_MIN)), true, eNotationFloat, "(-9223372036854775807LL - 1)" },
              { k2To64, false, eNotationText, "18446744073709551616" },
              { kAll, true, eNotationDecimal, "-1" } };
    for (auto [bits, isSigned, notation, text] : literals) {
        char literal[kWideFieldBufferSize];
        WriteLiteral(Row(128, bits, isSigned), notation, eBigEndian, literal);
        EXPECT_EQ(literal, text) << Hex(bits);
    }
}

// Random numbers of every length against long division: every radix and the
// decimal reading, written and read back, signed and not.
TEST(WideConverter, RandomNumbersThroughEveryRadixAndBack)
{
    std::mt19937_64 rng(20270128);
    const std::tuple<Notation, unsigned, unsigned> radices[]
        = { { eNotationBinary, 2, 4 }, { eNotationOctal, 8, 4 }, { eNotationHexadecimal, 16, 4 },
              { eNotationQuixadecimal, 36, 2 } };
    for (int round = 0; round < 20000; ++round) {
        const UInt128 bits = MakeUInt128(rng(), rng()) >> (round % 128);
        const WideConverter number = Row(128, bits, round % 2);
        for (auto [notation, base, group] : radices) {
            std::string text = Show(number, notation);
            ASSERT_EQ(text, Grouped(bits, base, group));
            WideConverter back = Row(128, ~bits);
            ReadNotation(back, notation, text.data(), eBigEndian);
            ASSERT_EQ(back.GetValue(eBigEndian), bits);
        }
        const bool negative = number.IsSigned() && (bits >> 127) != 0;
        std::string decimal = Show(number, eNotationDecimal);
        ASSERT_EQ(decimal, Decimal(negative ? 0 - bits : bits, negative));
        WideConverter back = Row(128, ~bits);
        ReadNotation(back, eNotationDecimal, decimal.data(), eBigEndian);
        ASSERT_EQ(back.GetValue(eBigEndian), bits);
        ASSERT_EQ(back.IsSigned(), negative);
    }
}

TEST(IPv6, WritesRfc5952sCanonicalText)
{
    const std::pair<const char*, const char*> cases[] = { { "2001:db8::1", "2001:db8::1" },
        { "::", "::" }, { "::1", "::1" }, { "::ffff:192.0.2.128", "::ffff:192.0.2.128" },
        { "2001:db8:0:0:1:0:0:1", "2001:db8::1:0:0:1" },
        { "2001:0DB8:0000:0000:0000:0000:0000:0001", "2001:db8::1" },
        { "2001:db8:0:1:1:1:1:1", "2001:db8:0:1:1:1:1:1" }, { "1:0:0:2:0:0:0:3", "1:0:0:2::3" },
        { "1::", "1::" }, { "fe80::1:2", "fe80::1:2" }, { "::ffff:0.0.0.0", "::ffff:0.0.0.0" },
        { "0:0:0:0:0:fffe:1.2.3.4", "::fffe:102:304" } };
    for (auto [typed, canonical] : cases) {
        SCOPED_TRACE(typed);
        char out[WideConverter::kIPAddressSize];
        WriteIPv6(ReadIPv6(typed), out);
        EXPECT_STREQ(out, canonical);
    }
}

TEST(IPv6, ReadsEveryFormAndNotesWhatItLeavesOut)
{
    // Columns: text, address, the note's words.
    using Case = std::tuple<const char*, UInt128, const char*>;
    const Case cases[] = { { "2001:db8::1", MakeUInt128(0x20010db800000000, 1), "" },
        { " [2001:db8::1] ", MakeUInt128(0x20010db800000000, 1), "" },
        { "fe80::1%eth0", MakeUInt128(0xfe80000000000000, 1), "%eth0 is a zone: left out" },
        { "2001:db8::/32", MakeUInt128(0x20010db800000000, 0), "/32 is a prefix length: left out" },
        { "::ffff:10.0.0.1", 0xffff0a000001, "" },
        { "2001:db8", MakeUInt128(0x20010db800000000, 0), "" },
        { "12345::1", 1, "12345 is more than four digits: the group reads as 0" },
        { "1::2::3", MakeUInt128(0x0001000000000000, 2), "read up to 1::2" },
        { "1:2:3:4:5:6:7:8:9", MakeUInt128(0x0001000200030004, 0x0005000600070008),
            "read up to 1:2:3:4:5:6:7:8" },
        { "::ffff:300.1.2.3", 0xffff00010203, "300 is more than a byte: the group reads as 0" },
        { "1.2.3.4:5", MakeUInt128(0x0102030400000000, 0), "read up to 1.2.3.4" },
        { "[::1]:8080", 1, "read up to [::1]" },
        { "12g4::", MakeUInt128(0x0124000000000000, 0), "ignored: g" },
        { ":1", MakeUInt128(0x0000000100000000, 0), "" } };
    for (auto [text, address, note] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(Hex(ReadIPv6(text)), Hex(address));
        EXPECT_EQ(Words(NoteWideReading(eNotationIPAddress, text), text), note);
    }
}

TEST(Uuid, WritesAndReadsRfc9562TextAndNamesItsVersion)
{
    // RFC 9562's examples, as they appear there, and in the forms it is pasted in.
    using Case = std::tuple<const char*, const char*, const char*>;
    const Case cases[] = { { "C232AB00-9414-11EC-B3C8-9F6BDECED846",
                               "c232ab00-9414-11ec-b3c8-9f6bdeced846",
                               "version 1, Gregorian time-based" },
        { "5df41881-3aed-3515-88a7-2f4a814cf09e", "5df41881-3aed-3515-88a7-2f4a814cf09e",
            "version 3, name-based with MD5" },
        { "919108f752d143209bacf847db4148a8", "919108f7-52d1-4320-9bac-f847db4148a8",
            "version 4, random" },
        { "{2ed6657d-e927-568b-95e1-2665a8aea6a2}", "2ed6657d-e927-568b-95e1-2665a8aea6a2",
            "version 5, name-based with SHA-1" },
        { "urn:uuid:1EC9414C-232A-6B00-B3C8-9F6BDECED846", "1ec9414c-232a-6b00-b3c8-9f6bdeced846",
            "version 6, reordered Gregorian time-based" },
        { "017F22E2-79B0-7CC3-98C4-DC0C0C07398F", "017f22e2-79b0-7cc3-98c4-dc0c0c07398f",
            "version 7, Unix Epoch time-based" },
        { "2489E9AD-2EE2-8E00-8EC9-32D5F69181C0", "2489e9ad-2ee2-8e00-8ec9-32d5f69181c0",
            "version 8, custom" },
        { "00000000-0000-0000-0000-000000000000", "00000000-0000-0000-0000-000000000000",
            "the nil UUID" },
        { "FFFFFFFF-FFFF-FFFF-FFFF-FFFFFFFFFFFF", "ffffffff-ffff-ffff-ffff-ffffffffffff",
            "the max UUID" },
        { "123e4567-e89b-f2d3-a456-426614174000", "123e4567-e89b-f2d3-a456-426614174000",
            "version 15, reserved" },
        { "123e4567-e89b-12d3-7456-426614174000", "123e4567-e89b-12d3-7456-426614174000",
            "variant 0, kept for backward compatibility with NCS" },
        { "123e4567-e89b-12d3-c456-426614174000", "123e4567-e89b-12d3-c456-426614174000",
            "variant 110, reserved for backward compatibility" },
        { "123e4567-e89b-12d3-e456-426614174000", "123e4567-e89b-12d3-e456-426614174000",
            "variant 111, reserved" },
        // Typed so far: the digits fill from the most significant.
        { "123e4567-e8", "123e4567-e800-0000-0000-000000000000",
            "variant 0, kept for backward compatibility with NCS" } };
    for (auto [typed, text, description] : cases) {
        SCOPED_TRACE(typed);
        WideConverter number = Row(32, 7);
        ReadUuidNotation(number, typed);
        char out[WideConverter::kUuidSize];
        WriteUuidNotation(number, out);
        EXPECT_EQ(number.BitWidth(), 128);
        EXPECT_STREQ(out, text);
        char words[kMessageSize];
        WriteUuidDescription(number.GetValue(eBigEndian), words, sizeof words);
        EXPECT_STREQ(words, description);
    }
    const char* const extra = "919108f7-52d1-4320-9bac-f847db4148a8ff";
    EXPECT_EQ(
        Words(NoteUuidReading(extra), extra), "read up to 919108f7-52d1-4320-9bac-f847db4148a8");
    EXPECT_EQ(Words(NoteUuidReading("9191-xyz"), "9191-xyz"), "ignored: xyz");
    char narrow[WideConverter::kUuidSize];
    WriteUuidNotation(Row(64, 7), narrow);
    EXPECT_STREQ(narrow, "");
}

// Random texts of bytes 1..255 in exactly sized heap buffers at 128 bits:
// nothing is read past the terminator, nothing written past a formatter's
// size, and what every formatter writes reads back to the same text.
TEST(WideConverter, BadInputStaysInsideExactlySizedBuffers)
{
    const int sizes[eNotationCount] = { WideConverter::kBinSize, WideConverter::kDecSize,
        WideConverter::kHexSize, WideConverter::kOctSize, WideConverter::kQuixSize,
        WideConverter::kTextSize, WideConverter::kIPAddressSize, WideConverter::kNumVersionSize,
        kWideFloatSize, WideConverter::kUuidSize };
    static const char kActive[] = "0123456789.:abcdefxzABF%/[]{}- urn";
    std::mt19937 rng(20270129);
    for (int round = 0; round < 300; ++round) {
        const std::string text = RandomText(rng, kActive);
        for (int typed = 0; typed < eNotationCount; ++typed) {
            WideConverter number = Row(128, 0, round % 2);
            auto exact = ExactCopy(text);
            ReadNotation(number, Notation(typed), exact.get(), Endian(round % 2));
            NoteWideReading(Notation(typed), ExactCopy(text).get());
            for (int shown = 0; shown < eNotationCount; ++shown) {
                auto out = std::make_unique<char[]>(std::size_t(sizes[shown]));
                WriteNotation(number, Notation(shown), Endian(round % 2), out.get());
                const std::string written = out.get();
                WideConverter back = Row(128, kAll);
                ReadNotation(back, Notation(shown), out.get(), Endian(round % 2));
                EXPECT_EQ(Show(back, Notation(shown), Endian(round % 2)), written);
            }
        }
        auto uuid = std::make_unique<char[]>(WideConverter::kUuidSize);
        WideConverter number {};
        ReadUuidNotation(number, ExactCopy(text).get());
        NoteUuidReading(ExactCopy(text).get());
        WriteUuidNotation(number, uuid.get());
        EXPECT_EQ(ReadUuid(uuid.get()), number.GetValue(eBigEndian));
    }
}
