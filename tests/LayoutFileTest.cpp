// The layout files: each importer and exporter by tables, bad files, round
// trips, and the store of saved layouts.
#include "files/LayoutFile.h"
#include "files/BitlensLayoutFile.h"
#include "files/CHeaderFile.h"
#include "files/LayoutStore.h"
#include "files/SvdFile.h"
#include "files/WavedromFile.h"

#include "SvdSample.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <iterator>
#include <ostream>
#include <string>
#include <vector>

namespace {

// A row of a case table is named by its `name`, in the test's name too.
template <class Case, class = decltype(Case::name)>
std::ostream& operator<<(std::ostream& stream, const Case& c)
{
    return stream << c.name;
}

// A field in one line, so that a table row can spell out what it expects:
// "MODE 3:1 s 'desc' 0=IDLE 5=FAST *=OTHER".
std::string Summary(const BitField& field)
{
    std::string text
        = field.name + ' ' + std::to_string(field.msb) + ':' + std::to_string(field.lsb);
    if (field.isSigned)
        text += " s";
    if (!field.description.empty())
        text += " '" + field.description + '\'';
    for (const NamedValue& named : field.values)
        text += ' ' + std::to_string(named.value) + '=' + named.name;
    if (field.otherValues)
        text += " *=" + field.otherValues->name;
    return text;
}

std::vector<std::string> Summaries(const BitFieldLayout& layout)
{
    std::vector<std::string> lines;
    for (const BitField& field : layout.fields)
        lines.push_back(Summary(field));
    return lines;
}

BitField Field(const char* name, int msb, int lsb, const char* description = "")
{
    BitField field;
    field.name = name;
    field.msb = msb;
    field.lsb = lsb;
    field.description = description;
    return field;
}

// A layout with something of everything the own format keeps.
BitFieldLayout RichLayout()
{
    BitFieldLayout layout;
    layout.name = "CTRL \xC3\xA4 \"quoted\"";
    layout.description = "Control register\nsecond line";
    layout.width = 64;
    BitField mode = Field("MODE", 31, 28, "Operating mode");
    mode.values = { { 0, "OFF", "" }, { 1, "ON", "Running" }, { 3, "AUTO", "" } };
    mode.otherValues = NamedValue { 0, "RESERVED", "Do not use" };
    BitField offset = Field("OFFSET", 15, 8);
    offset.isSigned = true;
    BitField all = Field("ALL", 63, 0);
    all.values = { { ~UInt64(0), "ONES", "" }, { UInt64(1) << 60, "BIG", "" } };
    all.floatReading = eFieldFloatIeee;
    // A byte-order mark that leads a text is kept.
    mode.values.push_back({ 2, "\xEF\xBB\xBFHALT", "" });
    BitField brain = Field("BF", 47, 32);
    brain.floatReading = eFieldFloatBfloat16;
    layout.fields = { mode, offset, Field("EN", 0, 0, "Enable"), all, brain };
    return layout;
}

// A bad file and what its error says: the line, and words of the message.
struct BadFileCase {
    const char* name;
    const char* content;
    int line;
    const char* words;
};

void ExpectError(const LayoutResult& result, const char* file, int line, const char* words)
{
    ASSERT_FALSE(result.ok()) << "imported " << ::testing::PrintToString(Summaries(result.layout));
    const LayoutFileError& error = *result.error;
    EXPECT_EQ(error.file, QString::fromUtf8(file));
    EXPECT_EQ(error.line, line) << error.text().toStdString();
    EXPECT_TRUE(error.message.contains(QString::fromUtf8(words))) << error.text().toStdString();
    EXPECT_TRUE(result.layout.fields.empty());
    EXPECT_TRUE(error.text().startsWith(
        error.file + (line > 0 ? QStringLiteral(":%1: ").arg(line) : QStringLiteral(": "))));
}

// --- The program's own file ------------------------------------------------------

TEST(BitlensLayoutFileTest, RoundTripsEverything)
{
    const BitFieldLayout layout = RichLayout();
    const QByteArray bytes = ExportBitlensLayout(layout);
    const LayoutResult back = ImportBitlensLayout(bytes, QStringLiteral("rich.json"));
    ASSERT_TRUE(back.ok()) << back.error->text().toStdString();
    EXPECT_EQ(back.layout, layout);
    EXPECT_EQ(DetectLayoutFormat(bytes), eLayoutFormatBitlens);
    EXPECT_EQ(ImportLayout(bytes, QStringLiteral("rich.json")).layout, layout);
    // Cut short, it is still told apart from a diagram, so that its own
    // reader says what is wrong.
    EXPECT_EQ(DetectLayoutFormat(bytes.left(bytes.size() / 2)), eLayoutFormatBitlens);
}

// Bitlens's own files hold 128 bits; the vendors' formats stay at 64.
TEST(BitlensLayoutFileTest, RoundTripsFieldsPastBit63)
{
    BitFieldLayout layout;
    layout.name = "WIDE";
    layout.width = 128;
    BitField high = Field("HIGH", 100, 64);
    high.values = { { 0x1FFFFFFFFF, "ALL", "" } };
    layout.fields = { Field("TOP", 127, 127), high, Field("LOW", 63, 0) };
    const LayoutResult back
        = ImportBitlensLayout(ExportBitlensLayout(layout), QStringLiteral("wide.json"));
    ASSERT_TRUE(back.ok()) << back.error->text().toStdString();
    EXPECT_EQ(back.layout, layout);
    const QByteArray header = ExportCHeader(layout);
    EXPECT_TRUE(header.contains("/* HIGH: bits 100:64 are past bit 63 */")) << header.data();
    EXPECT_FALSE(header.contains("HIGH_MASK"));
    const WavedromExport diagram = ExportWavedrom(layout);
    EXPECT_EQ(diagram.leftOut, (std::vector<std::size_t> { 0, 1 }));
    EXPECT_TRUE(ImportWavedrom(diagram.bytes, QStringLiteral("w.json")).ok());
}

TEST(BitlensLayoutFileTest, ReadsPlainNumbersAndIgnoresUnknownKeys)
{
    const LayoutResult read = ImportBitlensLayout(
        R"({"format": "bitlens-layout", "version": 1, "name": "R", "later": [1],
            "fields": [{"name": "A", "msb": 3, "lsb": 0, "colour": "red",
                        "values": [{"value": 9, "name": "NINE"}]}]})",
        QStringLiteral("r.json"));
    ASSERT_TRUE(read.ok()) << read.error->text().toStdString();
    EXPECT_EQ(Summaries(read.layout), std::vector<std::string> { "A 3:0 9=NINE" });
}

class BitlensLayoutBadFileTest : public testing::TestWithParam<BadFileCase> { };

TEST_P(BitlensLayoutBadFileTest, NamesTheLineAndTheProblem)
{
    const BadFileCase& c = GetParam();
    ExpectError(
        ImportBitlensLayout(c.content, QStringLiteral("bad.json")), "bad.json", c.line, c.words);
}

#define LAYOUT_HEAD "{\"format\": \"bitlens-layout\",\n\"version\": 1,\n\"fields\": [\n"

INSTANTIATE_TEST_SUITE_P(BadFiles, BitlensLayoutBadFileTest,
    testing::Values(BadFileCase { "NotJson", "{\"format\": \"bitlens-layout\",\n\"fields\": [,]}",
                        2, "not JSON" },
        BadFileCase { "Empty", "", 1, "not JSON" },
        BadFileCase { "ForeignJson", "{\"fields\": []}", 0, "not a Bitlens layout file" },
        BadFileCase { "NewerVersion", "{\"format\": \"bitlens-layout\",\n\"version\": 2}", 2,
            "newer Bitlens" },
        BadFileCase {
            "NoVersion", "{\"format\": \"bitlens-layout\", \"fields\": []}", 1, "\"version\"" },
        BadFileCase { "PastBit127",
            LAYOUT_HEAD "{\"name\": \"A\", \"msb\": 3, \"lsb\": 0},\n"
                        "{\"name\": \"B\", \"msb\": 128, \"lsb\": 60}]}",
            5, "field B: bits 128:60 are past bit 127" },
        BadFileCase { "MoreThan64Bits",
            LAYOUT_HEAD "{\"name\": \"A\", \"msb\": 3, \"lsb\": 0},\n"
                        "{\"name\": \"B\", \"msb\": 127, \"lsb\": 0}]}",
            5, "field B: bits 127:0 are 128 bits; a field has at most 64" },
        BadFileCase { "Width256",
            "{\"format\": \"bitlens-layout\", \"version\": 1,\n\"width\": 256, \"fields\": []}", 2,
            "width 256 is not 8, 16, 32, 64 or 128" },
        BadFileCase { "UnknownReading",
            LAYOUT_HEAD "{\"name\": \"A\", \"msb\": 3, \"lsb\": 0,\n\"reading\": \"decimal\"}]}", 5,
            "\"reading\" is none of" },
        BadFileCase { "MsbAsText", LAYOUT_HEAD "{\"name\": \"A\",\n\"msb\": \"3\", \"lsb\": 0}]}",
            5, "\"msb\" is not a whole number" },
        BadFileCase { "NoName", LAYOUT_HEAD "{\"msb\": 3, \"lsb\": 0}]}", 4, "\"name\"" },
        BadFileCase { "BlankName", LAYOUT_HEAD "{\"name\": \" \", \"msb\": 3, \"lsb\": 0}]}", 4,
            "bits 3:0 has no name" },
        BadFileCase { "UnicodeBlankName",
            LAYOUT_HEAD "{\"name\": \"\xE2\x80\xA9\xC2\xA0\", \"msb\": 3, \"lsb\": 0}]}", 4,
            "bits 3:0 has no name" },
        BadFileCase { "ValuePast64Bits",
            LAYOUT_HEAD "{\"name\": \"A\", \"msb\": 3, \"lsb\": 0, \"values\": [\n"
                        "{\"value\": \"0x1FFFFFFFFFFFFFFFF\", \"name\": \"X\"}]}]}",
            5, "\"value\" is not a number" },
        BadFileCase { "ValueTooWide",
            LAYOUT_HEAD "{\"name\": \"A\", \"msb\": 3, \"lsb\": 0, \"values\": [\n"
                        "{\"value\": \"0x10\", \"name\": \"X\"}]}]}",
            4, "value 16 does not fit its 4 bits" },
        BadFileCase { "FieldNotObject", LAYOUT_HEAD "[1, 2]]}", 4, "not a JSON object" },
        BadFileCase { "PastWidth",
            "{\"format\": \"bitlens-layout\", \"version\": 1, \"width\": 8,\n\"fields\": [\n"
            "{\"name\": \"A\", \"msb\": 8, \"lsb\": 0}]}",
            3, "past the register's 8 bits" }),
    testing::PrintToStringParamName());

// --- Bit-field JSON ---------------------------------------------------------------

struct WavedromCase {
    const char* name;
    const char* json;
    int width;
    std::vector<std::string> fields;
};

class WavedromImportTest : public testing::TestWithParam<WavedromCase> { };

TEST_P(WavedromImportTest, ReadsFieldsFromBitZeroUp)
{
    const WavedromCase& c = GetParam();
    const QByteArray bytes(c.json);
    EXPECT_EQ(DetectLayoutFormat(bytes), eLayoutFormatWavedrom);
    const LayoutResult read = ImportLayout(bytes, QStringLiteral("dir/diagram.json"));
    ASSERT_TRUE(read.ok()) << read.error->text().toStdString();
    EXPECT_EQ(read.layout.name, "diagram");
    EXPECT_EQ(read.layout.width, c.width);
    EXPECT_EQ(Summaries(read.layout), c.fields);
}

INSTANTIATE_TEST_SUITE_P(Diagrams, WavedromImportTest,
    testing::Values(WavedromCase { "GapsAndTextAttr",
                        R"([{"name": "EN", "bits": 1, "attr": "Enable"}, {"bits": 7},
                {"name": "COUNT", "bits": 12, "type": 3}, {"bits": 8, "attr": "unnamed"},
                {"name": "MODE", "bits": 4}])",
                        32, { "EN 0:0 'Enable'", "COUNT 19:8", "MODE 31:28" } },
        WavedromCase { "AttrListNamesValues",
            R"([{"name": "MODE", "bits": 2, "attr": ["Mode", "0: OFF", "0x3 = AUTO", "0b1:ON",
                                                      "4: too wide"]},
                {"bits": 6}])",
            8, { "MODE 1:0 'Mode\n4: too wide' 0=OFF 3=AUTO 1=ON" } },
        WavedromCase { "NumbersInAttrAndName",
            R"([{"name": 51, "bits": 7, "attr": 51}, {"name": "rd", "bits": 5, "attr": [2, "x"]}])",
            0, { "51 6:0 '51'", "rd 11:7 '2\nx'" } },
        WavedromCase { "RegObjectWithConfig",
            R"({"reg": [{"name": "LOW", "bits": 4}, {"name": "HIGH", "bits": 4}],
                "config": {"bits": 16, "lanes": 1}})",
            16, { "LOW 3:0", "HIGH 7:4" } },
        WavedromCase { "AllSixtyFourBits", R"([{"name": "ALL", "bits": 64}])", 64, { "ALL 63:0" } },
        WavedromCase { "JavaScriptObjectLiteral",
            "// opcode map\n/* as written */ {reg: [{bits: 7, name: 0x33, attr: ['OP',],},\n"
            "  {bits: 1, name: \"rd\", attr: '0x1 = SET'}, // trailing comma\n"
            "  {bits: +8, name: 'it\\'s'},],\n config: {bits: 16,}}",
            16, { "0x33 6:0 'OP'", "rd 7:7 1=SET", "it's 15:8" } }),
    testing::PrintToStringParamName());

class WavedromBadFileTest : public testing::TestWithParam<BadFileCase> { };

TEST_P(WavedromBadFileTest, NamesTheLineAndTheProblem)
{
    const BadFileCase& c = GetParam();
    ExpectError(ImportWavedrom(c.content, QStringLiteral("bad.json")), "bad.json", c.line, c.words);
}

INSTANTIATE_TEST_SUITE_P(BadFiles, WavedromBadFileTest,
    testing::Values(
        BadFileCase { "NotJson5", "[\n{bits: 1\nname: 'A'}]", 3,
            "wavedrom reads it: expected \u201C,\u201D or \u201C}\u201D after the value of bits" },
        BadFileCase { "Code", "{reg: [{bits: 1, name: f()}]}", 1,
            "expected a value (an object, a list, a text, a number, true, false or null), found "
            "\u201C"
            "f\u201D" },
        BadFileCase { "TextNotEnded", "[{name: 'A,\n bits: 1}]", 1, "a text that does not end" },
        BadFileCase { "CommentNotEnded", "[{bits: 1}] /* to be\n", 1, "comment that does not end" },
        BadFileCase { "MoreAfterTheEnd", "[{bits: 1}] [", 1, "more after the end" },
        BadFileCase { "TooDeep",
            "[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[["
            "]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]",
            1, "nested more than 64 deep" },
        BadFileCase { "BitsTooWide", "{reg: [{bits: 4},\n{bits: 118, name: 'A'}]}", 2,
            "element 2: \"bits\" is 118; Bitlens holds up to 64 bits" },
        BadFileCase { "BitsAsText", "[{bits: '4', name: 'A'}]", 1,
            "\"bits\" is \u201C"
            "4\u201D, not a number" },
        BadFileCase { "ElementNotObject", "[\n{\"name\": \"A\", \"bits\": 1},\n5]", 3,
            "element 2 is not an object" },
        BadFileCase { "NoBits", "[\n{\"name\": \"A\"}]", 2, "element 1 has no \"bits\"" },
        BadFileCase { "ZeroBits", "[\n{\"name\": \"A\", \"bits\": 0}]", 2,
            "\"bits\" is 0; a field is at least one bit wide" },
        BadFileCase { "FractionBits", "[\n{\"name\": \"A\", \"bits\": 1.5}]", 2,
            "\"bits\" is 1.5, not a whole number" },
        BadFileCase { "PastBit63",
            "[{\"name\": \"A\", \"bits\": 60},\n{\"bits\": 2},\n{\"name\": \"B\", \"bits\": 4}]", 3,
            "bits 65:62 are past bit 63" },
        BadFileCase { "NoNamedField", "[{\"bits\": 8}]", 1, "no named fields" },
        BadFileCase { "ObjectWithoutReg", "{\"lanes\": []}", 1, "not a bit-field diagram" },
        BadFileCase {
            "TimingDiagram", "{signal: [{name: 'clk', wave: 'p..'}]}", 1, "a timing diagram" },
        BadFileCase { "FieldPastConfigBits",
            "{\"config\": {\"bits\": 8}, \"reg\": [\n{\"name\": \"A\", \"bits\": 9}]}", 2,
            "past the register's 8 bits" }),
    testing::PrintToStringParamName());

TEST(WavedromExportTest, RoundTripsWhatTheFormatHolds)
{
    BitFieldLayout layout;
    layout.width = 32;
    BitField mode = Field("MODE", 31, 28, "Operating mode");
    mode.values = { { 0, "OFF", "" }, { 3, "AUTO", "" } };
    layout.fields = { Field("EN", 0, 0, "Enable"), Field("COUNT", 19, 8), mode };
    const WavedromExport exported = ExportWavedrom(layout);
    EXPECT_TRUE(exported.leftOut.empty());
    const LayoutResult back = ImportWavedrom(exported.bytes, QStringLiteral("x.json"));
    ASSERT_TRUE(back.ok()) << back.error->text().toStdString();
    EXPECT_EQ(back.layout.width, 32);
    EXPECT_EQ(back.layout.fields, layout.fields);
}

TEST(WavedromExportTest, LeavesOutWhatOverlapsAndPadsToTheWidth)
{
    BitFieldLayout layout;
    layout.fields
        = { Field("HIGH", 11, 8), Field("LOW", 3, 0), Field("ACROSS", 9, 2), Field("BAD", 70, 64) };
    const WavedromExport exported = ExportWavedrom(layout);
    EXPECT_EQ(exported.leftOut, (std::vector<std::size_t> { 2, 3 }));
    const LayoutResult back = ImportWavedrom(exported.bytes, QStringLiteral("x.json"));
    ASSERT_TRUE(back.ok()) << back.error->text().toStdString();
    EXPECT_EQ(back.layout.width, 16);
    EXPECT_EQ(Summaries(back.layout), (std::vector<std::string> { "LOW 3:0", "HIGH 11:8" }));
}

// --- C headers ------------------------------------------------------------------

struct CHeaderCase {
    const char* name;
    const char* header;
    std::vector<std::string> fields;
    int warnings;
};

class CHeaderImportTest : public testing::TestWithParam<CHeaderCase> { };

TEST_P(CHeaderImportTest, ReadsOneFieldPerDefine)
{
    const CHeaderCase& c = GetParam();
    const QByteArray bytes(c.header);
    EXPECT_EQ(DetectLayoutFormat(bytes), eLayoutFormatCHeader);
    const LayoutResult read = ImportLayout(bytes, QStringLiteral("regs.h"));
    ASSERT_TRUE(read.ok()) << read.error->text().toStdString();
    EXPECT_EQ(read.layout.name, "regs");
    EXPECT_EQ(Summaries(read.layout), c.fields);
    EXPECT_EQ(int(read.warnings.size()), c.warnings);
}

INSTANTIATE_TEST_SUITE_P(Headers, CHeaderImportTest,
    testing::Values(
        CHeaderCase { "KernelMacros",
            "#define CTRL_MODE GENMASK(31, 28)\n"
            "#  define CTRL_HIGH\tGENMASK_ULL(47, 40)\n"
            "#define CTRL_EN BIT(0)\n"
            "#define CTRL_TOP BIT_ULL(63)\n",
            { "CTRL_MODE 31:28", "CTRL_HIGH 47:40", "CTRL_EN 0:0", "CTRL_TOP 63:63" }, 0 },
        CHeaderCase { "ShiftedMasks",
            "#define A (0x3u << 4)\n"
            "#define B (0xFFUL << 8)\n"
            "#define C ((0x1ULL) << (63))\n"
            "#define D ((uint32_t)0x7 << 1)\n"
            "#define E (0b11 << 010)\n"
            "#define F 0x6 << 1\n",
            { "A 5:4", "B 15:8", "C 63:63", "D 3:1", "E 9:8", "F 3:2" }, 0 },
        CHeaderCase { "ShiftByEarlierDefine",
            "#define USART_CR1_UE_Pos (13U)\n"
            "#define USART_CR1_UE_Msk (0x1UL << USART_CR1_UE_Pos) /*!< 0x00002000 */\n"
            "#define USART_CR1_UE USART_CR1_UE_Msk /*!< USART Enable */\n"
            "#define WIDTH 4\n"
            "#define NIBBLE GENMASK(WIDTH + 3, WIDTH)\n"
            "#define NIBBLE2 GENMASK(7, WIDTH)\n",
            { "USART_CR1_UE 13:13 'USART Enable'", "NIBBLE 7:4", "NIBBLE2 7:4" }, 0 },
        CHeaderCase { "CommentsAndContinuations",
            "/* #define HIDDEN BIT(1)\n"
            "   #define ALSO_HIDDEN BIT(2) */\n"
            "#define SHOWN BIT(3) // the third bit\n"
            "#define LONG \\\n"
            "    GENMASK(7, 4) /**< a long one */\n"
            "#define FUNCTION(x) BIT(x)\n"
            "#define STRING \"/* BIT(5) */\"\n"
            "int x = BIT(6);\n",
            { "SHOWN 3:3 'the third bit'", "LONG 7:4 'a long one'" }, 0 },
        CHeaderCase { "MasksThatAreNotFields",
            "#define GAP (0x5u << 2)\n#define NONE (0x0 << 3)\n#define OK (0x3 << 2)\n",
            { "OK 3:2" }, 1 },
        CHeaderCase { "PosMskWithValues",
            "/* Bits 3..1 : Parity */\n"
            "#define CFG_PARITY_Pos (1UL) /*!< Position of PARITY field. */\n"
            "#define CFG_PARITY_Msk (0x7UL << CFG_PARITY_Pos) /*!< Bit mask of PARITY field. */\n"
            "#define CFG_PARITY_Excluded (0x0UL) /*!< No parity */\n"
            "#define CFG_PARITY_Included (0x7UL)\n",
            { "CFG_PARITY 3:1 'Parity' 0=Excluded 7=Included" }, 0 },
        CHeaderCase { "AliasAndPerBitDefinesFolded",
            "#define CR2_STOP_Pos (12U)\n#define CR2_STOP_Msk (0x3UL << CR2_STOP_Pos) /*!< "
            "0x00003000 */\n"
            "#define CR2_STOP CR2_STOP_Msk /*!<STOP bits */\n"
            "#define CR2_STOP_0 (0x1UL << CR2_STOP_Pos)\n#define CR2_STOP_1 (0x2UL << "
            "CR2_STOP_Pos)\n",
            { "CR2_STOP 13:12 'STOP bits'" }, 0 },
        CHeaderCase { "ShiftMaskWithValueShifts",
            "#define SB_1 (0x00 << 12)\n#define SB_0_5 (0x01 << 12)\n#define SB_2 (0x02 << 12)\n"
            "#define SB_1_5 (0x03 << 12)\n#define SB_MASK (0x03 << 12)\n#define SB_SHIFT 12\n"
            "#define SB (0x3 << SB_SHIFT) /* Stop bits */\n",
            { "SB 13:12 'Stop bits' 0=1 1=0_5 2=2 3=1_5" }, 0 },
        CHeaderCase { "MaskInPlaceAndAtBitZero",
            "#define A_MASK (0x80U)\n#define A_SHIFT (7U)\n#define B_SHIFT 4\n#define B_MASK "
            "U(0xf)\n"
            "#define C_M 0x00000060 // Word length\n#define C_S 5\n#define C_8 0x00000060\n"
            "#define C_5 0x00000000\n",
            { "A 7:7", "B 7:4", "C 6:5 'Word length' 3=8 0=5" }, 0 },
        CHeaderCase { "TrustedFirmwareMacros",
            "#define A_BIT BIT_32(A_SHIFT)\n#define A_SHIFT 3\n#define A_MASK U(0x1)\n"
            "#define B GENMASK_32(7, 4)\n#define C (U(1) << 9)\n#define D (ULL(0xff) << 40)\n"
            "#define E BIT_64(63)\n#define E_WIDE UL(1)\n",
            { "A 3:3", "B 7:4", "C 9:9", "D 47:40", "E 63:63 1=WIDE" }, 0 },
        CHeaderCase { "ValueShiftsOfOneNameAreOneField",
            "#define LCR_WLEN_8 (3 << 5)\n#define LCR_WLEN_7 (2 << 5)\n#define LCR_WLEN_5 (0 << "
            "5)\n"
            "#define LCR_FEN (1 << 4)\n",
            { "LCR_WLEN 6:5 3=8 2=7 0=5", "LCR_FEN 4:4" }, 0 },
        CHeaderCase { "IncludeGuardNamesThePrefix",
            "#ifndef UART_CTRL_H\n#define UART_CTRL_H\n#define UART_CTRL_EN BIT(0)\n"
            "#define UART_CTRL_MODE GENMASK(3, 1)\n#endif\n",
            { "EN 0:0", "MODE 3:1" }, 0 },
        CHeaderCase { "WhatIsLeftOutInOneLine",
            "#define GAP (0x5u << 2)\n#define F_MASK 0x3\n#define F_BIG 0x9\n#define F_OK 0x2\n",
            { "F 1:0 2=OK" }, 1 }),
    testing::PrintToStringParamName());

class CHeaderBadFileTest : public testing::TestWithParam<BadFileCase> { };

TEST_P(CHeaderBadFileTest, NamesTheLineAndTheProblem)
{
    const BadFileCase& c = GetParam();
    ExpectError(ImportCHeader(c.content, QStringLiteral("bad.h")), "bad.h", c.line, c.words);
}

INSTANTIATE_TEST_SUITE_P(BadFiles, CHeaderBadFileTest,
    testing::Values(BadFileCase { "GenmaskPast63", "#define A BIT(1)\n#define B GENMASK(70, 64)\n",
                        2, "field B: bits 70:64 are past bit 63" },
        BadFileCase { "BitPast63", "\n\n#define A BIT(64)\n", 3, "past bit 63" },
        BadFileCase {
            "ShiftPast63", "#define A (0x3ull << 63)\n", 1, "bits 64:63 are past bit 63" },
        BadFileCase { "Reversed", "#define A GENMASK(2, 5)\n", 1,
            "A: GENMASK(2, 5) has its high bit 2 below its low bit 5" },
        BadFileCase { "NoField", "int main(void) { return 0; }\n", 0, "no bit fields" },
        BadFileCase { "Binary", "\x89PNG\r\n\x1a\n\0\0\0", 0, "no bit fields" }),
    testing::PrintToStringParamName());

// A define of megabytes (one of 50 MB took gigabytes) is left out, said so,
// and the defines after it are read.
TEST(CHeaderImportTest, LeavesOutADefineTooLongToRead)
{
    const QByteArray header = "#define A BIT(1)\n#define LONG "
        + QByteArray("(1 << 2) | ").repeated(200000) + "1\n#define B BIT(2)\n";
    const LayoutResult read = ImportCHeader(header, QStringLiteral("long.h"));
    ASSERT_TRUE(read.ok()) << read.error->text().toStdString();
    EXPECT_EQ(Summaries(read.layout), (std::vector<std::string> { "A 1:1", "B 2:2" }));
    ASSERT_EQ(read.warnings.size(), 1u);
    EXPECT_TRUE(
        read.warnings[0].message.contains(QLatin1String("defines longer than 4096 characters: 1")));
}

TEST(CHeaderExportTest, WritesShiftMaskAndGenmaskThatReadBack)
{
    BitFieldLayout layout;
    layout.name = "CTRL";
    BitField mode = Field("MODE", 31, 28, "Operating */ mode");
    mode.values = { { 3, "AUTO", "" } };
    layout.fields = { mode, Field("HIGH", 40, 33), Field("EN", 0, 0) };
    const QString header = QString::fromUtf8(ExportCHeader(layout, QStringLiteral("CTRL_")));
    for (const char* line :
        { "#define CTRL_MODE_SHIFT 28\n", "#define CTRL_MODE_MASK 0xF0000000u\n",
            "#define CTRL_MODE GENMASK(31, 28) /* Operating * / mode */\n",
            "#define CTRL_MODE_AUTO 0x3u\n", "#define CTRL_HIGH_MASK 0x1FE00000000ull\n",
            "#define CTRL_HIGH GENMASK_ULL(40, 33)\n", "#define CTRL_EN GENMASK(0, 0)\n",
            "#define GENMASK(h, l)" })
        EXPECT_TRUE(header.contains(QLatin1String(line))) << line << "\nin\n"
                                                          << header.toStdString();

    EXPECT_TRUE(
        header.startsWith(QLatin1String("/* CTRL: 64 bits */\n#ifndef CTRL_H\n#define CTRL_H\n")));
    EXPECT_TRUE(header.endsWith(QLatin1String("#endif /* CTRL_H */\n")));
    const std::vector<std::string> fields { "MODE 31:28 'Operating * / mode' 3=AUTO", "HIGH 40:33",
        "EN 0:0" };
    for (const QString& prefix : { QStringLiteral("CTRL_"), QString() }) {
        const LayoutResult back
            = ImportCHeader(ExportCHeader(layout, prefix), QStringLiteral("ctrl.h"));
        ASSERT_TRUE(back.ok()) << back.error->text().toStdString();
        EXPECT_EQ(Summaries(back.layout), fields);
        EXPECT_TRUE(back.warnings.empty());
    }
}

// --- CMSIS-SVD -------------------------------------------------------------------

// Every trap at once: a peripheral size inherited, a derived register and a
// derived peripheral, a register derived by path from another peripheral,
// the three position forms, enumerations by usage, with don't-care bits, a
// default and a derived one, a cluster array with a field array, and
// <fields> where only the XML reader can tell it is not one.
const char* const kTrapSvd = R"(<?xml version="1.0" encoding="utf-8"?>
<!-- <fields> in a comment is not one -->
<device schemaVersion="1.3">
  <name>TRAPS</name>
  <size>32</size>
  <peripherals>
    <peripheral>
      <name>TIMER0</name>
      <size>16</size>
      <registers>
        <register>
          <name>CTRL</name>
          <description>Timer
            control</description>
          <fields>
            <field>
              <name>EN</name>
              <description>Enable</description>
              <bitOffset>0</bitOffset>
              <bitWidth>1</bitWidth>
              <enumeratedValues>
                <name>ENABLE</name>
                <enumeratedValue><name>OFF</name><value>0</value></enumeratedValue>
                <enumeratedValue><name>ON</name><value>#1</value></enumeratedValue>
              </enumeratedValues>
            </field>
            <field>
              <name>MODE</name>
              <description><![CDATA[Mode </fields> & more]]></description>
              <lsb>1</lsb>
              <msb>3</msb>
              <enumeratedValues>
                <usage>write</usage>
                <enumeratedValue><name>WRITTEN</name><value>6</value></enumeratedValue>
              </enumeratedValues>
              <enumeratedValues>
                <usage>read</usage>
                <enumeratedValue><name>IDLE</name><value>0x0</value></enumeratedValue>
                <enumeratedValue><name>FAST</name><value>#1x1</value></enumeratedValue>
                <enumeratedValue><name>OTHER</name><isDefault>true</isDefault></enumeratedValue>
              </enumeratedValues>
            </field>
            <field>
              <name>PRESCALE</name>
              <bitRange>[15:8]</bitRange>
            </field>
          </fields>
        </register>
        <register derivedFrom="CTRL">
          <name>CTRL2</name>
          <addressOffset>4</addressOffset>
        </register>
        <register>
          <name>WIDE</name>
          <size>0x40</size>
          <fields><field><name>HIGH</name><bitRange>[63:32]</bitRange></field></fields>
        </register>
        <cluster>
          <name>CH[%s]</name>
          <dim>2</dim>
          <dimIncrement>0x10</dimIncrement>
          <register>
            <name>CFG</name>
            <size>8</size>
            <fields>
              <field><name>PIN%s</name><dim>4</dim><dimIncrement>2</dimIncrement><dimIndex>A-D</dimIndex><bitOffset>0</bitOffset><bitWidth>2</bitWidth></field>
            </fields>
          </register>
        </cluster>
      </registers>
    </peripheral>
    <peripheral derivedFrom="TIMER0">
      <name>TIMER1</name>
      <baseAddress>0x40001000</baseAddress>
    </peripheral>
    <peripheral>
      <name>UART</name>
      <registers>
        <register derivedFrom="TIMER0.CTRL">
          <name>MIRROR</name>
        </register>
        <register>
          <name>DATA</name>
          <fields>
            <field>
              <name>BYTE</name><bitOffset>0</bitOffset><bitWidth>8</bitWidth>
              <enumeratedValues derivedFrom="TIMER0.CTRL.EN.ENABLE"/>
            </field>
            <field derivedFrom="BYTE"><name>BYTE2</name><bitOffset>8</bitOffset><bitWidth>8</bitWidth></field>
            <field><name>PARITY</name><bitOffset>16</bitOffset>
              <enumeratedValues derivedFrom="LOCAL"/></field>
            <field><name>STOP</name><bitOffset>17</bitOffset>
              <enumeratedValues><name>LOCAL</name>
                <enumeratedValue><name>ONE</name><value>0</value></enumeratedValue>
              </enumeratedValues></field>
          </fields>
        </register>
      </registers>
    </peripheral>
  </peripherals>
</device>
)";

std::vector<std::string> Listing(const SvdFile& file)
{
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < file.registerCount(); ++i) {
        const SvdRegister entry = file.registerAt(i);
        lines.push_back(entry.qualifiedName().toStdString() + ' ' + std::to_string(entry.size) + ' '
            + entry.description.toStdString());
    }
    return lines;
}

QByteArray Utf16(const char* text)
{
    QString xml = QString::fromUtf8(text);
    xml.replace(QLatin1String("encoding=\"utf-8\""), QLatin1String("encoding=\"utf-16\""));
    QStringEncoder encoder(QStringEncoder::Utf16LE, QStringEncoder::Flag::WriteBom);
    return encoder(xml);
}

TEST(SvdListTest, ListsEveryRegisterWithItsInheritedSize)
{
    const SvdFile file = SvdFile::read(kTrapSvd, QStringLiteral("traps.svd"));
    ASSERT_FALSE(file.error()) << file.error()->text().toStdString();
    const std::vector<std::string> expected { "TIMER0.CTRL 16 Timer control",
        "TIMER0.CTRL2 16 Timer control", "TIMER0.WIDE 64 ", "TIMER0.CH[0].CFG 8 ",
        "TIMER0.CH[1].CFG 8 ", "TIMER1.CTRL 16 Timer control", "TIMER1.CTRL2 16 Timer control",
        "TIMER1.WIDE 64 ", "TIMER1.CH[0].CFG 8 ", "TIMER1.CH[1].CFG 8 ",
        "UART.MIRROR 32 Timer control", "UART.DATA 32 " };
    EXPECT_EQ(Listing(file), expected);
    // Read whole, without the byte scan, the file lists the same.
    const SvdFile wide = SvdFile::read(Utf16(kTrapSvd), QStringLiteral("traps16.svd"));
    ASSERT_FALSE(wide.error()) << wide.error()->text().toStdString();
    EXPECT_EQ(Listing(wide), expected);
}

TEST(SvdListTest, FindsByNameAndFilters)
{
    const SvdFile file = SvdFile::read(kTrapSvd, QStringLiteral("traps.svd"));
    for (const char* name :
        { "TIMER1.CTRL2", "timer1.ctrl2", "TIMER0.CH[1].CFG", "TIMER0.CH1.CFG" })
        EXPECT_TRUE(file.importRegister(QString::fromLatin1(name)).ok()) << name;
    EXPECT_EQ(file.importRegister(QStringLiteral("TIMER0.NOPE")).error->kind,
        eLayoutErrorUnknownRegister);
    EXPECT_FALSE(SvdFile().importRegister(QStringLiteral("TIMER0.CTRL")).ok());
    EXPECT_FALSE(SvdFile().importRegister(0).ok());
    int matches = 0;
    for (std::size_t i = 0; i < file.registerCount(); ++i)
        matches += SvdRegisterMatches(file.registerAt(i), QStringLiteral(" timer1  CONTROL "));
    EXPECT_EQ(matches, 2);
    SvdRegister element;
    element.peripheral = QStringLiteral("UART[1]");
    element.name = QStringLiteral("LCR");
    EXPECT_TRUE(SvdRegisterMatches(element, QStringLiteral("uart1.lcr")));
}

struct SvdImportCase {
    const char* name;
    const char* reg;
    int width;
    std::vector<std::string> fields;
    int warnings;
};

class SvdImportTest : public testing::TestWithParam<SvdImportCase> { };

TEST_P(SvdImportTest, ReadsTheRegistersFields)
{
    const SvdImportCase& c = GetParam();
    for (const QByteArray& bytes : { QByteArray(kTrapSvd), Utf16(kTrapSvd) }) {
        EXPECT_EQ(DetectLayoutFormat(bytes), eLayoutFormatSvd);
        const LayoutResult read = ImportLayout(bytes, QStringLiteral("traps.svd"), c.reg);
        ASSERT_TRUE(read.ok()) << read.error->text().toStdString();
        EXPECT_EQ(read.layout.name, c.reg);
        EXPECT_EQ(read.layout.width, c.width);
        EXPECT_EQ(Summaries(read.layout), c.fields);
        EXPECT_EQ(int(read.warnings.size()), c.warnings);
    }
}

const std::vector<std::string> kCtrlFields { "EN 0:0 'Enable' 0=OFF 1=ON",
    "MODE 3:1 'Mode </fields> & more' 0=IDLE 5=FAST 7=FAST *=OTHER", "PRESCALE 15:8" };

INSTANTIATE_TEST_SUITE_P(Registers, SvdImportTest,
    testing::Values(SvdImportCase { "AllThreePositionForms", "TIMER0.CTRL", 16, kCtrlFields, 0 },
        SvdImportCase { "DerivedRegister", "TIMER0.CTRL2", 16, kCtrlFields, 0 },
        SvdImportCase { "DerivedPeripheral", "TIMER1.CTRL2", 16, kCtrlFields, 0 },
        SvdImportCase { "DerivedByPathSizedByItsOwnPeripheral", "UART.MIRROR", 32, kCtrlFields, 0 },
        SvdImportCase { "OwnSize64", "TIMER0.WIDE", 64, { "HIGH 63:32" }, 0 },
        SvdImportCase { "FieldArrayInClusterArray", "TIMER1.CH[1].CFG", 8,
            { "PINA 1:0", "PINB 3:2", "PINC 5:4", "PIND 7:6" }, 0 },
        SvdImportCase { "DerivedFieldsAndEnumerations", "UART.DATA", 32,
            { "BYTE 7:0 0=OFF 1=ON", "BYTE2 15:8 0=OFF 1=ON", "PARITY 16:16 0=ONE",
                "STOP 17:17 0=ONE" },
            0 }),
    testing::PrintToStringParamName());

TEST(SvdImportTest, NamesTheRegisterItMisses)
{
    const LayoutResult none = ImportLayout(kTrapSvd, QStringLiteral("traps.svd"));
    ASSERT_FALSE(none.ok());
    EXPECT_EQ(none.error->kind, eLayoutErrorNoRegister);
    const LayoutResult unknown
        = ImportLayout(kTrapSvd, QStringLiteral("traps.svd"), QStringLiteral("TIMER9.CTRL"));
    ASSERT_FALSE(unknown.ok());
    EXPECT_EQ(unknown.error->kind, eLayoutErrorUnknownRegister);
    EXPECT_TRUE(unknown.error->message.contains(QLatin1String("TIMER9.CTRL")));
}

// A file generated much larger, where a fault of the byte scan would show:
// the scan and the full reading agree on every register, and fields read
// from the middle of the file are the ones written there.
TEST(SvdImportTest, GeneratedFileReadsTheSameWithAndWithoutTheScan)
{
    const QByteArray svd = SampleSvd(12);
    const SvdFile scanned = SvdFile::read(svd, QStringLiteral("sample.svd"));
    const SvdFile whole = SvdFile::read(Utf16(svd.constData()), QStringLiteral("sample.svd"));
    ASSERT_FALSE(scanned.error());
    ASSERT_FALSE(whole.error());
    EXPECT_EQ(scanned.registerCount(), std::size_t(12 * kSampleRegisters));
    EXPECT_EQ(Listing(scanned), Listing(whole));
    const struct {
        const char* name;
        const char* lastField;
    } samples[] = { { "P3.R17", "F15 31:30 'Field of two bits, number 15'" },
        { "P9.R8", "F15 31:30 'Field of two bits, number 15' 0=OFF 3=ON" },
        { "P11.R39", "F15 31:30 'Field of two bits, number 15'" } };
    for (const auto& sample : samples) {
        const LayoutResult a = scanned.importRegister(QString::fromLatin1(sample.name));
        const LayoutResult b = whole.importRegister(QString::fromLatin1(sample.name));
        ASSERT_TRUE(a.ok() && b.ok()) << sample.name;
        EXPECT_EQ(a.layout, b.layout);
        ASSERT_EQ(a.layout.fields.size(), std::size_t(kSampleFields));
        EXPECT_EQ(Summary(a.layout.fields.back()), sample.lastField);
    }
}

// A <fields> the byte scan does not know by its name: the file is read
// whole, and both registers still come with their fields.
TEST(SvdImportTest, ReadsWholeWhatTheScanCannotFollow)
{
    const char* const svd = R"(<device xmlns:s="urn:x"><peripherals><peripheral><name>P</name>
<registers><register><name>A</name><fields><field><name>X</name><bitOffset>1</bitOffset></field>
</fields></register><register><name>B</name><s:fields><field><name>Y</name>
<bitOffset>2</bitOffset></field></s:fields></register></registers></peripheral></peripherals>
</device>)";
    const SvdFile file = SvdFile::read(svd, QStringLiteral("prefixed.svd"));
    ASSERT_FALSE(file.error()) << file.error()->text().toStdString();
    EXPECT_EQ(Summaries(file.importRegister(QStringLiteral("P.A")).layout),
        std::vector<std::string> { "X 1:1" });
    EXPECT_EQ(Summaries(file.importRegister(QStringLiteral("P.B")).layout),
        std::vector<std::string> { "Y 2:2" });
}

struct SvdBadCase {
    const char* name;
    const char* content;
    const char* reg;
    int line;
    const char* words;
};

class SvdBadFileTest : public testing::TestWithParam<SvdBadCase> { };

TEST_P(SvdBadFileTest, NamesTheLineAndTheProblem)
{
    const SvdBadCase& c = GetParam();
    ExpectError(ImportLayout(c.content, QStringLiteral("bad.svd"), QString::fromLatin1(c.reg)),
        "bad.svd", c.line, c.words);
}

#define SVD_HEAD "<device><peripherals><peripheral><name>P</name><registers>\n"
#define SVD_TAIL "\n</registers></peripheral></peripherals></device>\n"

INSTANTIATE_TEST_SUITE_P(BadFiles, SvdBadFileTest,
    testing::Values(
        SvdBadCase { "NotXml", "<device>\n<name>x</nam>\n</device>", "P.R", 2, "not readable XML" },
        SvdBadCase { "NotSvd", "<?xml version=\"1.0\"?>\n<html/>", "P.R", 2, "not an SVD file" },
        SvdBadCase { "BrokenInsideFields",
            SVD_HEAD "<register><name>R</name><fields>\n<field><name>A</name></feld>\n</fields>"
                     "</register>" SVD_TAIL,
            "P.R", 3, "not readable XML" },
        SvdBadCase { "PastBit63",
            SVD_HEAD "<register><name>R</name><size>64</size><fields>\n"
                     "<field><name>A</name><bitRange>[63:0]</bitRange></field>\n"
                     "<field><name>B</name><bitRange>[64:60]</bitRange></field>\n"
                     "</fields></register>" SVD_TAIL,
            "P.R", 4, "field B: bits 64:60 are past bit 63" },
        SvdBadCase { "PastTheRegister",
            SVD_HEAD "<register><name>R</name><size>8</size><fields>\n"
                     "<field><name>A</name><bitOffset>8</bitOffset></field>"
                     "</fields></register>" SVD_TAIL,
            "P.R", 3, "past the register's 8 bits" },
        SvdBadCase { "NoPosition",
            SVD_HEAD "<register><name>R</name><fields>\n\n<field><name>A</name></field>"
                     "</fields></register>" SVD_TAIL,
            "P.R", 4, "field A has no bit position" },
        SvdBadCase { "BadBitRange",
            SVD_HEAD "<register><name>R</name><fields>\n<field><name>A</name>"
                     "<bitRange>7:0</bitRange></field></fields></register>" SVD_TAIL,
            "P.R", 3, "not [msb:lsb]" },
        SvdBadCase { "SizeNotANumber",
            SVD_HEAD "<register><name>R</name>\n<size>big</size>"
                     "</register>" SVD_TAIL,
            "P.R", 3, "size \"big\"" },
        SvdBadCase { "SizePast64",
            SVD_HEAD "<register><name>R</name>\n<size>128</size>"
                     "</register>" SVD_TAIL,
            "P.R", 2, "128 bits wide" },
        SvdBadCase { "BitWidthZero",
            SVD_HEAD
            "<register><name>R</name><fields>\n<field><name>A</name><bitOffset>3</bitOffset>"
            "<bitWidth>0</bitWidth></field></fields></register>" SVD_TAIL,
            "P.R", 3, "field A: bitWidth is 0" },
        SvdBadCase { "DerivedFromNothing",
            SVD_HEAD
            "\n<register derivedFrom=\"Q\"><dim>2</dim><name>R[%s]</name></register>" SVD_TAIL,
            "p.r1", 3, "register p.r1 derives from Q, which is not in the file" },
        SvdBadCase { "FieldArrayPastTheFieldLimit",
            SVD_HEAD "<register><name>R</name><fields>\n<field><name>F%s</name><dim>5000</dim>"
                     "<bitOffset>0</bitOffset></field></fields></register>" SVD_TAIL,
            "P.R", 3, "more than 1024 fields" },
        SvdBadCase { "BitRangeReversed",
            SVD_HEAD "<register><name>R</name><fields>\n<field><name>A</name><bitRange>[2:3]"
                     "</bitRange></field></fields></register>" SVD_TAIL,
            "P.R", 3, "field A: bitRange [2:3] gives msb 2 below lsb 3" },
        SvdBadCase { "DerivedInACircle",
            SVD_HEAD "\n<register derivedFrom=\"S\"><name>R</name></register>"
                     "<register derivedFrom=\"R\"><name>S</name></register>" SVD_TAIL,
            "P.R", 3, "round in a circle" },
        SvdBadCase { "RegisterNotFound", SVD_HEAD SVD_TAIL, "P.R", 0, "no register P.R" }),
    testing::PrintToStringParamName());

// One construct of vendor files each, in a file of its own: the register
// named as the user would, and the fields it gives.
struct SvdConstructCase {
    const char* name;
    const char* content;
    const char* reg;
    std::vector<std::string> fields;
};

class SvdConstructTest : public testing::TestWithParam<SvdConstructCase> { };

TEST_P(SvdConstructTest, OpensTheRegisterByTheNameGiven)
{
    const SvdConstructCase& c = GetParam();
    const LayoutResult read
        = ImportLayout(c.content, QStringLiteral("c.svd"), QString::fromLatin1(c.reg));
    ASSERT_TRUE(read.ok()) << read.error->text().toStdString();
    EXPECT_EQ(Summaries(read.layout), c.fields);
}

#define UART_ARRAY                                                                                 \
    "<device><peripherals><peripheral><name>UART[%s]</name><dim>2</dim>"                           \
    "<dimIncrement>0x400</dimIncrement><registers><register><name>LCR</name><fields><field>"       \
    "<name>DLS</name><bitRange>[1:0]</bitRange></field></fields></register></registers>"           \
    "</peripheral></peripherals></device>"
#define ALTERNATE                                                                                  \
    SVD_HEAD "<register><name>MCS</name><fields><field><name>RUN</name><bitOffset>0</bitOffset>"   \
             "</field></fields></register><register><name>MCS</name><alternateGroup>ALT"           \
             "</alternateGroup><fields><field><name>BUSY</name><bitOffset>0</bitOffset></field>"   \
             "</fields></register>" SVD_TAIL

INSTANTIATE_TEST_SUITE_P(Constructs, SvdConstructTest,
    testing::Values(
        SvdConstructCase { "RegisterWithoutFields",
            SVD_HEAD "<register><name>TIMELR</name><description>Low word</description><size>16"
                     "</size></register>" SVD_TAIL,
            "P.TIMELR", { "TIMELR 15:0 'Low word'" } },
        SvdConstructCase { "DerivedFromRegisterWithoutFields",
            SVD_HEAD "<register><name>TIMELR</name><description>Low word</description><size>16"
                     "</size></register><register derivedFrom=\"TIMELR\"><name>COPY</name>"
                     "</register>" SVD_TAIL,
            "P.COPY", { "COPY 15:0 'Low word'" } },
        SvdConstructCase { "EmptyFields",
            SVD_HEAD "<register><name>E</name><fields/></register>" SVD_TAIL, "P.E", { "E 31:0" } },
        SvdConstructCase { "PeripheralArrayAsWritten", UART_ARRAY, "UART[1].LCR", { "DLS 1:0" } },
        SvdConstructCase {
            "PeripheralArrayAsHeadersNameIt", UART_ARRAY, "uart1.lcr", { "DLS 1:0" } },
        SvdConstructCase { "ArrayPast4096",
            SVD_HEAD "<register><dim>5000</dim><dimIncrement>4</dimIncrement><dimIndex>0-4999"
                     "</dimIndex><name>COEF[%s]</name><description>Coefficient [%s]</description>"
                     "</register>" SVD_TAIL,
            "P.COEF4999", { "COEF[4999] 31:0 'Coefficient [4999]'" } },
        SvdConstructCase { "NameWithADot",
            SVD_HEAD "<cluster><name>CH</name><register><name>CFG.LO</name><size>8</size>"
                     "</register></cluster>" SVD_TAIL,
            "P.CH.CFG.LO", { "CFG.LO 7:0" } },
        SvdConstructCase { "AlternateGroupFirst", ALTERNATE, "P.MCS", { "RUN 0:0" } },
        SvdConstructCase { "AlternateGroupByItsName", ALTERNATE, "P.MCS_ALT", { "BUSY 0:0" } },
        SvdConstructCase { "DoctypeWithAnEntity",
            "<?xml version=\"1.0\"?>\n<!DOCTYPE device [\n<!ENTITY en \"Enable\">\n]>\n" SVD_HEAD
            "<register><name>R</name><fields><field><name>EN</name><description>&en;</description>"
            "<bitOffset>0</bitOffset></field></fields></register>" SVD_TAIL,
            "P.R", { "EN 0:0 'Enable'" } }),
    testing::PrintToStringParamName());

// A few hundred bytes that nest arrays of 4096 three deep (68 billion
// registers): the listing stops at what a file of that size may hold, and
// any register is still found by its name. The memory it takes is in the
// benchmark.
TEST(SvdImportTest, NestedArraysAreListedInPartAndFoundByName)
{
    const QByteArray svd = SVD_HEAD
        "<cluster><dim>4096</dim><dimIncrement>4</dimIncrement><name>C[%s]</name><cluster><dim>"
        "4096</dim><dimIncrement>4</dimIncrement><name>D[%s]</name><register><dim>4096</dim>"
        "<dimIncrement>4</dimIncrement><name>R%s</name></register></cluster></cluster>" SVD_TAIL;
    const SvdFile file = SvdFile::read(svd, QStringLiteral("nested.svd"));
    ASSERT_FALSE(file.error());
    EXPECT_FALSE(file.listsEveryRegister());
    EXPECT_LT(file.registerCount(), std::size_t(1) << 20);
    EXPECT_EQ(file.registerAt(1).qualifiedName(), QStringLiteral("P.C[0].D[0].R1"));
    EXPECT_EQ(Summaries(file.importRegister(QStringLiteral("P.C4095.D[4095].R4095")).layout),
        std::vector<std::string> { "R4095 31:0" });
    const LayoutResult past = file.importRegister(QStringLiteral("P.C[4096].D[0].R0"));
    ASSERT_FALSE(past.ok());
    EXPECT_EQ(past.error->kind, eLayoutErrorUnknownRegister);
}

TEST(SvdImportTest, RefusesARegisterOfNoNameAndNoFields)
{
    const SvdFile file = SvdFile::read(SVD_HEAD "<register>\n</register>" SVD_TAIL, "n.svd");
    ASSERT_EQ(file.registerCount(), 1u);
    ExpectError(file.importRegister(0), "n.svd", 2, "has no name");
}

TEST(SvdImportTest, LeavesOutValuesThatDoNotFitWithAWarning)
{
    const LayoutResult read = ImportLayout(SVD_HEAD
        "<register><name>R</name><fields><field><name>A</name><bitRange>[1:0]</bitRange>\n"
        "<enumeratedValues>\n<enumeratedValue><name>BIG</name><value>4</value>"
        "</enumeratedValue>\n<enumeratedValue><name>OK</name><value>#x1</value>"
        "</enumeratedValue>\n<enumeratedValue><value>2</value></enumeratedValue>"
        "</enumeratedValues></field></fields></register>" SVD_TAIL,
        QStringLiteral("w.svd"), QStringLiteral("P.R"));
    ASSERT_TRUE(read.ok()) << read.error->text().toStdString();
    EXPECT_EQ(Summaries(read.layout), std::vector<std::string> { "A 1:0 1=OK 3=OK" });
    ASSERT_EQ(read.warnings.size(), 2u);
    EXPECT_EQ(read.warnings[0].line, 4);
    EXPECT_TRUE(read.warnings[0].message.contains(QLatin1String("BIG does not fit")));
    EXPECT_EQ(read.warnings[1].line, 6);
}

// --- Files on disk ------------------------------------------------------------------

TEST(LayoutFileTest, RefusesAFileTooLargeBeforeReadingIt)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("huge.svd"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_TRUE(file.resize(kMaxLayoutFileSize + 1)); // sparse: no disk used
    file.close();
    const LayoutResult read = ReadLayoutFile(path, QStringLiteral("P.R"));
    ExpectError(read, path.toUtf8().constData(), 0, "layout files are read up to 256 MB");
    ExpectError(ReadLayoutFile(dir.filePath(QStringLiteral("missing.h"))),
        dir.filePath(QStringLiteral("missing.h")).toUtf8().constData(), 0, "no such file");
}

class LayoutStoreTest : public testing::Test {
protected:
    QTemporaryDir fHome;
    QString fDirectory = fHome.filePath(QStringLiteral("data/bitlens/layouts"));
    LayoutStore fStore { fDirectory };

    void write(const QString& name, const QByteArray& bytes)
    {
        QDir().mkpath(fDirectory);
        QFile file(QDir(fDirectory).filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray read(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

TEST_F(LayoutStoreTest, HonoursXdgDataHome)
{
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", fHome.filePath(QStringLiteral("data")).toUtf8());
    EXPECT_EQ(LayoutStore::defaultDirectory(), fDirectory);
    EXPECT_EQ(LayoutStore().directory(), fDirectory);
    qputenv("XDG_DATA_HOME", "relative/data");
    EXPECT_EQ(LayoutStore::defaultDirectory(), QDir::homePath() + "/.local/share/bitlens/layouts");
    qputenv("XDG_DATA_HOME", "");
    EXPECT_EQ(LayoutStore::defaultDirectory(), QDir::homePath() + "/.local/share/bitlens/layouts");
    qputenv("XDG_DATA_HOME", saved);
}

TEST_F(LayoutStoreTest, SavesNewLayoutsBesideOneAnotherAndOverTheirOwnFile)
{
    BitFieldLayout original = RichLayout();
    original.name = "CTRL";
    BitFieldLayout layout = original;
    const LayoutSave first = fStore.save(layout);
    ASSERT_TRUE(first.ok()) << first.error->text().toStdString();
    EXPECT_EQ(first.path, QDir(fDirectory).filePath(QStringLiteral("CTRL.json")));
    const LayoutSave second = fStore.save(layout);
    ASSERT_TRUE(second.ok());
    EXPECT_EQ(second.path, QDir(fDirectory).filePath(QStringLiteral("CTRL-2.json")));

    layout.fields.pop_back();
    const LayoutSave again = fStore.save(layout, first.path);
    ASSERT_TRUE(again.ok());
    EXPECT_EQ(again.path, first.path);
    EXPECT_EQ(fStore.load(first.path).layout, layout);
    EXPECT_EQ(read(first.path), ExportBitlensLayout(layout));
    EXPECT_EQ(fStore.load(second.path).layout, original);
    // Nothing but the two layouts: no temporary file is left behind.
    EXPECT_EQ(QDir(fDirectory).entryList(QDir::Files | QDir::Hidden),
        (QStringList { QStringLiteral("CTRL-2.json"), QStringLiteral("CTRL.json") }));
}

TEST_F(LayoutStoreTest, ListsDamagedFilesAndNeverWritesOverThem)
{
    const QByteArray damaged[] = { "{\"format\": \"bitlens-layout\", \"vers", "",
        "{\"format\": \"bitlens-layout\", \"version\": 9, \"fields\": []}", "[1, 2, 3]" };
    for (std::size_t i = 0; i < std::size(damaged); ++i)
        write(QStringLiteral("d%1.json").arg(i), damaged[i]);
    write(QStringLiteral("CTRL.json"), damaged[0]);
    write(QStringLiteral("notes.txt"), "not a layout, not listed");
    BitFieldLayout layout;
    layout.name = "CTRL";
    layout.fields = { Field("EN", 0, 0) };

    const LayoutSave saved
        = fStore.save(layout, QDir(fDirectory).filePath(QStringLiteral("CTRL.json")));
    ASSERT_TRUE(saved.ok()) << saved.error->text().toStdString();
    EXPECT_EQ(QFileInfo(saved.path).fileName(), QStringLiteral("CTRL-2.json"));
    EXPECT_EQ(read(QDir(fDirectory).filePath(QStringLiteral("CTRL.json"))), damaged[0]);

    std::vector<std::string> listed;
    for (const StoredLayout& stored : fStore.list()) {
        listed.push_back(stored.name.toStdString() + (stored.damaged() ? " damaged" : ""));
        if (stored.damaged()) {
            EXPECT_EQ(stored.damage->file, stored.path);
            EXPECT_FALSE(fStore.load(stored.path).ok());
        }
    }
    EXPECT_EQ(listed,
        (std::vector<std::string> { "CTRL", "CTRL.json damaged", "d0.json damaged",
            "d1.json damaged", "d2.json damaged", "d3.json damaged" }));
    for (std::size_t i = 0; i < std::size(damaged); ++i)
        EXPECT_EQ(read(QDir(fDirectory).filePath(QStringLiteral("d%1.json").arg(i))), damaged[i]);
}

TEST_F(LayoutStoreTest, RefusesWhatItCannotSaveWholeAndWritesNothing)
{
    BitFieldLayout unsound;
    unsound.name = "BAD";
    unsound.fields = { Field("PAST", 128, 0) };
    const LayoutSave refused = fStore.save(unsound);
    ASSERT_FALSE(refused.ok());
    EXPECT_TRUE(refused.error->message.contains(QLatin1String("past bit 127")));

    write(QStringLiteral("file"), "a file where a folder should be");
    LayoutStore blocked(QDir(fDirectory).filePath(QStringLiteral("file/layouts")));
    unsound.fields = { Field("EN", 0, 0) };
    const LayoutSave failed = blocked.save(unsound);
    ASSERT_FALSE(failed.ok());
    EXPECT_EQ(failed.error->file, blocked.directory());
    EXPECT_EQ(QDir(fDirectory).entryList(QDir::Files), QStringList { QStringLiteral("file") });
}

} // namespace
