// Writes seed inputs for every fuzz target from the notations' own
// outputs: make_seeds <directory> fills <directory>/<target>/, and
// <directory>/<target>-long/ with pastes far longer than a field, which
// the fuzzer would take long to grow to on its own.
#include "FuzzCommon.h"
#include "engine/FloatNotation.h"
#include "engine/MathOperation.h"
#include "engine/WideFloat.h"
#include "engine/WideNotation.h"

#include "files/BitlensLayoutFile.h"
#include "files/CHeaderFile.h"
#include "files/WavedromFile.h"
#include "model/ConverterModel.h"
#include "model/FieldBytes.h"
#include "model/History.h"

#include <QString>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Edges of every width, sign bits, printable text, an address, versions.
constexpr UInt64 kNumbers[] = { 0, 1, 0x7F, 0x80, 0xFF, 0x100, 0x7FFF, 0x8000, 0xFFFF, 0x12345678,
    0xFFFFFFFF, 0x100000000, 0x41424344, 0xC0A80101, 0x01236004, 0xFFFF80FF, 0x0123456789ABCDEF,
    0x8000000000000000, ~UInt64(0), 0xFFFFFFFFFFFFFF7F };

// Texts a person might type that no formatter writes.
const char* const kTyped[]
    = { "", " ", "0x1F", "DEAD beef", "-5", "  -0", "+7", "1.2.3b4", "1.2b3.4", "1..3", " 1. 2 .3",
          "1234.1.2.3", "zz", "3w5e11264sgsg", "ABCDEFGHI", "18446744073709551616",
          "-9223372036854775809", "\xE2\x80\xA2\xC3\xA9", "\xFF\xFE", "1.2.3fc3" };

// Expressions a person types, and a fault at each step of typing them.
const char* const kExpressions[] = { "0x10 << 3", "(1 << 20) - 1", "ff + 1", "-7/2", "16 << 3",
    "0b1010 << 4", "0x000000ff", "0o17", "1 +", "(3", "~", "1/0", "5 % (3 - 3)",
    "9223372036854775807 + 1", "-9223372036854775808 / -1", "-9223372036854775808 % -1",
    "1 000 + 1", "dead beef + 1", "0x_1", "1_000'000 * 2", "~0 >> 4", "0 - 1", "1 << 64", "1 << -1",
    "12abc+1", "0b102", "2(3)", "1)", "* 2", "18446744073709551616 + 1", "~ff & 0xf0 | 1 ^ 3",
    "- 9223372036854775808", "1 \xD7 2" };

// Texts each plain reading reads only in part.
const char* const kMisread[] = { "ffg", "256.1.1.1", "1.2.3x4", "1 000", "abc", "1234.5.6.7",
    "123 .4.5.6", "1.16", "1.2b3.4", "1.2.x", "nan(1", "0x1p", "1,5", "infinite", "0o17", "ff_" };

// The five fields that read expressions, as the expression target's first
// byte chooses them, with the sign and a message buffer of 41 bytes.
std::string ExpressionSeed(int field, bool isSigned, const std::string& text)
{
    return char(field | isSigned << 3 | 5 << 4) + text;
}

struct Target {
    std::string name;
    std::set<std::string> seeds;
};

// Past the parsers' 32767-byte cap.
constexpr std::size_t kLongPaste = 40000;

std::string Repeated(const std::string& piece, std::size_t length)
{
    std::string text;
    while (text.size() < length)
        text += piece;
    text.resize(length);
    return text;
}

using Writer = void (*)(const FuzzNumber&, Endian, char*);

void WriteSeeds(const fs::path& directory, const Target& target)
{
    const fs::path folder = directory / target.name;
    fs::create_directories(folder);
    int index = 0;
    for (const std::string& seed : target.seeds) {
        char name[16];
        std::snprintf(name, sizeof name, "seed-%03d", index++);
        std::ofstream(folder / name, std::ios::binary) << seed;
    }
}

std::string WithRow(RowSetup row, const std::string& text)
{
    return char(row.ToByte()) + text;
}

// Every number at every width, signed and not, in both byte orders.
template <typename Visit> void ForEachRow(Visit visit)
{
    for (UInt64 bits : kNumbers) {
        for (UInt16 width : kWidths) {
            for (bool isSigned : { false, true }) {
                for (Endian endian : kEndians)
                    visit(FuzzNumber::Make(bits & WidthMask(width), width, isSigned),
                        RowSetup { width, isSigned, endian });
            }
        }
    }
}

std::string Shown(const FuzzNumber& number, Notation notation, Endian endian)
{
    char text[kFieldBufferSize];
    WriteNotation(number, notation, endian, text);
    return text;
}

// Typing `text` into a field of the row, as the model target reads it.
std::string TypeStep(FieldType row, Notation notation, const std::string& text)
{
    std::string step { char(eModelType), 0, char(row - eFieldTypeValue), char(notation),
        char(text.size() & 0xFF), char(text.size() >> 8) };
    return step + text;
}

// A document's run: the row's width, sign and byte order chosen, `text`
// typed, a control or two, undone and done again, the math area used.
std::string ModelProgram(RowSetup row, Notation notation, const std::string& text)
{
    const int widthIndex = row.width == 8 ? 0 : row.width == 16 ? 1 : row.width == 32 ? 2 : 3;
    std::string program { char(eModelWidth), char(widthIndex), char(eModelEndian), 0,
        char(row.endian == eLittleEndian), char(eModelSigned), 0, char(row.isSigned) };
    program += TypeStep(eFieldTypeValue, notation, text);
    program += { char(eModelShift), 0, 1, char(eModelSwap), 0, char(eModelUndo), char(eModelUndo),
        char(eModelRedo), char(eModelMath), 1 };
    program += TypeStep(eFieldTypeOperand, Notation((notation + 1) % eNotationCount), text);
    program += { char(eModelOperation), char(notation * 2), char(eModelType), char(0x80), 2,
        char(notation), char(eModelBits), 1, 1, 2, 3, 4, 5, 6, 7, 8, 0 };
    // Lanes of 64 bits at 128, one written, one moved past bit 63.
    program += { char(eModelWidth), 4, char(eModelLanes), 3, char(eModelFieldValue), 1, 1, 2, 0,
        'f', 'f', char(eModelFieldBits), 0, 6, 0, '1', '0', '0', ':', '6', '4' };
    return program;
}

std::string OpsProgram(const FuzzNumber& number, RowSetup row, Notation notation)
{
    std::string program;
    auto put = [&program](std::initializer_list<int> bytes) {
        for (int byte : bytes)
            program += char(byte);
    };
    const std::string text = Shown(number, notation, row.endian);
    put({ eOpSigned, row.isSigned, eOpType, notation, row.endian == eLittleEndian,
        int(text.size()) });
    program += text;
    put({ eOpShift, 1, eOpRetype, eNotationDecimal, 1, eOpWidth, 0, eOpShift, 0 });
    put({ eOpSetSignedDec, 1 });
    for (int i = 0; i < 8; ++i)
        program += char(number.Bits() >> (8 * i));
    put({ eOpWidth, 3, eOpRetype, notation, 0, eOpOverflow, 1 });
    // Three operations per notation reach every one; the row's bits are the
    // operand.
    for (int k = 0; k < 3; ++k) {
        put({ eOpCombine, (3 * int(notation) + k) % eMathOperationCount });
        for (int i = 0; i < 8; ++i)
            program += char(number.Bits() >> (8 * i));
    }
    return program;
}

// The readers of 128 bits: each notation's own texts of 128-bit numbers made
// of the numbers above, and the forms people paste.
std::vector<Target> WideSeeds()
{
    Target ipv6 { "read_ipv6",
        { "2001:db8::1", "::", "::1", "::ffff:192.0.2.128", "2001:db8:0:0:1:0:0:1", "fe80::1%eth0",
            "[2001:db8::1]:443", "2001:db8::/32", "12345::1", "1::2::3", "1:2:3:4:5:6:7:8:9",
            "::ffff:300.1.2.3", "1.2.3.4:5", "2001:db8" } };
    Target uuid { "read_uuid",
        { "123e4567-e89b-12d3-a456-426614174000", "{919108f7-52d1-4320-9bac-f847db4148a8}",
            "urn:uuid:017F22E2-79B0-7CC3-98C4-DC0C0C07398F", "919108f752d143209bacf847db4148a8ff",
            "123e4567-e8", "9191-xyz" } };
    Target binary128 { "read_binary128",
        { "1.0000000000000000000000000000000002", "6e-4966", "0x1p-16495",
            "1.189731495357231765085759326628007e+4932", "nan(0xffffffffffffffffffffffffffff)",
            "-1e-5000", "1e5000", "0x1.00000000000000000000000000008p0" } };
    Target notations { "read_wide_notations", {} };
    for (UInt64 high : kNumbers) {
        for (UInt64 low : { UInt64(0), UInt64(1), ~UInt64(0), high }) {
            const UInt128 bits = MakeUInt128(high, low);
            WideConverter row {};
            row.SetBitWidth(128);
            row.SetUnsignedDec(bits, eBigEndian);
            for (int notation = 0; notation < eNotationCount; ++notation) {
                char shown[kWideFieldBufferSize];
                WriteNotation(row, Notation(notation), eBigEndian, shown);
                notations.seeds.insert(shown);
            }
            char text[kWideFloatSize];
            WriteIPv6(bits, text);
            ipv6.seeds.insert(text);
            WriteUuid(bits, text);
            uuid.seeds.insert(text);
            WriteWideFloat(bits, 128, text);
            binary128.seeds.insert(text);
            WriteBfloat16(high, text);
            binary128.seeds.insert(text);
        }
    }
    for (const char* typed : kTyped)
        notations.seeds.insert(typed);
    return { ipv6, uuid, binary128, notations };
}

// Layouts as the exporters write them, and files with what only a
// person's or a vendor's file has: every position form and derivedFrom of
// an SVD file, every define form of a header, attr lists of a diagram.
std::vector<Target> LayoutSeeds()
{
    BitFieldLayout layout;
    layout.name = "CTRL";
    layout.width = 32;
    BitField mode { "MODE", 31, 28, "Operating mode", false,
        { { 0, "OFF", "" }, { 3, "AUTO", "x" } }, NamedValue { 0, "RESERVED", "" } };
    BitField offset { "OFFSET", 15, 8, "", true, {}, std::nullopt };
    BitField enable { "EN", 0, 0, "Enable", false, {}, std::nullopt };
    layout.fields = { mode, offset, enable };
    BitFieldLayout wide = layout;
    wide.width = 64;
    wide.fields.push_back({ "HIGH", 63, 20, "", false, { { ~UInt64(0) >> 20, "ALL", "" } }, {} });

    Target own { "import_layout",
        { ExportBitlensLayout(layout).toStdString(), ExportBitlensLayout(wide).toStdString(),
            "{\"format\": \"bitlens-layout\", \"version\": 2, \"fields\": []}" } };
    Target diagram { "import_wavedrom",
        { ExportWavedrom(layout).bytes.toStdString(),
            R"({"reg": [{"name": 51, "bits": 7, "attr": 51}, {"bits": 5},
                {"name": "MODE", "bits": 4, "attr": ["Mode", "0: OFF", "0x3 = AUTO"]}],
                "config": {"bits": 16}})",
            // As people write them: JavaScript object literals.
            "// a diagram\n/* as written */ {reg: [\n  {bits: 7, name: 0x33, attr: ['OP', "
            "'x\\u00e9\\n'],},\n"
            "  {bits: +5, name: \"rd\", attr: '1 = SET'}, // comma\n  {bits: .5e1, name: "
            "'it\\'s'},\n"
            "], config: {bits: 0x10, lanes: Infinity, hspace: -NaN, label: {right: null}}}",
            "{signal: [{name: 'clk', wave: 'p..'}]}" } };
    Target header { "import_c_header",
        { ExportCHeader(wide, QStringLiteral("CTRL_")).toStdString(),
            "#define A_Pos (4U)\n#define A (0x3UL << A_Pos) /*!< two bits */\n"
            "#define B GENMASK_ULL(47, 40)\n#define C BIT(3) // three\n"
            "/* #define D BIT(1) */\n#define E \\\n ((uint32_t)0x7 << (1))\n"
            "#define F (0x5u << 2)\n#define G(x) BIT(x)\n",
            // Vendors' families and values, defines in any order.
            "#ifndef REGS_H\n#define REGS_H\n/* Bits 3..1 : Parity */\n"
            "#define REGS_P_Msk (0x7UL << REGS_P_Pos)\n#define REGS_P_Pos (1UL)\n"
            "#define REGS_P_Included (0x7UL) /*!< on */\n#define REGS_P REGS_P_Msk\n"
            "#define REGS_P_0 (0x1UL << REGS_P_Pos)\n#define REGS_S_MASK (0x03 << 12)\n"
            "#define REGS_S_SHIFT 12\n#define REGS_S_0_5 (0x01 << 12)\n#define REGS_T_M 0x60\n"
            "#define REGS_T_S 5\n#define REGS_T_8 0x60\n#define REGS_U_BIT BIT_32(REGS_U_SHIFT)\n"
            "#define REGS_U_SHIFT U(9)\n#define REGS_U_MASK U(0x1)\n#define REGS_V GENMASK_32(31, "
            "28)\n"
            "#define REGS_W_8 (3 << 5)\n#define REGS_W_5 (0 << 5)\n#define REGS_X (ULL(1) << 40)\n"
            "#define REGS_Y ((REGS_S_SHIFT + 2) * 3 / 2 % 64 ^ 1 | ~0 & -1)\n#endif\n" } };
    const std::string svd = R"(<?xml version="1.0" encoding="utf-8"?>
<device><size>32</size><peripherals>
<peripheral><name>P</name><size>16</size><registers>
<register><name>R</name><description>Control</description><fields>
<field><name>EN</name><bitOffset>0</bitOffset><bitWidth>1</bitWidth>
<enumeratedValues><name>E</name><enumeratedValue><name>OFF</name><value>0</value></enumeratedValue>
<enumeratedValue><name>ON</name><value>#1</value></enumeratedValue></enumeratedValues></field>
<field><name>MODE</name><lsb>1</lsb><msb>3</msb><enumeratedValues><usage>read</usage>
<enumeratedValue><name>FAST</name><value>#1x1</value></enumeratedValue>
<enumeratedValue><name>OTHER</name><isDefault>true</isDefault></enumeratedValue></enumeratedValues></field>
<field><name>PRE</name><bitRange>[15:8]</bitRange><description><![CDATA[</fields>]]></description></field>
<field derivedFrom="EN"><name>EN2</name><bitOffset>4</bitOffset></field>
</fields></register>
<register derivedFrom="R"><name>R2</name></register>
<cluster><name>CH[%s]</name><dim>2</dim><dimIncrement>4</dimIncrement><register><name>CFG</name><size>8</size>
<fields><field><name>PIN%s</name><dim>4</dim><dimIncrement>2</dimIncrement><bitOffset>0</bitOffset><bitWidth>2</bitWidth>
<enumeratedValues derivedFrom="P.R.EN.E"/></field></fields></register></cluster>
</registers></peripheral>
<peripheral derivedFrom="P"><name>Q</name></peripheral>
</peripherals></device>
)";
    QString utf16 = QString::fromStdString(svd);
    utf16.replace(QLatin1String("utf-8"), QLatin1String("utf-16"));
    // UTF-16 as it lies in memory on this little-endian machine, after its mark.
    const std::string utf16Bytes = "\xFF\xFE"
        + std::string(reinterpret_cast<const char*>(utf16.utf16()), std::size_t(utf16.size()) * 2);
    // Arrays of peripherals, of more than 4096 and nested, alternate
    // groups, a register without fields, a DOCTYPE with an entity.
    const std::string arrays = R"(<?xml version="1.0"?>
<!DOCTYPE device [<!ENTITY en "Enable">]>
<device><peripherals><peripheral><name>U[%s]</name><dim>2</dim><dimIncrement>4</dimIncrement>
<registers><register><name>LCR</name><fields><field><name>EN</name><description>&en;</description>
<bitOffset>0</bitOffset></field></fields></register><register><name>LCR</name>
<alternateGroup>ALT</alternateGroup><size>8</size></register>
<register><dim>4100</dim><dimIndex>0-4099</dimIndex><name>C%s</name><description>[%s]</description>
</register><cluster><dim>2</dim><name>K[%s]</name><register><dim>3</dim><name>R%s</name>
</register></cluster></registers></peripheral></peripherals></device>
)";
    Target svdFile { "import_svd", { svd, utf16Bytes, arrays } };
    return { own, diagram, header, svdFile };
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <directory>\n", argv[0]);
        return 2;
    }
    const Notation parsed[] = { eNotationBinary, eNotationOctal, eNotationHexadecimal,
        eNotationQuixadecimal, eNotationText, eNotationIPAddress, eNotationNumVersion };
    std::vector<Target> parsers
        = { { "parse_bin", {} }, { "parse_oct", {} }, { "parse_hex", {} }, { "parse_quix", {} },
              { "parse_text", {} }, { "parse_ipaddress", {} }, { "parse_version", {} } };
    Target decimal { "read_decimal", {} };
    Target model { "model_actions", {} };
    Target ops { "engine_ops", {} };
    Target expressions { "evaluate_expression", {} };
    Target notes { "reading_note", {} };
    const Notation expressionFields[] = { eNotationBinary, eNotationOctal, eNotationDecimal,
        eNotationHexadecimal, eNotationQuixadecimal };
    Target floats { "read_float",
        { "0x1.8p3", "-infinity", "nan(0x1)", "1.00048828125e0", " 1e" } };
    for (UInt64 bits : kNumbers) {
        for (UInt16 width : kWidths) {
            char shown[kFloatSize];
            WriteFloat(bits, width, shown);
            floats.seeds.insert(shown);
        }
    }

    int visited = 0;
    ForEachRow([&](const FuzzNumber& number, RowSetup row) {
        for (std::size_t i = 0; i < parsers.size(); ++i)
            parsers[i].seeds.insert(Shown(number, parsed[i], row.endian));
        // The other targets get a sample, not every row.
        const Notation notation = Notation(visited++ % eNotationCount);
        if (visited % 4 == 0)
            decimal.seeds.insert(WithRow(row, Shown(number, eNotationDecimal, row.endian)));
        if (visited % 9 == 0) {
            std::string shown;
            FieldTextFromBytes(Shown(number, notation, row.endian).c_str(), shown);
            model.seeds.insert(ModelProgram(row, notation, shown));
        }
        if (visited % 7 == 0)
            ops.seeds.insert(OpsProgram(number, row, notation));
        if (visited % 5 == 0) {
            const int index = visited / 5 % 5;
            const std::string shown = Shown(number, expressionFields[index], row.endian);
            expressions.seeds.insert(ExpressionSeed(index, row.isSigned, shown));
            expressions.seeds.insert(ExpressionSeed(index, row.isSigned, "(" + shown + ") + 1"));
        }
        if (visited % 3 == 0)
            notes.seeds.insert(char(notation) + Shown(number, notation, row.endian));
    });
    for (int index = 0; index < 5; ++index) {
        for (bool isSigned : { false, true }) {
            for (const char* typed : kExpressions)
                expressions.seeds.insert(ExpressionSeed(index, isSigned, typed));
        }
    }
    // Nested as deep as a field's text allows, and one deeper.
    for (int depth : { 127, 128 }) {
        expressions.seeds.insert(ExpressionSeed(3, false,
            std::string(std::size_t(depth), '(') + "1" + std::string(std::size_t(depth), ')')));
        expressions.seeds.insert(
            ExpressionSeed(2, true, std::string(std::size_t(depth), '-') + "1"));
    }
    for (int notation = 0; notation < eNotationCount; ++notation) {
        for (const char* typed : kMisread)
            notes.seeds.insert(char(notation) + std::string(typed));
    }
    for (const char* typed : kTyped) {
        for (Target& target : parsers)
            target.seeds.insert(typed);
        notes.seeds.insert(char(eNotationIPAddress) + std::string(typed));
        notes.seeds.insert(char(eNotationNumVersion) + std::string(typed));
        decimal.seeds.insert(WithRow(RowSetup::FromByte(4), typed));
        model.seeds.insert(ModelProgram(RowSetup::FromByte(2), eNotationHexadecimal, typed));
        floats.seeds.insert(typed);
    }

    std::vector<Target> pastes;
    for (const Target& target : parsers) {
        pastes.push_back({ target.name + "-long", {} });
        const auto longest = std::max_element(target.seeds.begin(), target.seeds.end(),
            [](const std::string& a, const std::string& b) { return a.size() < b.size(); });
        pastes.back().seeds.insert(Repeated(*longest + ' ', kLongPaste));
        pastes.back().seeds.insert(Repeated("1.2.3b4 fF", kLongPaste));
    }
    pastes.push_back({ "read_decimal-long",
        { WithRow(RowSetup::FromByte(0), Repeated("9", kLongPaste)),
            WithRow(RowSetup::FromByte(7), "-" + Repeated("12", kLongPaste)) } });
    pastes.push_back({ "read_binary128-long",
        { "0." + Repeated("0", 4900) + Repeated("123456789", kLongPaste / 9),
            Repeated("7", kLongPaste) } });
    pastes.push_back(
        { "read_ipv6-long", { Repeated("1:", kLongPaste), Repeated("::ffff:1.2.", kLongPaste) } });
    pastes.push_back({ "read_uuid-long", { Repeated("{0123-abcd}", kLongPaste) } });
    pastes.push_back({ "read_float-long",
        { Repeated("9", kLongPaste), "0." + Repeated("0", kLongPaste) + "1e40000",
            "1.00048828125" + Repeated("0", kLongPaste) } });
    const std::string mixed = "\xC3\xA9\xE2\x80\xA2"
                              "0x1F \xFF\xF0\x9F\x98\x80\xED\xA0\x80";
    pastes.push_back({ "model_actions-long",
        { ModelProgram(RowSetup::FromByte(2), eNotationText, Repeated(mixed, 60000)),
            ModelProgram(RowSetup::FromByte(7), eNotationDecimal, Repeated("9", 60000)) } });

    const fs::path directory = argv[1];
    for (const std::vector<Target>* targets : { &parsers, &pastes }) {
        for (const Target& target : *targets)
            WriteSeeds(directory, target);
    }
    // A history of the calculations, each entered in a row and field of
    // its own, with the math area open for every third; and each alone.
    Target history { "read_history", {} };
    History entered;
    SInt64 time = 1700000000000;
    for (const char* typed : kExpressions) {
        ConverterModel document;
        const auto row = time % 2 ? eFieldTypeOperand : eFieldTypeValue;
        document.mathDisclosured(row == eFieldTypeOperand || time % 3 == 0);
        const auto notation = expressionFields[time % 5];
        document.typeInto(row, notation, typed);
        if (const auto entry = EntryOnEnter(document, row, notation, time++)) {
            History alone;
            alone.add(*entry);
            history.seeds.insert(WriteHistory(alone));
            entered.add(*entry);
        }
    }
    history.seeds.insert(WriteHistory(entered));
    for (const Target* target : { &decimal, &floats, &model, &ops, &expressions, &notes, &history })
        WriteSeeds(directory, *target);
    for (const Target& target : LayoutSeeds())
        WriteSeeds(directory, target);
    for (const Target& target : WideSeeds())
        WriteSeeds(directory, target);
    return 0;
}
