// The document model without any widget: the user's actions as scripts,
// each checked against what every field, control and flag then shows, and
// undo checked to bring back exactly what was shown before.
#include "model/ConverterModel.h"
#include "model/BitFieldLayout.h"
#include "model/FieldBytes.h"
#include "model/History.h"

#include "engine/WideFloat.h"

#include "RandomText.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace {

// The window's names for what a row shows, so that a script reads as the
// steps a user takes in the window.
const char* const kPrefixes[kRowCount] = { "current", "operand", "result" };
const char* const kSuffixes[kRowCount] = { "Value", "Operand", "Result" };
const char* const kNotationNames[eNotationCount] = { "Binary", "Decimal", "Hexadecimal", "Octal",
    "Quixadecimal", "Text", "IPAddress", "NumVersion", "Float", "Uuid" };
const char* const kOperations[eMathOperationCount]
    = { "AND", "OR", "XOR", "add", "subtract", "multiply", "divide", "remainder", "shift right",
          "shift left", "NOT", "NAND", "NOR", "XNOR", "rotate left", "rotate right",
          "arithmetic shift right", "signed divide", "signed remainder", "negate" };
const char* const kFlags[eMathFlagCount] = { "resultZeroFlag", "resultSignFlag", "resultCarryFlag",
    "resultOverflowFlag", "resultDivideByZeroFlag" };

enum Part {
    eField,
    eSignedBox,
    eBigEndianRadio,
    eLittleEndianRadio,
    eSwap,
    eShiftLeft,
    eShiftRight,
    eBinaryMagnitude,
    eMetricMagnitude,
    eGrid,
    eWarning,
    eWidthPopup,
    eOperationPopup,
    eDisclosure,
    eMathBox,
    eFlag
};

struct Widget {
    Part part;
    FieldType row = eFieldTypeValue;
    int index = 0; // the notation of a field, the flag of a flag
};

const std::map<std::string, Widget>& Widgets()
{
    static const std::map<std::string, Widget> widgets = [] {
        std::map<std::string, Widget> named;
        for (int r = 0; r < kRowCount; ++r) {
            const auto row = static_cast<FieldType>(r + eFieldTypeValue);
            const std::string prefix = kPrefixes[r], suffix = kSuffixes[r];
            for (int n = 0; n < eNotationCount; ++n)
                named[prefix + kNotationNames[n]] = { eField, row, n };
            named["signed" + suffix + "Box"] = { eSignedBox, row };
            named[prefix + "BigEndianRadio"] = { eBigEndianRadio, row };
            named[prefix + "LittleEndianRadio"] = { eLittleEndianRadio, row };
            named["swapEndian" + suffix] = { eSwap, row };
            named["shiftLeft" + suffix] = { eShiftLeft, row };
            named["shiftRight" + suffix] = { eShiftRight, row };
            named[prefix + "BinaryMagnitude"] = { eBinaryMagnitude, row };
            named[prefix + "MetricMagnitude"] = { eMetricMagnitude, row };
            named[prefix + "BitGrid"] = { eGrid, row };
            named[prefix + "OverflowWarning"] = { eWarning, row };
        }
        named["currentIpAddress"] = named["currentIPAddress"];
        named["bitWidthPopup"] = { eWidthPopup };
        named["mathOperation"] = { eOperationPopup };
        named["mathDisclosure"] = { eDisclosure };
        named["expandedBox"] = { eMathBox };
        for (int flag = 0; flag < eMathFlagCount; ++flag)
            named[kFlags[flag]] = { eFlag, eFieldTypeResult, flag };
        return named;
    }();
    return widgets;
}

Widget Find(const std::string& name)
{
    const auto found = Widgets().find(name);
    if (found == Widgets().end())
        throw std::runtime_error("no widget named " + name);
    return found->second;
}

std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, separator))
        parts.push_back(part);
    if (!text.empty() && text.back() == separator)
        parts.emplace_back();
    return parts;
}

// The English a row's message line shows.
std::string MessageText(const RowMessage& message)
{
    return message.text ? message.english() : "hidden";
}

std::string Checked(bool checked)
{
    return checked ? "checked" : "unchecked";
}

// What the window would show in the widget of that name.
std::string Shown(const ConverterModel& model, const std::string& name)
{
    const Widget widget = Find(name);
    const FieldType row = widget.row;
    std::ostringstream out;
    switch (widget.part) {
    case eField: return model.text(row, static_cast<Notation>(widget.index));
    case eSignedBox: return Checked(model.isSigned(row));
    case eBigEndianRadio: return Checked(model.endian(row) == eBigEndian);
    case eLittleEndianRadio: return Checked(model.endian(row) == eLittleEndian);
    case eBinaryMagnitude: return model.magnitude(row, false);
    case eMetricMagnitude: return model.magnitude(row, true);
    case eGrid:
        out << std::hex << model.bits(row) << '@' << std::dec << model.width()
            << (model.isSigned(row) ? " signed" : "");
        return out.str();
    case eWarning: return MessageText(model.message(row));
    case eWidthPopup: return std::to_string(model.width()) + " bits";
    case eOperationPopup: return kOperations[model.operation()];
    case eDisclosure: return Checked(model.mathEnabled());
    case eMathBox: return model.mathEnabled() ? "shown" : "hidden";
    case eFlag: return Checked(model.flag(static_cast<MathFlag>(widget.index)));
    default: throw std::runtime_error(name + " shows nothing");
    }
}

// Types `text` as a user does, a character at a time after selecting all.
void Type(ConverterModel& model, FieldType row, Notation notation, const std::string& text)
{
    if (text.empty())
        model.typeInto(row, notation, "");
    for (std::size_t end = 1; end <= text.size(); ++end)
        if (end == text.size() || (static_cast<unsigned char>(text[end]) & 0xC0) != 0x80)
            model.typeInto(row, notation, text.substr(0, end));
}

// One step of a script, in the window tests' words: "type FIELD TEXT",
// "click BUTTON", "choose POPUP ITEM", "bit GRID N", "drag GRID FROM TO",
// "key FIELD Backspace", "key FIELD Return", "undo", "redo".
void Step(ConverterModel& model, const std::string& step)
{
    const std::vector<std::string> words = Split(step, ' ');
    const std::string& verb = words[0];
    if (verb == "undo" || verb == "redo") {
        verb == "undo" ? model.undo() : model.redo();
        return;
    }
    const Widget widget = verb == "field" ? Widget { eField } : Find(words.at(1));
    const FieldType row = widget.row;
    const std::string argument = step.size() > verb.size() + words[1].size() + 2
        ? step.substr(verb.size() + words[1].size() + 2)
        : "";
    const auto notation = static_cast<Notation>(widget.index);
    if (verb == "type") {
        Type(model, row, notation, argument);
    } else if (verb == "key" && argument == "Backspace") {
        std::string text = model.text(row, notation);
        while (!text.empty() && (static_cast<unsigned char>(text.back()) & 0xC0) == 0x80)
            text.pop_back();
        if (!text.empty())
            text.pop_back();
        model.typeInto(row, notation, text);
    } else if (verb == "key" && argument == "Return") {
        model.enter(row, notation, 1);
    } else if (verb == "click") {
        switch (widget.part) {
        case eSignedBox: model.setSigned(row, !model.isSigned(row)); break;
        case eBigEndianRadio: model.endianSwitched(row, eBigEndian); break;
        case eLittleEndianRadio: model.endianSwitched(row, eLittleEndian); break;
        case eSwap: model.swapEndian(row); break;
        case eShiftLeft: model.shift(row, eShiftLeftDir); break;
        case eShiftRight: model.shift(row, eShiftRightDir); break;
        case eDisclosure: model.mathDisclosured(!model.mathEnabled()); break;
        default: throw std::runtime_error("cannot click " + words[1]);
        }
    } else if (verb == "choose" && widget.part == eWidthPopup) {
        model.chooseWidth(UInt16(std::stoi(argument)));
    } else if (verb == "choose") {
        const auto* found = std::find(std::begin(kOperations), std::end(kOperations), argument);
        model.chooseOperation(static_cast<MathOperation>(found - std::begin(kOperations)));
    } else if (verb == "bit") {
        // As the grid does: all the row's bits, 128 at 128 bits.
        model.setWideBits(row, model.wideBits(row) ^ (UInt128(1) << std::stoi(argument)));
    } else if (verb == "field") {
        // "field MSB:LSB[s] VALUE": a value cell of a field, signed with s.
        BitField field;
        field.name = "F";
        field.isSigned = words[1].back() == 's';
        field.msb = std::stoi(words[1]);
        field.lsb = std::stoi(words[1].substr(words[1].find(':') + 1));
        model.setFieldValue(field, UInt64(std::stoll(words.at(2), nullptr, 0)));
    } else if (verb == "drag") {
        // Every bit passed takes the value the first one takes.
        const int from = std::stoi(words.at(2)), to = std::stoi(words.at(3));
        const bool value = !((model.wideBits(row) >> from) & 1);
        for (int bit = from;; bit += to > bit ? 1 : -1) {
            const UInt128 mask = UInt128(1) << bit;
            const UInt128 bits = model.wideBits(row);
            model.setWideBits(row, value ? bits | mask : bits & ~mask, bit != from);
            if (bit == to)
                break;
        }
    } else {
        throw std::runtime_error("unknown step: " + step);
    }
}

void RunSteps(ConverterModel& model, const std::string& steps)
{
    for (const std::string& step : Split(steps, '|'))
        Step(model, step);
}

void ExpectShown(const ConverterModel& model, const std::string& shown)
{
    for (const std::string& pair : Split(shown, '|')) {
        const std::size_t equals = pair.find('=');
        const std::string name = pair.substr(0, equals);
        EXPECT_EQ(name + ": " + Shown(model, name),
            pair.substr(0, equals) + ": " + pair.substr(equals + 1));
    }
}

// A script: the steps, then what the window shows afterwards, "NAME=SHOWN|...".
struct Script {
    const char* name;
    const char* steps;
    const char* shown;
};

// Each script on a new document.
template <std::size_t Count> void ExpectScripts(const Script (&scripts)[Count])
{
    for (const Script& script : scripts) {
        SCOPED_TRACE(script.name);
        ConverterModel model;
        RunSteps(model, script.steps);
        ExpectShown(model, script.shown);
    }
}

// Texts that spell more than 128 bits: 2^128 in hexadecimal, and 40 nines.
#define HEX33 "1 0000 0000 0000 0000 0000 0000 0000 0000"
#define NINES40 "9999999999999999999999999999999999999999"

const Script kScripts[] = {
    // Signs.
    { "empty decimal is unsigned 0", "type currentDecimal -5|type currentDecimal ",
        "currentHexadecimal=0000|signedValueBox=unchecked" },
    { "minus sign makes the row signed", "type currentDecimal -5",
        "signedValueBox=checked|currentHexadecimal=ffff fffb|bitWidthPopup=32 bits" },
    { "blank before the minus sign", "type currentDecimal  -5",
        "signedValueBox=checked|currentHexadecimal=ffff fffb|bitWidthPopup=32 bits" },
    { "no minus sign clears the box", "type currentDecimal -5|type currentDecimal 5",
        "signedValueBox=unchecked|currentHexadecimal=0005" },
    { "signed box reads all ones as -1", "type currentHexadecimal ffffffff|click signedValueBox",
        "currentDecimal=-1|currentHexadecimal=ffffffff|currentBinaryMagnitude=-1" },
    { "signed box cleared again",
        "type currentHexadecimal ffffffff|click signedValueBox|click signedValueBox",
        "currentDecimal=4294967295|currentMetricMagnitude=4.295 billion" },
    { "signed result box",
        "click mathDisclosure|type currentDecimal 1|type operandDecimal 2|"
        "choose mathOperation subtract|click signedResultBox",
        "resultDecimal=-1|resultHexadecimal=ffff ffff" },
    { "result keeps its sign on recompute",
        "click mathDisclosure|click signedResultBox|type currentDecimal 1|"
        "type operandDecimal 2|choose mathOperation subtract",
        "resultDecimal=-1|signedResultBox=checked" },
    // The Result row holds the whole result, which clearing its box must
    // not cut to the width: the fields that show 32 bits show it still.
    { "result sign box cleared keeps the bits above the width",
        "click mathDisclosure|choose bitWidthPopup 8 bits|type currentDecimal 255|"
        "choose mathOperation add|type operandDecimal 255|click signedResultBox|"
        "click signedResultBox",
        "resultIPAddress=0.0.1.254|resultDecimal=254|signedResultBox=unchecked" },

    // Width: chosen, and widened by what is typed.
    { "narrowing cuts the bits", "type currentHexadecimal 1234|choose bitWidthPopup 8 bits",
        "currentDecimal=52|currentHexadecimal=34|currentText=4" },
    { "negative stays negative when widened", "type currentDecimal -5|choose bitWidthPopup 64 bits",
        "currentDecimal=-5|currentHexadecimal=ffff ffff ffff fffb|signedValueBox=checked" },
    { "signed row no longer negative becomes unsigned",
        "type currentDecimal -256|choose bitWidthPopup 8 bits",
        "currentDecimal=0|signedValueBox=unchecked" },
    { "nine hexadecimal digits widen to 64", "type currentHexadecimal 1 0000 0000",
        "bitWidthPopup=64 bits|currentDecimal=4294967296" },
    { "64 bits never narrows", "choose bitWidthPopup 64 bits|type currentDecimal 7",
        "bitWidthPopup=64 bits|currentText=••••••••" },
    { "widening keeps the typed hexadecimal text",
        "choose bitWidthPopup 8 bits|type currentHexadecimal 1FF",
        "bitWidthPopup=16 bits|currentDecimal=511|currentHexadecimal=1FF" },
    { "little-endian 300 at 8 bits stays 300",
        "choose bitWidthPopup 8 bits|click currentLittleEndianRadio|type currentDecimal 300",
        "bitWidthPopup=16 bits|currentDecimal=300|currentHexadecimal=2c01" },
    { "operand widens all rows",
        "click mathDisclosure|type currentDecimal 1|type operandHexadecimal 1 0000 0000",
        "bitWidthPopup=64 bits|currentHexadecimal=0001|operandDecimal=4294967296" },
    { "widening keeps the typed operand decimal",
        "click mathDisclosure|choose bitWidthPopup 8 bits|click operandLittleEndianRadio|"
        "type operandDecimal 300",
        "bitWidthPopup=16 bits|operandDecimal=300|operandHexadecimal=2c01" },
    { "opening shows the operand at the present width",
        "click mathDisclosure|type operandHexadecimal 1234|click mathDisclosure|"
        "choose bitWidthPopup 8 bits|type currentHexadecimal ff|click mathDisclosure",
        "operandHexadecimal=34|operandDecimal=52|resultDecimal=52" },

    // 128 bits.
    { "128 bits chosen", "choose bitWidthPopup 128 bits|type currentDecimal -1",
        "currentHexadecimal=ffff ffff ffff ffff ffff ffff ffff ffff|"
        "currentBinaryMagnitude=-1" },
    { "128 narrowed to 64 cuts",
        "type currentHexadecimal 1234 0000 0000 0000 0000 0000 0000 0005|"
        "choose bitWidthPopup 64 bits",
        "bitWidthPopup=64 bits|currentDecimal=5" },
    { "a shift left at 128 drops the top bit",
        "choose bitWidthPopup 128 bits|"
        "type currentHexadecimal 8000 0000 0000 0000 0000 0000 0000 0001|click shiftLeftValue",
        "currentHexadecimal=0002|bitWidthPopup=128 bits" },
    { "a shift right at 128 moves bit 64",
        "type currentHexadecimal 1 0000 0000 0000 0000|click shiftRightValue",
        "currentHexadecimal=8000 0000 0000 0000|bitWidthPopup=128 bits" },
    { "a grid click at 128 keeps the high half",
        "type currentHexadecimal 1 0000 0000 0000 0000|bit currentBitGrid 0",
        "currentHexadecimal=0001 0000 0000 0000 0001" },
    { "a grid click sets bit 127", "choose bitWidthPopup 128 bits|bit currentBitGrid 127",
        "currentHexadecimal=8000 0000 0000 0000 0000 0000 0000 0000|currentBitGrid=0@128" },
    { "a grid click clears bit 100",
        "type currentHexadecimal ffff ffff ffff ffff ffff ffff ffff ffff|bit currentBitGrid 100",
        "currentHexadecimal=ffff ffef ffff ffff ffff ffff ffff ffff" },
    { "a drag across bit 64 at 128", "choose bitWidthPopup 128 bits|drag currentBitGrid 61 66",
        "currentHexadecimal=0007 e000 0000 0000 0000" },
    { "a drag down from bit 127 clears",
        "type currentDecimal " NINES40 "|drag currentBitGrid 127 96",
        "currentHexadecimal=ffff ffff ffff ffff ffff ffff" },
    { "the result grid refuses edits at 128",
        "click mathDisclosure|type currentHexadecimal 1 0000 0000 0000 0000 0000 0000 0000|"
        "bit resultBitGrid 127|bit resultBitGrid 0",
        "resultDecimal=0|resultBitGrid=0@128" },
    { "an add at 128 carries out of bit 127",
        "click mathDisclosure|choose mathOperation add|"
        "type currentHexadecimal ffff ffff ffff ffff ffff ffff ffff ffff|type operandDecimal 1",
        "resultDecimal=0|resultCarryFlag=checked|resultZeroFlag=checked" },

    // UUIDs, at 128 bits only.
    { "a UUID pasted widens to 128", "type currentUuid 123e4567-e89b-42d3-a456-426614174000",
        "bitWidthPopup=128 bits|currentHexadecimal=123e 4567 e89b 42d3 a456 4266 1417 4000|"
        "currentOverflowWarning=version 4, random" },
    { "a UUID in braces after urn:uuid:",
        "type currentUuid urn:uuid:{F81D4FAE-7DEC-11D0-A765-00A0C91E6BF6}",
        "currentHexadecimal=f81d 4fae 7dec 11d0 a765 00a0 c91e 6bf6|"
        "currentOverflowWarning=version 1, Gregorian time-based" },
    { "the nil UUID", "type currentUuid 0",
        "currentOverflowWarning=the nil UUID|currentDecimal=0|bitWidthPopup=128 bits" },
    { "a UUID field is empty below 128 bits",
        "type currentUuid 1|choose bitWidthPopup 64 bits|click mathDisclosure",
        "currentUuid=|operandUuid=|resultUuid=" },
    { "a number at 128 shows its UUID", "type currentHexadecimal 1 0000 0000 0000 0000",
        "currentUuid=00000000-0000-0001-0000-000000000000" },

    // Byte order.
    { "little-endian radio keeps the bits", "type currentDecimal 1|click currentLittleEndianRadio",
        "currentDecimal=16777216|currentHexadecimal=0001|currentBinaryMagnitude=16.000 MB" },
    { "swap keeps the decimal", "type currentDecimal 1|click swapEndianValue",
        "currentDecimal=1|currentHexadecimal=0100 0000|currentLittleEndianRadio=checked" },
    { "swap at 8 bits changes only the order",
        "choose bitWidthPopup 8 bits|type currentDecimal 5|click swapEndianValue",
        "currentDecimal=5|currentHexadecimal=05|currentLittleEndianRadio=checked" },
    { "swap of a signed positive row clears the sign",
        "type currentDecimal 1|click signedValueBox|click swapEndianValue",
        "currentDecimal=1|signedValueBox=unchecked" },
    { "operand swap and radio",
        "click mathDisclosure|type operandDecimal 1|click swapEndianOperand|"
        "click operandBigEndianRadio",
        "operandDecimal=16777216|operandHexadecimal=0100 0000" },
    { "result radio reads the result little-endian",
        "click mathDisclosure|type currentDecimal 255|type operandDecimal 1|"
        "click resultLittleEndianRadio",
        "resultDecimal=16777216|resultHexadecimal=0001|resultMetricMagnitude=16.777 million" },

    // Shift buttons.
    { "shift left widens 255 at 8 bits",
        "choose bitWidthPopup 8 bits|type currentDecimal 255|click shiftLeftValue",
        "currentDecimal=510|bitWidthPopup=16 bits" },
    { "shift left widens to 64", "type currentDecimal 2147483648|click shiftLeftValue",
        "currentDecimal=4294967296|bitWidthPopup=64 bits" },
    { "shift left at 64 drops the top bit",
        "choose bitWidthPopup 64 bits|type currentHexadecimal 8000 0000 0000 0001|"
        "click shiftLeftValue",
        "currentDecimal=2|bitWidthPopup=64 bits" },
    { "signed -2 shifts right to -1", "type currentDecimal -2|click shiftRightValue",
        "currentDecimal=-1|bitWidthPopup=32 bits" },
    { "signed -2 shifts left to -4", "type currentDecimal -2|click shiftLeftValue",
        "currentDecimal=-4|bitWidthPopup=32 bits" },
    { "operand shift recomputes the result",
        "click mathDisclosure|type currentDecimal 1|choose mathOperation add|"
        "type operandDecimal 3|click shiftLeftOperand|click shiftLeftOperand|"
        "click shiftRightOperand",
        "operandDecimal=6|resultDecimal=7" },

    // The math area.
    { "closing keeps the rows' texts",
        "click mathDisclosure|type operandDecimal 9|click mathDisclosure|click mathDisclosure",
        "expandedBox=shown|operandDecimal=9|resultDecimal=0" },
    { "closed area leaves the result as it was",
        "click mathDisclosure|choose mathOperation OR|type currentDecimal 1|"
        "click mathDisclosure|type currentDecimal 2",
        "resultDecimal=1|expandedBox=hidden" },
    { "choosing an operation recomputes at once",
        "click mathDisclosure|type currentDecimal 6|type operandDecimal 3|"
        "choose mathOperation multiply",
        "resultDecimal=18" },

    // The float field.
    { "float reads the width's format", "choose bitWidthPopup 16 bits|type currentFloat 65504",
        "currentHexadecimal=7bff|currentDecimal=31743|bitWidthPopup=16 bits" },
    { "float at 64 bits keeps the signed zero", "choose bitWidthPopup 64 bits|type currentFloat -0",
        "currentHexadecimal=8000 0000 0000 0000|currentFloat=-0|signedValueBox=unchecked" },
    { "float at 8 bits is read as a single", "choose bitWidthPopup 8 bits|type currentFloat 1",
        "bitWidthPopup=32 bits|currentHexadecimal=3f80 0000|currentFloat=1|"
        "operandFloat=0|currentBitGrid=3f800000@32" },
    { "8 bits have no float", "type currentFloat 2|choose bitWidthPopup 8 bits",
        "currentFloat=|currentHexadecimal=00|currentDecimal=0" },
    { "float in a little-endian row", "click currentLittleEndianRadio|type currentFloat 1",
        "currentHexadecimal=803f|currentDecimal=1065353216|currentBitGrid=803f@32" },
    { "little-endian radio rereads the float", "type currentFloat 1|click currentLittleEndianRadio",
        "currentFloat=4.6006e-41|currentHexadecimal=3f80 0000" },
    { "the sign box leaves the float alone", "type currentFloat -2|click signedValueBox",
        "currentFloat=-2|currentDecimal=-1073741824" },
    { "operand float at 8 bits widens every row",
        "click mathDisclosure|choose bitWidthPopup 8 bits|type currentDecimal 3|"
        "type operandFloat 0.5",
        "bitWidthPopup=32 bits|currentDecimal=3|operandHexadecimal=3f00 0000|"
        "resultDecimal=0|resultFloat=0" },
    { "result float of the bits added",
        "click mathDisclosure|type currentFloat 1|choose mathOperation add|type operandFloat 1",
        "resultHexadecimal=7f00 0000|resultFloat=1.7014118e+38" },

    // Bit grids: a change of the row in any way shows in its grid.
    { "grid follows typing", "type currentDecimal 300", "currentBitGrid=12c@32" },
    { "grid follows narrowing", "type currentDecimal 300|choose bitWidthPopup 8 bits",
        "currentBitGrid=2c@8" },
    { "grid follows widening", "type currentHexadecimal 1 0000 0000",
        "currentBitGrid=100000000@64" },
    { "grid marks the sign", "type currentHexadecimal ffffffff|click signedValueBox",
        "currentBitGrid=ffffffff@32 signed" },
    { "grid keeps the bits when the byte order changes",
        "type currentDecimal 1|click currentLittleEndianRadio", "currentBitGrid=1@32" },
    { "grid follows a swap", "type currentDecimal 1|click swapEndianValue",
        "currentBitGrid=1000000@32" },
    { "grid follows a shift", "type currentDecimal 3|click shiftLeftValue", "currentBitGrid=6@32" },
    { "result grid follows the math",
        "click mathDisclosure|type currentDecimal 6|type operandDecimal 3|"
        "choose mathOperation subtract",
        "resultBitGrid=3@32|operandBitGrid=3@32" },
    { "opening shows the operand grid at the present width",
        "click mathDisclosure|type operandHexadecimal 1234|click mathDisclosure|"
        "choose bitWidthPopup 8 bits|click mathDisclosure",
        "operandBitGrid=34@8|resultBitGrid=0@8" },

    // Edits in a grid: the row reads the bits as typed hexadecimal.
    { "a click sets a bit", "bit currentBitGrid 4",
        "currentDecimal=16|currentHexadecimal=0010|currentBitGrid=10@32" },
    { "a second click clears it", "bit currentBitGrid 31|bit currentBitGrid 31",
        "currentDecimal=0|currentBinary=0000" },
    { "a drag across a byte boundary", "drag currentBitGrid 5 10",
        "currentDecimal=2016|currentBinary=0111 1110 0000" },
    { "a drag from a set bit clears", "type currentHexadecimal ffff|drag currentBitGrid 12 3",
        "currentHexadecimal=e007|currentDecimal=57351" },
    { "a drag on the high line at 64 bits",
        "choose bitWidthPopup 64 bits|drag currentBitGrid 60 63",
        "currentHexadecimal=f000 0000 0000 0000|bitWidthPopup=64 bits" },
    { "a grid edit keeps the sign", "type currentDecimal -1|bit currentBitGrid 0",
        "currentDecimal=-2|signedValueBox=checked" },
    { "a grid edit in a little-endian row", "click currentLittleEndianRadio|bit currentBitGrid 0",
        "currentHexadecimal=0001|currentDecimal=16777216" },
    { "an operand grid edit recomputes the result",
        "click mathDisclosure|type currentDecimal 1|choose mathOperation add|"
        "bit operandBitGrid 1",
        "operandDecimal=2|resultDecimal=3|resultBitGrid=3@32" },

    // Warnings for a typed number the row cannot hold: kept across the
    // widening it causes, gone with the row's next edit.
    { "too many hexadecimal digits",
        "type currentHexadecimal 1 0000 0000 0000 0000 0000 0000 0000 0001",
        "currentOverflowWarning=more than 128 bits: the low 128 are shown|bitWidthPopup=128 bits|"
        "currentDecimal=1" },
    { "a decimal beyond the range", "type currentDecimal " NINES40,
        "currentOverflowWarning=beyond 128 bits: the largest is shown|"
        "currentHexadecimal=ffff ffff ffff ffff ffff ffff ffff ffff" },
    { "text of seventeen characters", "type currentText ABCDEFGHIJKLMNOPQ",
        "currentOverflowWarning=more than 16 characters: 0 is shown|currentDecimal=0" },
    { "a text that fits shows none",
        "type currentHexadecimal ffff ffff ffff ffff ffff ffff ffff ffff",
        "currentOverflowWarning=hidden" },
    { "the next keystroke that fits clears it",
        "type currentHexadecimal " HEX33 "|key currentHexadecimal Backspace",
        "currentOverflowWarning=hidden|currentHexadecimal=1 0000 0000 0000 0000 0000 0000 0000 "
        "000" },
    { "clearing the field clears it", "type currentHexadecimal " HEX33 "|type currentHexadecimal ",
        "currentOverflowWarning=hidden" },
    { "a grid click clears it", "type currentDecimal " NINES40 "|bit currentBitGrid 0",
        "currentOverflowWarning=hidden|currentDecimal=340282366920938463463374607431768211454" },
    { "a shift clears it", "type currentText ABCDEFGHIJKLMNOPQ|click shiftLeftValue",
        "currentOverflowWarning=hidden" },
    { "a swap clears it", "type currentHexadecimal " HEX33 "|click swapEndianValue",
        "currentOverflowWarning=hidden" },
    { "a byte-order change clears it",
        "type currentHexadecimal " HEX33 "|click currentLittleEndianRadio",
        "currentOverflowWarning=hidden" },
    { "rewriting the warned text clears it", "type currentDecimal " NINES40 "|click signedValueBox",
        "currentOverflowWarning=hidden|currentDecimal=-1" },
    { "a width chosen clears it", "type currentHexadecimal " HEX33 "|choose bitWidthPopup 32 bits",
        "currentOverflowWarning=hidden|currentHexadecimal=0000" },
    { "the operand has its own",
        "click mathDisclosure|type operandHexadecimal " HEX33 "|"
        "type currentDecimal 7",
        "operandOverflowWarning=more than 128 bits: the low 128 are shown|"
        "currentOverflowWarning=hidden|bitWidthPopup=128 bits" },
    { "an edit of the other row keeps it",
        "click mathDisclosure|type currentText ABCDEFGHIJKLMNOPQ|type operandDecimal 1",
        "currentOverflowWarning=more than 16 characters: 0 is shown|"
        "operandOverflowWarning=hidden" },

    // Mends of what the window showed before.
    { "clearing Signed rewrites the fields that showed the sign's bits",
        "choose bitWidthPopup 16 bits|type currentDecimal -5|click signedValueBox",
        "currentIpAddress=0.0.255.251|currentDecimal=65531|currentHexadecimal=fffb" },
    { "ticking Signed stores the bits as a typed negative decimal",
        "type currentHexadecimal fffffffc|click signedValueBox|click shiftRightValue",
        "currentDecimal=-2|currentHexadecimal=ffff fffe|signedValueBox=checked" },
    { "ticking Signed at 16 bits shows the sign in the IP address",
        "choose bitWidthPopup 16 bits|type currentHexadecimal fffc|click signedValueBox",
        "currentIpAddress=255.255.255.252|currentDecimal=-4|currentHexadecimal=fffc" },
    { "ticking Signed keeps a typed text that still reads the same",
        "type currentHexadecimal DEAD beef|click signedValueBox",
        "currentHexadecimal=DEAD beef|currentDecimal=-559038737" },
};

TEST(ConverterModel, ShowsWhatEachScriptOfActionsLeaves)
{
    ExpectScripts(kScripts);
}

// Calculations typed into a field, and texts read otherwise than typed: what
// the row then holds, and what its message line says.
TEST(ConverterModel, ReadsCalculationsAndSaysWhatWasNotReadAsTyped)
{
    const Script scripts[] = {
        { "hexadecimal shift", "type currentHexadecimal 0x10 << 3",
            "currentDecimal=128|currentHexadecimal=0x10 << 3|currentOverflowWarning=hidden" },
        { "hexadecimal sum", "type currentHexadecimal ff+1", "currentDecimal=256" },
        { "decimal shift", "type currentDecimal 16 << 3", "currentHexadecimal=0080" },
        { "a literal copied as one", "type currentDecimal 0x000000ff",
            "currentDecimal=0x000000ff|currentHexadecimal=00ff" },
        { "signed division toward zero", "type currentDecimal -7/2",
            "currentHexadecimal=ffff fffd|signedValueBox=checked" },
        { "a negative result at the row's width", "type currentHexadecimal 0-1",
            "currentDecimal=4294967295|bitWidthPopup=32 bits|signedValueBox=unchecked" },
        { "a negative result wider than the row",
            "choose bitWidthPopup 8 bits|type currentHexadecimal 0-1000",
            "bitWidthPopup=16 bits|currentDecimal=61440" },
        { "a negative result as wide as it needs",
            "choose bitWidthPopup 8 bits|type currentHexadecimal 0-100",
            "bitWidthPopup=16 bits|currentDecimal=65280" },
        { "a result that widens says so",
            "choose bitWidthPopup 8 bits|type currentBinary 1 << 1100",
            "bitWidthPopup=16 bits|currentDecimal=4096|"
            "currentOverflowWarning=the result needs 16 bits: the width is now 16" },
        { "as C's unsigned shift, in 64 bits", "type currentHexadecimal -1 >> 1",
            "bitWidthPopup=64 bits|currentHexadecimal=-1 >> 1|currentDecimal=9223372036854775807|"
            "currentOverflowWarning=the result needs 64 bits: the width is now 64" },
        { "while the typing goes on", "type currentDecimal 1 << 40 ^ 1",
            "currentOverflowWarning=the result needs 64 bits: the width is now 64" },
        { "not once the result is narrower", "type currentDecimal 1 << 40 >> 20",
            "bitWidthPopup=64 bits|currentOverflowWarning=hidden" },
        { "all ones at the row's width", "type currentHexadecimal ~0",
            "bitWidthPopup=32 bits|currentDecimal=4294967295|currentOverflowWarning=hidden" },
        { "a plain number widens in silence", "type currentHexadecimal 1 0000 0000",
            "bitWidthPopup=64 bits|currentOverflowWarning=hidden" },
        { "separators in a plain decimal", "type currentDecimal 1'000'000",
            "currentHexadecimal=000f 4240|currentOverflowWarning=hidden" },
        { "a signed row divides signed", "type currentDecimal -8|type currentHexadecimal 0-8 >> 1",
            "currentDecimal=-4|signedValueBox=checked" },
        { "not yet whole keeps the number", "type currentDecimal 12 +",
            "currentHexadecimal=000c|currentOverflowWarning=incomplete: a number after +" },
        { "division by zero keeps the number", "type currentOctal 17/0",
            "currentDecimal=15|currentOverflowWarning=division by zero" },
        { "wrapped", "type currentDecimal 9223372036854775807 + 1",
            "currentDecimal=9223372036854775807 + 1|"
            "currentHexadecimal=8000 0000 0000 0000|"
            "currentOverflowWarning=wrapped: needs more than 64 bits" },
        { "a calculation at 128 bits",
            "choose bitWidthPopup 128 bits|type currentDecimal (1 << 100) + 1",
            "currentHexadecimal=0010 0000 0000 0000 0000 0000 0001|"
            "currentOverflowWarning=hidden" },
        { "a number past 64 bits calculates in 128", "type currentDecimal 18446744073709551616 * 2",
            "bitWidthPopup=128 bits|currentHexadecimal=0002 0000 0000 0000 0000" },
        { "wrapped at 128", "choose bitWidthPopup 128 bits|type currentHexadecimal 1 << 80",
            "currentDecimal=0|currentOverflowWarning=wrapped: needs more than 128 bits" },
        { "a literal too big", "type currentHexadecimal " HEX33 " + 1",
            "currentOverflowWarning=" HEX33 " needs more than 128 bits" },
        { "the operand calculates too",
            "click mathDisclosure|type currentDecimal 3|type operandHexadecimal (1 << 4) - 1",
            "operandDecimal=15|resultDecimal=3" },
        { "hexadecimal digit ignored", "type currentHexadecimal ffg",
            "currentDecimal=255|currentOverflowWarning=ignored: g (not a hexadecimal digit)" },
        { "a character beyond a byte ignored", "type currentHexadecimal ff\u20ac",
            "currentOverflowWarning=ignored: \u20ac (not a hexadecimal digit)" },
        { "IP group above a byte", "type currentIpAddress 256.1.1.1",
            "currentOverflowWarning=256 is more than a byte: the group reads as 0" },
        { "version read in part", "type currentNumVersion 1.2.3x4",
            "currentOverflowWarning=read up to 1.2.3" },
        { "a blank in a decimal", "type currentDecimal 1 000",
            "currentDecimal=1 000|currentHexadecimal=0001|"
            "currentOverflowWarning=a blank ends a decimal number: read up to 1" },
        { "text beyond a byte", "type currentText \u20ac",
            "currentOverflowWarning=\u20ac is not one byte: read as ?" },
        { "no float", "type currentFloat abc",
            "currentOverflowWarning=abc is not a number: read as 0" },
        { "below the most negative", "type currentDecimal -" NINES40,
            "currentOverflowWarning=beyond 128 bits: the most negative is shown" },
        { "read as typed says nothing",
            "type currentHexadecimal ffg|type currentHexadecimal dead beef",
            "currentOverflowWarning=hidden" },
    };
    ExpectScripts(scripts);
    // A field's 127 characters, nested as deep as they can be.
    ConverterModel nested;
    Type(nested, eFieldTypeValue, eNotationDecimal,
        std::string(63, '(') + '1' + std::string(63, ')'));
    ExpectShown(nested, "currentHexadecimal=0001|currentOverflowWarning=hidden");
}

TEST(ConverterModel, StartsAtZeroInEveryRow)
{
    const ConverterModel model;
    std::string zero;
    for (const char* prefix : kPrefixes)
        zero += std::string(prefix) + "Binary=0000|" + prefix + "Decimal=0|" + prefix
            + "Hexadecimal=0000|" + prefix + "Octal=0000|" + prefix + "Quixadecimal=00|" + prefix
            + "Text=••••|" + prefix + "IPAddress=0.0.0.0|" + prefix + "NumVersion=0.0|" + prefix
            + "Float=0|" + prefix + "BitGrid=0@32|" + prefix + "BinaryMagnitude=0|" + prefix
            + "BigEndianRadio=checked|";
    ExpectShown(model,
        zero
            + "bitWidthPopup=32 bits|mathOperation=AND|signedValueBox=unchecked|"
              "mathDisclosure=unchecked|currentOverflowWarning=hidden|resultZeroFlag=unchecked");
    EXPECT_FALSE(model.canUndo());
}

TEST(ConverterModel, CombinesTheRowsWithEachOperation)
{
    // Value, operation, Operand, then the Result's decimal at 32 bits.
    const char* const rows[][4] = {
        { "12", "AND", "10", "8" },
        { "12", "OR", "10", "14" },
        { "12", "XOR", "10", "6" },
        { "12", "add", "10", "22" },
        { "4294967295", "add", "1", "0" },
        { "12", "subtract", "10", "2" },
        { "1", "subtract", "2", "4294967295" },
        { "12", "multiply", "10", "120" },
        { "7", "divide", "2", "3" },
        { "7", "remainder", "2", "1" },
        { "12", "shift right", "2", "3" },
        { "12", "shift left", "2", "48" },
        { "12", "NOT", "10", "4294967283" },
        { "12", "NAND", "10", "4294967287" },
        { "12", "NOR", "10", "4294967281" },
        { "12", "XNOR", "10", "4294967289" },
        { "2147483649", "rotate left", "1", "3" },
        { "5", "rotate left", "32", "5" },
        { "1", "rotate right", "1", "2147483648" },
        { "-8", "arithmetic shift right", "1", "4294967292" },
        { "8", "arithmetic shift right", "3", "1" },
        { "-7", "signed divide", "2", "4294967293" },
        { "-2147483648", "signed divide", "-1", "2147483648" },
        { "-7", "signed remainder", "2", "4294967295" },
        { "5", "negate", "0", "4294967291" },
    };
    for (const auto& [value, operation, operand, result] : rows) {
        SCOPED_TRACE(std::string(value) + ' ' + operation + ' ' + operand);
        ConverterModel model;
        RunSteps(model,
            std::string("click mathDisclosure|type currentDecimal ") + value
                + "|choose mathOperation " + operation + "|type operandDecimal " + operand);
        ExpectShown(model, std::string("resultDecimal=") + result);
    }
}

TEST(ConverterModel, SetsTheFlagsAProcessorWould)
{
    // Steps, then the flags lit: Z N C V and D for ÷0.
    const char* const rows[][2] = {
        { "4294967295|add|1", "Z C" },
        { "2147483647|add|1", "N V" },
        { "1|add|2", "" },
        { "1|subtract|2", "N C" },
        { "-2147483648|subtract|1", "V" },
        { "65536|multiply|65536", "Z C V" },
        { "7|divide|0", "Z D" },
        { "-7|signed remainder|0", "Z D" },
        { "-2147483648|signed divide|-1", "N V" },
        { "2147483648|shift left|1", "Z C" },
        { "1|shift right|1", "Z C" },
        { "1|shift left|0", "" },
        { "2147483648|rotate left|1", "C" },
        { "-1|arithmetic shift right|40", "N C" },
        { "-2147483648|negate|0", "N V" },
        { "0|negate|0", "Z" },
        { "5|XOR|5", "Z" },
        { "0|NOT|0", "N" },
        // A flag the new operation cannot set goes out.
        { "4294967295|add|1|AND", "" },
        { "7|divide|0|add", "" },
    };
    for (const auto& [steps, lit] : rows) {
        SCOPED_TRACE(steps);
        const std::vector<std::string> parts = Split(steps, '|');
        ConverterModel model;
        RunSteps(model,
            "click mathDisclosure|type currentDecimal " + parts[0] + "|choose mathOperation "
                + parts[1] + "|type operandDecimal " + parts[2]);
        if (parts.size() > 3)
            RunSteps(model, "choose mathOperation " + parts[3]);
        std::string shown;
        for (int flag = 0; flag < eMathFlagCount; ++flag)
            if (model.flag(static_cast<MathFlag>(flag)))
                shown += std::string(shown.empty() ? "" : " ") + "ZNCVD"[flag];
        EXPECT_EQ(shown, lit);
    }
    ConverterModel wide;
    RunSteps(wide,
        "click mathDisclosure|choose bitWidthPopup 64 bits|type currentDecimal 4294967295|"
        "choose mathOperation add|type operandDecimal 1");
    EXPECT_FALSE(wide.flag(eMathFlagCarry)) << "a 64-bit add of 2^32 - 1 and 1 fits";
}

// A text typed into a row at a width: the row widens until the number fits,
// and the field keeps the text as typed.
TEST(ConverterModel, WidensUntilTheTypedNumberFits)
{
    // Columns: notation, text, width, signed before, byte order, then the
    // width, sign, decimal and hexadecimal after typing. A field holds 159
    // characters: a digit after them is not read.
    using Row = std::tuple<Notation, std::string, UInt16, bool, Endian, UInt16, bool, const char*,
        const char*>;
    const Row rows[] = {
        { eNotationDecimal, "300", 8, false, eLittleEndian, 16, false, "300", "2c01" },
        { eNotationDecimal, " -5", 32, false, eBigEndian, 32, true, " -5", "ffff fffb" },
        { eNotationDecimal, "-129", 8, false, eBigEndian, 16, true, "-129", "ff7f" },
        { eNotationDecimal, "-300", 8, false, eLittleEndian, 16, true, "-300", "d4fe" },
        { eNotationHexadecimal, "1234", 8, false, eLittleEndian, 16, false, "13330", "1234" },
        { eNotationHexadecimal, "1ff", 8, true, eBigEndian, 16, false, "511", "1ff" },
        { eNotationHexadecimal, "ff", 64, false, eBigEndian, 64, false, "255", "ff" },
        { eNotationText, "ABCDE", 32, false, eBigEndian, 64, false, "280284578885",
            "0041 4243 4445" },
        { eNotationHexadecimal, std::string(158, '0') + "1", 32, false, eBigEndian, 32, false, "1",
            nullptr },
        { eNotationHexadecimal, std::string(159, '0') + "1", 32, false, eBigEndian, 32, false, "0",
            nullptr },
        // The borders of 64 and 128 bits.
        { eNotationDecimal, "18446744073709551615", 32, false, eBigEndian, 64, false,
            "18446744073709551615", "ffff ffff ffff ffff" },
        { eNotationDecimal, "18446744073709551616", 32, false, eBigEndian, 128, false,
            "18446744073709551616", "0001 0000 0000 0000 0000" },
        { eNotationDecimal, "-9223372036854775809", 8, false, eBigEndian, 128, true,
            "-9223372036854775809", "ffff ffff ffff ffff 7fff ffff ffff ffff" },
        { eNotationHexadecimal, "ffffffffffffffffffffffffffffffff", 64, false, eBigEndian, 128,
            false, "340282366920938463463374607431768211455", nullptr },
        { eNotationIPAddress, "2001:db8::1", 32, false, eBigEndian, 128, false,
            "42540766411282592856903984951653826561", "2001 0db8 0000 0000 0000 0000 0000 0001" },
        { eNotationIPAddress, "::ffff:192.0.2.128", 8, false, eBigEndian, 128, false,
            "281473902969472", "ffff c000 0280" },
        { eNotationIPAddress, "255.255.255.255", 8, true, eBigEndian, 32, true, "-1", "ffff ffff" },
        // 8 bits have no float: the text is read as a single. The sign
        // setting stays; the bytes follow the byte order.
        { eNotationFloat, "1", 8, false, eBigEndian, 32, false, "1065353216", "3f80 0000" },
        { eNotationFloat, "-2", 8, true, eBigEndian, 32, true, "-1073741824", "c000 0000" },
        { eNotationFloat, "1", 8, false, eLittleEndian, 32, false, "1065353216", "803f" },
        { eNotationFloat, "65504", 16, false, eBigEndian, 16, false, "31743", "7bff" },
        { eNotationFloat, "1.5", 64, false, eLittleEndian, 64, false, "4609434218613702656",
            "f83f" },
        { eNotationFloat, "0", 8, false, eBigEndian, 32, false, "0", "0000" },
    };
    for (auto [notation, text, width, wasSigned, endian, newWidth, isSigned, decimal, hex] : rows) {
        SCOPED_TRACE(text.substr(0, 20));
        ConverterModel model;
        model.chooseWidth(width);
        model.endianSwitched(eFieldTypeValue, endian);
        if (wasSigned)
            model.setSigned(eFieldTypeValue, true);
        model.typeInto(eFieldTypeValue, notation, text);
        EXPECT_EQ(model.width(), newWidth);
        EXPECT_EQ(model.isSigned(eFieldTypeValue), isSigned);
        EXPECT_EQ(model.text(eFieldTypeValue, eNotationDecimal), decimal);
        if (hex) {
            EXPECT_EQ(model.text(eFieldTypeValue, eNotationHexadecimal), hex);
        }
        EXPECT_EQ(model.text(eFieldTypeValue, notation), CutToField(text));
    }
}

// The re-reads of a widening read texts that fit: the row still warns of
// the text typed, and a typed text that fits warns of nothing.
TEST(ConverterModel, WarnsOfTheTypedTextThroughTheWidening)
{
    // Columns: notation, text, width before and after, too big.
    using Row = std::tuple<Notation, const char*, UInt16, UInt16, bool>;
    const Row rows[] = { { eNotationHexadecimal, "1 ffff ffff ffff ffff", 32, 128, false },
        { eNotationHexadecimal, "ffff", 8, 16, false },
        { eNotationDecimal, "18446744073709551616", 8, 128, false },
        { eNotationDecimal, "-9223372036854775809", 16, 128, false },
        { eNotationDecimal, "65536", 16, 32, false },
        { eNotationQuixadecimal, "zzzzzzzzzzzzzz", 8, 128, false },
        { eNotationText, "ABCDEFGHI", 8, 128, false },
        { eNotationText, "ABCDEFGHIJKLMNOPQ", 8, 8, true },
        { eNotationHexadecimal, "1 ffff ffff ffff ffff ffff ffff ffff ffff", 32, 128, true },
        { eNotationDecimal, "340282366920938463463374607431768211456", 8, 128, true },
        { eNotationDecimal, "-170141183460469231731687303715884105729", 16, 128, true } };
    for (auto [notation, text, width, newWidth, tooBig] : rows) {
        SCOPED_TRACE(text);
        for (Endian endian : { eBigEndian, eLittleEndian }) {
            ConverterModel model;
            model.chooseWidth(width);
            model.endianSwitched(eFieldTypeValue, endian);
            model.typeInto(eFieldTypeValue, notation, text);
            EXPECT_EQ(model.width(), newWidth);
            EXPECT_EQ(model.message(eFieldTypeValue).kind == eMessageTooBig, tooBig);
            EXPECT_EQ(model.message(eFieldTypeValue).notation, tooBig ? notation : eNotationCount);
        }
    }
}

TEST(ConverterModel, CopiesALiteralThatCodeReads)
{
    // Columns: text typed, into which notation, width, byte order, then the
    // notation copied and its literal.
    using Row = std::tuple<const char*, Notation, UInt16, Endian, Notation, const char*>;
    const Row rows[] = {
        { "5", eNotationDecimal, 8, eBigEndian, eNotationHexadecimal, "0x05" },
        { "12345", eNotationHexadecimal, 32, eBigEndian, eNotationHexadecimal, "0x00012345" },
        { "0", eNotationDecimal, 32, eBigEndian, eNotationHexadecimal, "0x00000000" },
        { "5", eNotationDecimal, 16, eBigEndian, eNotationHexadecimal, "0x0005" },
        { "-1", eNotationDecimal, 64, eBigEndian, eNotationHexadecimal, "0xffffffffffffffff" },
        { "DEAD beef", eNotationHexadecimal, 32, eBigEndian, eNotationHexadecimal, "0xdeadbeef" },
        { "-1", eNotationDecimal, 64, eBigEndian, eNotationBinary,
            "0b1111111111111111111111111111111111111111111111111111111111111111" },
        { "10", eNotationDecimal, 16, eBigEndian, eNotationBinary, "0b0000000000001010" },
        { "5", eNotationDecimal, 8, eBigEndian, eNotationBinary, "0b00000101" },
        { "-1", eNotationDecimal, 8, eBigEndian, eNotationBinary, "0b11111111" },
        { "511", eNotationDecimal, 32, eBigEndian, eNotationOctal, "0777" },
        { "5", eNotationDecimal, 64, eBigEndian, eNotationOctal, "05" },
        { "0", eNotationDecimal, 8, eBigEndian, eNotationOctal, "0" },
        { "-1", eNotationDecimal, 64, eBigEndian, eNotationOctal, "01777777777777777777777" },
        { "300", eNotationDecimal, 8, eBigEndian, eNotationHexadecimal, "0x012c" },
        { "1", eNotationDecimal, 32, eLittleEndian, eNotationHexadecimal, "0x01000000" },
        { "1", eNotationDecimal, 32, eLittleEndian, eNotationDecimal, "1" },
        { "-5", eNotationDecimal, 16, eBigEndian, eNotationDecimal, "-5" },
        { "-5", eNotationDecimal, 16, eLittleEndian, eNotationText, "-5" },
        { "zz", eNotationQuixadecimal, 32, eBigEndian, eNotationQuixadecimal, "1295" },
        { "AB", eNotationText, 16, eBigEndian, eNotationText, "16706" },
        { "10.0.0.1", eNotationIPAddress, 32, eBigEndian, eNotationIPAddress, "167772161" },
        { "1.2", eNotationNumVersion, 32, eLittleEndian, eNotationNumVersion, "8193" },
        // The decimal's type suffix where its digits need one.
        { "-9223372036854775808", eNotationDecimal, 64, eBigEndian, eNotationDecimal,
            "(-9223372036854775807LL - 1)" },
        { "ffffffffffffffff", eNotationHexadecimal, 64, eBigEndian, eNotationQuixadecimal,
            "18446744073709551615ULL" },
        { "9223372036854775807", eNotationDecimal, 64, eBigEndian, eNotationDecimal,
            "9223372036854775807" },
        { "-2147483648", eNotationDecimal, 32, eBigEndian, eNotationDecimal, "-2147483648" },
        // A float of its own width; a half as the float of its value.
        { "1.5", eNotationFloat, 32, eBigEndian, eNotationFloat, "1.5f" },
        { "1", eNotationFloat, 32, eLittleEndian, eNotationFloat, "1.0f" },
        { "1", eNotationFloat, 64, eBigEndian, eNotationFloat, "1.0" },
        { "0.1", eNotationFloat, 64, eBigEndian, eNotationFloat, "0.1" },
        { "1e300", eNotationFloat, 64, eBigEndian, eNotationFloat, "1e+300" },
        { "-0", eNotationFloat, 32, eBigEndian, eNotationFloat, "-0.0f" },
        { "1.5", eNotationFloat, 16, eBigEndian, eNotationFloat, "1.5f" },
        { "0.1", eNotationFloat, 16, eBigEndian, eNotationFloat, "0x1.998p-4f" },
        { "6e-8", eNotationFloat, 16, eBigEndian, eNotationFloat, "0x0.004p-14f" },
        { "-inf", eNotationFloat, 64, eBigEndian, eNotationFloat, "-INFINITY" },
        { "nan", eNotationFloat, 32, eBigEndian, eNotationFloat, "NAN" },
        { "nan(0x1)", eNotationFloat, 32, eBigEndian, eNotationFloat, "0x7f800001" },
        { "5", eNotationDecimal, 8, eBigEndian, eNotationFloat, "5" },
    };
    for (auto [typed, typedInto, width, endian, copied, literal] : rows) {
        SCOPED_TRACE(std::string(typed) + " as notation " + std::to_string(copied));
        ConverterModel model;
        model.openWith(typedInto, typed, width, endian);
        EXPECT_EQ(model.literal(eFieldTypeValue, copied), literal);
        // A literal pasted back into its own field reads as the same number,
        // but for C's suffixes.
        if ((copied == eNotationBinary || copied == eNotationHexadecimal || copied == eNotationOctal
                || copied == eNotationDecimal)
            && std::string(literal).find('L') == std::string::npos) {
            ConverterModel reread;
            reread.openWith(copied, literal, model.width(), endian);
            EXPECT_EQ(reread.bits(eFieldTypeValue), model.bits(eFieldTypeValue));
        }
    }
}

// A text past a field's 159 characters keeps its beginning, shows it, and
// says so; a warning about what was kept says it of that.
TEST(ConverterModel, CutsATextTooLongForItsFieldAndSaysSo)
{
    // Columns: notation, text, the decimal read, the message.
    using Row = std::tuple<Notation, std::string, const char*, const char*>;
    const Row rows[] = {
        { eNotationHexadecimal, std::string(159, '0') + "1", "0", "cut to 159 characters" },
        { eNotationHexadecimal, "1" + std::string(200, '0'), "0",
            "cut to 159 characters; they spell more than 128 bits: their low 128 are shown" },
        { eNotationDecimal, std::string(160, '9'), "340282366920938463463374607431768211455",
            "cut to 159 characters; beyond 128 bits: the largest is shown" },
        { eNotationDecimal, "1 +" + std::string(160, ' ') + "1", "0",
            "cut to 159 characters; incomplete: a number after +" },
        { eNotationDecimal, std::string(159, '1').insert(1, "\U0001F600"), "1",
            "cut to 159 characters; read up to 1" },
    };
    for (const auto& [notation, text, decimal, message] : rows) {
        SCOPED_TRACE(text.substr(0, 8));
        ConverterModel model;
        const ModelChanges changes = model.typeInto(eFieldTypeValue, notation, text);
        EXPECT_TRUE(changes.texts[0][notation]);
        EXPECT_EQ(model.text(eFieldTypeValue, notation), CutToField(text));
        EXPECT_EQ(model.written(eFieldTypeValue, eNotationDecimal), decimal);
        EXPECT_EQ(model.message(eFieldTypeValue).english(), message);
        EXPECT_NE(model.message(eFieldTypeValue).kind, eMessageNone);
    }
}

// What a click into a field selects all of: a text the model wrote, or one
// typed just as it would write it.
TEST(ConverterModel, TellsATextTypedFromOneItWrites)
{
    // Typed into the Value row's hexadecimal field, and whether it stays
    // the user's own; the decimal field's text is the model's.
    for (auto [typed, own] : { std::pair { "ff", true }, std::pair { "00ff", false },
             std::pair { "ff + 1", true }, std::pair { "0x", true } }) {
        SCOPED_TRACE(typed);
        ConverterModel model;
        model.typeInto(eFieldTypeValue, eNotationHexadecimal, typed);
        EXPECT_EQ(model.holdsTypedText(eFieldTypeValue, eNotationHexadecimal), own);
        EXPECT_FALSE(model.holdsTypedText(eFieldTypeValue, eNotationDecimal));
    }
}

// Undo brings back exactly what was shown before the step; redo what was
// shown after it. Keystrokes into one field make one step, as does a drag.
TEST(ConverterModel, UndoAndRedoEachStep)
{
    const Script scripts[] = {
        { "typing into one field is one step",
            "type currentDecimal 5|type currentHexadecimal ff|undo",
            "currentDecimal=5|currentHexadecimal=0005" },
        { "and the step before it is the next",
            "type currentDecimal 5|type currentHexadecimal ff|undo|undo",
            "currentDecimal=0|currentHexadecimal=0000" },
        { "redo after undo", "type currentHexadecimal ff|undo|redo",
            "currentHexadecimal=ff|currentDecimal=255" },
        { "a width change keeps the bits above it for undo",
            "type currentHexadecimal 12345678|choose bitWidthPopup 16 bits|"
            "choose bitWidthPopup 32 bits|undo|undo",
            "currentHexadecimal=12345678|bitWidthPopup=32 bits|currentDecimal=305419896" },
        { "a widening keystroke undoes the width too",
            "choose bitWidthPopup 8 bits|type currentHexadecimal 1ff|undo",
            "bitWidthPopup=8 bits|currentHexadecimal=00|currentBitGrid=0@8" },
        { "sign", "type currentHexadecimal ffffffff|click signedValueBox|undo",
            "signedValueBox=unchecked|currentDecimal=4294967295" },
        { "byte order", "type currentDecimal 1|click currentLittleEndianRadio|undo",
            "currentBigEndianRadio=checked|currentDecimal=1" },
        { "swap", "type currentDecimal 1|click swapEndianValue|undo",
            "currentHexadecimal=0001|currentBigEndianRadio=checked" },
        { "shift", "type currentDecimal 3|click shiftLeftValue|undo", "currentDecimal=3" },
        { "a drag is one step", "drag currentBitGrid 0 7|undo",
            "currentBitGrid=0@32|currentDecimal=0" },
        { "a drag at 128 across the halves is one step",
            "choose bitWidthPopup 128 bits|drag currentBitGrid 120 40|undo",
            "currentDecimal=0|bitWidthPopup=128 bits" },
        { "and redo brings it back whole",
            "choose bitWidthPopup 128 bits|drag currentBitGrid 120 40|undo|redo",
            "currentHexadecimal=01ff ffff ffff ffff ffff ff00 0000 0000" },
        { "two clicks are two", "bit currentBitGrid 0|bit currentBitGrid 1|undo",
            "currentDecimal=1" },
        { "operation and flags",
            "click mathDisclosure|type currentDecimal 7|choose mathOperation divide|"
            "choose mathOperation add|undo",
            "mathOperation=divide|resultDecimal=0|resultZeroFlag=checked|"
            "resultDivideByZeroFlag=checked" },
        { "the math area", "click mathDisclosure|undo", "expandedBox=hidden" },
        { "a new step ends what redo could do",
            "type currentDecimal 1|type currentDecimal 2|undo|type currentOctal 7|redo",
            "currentDecimal=7|currentOctal=7" },
        { "the warning comes back", "type currentText ABCDEFGHIJKLMNOPQ|click shiftLeftValue|undo",
            "currentOverflowWarning=more than 16 characters: 0 is shown" },
        { "nothing to undo", "undo|redo", "currentDecimal=0" },
        { "a step that changes nothing is none",
            "type currentDecimal 4|click currentBigEndianRadio|undo", "currentDecimal=0" },
        // A control set to what it shows changes nothing: the bits above the
        // width that -5 carries stay, and a shift still gives -3.
        { "a radio already chosen",
            "choose bitWidthPopup 16 bits|type currentDecimal -5|click currentBigEndianRadio|"
            "click shiftRightValue",
            "currentDecimal=-3|signedValueBox=checked|currentIPAddress=255.255.255.253" },
        { "and its other radio and back",
            "choose bitWidthPopup 16 bits|type currentDecimal -5|click currentLittleEndianRadio|"
            "click currentBigEndianRadio|click shiftRightValue",
            "currentDecimal=-3|signedValueBox=checked" },
        { "the width shown", "type currentDecimal -5|choose bitWidthPopup 32 bits|undo",
            "currentDecimal=0" },
        { "the operation shown",
            "click mathDisclosure|type currentDecimal 3|choose mathOperation AND|undo",
            "currentDecimal=0|expandedBox=shown" },
        // Enter: a calculation gives way to its result in one step, a plain
        // number stays and is none; either is said until the next edit.
        { "a calculation's result", "type currentDecimal 0x10 << 3|key currentDecimal Return",
            "currentDecimal=128|currentHexadecimal=0080|currentOverflowWarning=entered in the "
            "history" },
        { "in its field's notation",
            "type currentHexadecimal 10 << 3|key currentHexadecimal Return",
            "currentHexadecimal=0080|currentDecimal=128" },
        { "undone, the calculation", "type currentDecimal 0x10 << 3|key currentDecimal Return|undo",
            "currentDecimal=0x10 << 3|currentOverflowWarning=hidden" },
        { "and redone", "type currentDecimal 0x10 << 3|key currentDecimal Return|undo|redo",
            "currentDecimal=128|currentOverflowWarning=hidden" },
        { "typing after it is a step",
            "type currentDecimal 1+1|key currentDecimal Return|"
            "type currentDecimal 5|undo",
            "currentDecimal=2|currentHexadecimal=0002" },
        { "a plain number stays", "type currentHexadecimal ff|key currentHexadecimal Return",
            "currentHexadecimal=ff|currentOverflowWarning=entered in the history" },
        { "and is no step", "type currentHexadecimal ff|key currentHexadecimal Return|undo",
            "currentHexadecimal=0000" },
        { "the next edit ends the note",
            "type currentDecimal 7|key currentDecimal Return|"
            "click mathDisclosure",
            "currentOverflowWarning=hidden" },
        { "nothing said of a calculation not whole",
            "type currentDecimal 1 +|key currentDecimal Return",
            "currentDecimal=1 +|currentOverflowWarning=incomplete: a number after +" },
        { "an Operand's calculation",
            "click mathDisclosure|type operandDecimal 2*3|"
            "key operandDecimal Return",
            "operandDecimal=6|resultDecimal=0" },
    };
    ExpectScripts(scripts);
}

TEST(ConverterModel, WritesAFieldsValueAsOneStep)
{
    const Script scripts[] = {
        { "the field's bits change, the others stay",
            "type currentHexadecimal 12abcdef|field 31:28 0x5",
            "currentHexadecimal=52ab cdef|currentBitGrid=52abcdef@32" },
        { "a value wider than the field keeps its low bits",
            "type currentHexadecimal ffffffff|field 7:4 0x12", "currentHexadecimal=ffff ff2f" },
        { "a negative value of a signed field is its two's complement", "field 11:8s -3",
            "currentHexadecimal=0d00|currentDecimal=3328" },
        { "the Result follows", "click mathDisclosure|type operandHexadecimal ff|field 3:0 0x9",
            "resultHexadecimal=0009|currentDecimal=9" },
        { "undo restores the value row", "type currentHexadecimal 12abcdef|field 27:16 0|undo",
            "currentHexadecimal=12abcdef|currentDecimal=313249263" },
        { "redo writes it again", "type currentHexadecimal 12abcdef|field 27:16 0|undo|redo",
            "currentHexadecimal=1000 cdef" },
        { "a field above the width widens it", "type currentHexadecimal ffff|field 40:33 0x1",
            "bitWidthPopup=64 bits|currentHexadecimal=0002 0000 ffff" },
        { "undoing the widening gives the width back",
            "type currentHexadecimal ffff|field 40:33 0x1|undo",
            "bitWidthPopup=32 bits|currentHexadecimal=ffff" },
        { "a signed row keeps its sign bits through the widening",
            "type currentDecimal -2|field 47:40 0x0",
            "bitWidthPopup=64 "
            "bits|currentDecimal=-280375465082882|currentBitGrid=ffff00fffffffffe@64 signed" },
        { "the warning of the row's text ends", "type currentText ABCDEFGHI|field 7:0 0x41",
            "currentOverflowWarning=hidden" },
        { "the same value again is no step", "field 3:0 0x1|field 3:0 0x1|undo",
            "currentDecimal=0" },
    };
    ExpectScripts(scripts);
}

TEST(ConverterModel, IgnoresAFieldWhoseBitsAreNotValid)
{
    ConverterModel model;
    BitField past;
    past.name = "PAST";
    past.msb = 128;
    past.lsb = 60;
    EXPECT_FALSE(model.setFieldValue(past, 1).any());
    past.msb = 127; // valid bits, but more than a field holds
    past.lsb = 0;
    EXPECT_FALSE(model.setFieldValue(past, 1).any());
    EXPECT_FALSE(model.canUndo());
    EXPECT_EQ(model.width(), 32);
}

// Everything the model shows, as one text.
std::string Everything(const ConverterModel& model)
{
    std::string all;
    for (const auto& [name, widget] : Widgets()) {
        // Enter's note is no step's: undo and redo end it.
        if (widget.part == eWarning && model.message(widget.row).kind == eMessageEntered)
            all += name + "=hidden\n";
        else if (widget.part != eSwap && widget.part != eShiftLeft && widget.part != eShiftRight)
            all += name + '=' + Shown(model, name) + '\n';
    }
    return all;
}

// The open layout as one text: its name, width and file, then each field.
std::string LayoutText(const ConverterModel& model)
{
    const BitFieldLayout* layout = model.layout();
    if (!layout)
        return "none";
    std::string text
        = layout->name + '/' + std::to_string(layout->width) + '/' + model.layoutFile();
    for (const BitField& field : layout->fields)
        text += '|' + field.name + ' ' + FieldBitsText(field)
            + (FieldReadsFloat(field) ? " f "
                    : field.isSigned  ? " s "
                                      : " u ")
            + field.description + " {" + NamedValuesText(field) + '}';
    return text;
}

BitFieldLayout Ctrl()
{
    BitFieldLayout layout;
    layout.name = "CTRL";
    layout.width = 32;
    layout.fields.resize(2);
    layout.fields[0] = { "MODE", 31, 28, "", false, { { 0, "OFF", "" }, { 3, "AUTO", "" } }, {} };
    layout.fields[1] = { "EN", 0, 0, "", false, {}, {} };
    return layout;
}

using Edit = std::function<ModelChanges(ConverterModel&)>;

// Each edit of the layout, and a history entry removed, is one step: undo
// brings back exactly what the document was, redo what the edit made it,
// and both report the layout, or the history entry, as changed.
TEST(ConverterModel, UndoesAndRedoesEachLayoutEditAndHistoryRemovalExactly)
{
    HistoryEntry entry;
    entry.time = 7;
    entry.text = "ff";
    const struct {
        const char* name;
        Edit edit;
        const char* layout; // afterwards
        const char* deleted = ""; // the saved file the edit deletes
    } rows[] = {
        { "name bits, the first in a new layout",
            [](ConverterModel& m) { return m.closeLayout(), m.nameBits(4, 7, "Untitled"); },
            "Untitled/0/|BITS7_4 7:4 u  {}" },
        { "name one bit", [](ConverterModel& m) { return m.nameBits(40, 40, "-"); },
            "CTRL/64/ctrl.json|MODE 31:28 u  {0 = OFF, 3 = AUTO}|EN 0 u  {}|BIT40 40 u  {}" },
        { "remove a field", [](ConverterModel& m) { return m.removeField(0); },
            "CTRL/32/ctrl.json|EN 0 u  {}" },
        { "rename a field", [](ConverterModel& m) { return m.renameField(1, " ON "); },
            "CTRL/32/ctrl.json|MODE 31:28 u  {0 = OFF, 3 = AUTO}|ON 0 u  {}" },
        { "its bits", [](ConverterModel& m) { return m.setFieldBits(1, "[3:1]"); },
            "CTRL/32/ctrl.json|MODE 31:28 u  {0 = OFF, 3 = AUTO}|EN 3:1 u  {}" },
        { "its description", [](ConverterModel& m) { return m.describeField(1, "on"); },
            "CTRL/32/ctrl.json|MODE 31:28 u  {0 = OFF, 3 = AUTO}|EN 0 u on {}" },
        { "its sign", [](ConverterModel& m) { return m.setFieldSigned(0, true); },
            "CTRL/32/ctrl.json|MODE 31:28 s  {0 = OFF, 3 = AUTO}|EN 0 u  {}" },
        { "its named values",
            [](ConverterModel& m) { return m.nameFieldValues(1, "0=NO, 0x1 = YES"); },
            "CTRL/32/ctrl.json|MODE 31:28 u  {0 = OFF, 3 = AUTO}|EN 0 u  {0 = NO, 1 = YES}" },
        { "every field signed",
            [](ConverterModel& m) { return m.readEveryFieldAs(true, eFieldFloatNone); },
            "CTRL/32/ctrl.json|MODE 31:28 s  {0 = OFF, 3 = AUTO}|EN 0 s  {}" },
        { "lanes", [](ConverterModel& m) { return m.openLanes(16, "L %1x%2"); },
            "L 2x16/32/|lane0 15:0 u  {}|lane1 31:16 u  {}" },
        { "rename the layout", [](ConverterModel& m) { return m.renameLayout("UART"); },
            "UART/32/ctrl.json|MODE 31:28 u  {0 = OFF, 3 = AUTO}|EN 0 u  {}" },
        { "choose another saved layout",
            [](ConverterModel& m) {
                BitFieldLayout other;
                other.name = "B";
                other.fields = { { "X", 7, 0, "", false, {}, {} } };
                return m.openLayout(other, "b.json");
            },
            "B/0/b.json|X 7:0 u  {}" },
        { "import one",
            [](ConverterModel& m) {
                return m.openLayout(BitFieldLayout { "I", "", 8, {} }, "");
            },
            "I/8/" },
        { "no layout", [](ConverterModel& m) { return m.closeLayout(); }, "none" },
        { "delete the saved layout", [](ConverterModel& m) { return m.deleteLayout(); }, "none",
            "ctrl.json" },
        { "import the saved register again",
            [](ConverterModel& m) {
                BitFieldLayout again = Ctrl();
                again.fields.pop_back();
                return m.replaceSavedLayout(again, "ctrl.json", Ctrl());
            },
            "CTRL/32/ctrl.json|MODE 31:28 u  {0 = OFF, 3 = AUTO}" },
        { "remove a history entry",
            [&entry](ConverterModel& m) { return m.removeHistoryEntry(entry); },
            "CTRL/32/ctrl.json|MODE 31:28 u  {0 = OFF, 3 = AUTO}|EN 0 u  {}" },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ConverterModel model;
        model.typeInto(eFieldTypeValue, eNotationHexadecimal, "3000 0001");
        model.openLayout(Ctrl(), "ctrl.json");
        row.edit(model);
        const std::string before = [&] {
            ConverterModel was;
            was.typeInto(eFieldTypeValue, eNotationHexadecimal, "3000 0001");
            was.openLayout(Ctrl(), "ctrl.json");
            if (std::string(row.name).find("new layout") != std::string::npos)
                was.closeLayout();
            return Everything(was) + LayoutText(was);
        }();
        const std::string after = Everything(model) + LayoutText(model);
        EXPECT_EQ(LayoutText(model), row.layout);
        const bool history = std::string(row.name).find("history") != std::string::npos;
        const ModelChanges undone = model.undo();
        EXPECT_EQ(Everything(model) + LayoutText(model), before);
        EXPECT_EQ(undone.layout, !history);
        EXPECT_EQ(undone.historyRestored != nullptr, history);
        EXPECT_EQ(undone.layoutDeleted, "");
        const ModelChanges redone = model.redo();
        EXPECT_EQ(Everything(model) + LayoutText(model), after);
        EXPECT_EQ(redone.layout, !history);
        EXPECT_EQ(redone.historyRemoved != nullptr, history);
        EXPECT_EQ(redone.layoutDeleted, row.deleted);
        if (history) {
            EXPECT_EQ(*redone.historyRemoved, entry);
        }
    }
}

// An edit the layout cannot take changes nothing and is no step; one that
// leaves the layout as it is is none either.
TEST(ConverterModel, RefusesALayoutEditThatDoesNotFit)
{
    const struct {
        const char* name;
        Edit edit;
        LayoutEditProblem refused;
    } rows[] = {
        { "no name", [](ConverterModel& m) { return m.renameField(0, "  "); }, eLayoutEditNoName },
        { "no layout name", [](ConverterModel& m) { return m.renameLayout(""); },
            eLayoutEditNoName },
        { "bits past 127", [](ConverterModel& m) { return m.setFieldBits(1, "130:128"); },
            eLayoutEditBadBits },
        { "more than 64 bits", [](ConverterModel& m) { return m.setFieldBits(1, "127:0"); },
            eLayoutEditBadBits },
        { "bits reversed", [](ConverterModel& m) { return m.setFieldBits(1, "3:7"); },
            eLayoutEditBadBits },
        { "bits too few for a named value",
            [](ConverterModel& m) { return m.setFieldBits(0, "31"); }, eLayoutEditValueTooWide },
        { "a named value too wide",
            [](ConverterModel& m) { return m.nameFieldValues(1, "2 = TWO"); },
            eLayoutEditBadValues },
        { "not VALUE = NAME", [](ConverterModel& m) { return m.nameFieldValues(1, "ON"); },
            eLayoutEditBadValues },
        { "a value the field cannot hold",
            [](ConverterModel& m) { return m.typeFieldValue(0, "0x10", 16); },
            eLayoutEditValueNotHeld },
        { "a float of four bits",
            [](ConverterModel& m) { return m.readFieldAs(0, false, eFieldFloatIeee); },
            eLayoutEditNoReading },
        { "lanes wider than the width", [](ConverterModel& m) { return m.openLanes(64, "L"); },
            eLayoutEditNoReading },
        { "not a number", [](ConverterModel& m) { return m.typeFieldValue(0, "12a", 10); },
            eLayoutEditValueNotHeld },
        { "no such field", [](ConverterModel& m) { return m.removeField(2); },
            eLayoutEditNoLayout },
        { "an unsound layout",
            [](ConverterModel& m) {
                return m.openLayout(BitFieldLayout { "W", "", 12, {} }, "");
            },
            eLayoutEditUnsound },
        { "the same name again", [](ConverterModel& m) { return m.renameField(0, "MODE"); },
            eLayoutEditAccepted },
        { "the saved layout chosen again",
            [](ConverterModel& m) { return m.openLayout(Ctrl(), "ctrl.json"); },
            eLayoutEditAccepted },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ConverterModel model;
        model.openLayout(Ctrl(), "ctrl.json");
        const std::string before = Everything(model) + LayoutText(model);
        const ModelChanges changes = row.edit(model);
        EXPECT_EQ(changes.refused, row.refused);
        EXPECT_FALSE(changes.any());
        EXPECT_EQ(model.undoSteps(), 1u);
        EXPECT_EQ(Everything(model) + LayoutText(model), before);
    }
    ConverterModel none;
    EXPECT_EQ(none.renameField(0, "A").refused, eLayoutEditNoLayout);
    EXPECT_FALSE(none.closeLayout().any());
}

// A register imported again over its saved layout, whatever was open, is
// undone to the layout it replaced, in its file; a layout never saved is
// closed by a delete, and no file goes.
TEST(ConverterModel, ReplacesAndDeletesSavedLayoutsAsOneStep)
{
    const BitFieldLayout other { "B", "", 8, { { "X", 7, 0, "", false, {}, {} } } };
    const struct {
        const char* name;
        Edit edit;
        const char* layout;
        const char* undone;
        const char* deleted;
    } rows[] = {
        { "another layout open",
            [&](ConverterModel& m) { return m.replaceSavedLayout(other, "ctrl.json", Ctrl()); },
            "B/8/ctrl.json|X 7:0 u  {}",
            "CTRL/32/ctrl.json|MODE 31:28 u  {0 = OFF, 3 = AUTO}|EN 0 u  {}", "" },
        { "never saved", [](ConverterModel& m) { return m.deleteLayout(); }, "none",
            "B/8/|X 7:0 u  {}", "" },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ConverterModel model;
        model.openLayout(other, "");
        const ModelChanges changes = row.edit(model);
        EXPECT_TRUE(changes.layout);
        EXPECT_EQ(changes.layoutDeleted, row.deleted);
        EXPECT_EQ(LayoutText(model), row.layout);
        EXPECT_EQ(model.undoSteps(), 2u);
        model.undo();
        EXPECT_EQ(LayoutText(model), row.undone);
    }
    EXPECT_EQ(ConverterModel().deleteLayout().refused, eLayoutEditNoLayout);
}

// A value typed into a field's cell writes its bits of the Value row; the
// fields whose bits changed are reported.
TEST(ConverterModel, TypesAFieldsValueAndTellsWhichBitsChanged)
{
    ConverterModel model;
    model.openLayout(Ctrl(), "");
    const ModelChanges changes = model.typeFieldValue(0, " 0x3 ", 16);
    EXPECT_EQ(model.text(eFieldTypeValue, eNotationHexadecimal), "3000 0000");
    EXPECT_EQ(changes.changedBits[0], 0x30000000u);
    EXPECT_FALSE(changes.layout);
    EXPECT_FALSE(model.typeFieldValue(0, "3", 10).any());
    // Saving is no step, and every step of the layout learns where it is.
    model.layoutSaved("ctrl.json");
    EXPECT_EQ(model.undoSteps(), 2u);
    model.undo();
    EXPECT_EQ(model.layoutFile(), "ctrl.json");
    model.undo();
    EXPECT_EQ(LayoutText(model), "none");
    model.redo();
    EXPECT_EQ(model.layoutFile(), "ctrl.json");
}

// Lanes follow the width while only their reading changes; a lane cell is
// a field's value cell, one step.
TEST(ConverterModel, ReadsAndWritesLanesThatFollowTheWidth)
{
    ConverterModel model;
    model.chooseWidth(64);
    model.openLanes(32, "Lanes: %1 x %2");
    EXPECT_EQ(LayoutText(model), "Lanes: 2 x 32/64/|lane0 31:0 u  {}|lane1 63:32 u  {}");
    EXPECT_TRUE(model.readEveryFieldAs(false, eFieldFloatIeee).layout);
    EXPECT_EQ(model.lanes(), 32);
    EXPECT_EQ(model.typeFieldValue(1, "-1.5", 10).changedBits[0], 0xBFC0000000000000u);
    EXPECT_EQ(model.typeFieldValue(0, "0x1", 16).changedBits[0], 1u);
    EXPECT_EQ(model.text(eFieldTypeValue, eNotationHexadecimal), "bfc0 0000 0000 0001");
    EXPECT_EQ(model.typeFieldValue(0, "x", 10).refused, eLayoutEditValueNotHeld);
    model.undo();
    EXPECT_EQ(model.text(eFieldTypeValue, eNotationHexadecimal), "bfc0 0000 0000 0000");
    // The lanes of the new width, read as before; undo brings both back.
    EXPECT_TRUE(model.chooseWidth(32).layout);
    EXPECT_EQ(LayoutText(model), "Lanes: 1 x 32/32/|lane0 31:0 f  {}");
    model.chooseWidth(16);
    EXPECT_EQ(LayoutText(model), "Lanes: 1 x 32/32/|lane0 31:0 f  {}");
    model.undo();
    model.undo();
    EXPECT_EQ(LayoutText(model), "Lanes: 2 x 32/64/|lane0 31:0 f  {}|lane1 63:32 f  {}");
    // Other sizes keep the reading where they have it.
    model.openLanes(16, "%1x%2");
    EXPECT_EQ(LayoutText(model).substr(0, 27), "4x16/64/|lane0 15:0 f  {}|l");
    model.openLanes(8, "%1x%2");
    EXPECT_EQ(LayoutText(model).substr(0, 22), "8x8/64/|lane0 7:0 u  {");
    // Renamed, the lanes are a layout of their own, which stays put.
    model.renameField(0, "low");
    EXPECT_EQ(model.lanes(), 0);
    model.chooseWidth(32);
    EXPECT_EQ(model.layout()->width, 64);
}

// A field above bit 63 widens the Value to 128 bits and writes its bits
// there, the low half kept; lanes at 128 bits are made again at 64.
TEST(ConverterModel, WritesFieldsAndLanesPastBit63)
{
    ConverterModel model;
    model.chooseWidth(64);
    BitFieldLayout high;
    high.name = "HIGH";
    high.fields.resize(2);
    high.fields[0] = { "TOP", 127, 127, "", false, {}, {} };
    high.fields[1] = { "MID", 100, 64, "", false, {}, {} };
    model.openLayout(high, "");
    model.setFieldValue(high.fields[0], 0); // nothing changes at 64 bits but the width
    EXPECT_EQ(model.width(), 128);
    const UInt128 low = 0x1234;
    model.setBits(eFieldTypeValue, 0x1234, false);
    const ModelChanges typed = model.typeFieldValue(1, "-1", 10);
    EXPECT_EQ(model.wideBits(eFieldTypeValue), MakeUInt128(0x1FFFFFFFFF, 0) | low);
    EXPECT_EQ(typed.changedBits[0], MakeUInt128(0x1FFFFFFFFF, 0));
    model.typeFieldValue(0, "1", 16);
    EXPECT_EQ(HighHalf(model.wideBits(eFieldTypeValue)), 0x8000001FFFFFFFFFu);
    model.undo();
    EXPECT_EQ(model.wideBits(eFieldTypeValue), MakeUInt128(0x1FFFFFFFFF, 0) | low);

    // Each lane size at 128 bits; a lane cell is one step.
    const struct {
        int laneBits;
        FieldFloat reading;
        const char* typed;
        UInt64 high;
    } lanes[] = {
        { 8, eFieldFloatNone, "0xab", 0xAB00000000000000 },
        { 16, eFieldFloatIeee, "1", 0x3C00000000000000 }, // half
        { 32, eFieldFloatIeee, "-2", 0xC000000000000000 }, // single
        { 64, eFieldFloatIeee, "1.5", 0x3FF8000000000000 }, // double
    };
    for (const auto& c : lanes) {
        SCOPED_TRACE(c.laneBits);
        model = ConverterModel();
        model.chooseWidth(128);
        model.openLanes(c.laneBits, "%1x%2");
        ASSERT_EQ(model.layout()->fields.size(), std::size_t(128 / c.laneBits));
        if (c.reading != eFieldFloatNone)
            model.readEveryFieldAs(false, c.reading);
        const std::size_t top = model.layout()->fields.size() - 1;
        const std::size_t steps = model.undoSteps();
        EXPECT_EQ(
            model.typeFieldValue(top, c.typed, c.reading ? 10 : 16).refused, eLayoutEditAccepted);
        EXPECT_EQ(model.wideBits(eFieldTypeValue), MakeUInt128(c.high, 0));
        EXPECT_EQ(model.undoSteps(), steps + 1);
    }
    // 8 x 8 at 64 bits becomes 16 x 8 at 128 and 8 x 8 again.
    model.chooseWidth(64);
    model.openLanes(8, "%1x%2");
    model.chooseWidth(128);
    EXPECT_EQ(LayoutText(model).substr(0, 28), "16x8/128/|lane0 7:0 u  {}|la");
    EXPECT_EQ(model.layout()->fields.back().msb, 127);
    model.chooseWidth(64);
    EXPECT_EQ(LayoutText(model).substr(0, 22), "8x8/64/|lane0 7:0 u  {");
    EXPECT_EQ(model.layout()->fields.size(), 8u);
}

// Random actions, with undo and redo among them: each undo shows exactly what
// was shown before the step it undoes, each redo what was shown after it.
TEST(ConverterModel, UndoRestoresExactlyWhatEachRandomStepChanged)
{
    std::mt19937 rng(20261208);
    const auto below = [&rng](int n) { return int(rng() % unsigned(n)); };
    static const char* const texts[]
        = { "-5", "ff", "1 0000 0000", "DEAD beef", "300", "zz", "1.2.3b4", "10.0.0.1", "1.5", "-0",
              "ABCDEFGHI", "99999999999999999999", "é€😀", "", "0x10 << 3" };
    ConverterModel model;
    std::vector<std::string> before; // what was shown before each step in the history
    std::vector<std::string> after; // what redo brings back, last undone last
    // Fewer steps than are kept, so that every undo can be followed.
    for (int action = 0; action < 1500; ++action) {
        const auto row
            = static_cast<FieldType>(eFieldTypeValue + below(model.mathEnabled() ? 3 : 1));
        const std::string shown = Everything(model);
        const std::size_t steps = before.size();
        switch (below(13)) {
        case 0: {
            model.undo();
            if (steps == 0)
                continue;
            ASSERT_EQ(Everything(model), before.back()) << "undo at action " << action;
            after.push_back(shown);
            before.pop_back();
            continue;
        }
        case 1: {
            const bool could = model.canRedo();
            model.redo();
            if (!could)
                continue;
            ASSERT_EQ(Everything(model), after.back()) << "redo at action " << action;
            after.pop_back();
            before.push_back(shown);
            continue;
        }
        case 2: model.chooseWidth(UInt16(8 << below(4))); break;
        case 3: model.setSigned(row, below(2)); break;
        case 4: model.endianSwitched(row, Endian(below(2))); break;
        case 5: model.swapEndian(row); break;
        case 6: model.shift(row, ShiftDir(below(2))); break;
        case 7: model.setBits(row, rng(), below(2)); break;
        case 8: model.chooseOperation(MathOperation(below(eMathOperationCount))); break;
        case 9: model.mathDisclosured(below(2)); break;
        case 10: model.enter(row, Notation(below(eNotationCount)), action); break;
        default:
            model.typeInto(row, Notation(below(eNotationCount)), texts[below(std::size(texts))]);
            break;
        }
        // A new step is filed, or an edit went on with the last one.
        if (model.undoSteps() > steps) {
            before.push_back(shown);
            after.clear();
        }
        ASSERT_EQ(model.undoSteps(), before.size());
        ASSERT_EQ(model.canRedo(), !after.empty());
    }
}

TEST(ConverterModel, KeepsAThousandStepsAndForgetsTheOldest)
{
    ConverterModel model;
    for (int step = 0; step < 1500; ++step)
        model.setBits(eFieldTypeValue, UInt64(step + 1));
    EXPECT_EQ(model.undoSteps(), ConverterModel::kUndoLimit);
    while (model.canUndo())
        model.undo();
    EXPECT_EQ(model.text(eFieldTypeValue, eNotationDecimal), "500");
}

// Whatever bytes are typed, the other fields show the number written, and
// each of those texts reads back as itself.
TEST(ConverterModel, WritesTextsThatReadBackWhateverWasTyped)
{
    static const char kActive[] = "0123456789.abcdfxzABF -+\t";
    std::mt19937 rng(20261207);
    for (int round = 0; round < 200; ++round) {
        const std::string text = RandomText(rng, kActive);
        for (int typed = 0; typed < eNotationCount; ++typed) {
            ConverterModel model;
            model.openWith(Notation(typed), text, 8, Endian(round % 2));
            for (int shown = 0; shown < eNotationCount; ++shown) {
                if (shown == typed)
                    continue;
                const std::string written = model.text(eFieldTypeValue, Notation(shown));
                EXPECT_EQ(written, model.written(eFieldTypeValue, Notation(shown)));
                // 8 bits have no float, nor 64 a UUID: typed there, they widen.
                if ((shown == eNotationFloat && !IsWideFloatWidth(model.width()))
                    || (shown == eNotationUuid && model.width() < 128)) {
                    EXPECT_EQ(written, "");
                    continue;
                }
                ConverterModel back;
                back.openWith(Notation(shown), written, model.width(), Endian(round % 2));
                EXPECT_EQ(back.written(eFieldTypeValue, Notation(shown)), written) << typed;
            }
        }
    }
}

TEST(FieldBytes, MapsEachCharacterToOneByte)
{
    // Columns: a field's text (UTF-8), the engine's bytes.
    const std::pair<std::string, std::string> rows[] = {
        { "DEAD beef", "DEAD beef" },
        { "caf\u00E9\u00FF", "caf\xE9\xFF" },
        { "A\u2022", "A\xA5" }, // the bullet is the text notation's placeholder
        { "1\u20AC2", "1?2" },
        { "1\U0001F600"
          "2",
            "1?2" }, // a character beyond U+FFFF is one too
        { std::string("12\0"
                      "34",
              5),
            "12?34" }, // a NUL would hide what follows
        { "\xC3", "?" },
        { "\xE2\x82", "??" },
        { "\xC0\xAF", "?" }, // malformed: one character that spells none
        { "\xED\xA0\x80"
          "2",
            "?2" }, // a lone surrogate, as a field may hold one
        { std::string(200, '7'), std::string(159, '7') },
    };
    for (const auto& [text, bytes] : rows) {
        char buffer[kFieldTextBufferSize];
        EXPECT_EQ(FieldTextToBytes(text, buffer), int(bytes.size()));
        EXPECT_EQ(std::string(buffer), bytes);
    }
}

TEST(FieldBytes, ShowsBytesAsTheFieldWouldAndComparesWithoutBuilding)
{
    // Columns: bytes, the text shown, a text that is not it.
    const std::tuple<std::string, std::string, std::string> rows[] = {
        { "00ff 1234", "00ff 1234", "00ff 123" },
        { "", "", "0" },
        { "\xA5\xA5"
          "A",
            "\u2022\u2022A", "\u00A5\u00A5A" },
        { "caf\xE9", "caf\u00E9", "cafe" },
        { "?", "?", "\u20AC" },
    };
    for (const auto& [bytes, shown, other] : rows) {
        std::string text = "stale";
        FieldTextFromBytes(bytes.c_str(), text);
        EXPECT_EQ(text, shown);
        EXPECT_TRUE(FieldTextEquals(shown, bytes.c_str()));
        EXPECT_FALSE(FieldTextEquals(other, bytes.c_str()));
    }
}

TEST(FieldBytes, CutsWhereTheFieldDoes)
{
    // A field holds 159 UTF-16 units: a character beyond U+FFFF takes two.
    const std::string pair = "\U0001F600";
    std::string pairs;
    for (int i = 0; i < 90; ++i)
        pairs += pair;
    EXPECT_EQ(CutToField(pairs).size(), 79 * pair.size());
    EXPECT_EQ(CutToField(std::string(170, 'a')).size(), 159u);
    EXPECT_EQ(CutToField("\u20AC5"), "\u20AC5");
}

} // namespace
