// The engine's conversions against the standard library's for the same
// numbers and digits. Each pair is named <what>/bitlens and <what>/floor;
// bench/ratios.py prints bitlens time over floor time for every pair.
// Every benchmark converts the same 256 numbers per iteration.
#include "engine/BaseConverter.h"
#include "engine/Expression.h"
#include "engine/FloatNotation.h"
#include "engine/Magnitude.h"
#include "engine/Notation.h"
#include "engine/WideFloat.h"
#include "engine/WideNotation.h"

#include "model/ConverterModel.h"

#include "Iterations.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <malloc.h>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr std::size_t kNumberCount = 256;

// Numbers of every length from 1 to 64 bits, the same in every run.
const std::vector<UInt64>& Numbers()
{
    static const std::vector<UInt64> numbers = [] {
        std::vector<UInt64> list;
        UInt64 state = 0x9E3779B97F4A7C15;
        auto next = [&state] {
            UInt64 z = (state += 0x9E3779B97F4A7C15);
            z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9;
            z = (z ^ (z >> 27)) * 0x94D049BB133111EB;
            return z ^ (z >> 31);
        };
        for (std::size_t i = 0; i < kNumberCount; ++i)
            list.push_back(next() >> (i % 64));
        return list;
    }();
    return numbers;
}

// The same numbers as rows of the widest width, so every bit is shown.
const std::vector<BaseConverter>& Rows()
{
    static const std::vector<BaseConverter> rows = [] {
        std::vector<BaseConverter> list;
        for (UInt64 number : Numbers()) {
            BaseConverter row {};
            row.SetBitWidth(64);
            row.SetUnsignedDec(number, eBigEndian);
            list.push_back(row);
        }
        return list;
    }();
    return rows;
}

// Plain digits of every number in `base`, as std::to_chars writes them.
std::vector<std::string> Digits(int base)
{
    std::vector<std::string> digits;
    for (UInt64 number : Numbers()) {
        char text[80];
        digits.emplace_back(text, std::to_chars(text, text + sizeof text, number, base).ptr);
    }
    return digits;
}

void CountItems(benchmark::State& state)
{
    state.SetItemsProcessed(state.iterations() * std::int64_t(kNumberCount));
}

// --- Formatters --------------------------------------------------------------

template <void (BaseConverter::*Write)(char*) const> void Format(benchmark::State& state)
{
    char out[kFieldBufferSize];
    for (auto _ : state) {
        for (const BaseConverter& row : Rows()) {
            (row.*Write)(out);
            benchmark::DoNotOptimize(out);
        }
    }
    CountItems(state);
}

void FormatDec(benchmark::State& state)
{
    char out[kFieldBufferSize];
    for (auto _ : state) {
        for (const BaseConverter& row : Rows()) {
            row.GetDec(out, eBigEndian);
            benchmark::DoNotOptimize(out);
        }
    }
    CountItems(state);
}

void ToChars(benchmark::State& state, int base)
{
    char out[kFieldBufferSize];
    for (auto _ : state) {
        for (UInt64 number : Numbers()) {
            *std::to_chars(out, out + sizeof out - 1, number, base).ptr = '\0';
            benchmark::DoNotOptimize(out);
        }
    }
    CountItems(state);
}

// --- Parsers -----------------------------------------------------------------

// The engine's parsers edit their text in place, so each one reads a copy,
// as the window does.
template <class Read> void ParseWith(benchmark::State& state, int base, Read read)
{
    const std::vector<std::string> digits = Digits(base);
    BaseConverter row {};
    row.SetBitWidth(64);
    char buffer[kFieldBufferSize];
    for (auto _ : state) {
        for (const std::string& text : digits) {
            std::memcpy(buffer, text.c_str(), text.size() + 1);
            read(row, buffer);
            benchmark::DoNotOptimize(row);
        }
    }
    CountItems(state);
}

template <void (BaseConverter::*Read)(char*)> void Parse(benchmark::State& state, int base)
{
    ParseWith(state, base, [](BaseConverter& row, char* text) { (row.*Read)(text); });
}

void ReadDecimal(benchmark::State& state)
{
    ParseWith(state, 10, [](BaseConverter& row, char* text) {
        ReadNotation(row, eNotationDecimal, text, eBigEndian);
    });
}

void FromChars(benchmark::State& state, int base)
{
    const std::vector<std::string> digits = Digits(base);
    UInt64 number = 0;
    for (auto _ : state) {
        for (const std::string& text : digits) {
            std::from_chars(text.data(), text.data() + text.size(), number, base);
            benchmark::DoNotOptimize(number);
        }
    }
    CountItems(state);
}

// --- Float notation ------------------------------------------------------------

// The numbers as doubles, and their low 16 bits as finite halves with the
// floats of the same values, which the standard library can write.
struct FloatValues {
    std::vector<UInt64> doubles;
    std::vector<double> doubleValues;
    std::vector<UInt64> halves;
    std::vector<float> halfValues;
};

const FloatValues& Floats()
{
    static const FloatValues values = [] {
        FloatValues list;
        for (UInt64 number : Numbers()) {
            const double value = double(number);
            UInt64 bits;
            std::memcpy(&bits, &value, sizeof bits);
            list.doubles.push_back(bits);
            list.doubleValues.push_back(value);
            UInt16 half = UInt16(number);
            if ((half & 0x7C00) == 0x7C00)
                half ^= 0x4000; // no infinities or NaNs
            const int field = (half >> 10) & 0x1F;
            const float magnitude = field == 0
                ? std::ldexp(float(half & 0x3FF), -24)
                : std::ldexp(float((half & 0x3FF) | 0x400), field - 25);
            list.halves.push_back(half);
            list.halfValues.push_back(half & 0x8000 ? -magnitude : magnitude);
        }
        return list;
    }();
    return values;
}

// The texts of the same numbers, as each side writes them.
std::vector<std::string> FloatTexts(const std::vector<UInt64>& bits, UInt16 width)
{
    std::vector<std::string> texts;
    for (UInt64 each : bits) {
        char text[kFloatSize];
        WriteFloat(each, width, text);
        texts.emplace_back(text);
    }
    return texts;
}

template <UInt16 Width> void WriteFloatBench(benchmark::State& state)
{
    const std::vector<UInt64>& bits = Width == 16 ? Floats().halves : Floats().doubles;
    char out[kFloatSize];
    for (auto _ : state) {
        for (UInt64 each : bits) {
            WriteFloat(each, Width, out);
            benchmark::DoNotOptimize(out);
        }
    }
    CountItems(state);
}

template <class Float> void FloatToChars(benchmark::State& state, const std::vector<Float>& values)
{
    char out[kFloatSize];
    for (auto _ : state) {
        for (Float value : values) {
            *std::to_chars(out, out + sizeof out - 1, value).ptr = '\0';
            benchmark::DoNotOptimize(out);
        }
    }
    CountItems(state);
}

template <UInt16 Width> void ReadFloatBench(benchmark::State& state)
{
    const std::vector<std::string> texts
        = FloatTexts(Width == 16 ? Floats().halves : Floats().doubles, Width);
    for (auto _ : state) {
        for (const std::string& text : texts) {
            UInt64 bits = ReadFloat(text.c_str(), Width);
            benchmark::DoNotOptimize(bits);
        }
    }
    CountItems(state);
}

// The floor reads half's texts as floats: the standard library has no half.
template <class Float, UInt16 Width> void FloatFromChars(benchmark::State& state)
{
    const std::vector<std::string> texts
        = FloatTexts(Width == 16 ? Floats().halves : Floats().doubles, Width);
    Float value = 0;
    for (auto _ : state) {
        for (const std::string& text : texts) {
            std::from_chars(text.data(), text.data() + text.size(), value);
            benchmark::DoNotOptimize(value);
        }
    }
    CountItems(state);
}

// --- Expressions -----------------------------------------------------------------

// A typical expression typed into the hexadecimal field, "(a + b) << 3",
// with where its two numbers stand, for the floor.
struct ExpressionText {
    std::string text;
    std::size_t firstEnd;
    std::size_t secondBegin;
};

const std::vector<ExpressionText>& Expressions()
{
    static const std::vector<ExpressionText> texts = [] {
        std::vector<ExpressionText> list;
        const std::vector<UInt64>& numbers = Numbers();
        for (std::size_t i = 0; i < kNumberCount; ++i) {
            char a[20];
            char b[20];
            char* aEnd = std::to_chars(a, a + sizeof a, numbers[i] >> 34, 16).ptr;
            char* bEnd
                = std::to_chars(b, b + sizeof b, numbers[(i * 7 + 3) % kNumberCount] >> 40, 16).ptr;
            ExpressionText text;
            text.text = "(" + std::string(a, aEnd) + " + ";
            text.firstEnd = 1 + std::size_t(aEnd - a);
            text.secondBegin = text.text.size();
            text.text += std::string(b, bEnd) + ") << 3";
            list.push_back(text);
        }
        return list;
    }();
    return texts;
}

// What the field does with each keystroke's text: tell it is an expression,
// evaluate it.
void EvaluateBitlens(benchmark::State& state)
{
    for (auto _ : state) {
        for (const ExpressionText& text : Expressions()) {
            ExpressionResult result {};
            if (IsExpression(text.text.c_str(), eNotationHexadecimal))
                result = EvaluateExpression(text.text.c_str(), eNotationHexadecimal, false);
            benchmark::DoNotOptimize(result);
        }
    }
    CountItems(state);
}

// The same numbers read where they are known to stand, and the arithmetic.
void EvaluateFloor(benchmark::State& state)
{
    for (auto _ : state) {
        for (const ExpressionText& text : Expressions()) {
            const char* begin = text.text.data();
            UInt64 a = 0;
            UInt64 b = 0;
            std::from_chars(begin + 1, begin + text.firstEnd, a, 16);
            const char* secondEnd
                = std::from_chars(begin + text.secondBegin, begin + text.text.size(), b, 16).ptr;
            UInt64 value = (a + b) << 3;
            benchmark::DoNotOptimize(value);
            benchmark::DoNotOptimize(secondEnd);
        }
    }
    CountItems(state);
}

// --- One keystroke -------------------------------------------------------------

// Every notation but the hexadecimal one typed in, and the magnitudes.
template <class Row> void WriteOtherNotations(const Row& row, char* out)
{
    for (Notation shown :
        { eNotationBinary, eNotationDecimal, eNotationOctal, eNotationQuixadecimal, eNotationText,
            eNotationIPAddress, eNotationNumVersion, eNotationFloat }) {
        WriteNotation(row, shown, eBigEndian, out);
        benchmark::DoNotOptimize(out);
    }
}

// A hexadecimal digit typed into a row: the field is read, the eight other
// notations and the two magnitude labels are written.
void KeystrokeBitlens(benchmark::State& state)
{
    const std::vector<std::string> typed = Digits(16);
    BaseConverter row {};
    row.SetBitWidth(64);
    char field[kFieldBufferSize];
    char out[kFieldBufferSize];
    char magnitude[kMagnitudeSize];
    for (auto _ : state) {
        for (const std::string& text : typed) {
            CopyFieldText(text.c_str(), field);
            ReadNotation(row, eNotationHexadecimal, field, eBigEndian);
            WriteOtherNotations(row, out);
            for (bool metric : { false, true }) {
                FormatMagnitude(row, eBigEndian, metric, magnitude, sizeof magnitude);
                benchmark::DoNotOptimize(magnitude);
            }
        }
    }
    CountItems(state);
}

// The same keystroke through the document model, as the window and the
// command line type: the texts it keeps as a field shows them, what changed
// told apart, a step of the undo history.
void ModelKeystroke(benchmark::State& state)
{
    const std::vector<std::string> typed = Digits(16);
    ConverterModel model;
    model.chooseWidth(64);
    for (auto _ : state) {
        for (const std::string& text : typed) {
            const ModelChanges changes
                = model.typeInto(eFieldTypeValue, eNotationHexadecimal, text);
            benchmark::DoNotOptimize(changes);
            for (bool metric : { false, true }) {
                const std::string magnitude = model.magnitude(eFieldTypeValue, metric);
                benchmark::DoNotOptimize(magnitude);
            }
        }
    }
    CountItems(state);
}

// The magnitude label as the standard library would write it: pick the
// unit, one snprintf of a double.
void MagnitudeFloor(UInt64 number, bool metric, char* out, std::size_t size)
{
    static const char* const kBinary[] = { "%.3f PB", "%.3f TB", "%.3f GB", "%.3f MB", "%.3f KB" };
    static const char* const kMetric[]
        = { "%.3f quadrillion", "%.3f trillion", "%.3f billion", "%.3f million", "%.3f thousand" };
    const double base = metric ? 1000.0 : 1024.0;
    double unit = base * base * base * base * base;
    const double f = double(number);
    for (int i = 0; i < 5; ++i, unit /= base) {
        if (f / unit > 1.0) {
            std::snprintf(out, size, (metric ? kMetric : kBinary)[i], f / unit);
            return;
        }
    }
    std::snprintf(out, size, "%.0f", f);
}

char* PutNumber(char* out, unsigned number)
{
    return std::to_chars(out, out + 4, number).ptr;
}

// The version's four numbers of the low 32 bits, as to_chars writes them.
void PutVersionFloor(char* out, UInt64 number)
{
    char* end = PutNumber(out, unsigned(number >> 24) & 0xFF);
    *end++ = '.';
    end = PutNumber(end, unsigned(number >> 20) & 0x0F);
    *end++ = '.';
    end = PutNumber(end, unsigned(number >> 16) & 0x0F);
    *end++ = 'b';
    *PutNumber(end, unsigned(number) & 0xFF) = '\0';
}

// The same conversions with no grouping, no templates and no parsing rules:
// from_chars, to_chars and snprintf over the same number; the float is the
// 64 bits as a double, written by to_chars.
void KeystrokeFloor(benchmark::State& state)
{
    const std::vector<std::string> typed = Digits(16);
    char out[kFieldBufferSize];
    char magnitude[kMagnitudeSize];
    for (auto _ : state) {
        for (const std::string& text : typed) {
            UInt64 number = 0;
            std::from_chars(text.data(), text.data() + text.size(), number, 16);
            for (int base : { 2, 10, 8, 36 }) {
                *std::to_chars(out, out + sizeof out - 1, number, base).ptr = '\0';
                benchmark::DoNotOptimize(out);
            }
            for (int i = 0; i < 8; ++i) {
                const unsigned char byte = number >> (8 * (7 - i));
                out[i] = std::isprint(byte) ? char(byte) : char(0xA5);
            }
            out[8] = '\0';
            benchmark::DoNotOptimize(out);
            char* end = out;
            for (int shift = 24; shift >= 0; shift -= 8) {
                end = PutNumber(end, unsigned(number >> shift) & 0xFF);
                *end++ = shift != 0 ? '.' : '\0';
            }
            benchmark::DoNotOptimize(out);
            PutVersionFloor(out, number);
            benchmark::DoNotOptimize(out);
            double asDouble = 0;
            std::memcpy(&asDouble, &number, sizeof asDouble);
            *std::to_chars(out, out + sizeof out - 1, asDouble).ptr = '\0';
            benchmark::DoNotOptimize(out);
            for (bool metric : { false, true }) {
                MagnitudeFloor(number, metric, magnitude, sizeof magnitude);
                benchmark::DoNotOptimize(magnitude);
            }
        }
    }
    CountItems(state);
}

// --- One keystroke at 128 bits ------------------------------------------------

// Numbers of every length from 1 to 128 bits, the same in every run.
const std::vector<UInt128>& WideNumbers()
{
    static const std::vector<UInt128> numbers = [] {
        std::vector<UInt128> list;
        const std::vector<UInt64>& halves = Numbers();
        for (std::size_t i = 0; i < kNumberCount; ++i)
            list.push_back(MakeUInt128(halves[i], halves[(i * 7 + 3) % kNumberCount] << (i % 64))
                >> (i % 128));
        return list;
    }();
    return numbers;
}

// Each number's plain hexadecimal digits, as typed, and where its low 16
// digits begin, for the floor.
struct WideText {
    std::string digits;
    std::size_t lowBegin;
};

const std::vector<WideText>& WideTyped()
{
    static const std::vector<WideText> texts = [] {
        std::vector<WideText> list;
        for (UInt128 number : WideNumbers()) {
            char high[20];
            char low[20];
            char* highEnd = std::to_chars(high, high + sizeof high, HighHalf(number), 16).ptr;
            char* lowEnd = std::to_chars(low, low + sizeof low, LowHalf(number), 16).ptr;
            std::string digits;
            if (HighHalf(number) != 0)
                digits
                    = std::string(high, highEnd) + std::string(16 - std::size_t(lowEnd - low), '0');
            const std::size_t lowBegin = digits.size();
            list.push_back({ digits + std::string(low, lowEnd), lowBegin });
        }
        return list;
    }();
    return texts;
}

// A hexadecimal digit typed into a row of 128 bits: the field is read, the
// eight other notations, the UUID and the two magnitude labels written.
void Keystroke128Bitlens(benchmark::State& state)
{
    WideConverter row {};
    row.SetBitWidth(128);
    char field[kWideFieldBufferSize];
    char out[kWideFieldBufferSize];
    char magnitude[kWideMagnitudeSize];
    for (auto _ : state) {
        for (const WideText& text : WideTyped()) {
            CopyFieldText(text.digits.c_str(), field);
            ReadNotation(row, eNotationHexadecimal, field, eBigEndian);
            WriteOtherNotations(row, out);
            WriteUuidNotation(row, out);
            benchmark::DoNotOptimize(out);
            for (bool metric : { false, true }) {
                FormatMagnitude(row, eBigEndian, metric, magnitude, sizeof magnitude);
                benchmark::DoNotOptimize(magnitude);
            }
        }
    }
    CountItems(state);
}

// The same conversions on the number's two 64-bit halves with the standard
// library: from_chars of each half's digits, to_chars of each in binary,
// decimal, octal and base 36, the sixteen text bytes, eight hexadecimal
// groups for the address and again for the UUID, the version's numbers, each
// half as a double by to_chars, and the magnitudes as one snprintf each.
void Keystroke128Floor(benchmark::State& state)
{
    char out[kWideFieldBufferSize];
    char magnitude[kWideMagnitudeSize];
    for (auto _ : state) {
        for (const WideText& text : WideTyped()) {
            const char* begin = text.digits.data();
            UInt64 halves[2] = { 0, 0 };
            std::from_chars(begin, begin + text.lowBegin, halves[0], 16);
            std::from_chars(begin + text.lowBegin, begin + text.digits.size(), halves[1], 16);
            for (int base : { 2, 10, 8, 36 }) {
                char* end = out;
                for (UInt64 half : halves)
                    end = std::to_chars(end, out + sizeof out - 1, half, base).ptr;
                *end = '\0';
                benchmark::DoNotOptimize(out);
            }
            for (int i = 0; i < 16; ++i) {
                const unsigned char byte = halves[i / 8] >> (8 * (7 - i % 8));
                out[i] = std::isprint(byte) ? char(byte) : char(0xA5);
            }
            out[16] = '\0';
            benchmark::DoNotOptimize(out);
            for (int copy = 0; copy < 2; ++copy) {
                char* end = out;
                for (int group = 0; group < 8; ++group) {
                    const auto bits
                        = unsigned(halves[group / 4] >> (16 * (3 - group % 4))) & 0xFFFF;
                    end = std::to_chars(end, end + 4, bits, 16).ptr;
                    *end++ = ':';
                }
                end[-1] = '\0';
                benchmark::DoNotOptimize(out);
            }
            PutVersionFloor(out, halves[1]);
            benchmark::DoNotOptimize(out);
            char* end = out;
            for (UInt64 half : halves) {
                double asDouble = 0;
                std::memcpy(&asDouble, &half, sizeof asDouble);
                end = std::to_chars(end, out + sizeof out - 1, asDouble).ptr;
            }
            *end = '\0';
            benchmark::DoNotOptimize(out);
            for (bool metric : { false, true }) {
                MagnitudeFloor(
                    halves[0] != 0 ? halves[0] : halves[1], metric, magnitude, sizeof magnitude);
                benchmark::DoNotOptimize(magnitude);
            }
        }
    }
    CountItems(state);
}

// binary128 written, against both halves of its bits written as doubles.
void WriteBinary128Bitlens(benchmark::State& state)
{
    char out[kWideFloatSize];
    for (auto _ : state) {
        for (UInt128 bits : WideNumbers()) {
            WriteWideFloat(bits, 128, out);
            benchmark::DoNotOptimize(out);
        }
    }
    CountItems(state);
}

void WriteBinary128Floor(benchmark::State& state)
{
    char out[2 * kFloatSize];
    for (auto _ : state) {
        for (UInt128 bits : WideNumbers()) {
            char* end = out;
            for (UInt64 half : { HighHalf(bits), LowHalf(bits) }) {
                double value;
                std::memcpy(&value, &half, sizeof value);
                end = std::to_chars(end, out + sizeof out - 1, value).ptr;
            }
            *end = '\0';
            benchmark::DoNotOptimize(out);
        }
    }
    CountItems(state);
}

// binary128 read from the texts the writer gave, against the halves' texts
// read as doubles.
void ReadBinary128Bitlens(benchmark::State& state)
{
    std::vector<std::string> texts;
    for (UInt128 bits : WideNumbers()) {
        char text[kWideFloatSize];
        WriteWideFloat(bits, 128, text);
        texts.emplace_back(text);
    }
    for (auto _ : state) {
        for (const std::string& text : texts) {
            UInt128 bits = ReadWideFloat(text.c_str(), 128);
            benchmark::DoNotOptimize(bits);
        }
    }
    CountItems(state);
}

void ReadBinary128Floor(benchmark::State& state)
{
    std::vector<std::string> texts;
    for (UInt128 bits : WideNumbers()) {
        for (UInt64 half : { HighHalf(bits), LowHalf(bits) }) {
            char text[kFloatSize];
            WriteFloat(half, 64, text);
            texts.emplace_back(text);
        }
    }
    double value = 0;
    for (auto _ : state) {
        for (const std::string& text : texts) {
            std::from_chars(text.data(), text.data() + text.size(), value);
            benchmark::DoNotOptimize(value);
        }
    }
    CountItems(state);
}

} // namespace

// --- The undo history -----------------------------------------------------------

// glibc's count of the bytes the program holds on the heap.
std::size_t HeapBytes()
{
    return mallinfo2().uordblks;
}

// The heap a full undo history holds: a document through 1 000 steps of
// every kind, each different, with the math area open.
void UndoHistory(benchmark::State& state)
{
    static const char* const kTexts[] = { "dead beef", "-12345", "1 0000 0000", "10.0.0.1",
        "1.2.3b4", "3.14159", "Bits", "zz yy" };
    std::size_t bytes = 0;
    std::size_t steps = 0;
    for (auto _ : state) {
        const std::size_t before = HeapBytes();
        {
            ConverterModel model;
            model.mathDisclosured(true);
            for (int step = 0; model.undoSteps() < ConverterModel::kUndoLimit; ++step) {
                const auto row = step % 3 == 0 ? eFieldTypeOperand : eFieldTypeValue;
                switch (step % 5) {
                case 0: model.chooseWidth(UInt16(8 << (step / 5 % 4))); break;
                case 1: model.setBits(row, UInt64(step) * 0x9E3779B97F4A7C15u); break;
                case 2: model.shift(row, eShiftLeftDir); break;
                default:
                    model.typeInto(
                        row, Notation(step % eNotationCount), kTexts[step % std::size(kTexts)]);
                    break;
                }
            }
            steps = model.undoSteps();
            bytes = HeapBytes() - before;
            benchmark::DoNotOptimize(model);
        }
    }
    state.counters["history_bytes"] = double(bytes);
    state.counters["bytes_per_step"] = double(bytes) / double(steps);
}

int main(int argc, char** argv)
{
    using Run = void (*)(benchmark::State&);
    struct Pair {
        const char* name;
        Run bitlens;
        Run floor;
    };
    const Pair pairs[] = {
        { "GetBin", Format<&BaseConverter::GetBin>, [](benchmark::State& s) { ToChars(s, 2); } },
        { "GetOct", Format<&BaseConverter::GetOct>, [](benchmark::State& s) { ToChars(s, 8); } },
        { "GetHex", Format<&BaseConverter::GetHex>, [](benchmark::State& s) { ToChars(s, 16); } },
        { "GetQuix", Format<&BaseConverter::GetQuix>, [](benchmark::State& s) { ToChars(s, 36); } },
        { "GetDec", FormatDec, [](benchmark::State& s) { ToChars(s, 10); } },
        { "NewBin", [](benchmark::State& s) { Parse<&BaseConverter::NewBin>(s, 2); },
            [](benchmark::State& s) { FromChars(s, 2); } },
        { "NewOct", [](benchmark::State& s) { Parse<&BaseConverter::NewOct>(s, 8); },
            [](benchmark::State& s) { FromChars(s, 8); } },
        { "NewHex", [](benchmark::State& s) { Parse<&BaseConverter::NewHex>(s, 16); },
            [](benchmark::State& s) { FromChars(s, 16); } },
        { "NewQuix", [](benchmark::State& s) { Parse<&BaseConverter::NewQuix>(s, 36); },
            [](benchmark::State& s) { FromChars(s, 36); } },
        { "ReadDecimal", ReadDecimal, [](benchmark::State& s) { FromChars(s, 10); } },
        { "WriteFloat", WriteFloatBench<64>,
            [](benchmark::State& s) { FloatToChars(s, Floats().doubleValues); } },
        { "WriteHalf", WriteFloatBench<16>,
            [](benchmark::State& s) { FloatToChars(s, Floats().halfValues); } },
        { "ReadFloat", ReadFloatBench<64>, FloatFromChars<double, 64> },
        { "ReadHalf", ReadFloatBench<16>, FloatFromChars<float, 16> },
        { "Expression", EvaluateBitlens, EvaluateFloor },
        { "Keystroke", KeystrokeBitlens, KeystrokeFloor },
        { "ModelKeystroke", ModelKeystroke, KeystrokeFloor },
        { "Keystroke128", Keystroke128Bitlens, Keystroke128Floor },
        { "WriteBinary128", WriteBinary128Bitlens, WriteBinary128Floor },
        { "ReadBinary128", ReadBinary128Bitlens, ReadBinary128Floor },
    };
    const std::int64_t iterations = TakeIterationsOption(argc, argv);
    for (const Pair& pair : pairs) {
        for (const auto& [side, run] :
            { std::pair { "/bitlens", pair.bitlens }, std::pair { "/floor", pair.floor } }) {
            benchmark::internal::Benchmark* registered
                = benchmark::RegisterBenchmark((std::string(pair.name) + side).c_str(), run);
            if (iterations > 0)
                registered->Iterations(iterations);
        }
    }
    benchmark::RegisterBenchmark("UndoHistory", UndoHistory)->Iterations(1);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
