#include "History.h"

#include "FieldBytes.h"

#include "engine/WideNotation.h"

#include <algorithm>
#include <charconv>
#include <iterator>

namespace {

constexpr std::string_view kHeader = "bitlens history 1";

// By Notation.
constexpr std::string_view kNotationWords[eNotationCount] = { "binary", "decimal", "hexadecimal",
    "octal", "base36", "text", "ip", "version", "float", "uuid" };
// By MathOperation.
constexpr std::string_view kOperationWords[eMathOperationCount]
    = { "and", "or", "xor", "add", "sub", "mul", "div", "rem", "shr", "shl", "not", "nand", "nor",
          "xnor", "rotl", "rotr", "sar", "sdiv", "srem", "neg" };

bool IsWidth(UInt16 width)
{
    return width == 8 || width == 16 || width == 32 || width == 64 || width == 128;
}

HistoryNumber NumberOf(const ConverterModel& model, FieldType row)
{
    return { model.wideBits(row), model.isSigned(row), model.endian(row) };
}

// `number`'s digits in `base` (2, 8 or 16), no leading zeros; std::to_chars
// has no 128-bit overload in every library.
std::string Digits(UInt128 number, unsigned base)
{
    char digits[128];
    char* at = digits + sizeof digits;
    do {
        *--at = "0123456789abcdef"[unsigned(number % base)];
        number /= base;
    } while (number != 0);
    return std::string(at, digits + sizeof digits);
}

// Up to 32 hexadecimal digits, nothing else.
bool ParseHex(std::string_view text, UInt128& value)
{
    if (text.empty() || text.size() > 32)
        return false;
    value = 0;
    for (char c : text) {
        const int digit = c >= '0' && c <= '9' ? c - '0'
            : c >= 'a' && c <= 'f'             ? c - 'a' + 10
            : c >= 'A' && c <= 'F'             ? c - 'A' + 10
                                               : -1;
        if (digit < 0)
            return false;
        value = value << 4 | unsigned(digit);
    }
    return true;
}

template <std::size_t N> int IndexOf(const std::string_view (&words)[N], std::string_view word)
{
    const auto* found = std::find(std::begin(words), std::end(words), word);
    return found == std::end(words) ? -1 : int(found - std::begin(words));
}

std::vector<std::string_view> Split(std::string_view text, char separator)
{
    std::vector<std::string_view> parts;
    for (;;) {
        const std::size_t at = text.find(separator);
        parts.push_back(text.substr(0, at));
        if (at == std::string_view::npos)
            return parts;
        text.remove_prefix(at + 1);
    }
}

template <class T> bool ParseWhole(std::string_view text, T& value, int base = 10)
{
    if (text.empty() || text.front() == '-' || text.front() == '+')
        return false;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    return error == std::errc() && end == text.data() + text.size();
}

void AppendNumber(std::string& line, const HistoryNumber& number)
{
    line += Digits(number.bits, 16);
    line += number.isSigned ? "/s/" : "/u/";
    line += number.endian == eLittleEndian ? "le" : "be";
}

std::optional<HistoryNumber> ParseNumber(std::string_view text, UInt16 width)
{
    const std::vector<std::string_view> parts = Split(text, '/');
    HistoryNumber number;
    if (parts.size() != 3 || !ParseHex(parts[0], number.bits)
        || (number.bits & ~WideMask(width)) != 0)
        return std::nullopt;
    if (parts[1] != "s" && parts[1] != "u")
        return std::nullopt;
    number.isSigned = parts[1] == "s";
    if (parts[2] != "be" && parts[2] != "le")
        return std::nullopt;
    number.endian = parts[2] == "le" ? eLittleEndian : eBigEndian;
    return number;
}

void AppendEscaped(std::string& line, std::string_view text)
{
    for (char c : text) {
        switch (c) {
        case '\\': line += "\\\\"; break;
        case '\t': line += "\\t"; break;
        case '\n': line += "\\n"; break;
        case '\r': line += "\\r"; break;
        default: line += c;
        }
    }
}

std::optional<std::string> Unescaped(std::string_view text)
{
    std::string plain;
    plain.reserve(text.size());
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] == '\r')
            return std::nullopt;
        if (text[at] != '\\') {
            plain += text[at];
            continue;
        }
        if (++at == text.size())
            return std::nullopt;
        switch (text[at]) {
        case '\\': plain += '\\'; break;
        case 't': plain += '\t'; break;
        case 'n': plain += '\n'; break;
        case 'r': plain += '\r'; break;
        default: return std::nullopt;
        }
    }
    return plain;
}

std::optional<HistoryEntry> ParseEntry(std::string_view line)
{
    const std::vector<std::string_view> columns = Split(line, '\t');
    if (columns.size() != 6 && columns.size() != 9)
        return std::nullopt;
    HistoryEntry entry;
    if (!ParseWhole(columns[0], entry.time))
        return std::nullopt;
    if (columns[1] != "value" && columns[1] != "operand")
        return std::nullopt;
    entry.row = columns[1] == "value" ? eFieldTypeValue : eFieldTypeOperand;
    const int notation = IndexOf(kNotationWords, columns[2]);
    if (notation < 0 || !ParseWhole(columns[3], entry.width) || !IsWidth(entry.width))
        return std::nullopt;
    entry.notation = static_cast<Notation>(notation);
    const auto number = ParseNumber(columns[4], entry.width);
    auto text = Unescaped(columns[5]);
    if (!number || !text)
        return std::nullopt;
    entry.number = *number;
    entry.text.assign(CutToField(*text));
    if (columns.size() == 9) {
        const int operation = IndexOf(kOperationWords, columns[6]);
        const auto value = ParseNumber(columns[7], entry.width);
        const auto operand = ParseNumber(columns[8], entry.width);
        if (operation < 0 || !value || !operand)
            return std::nullopt;
        entry.calculation
            = HistoryCalculation { static_cast<MathOperation>(operation), *value, *operand };
    }
    return entry;
}

} // namespace

bool HistoryEntry::repeats(const HistoryEntry& other) const
{
    return text == other.text && row == other.row && notation == other.notation
        && width == other.width && number == other.number && calculation == other.calculation;
}

std::optional<HistoryEntry> EntryOnEnter(
    const ConverterModel& model, FieldType row, Notation notation, SInt64 time)
{
    if (!ConverterModel::isTyped(row) || notation < 0 || notation >= eNotationCount)
        return std::nullopt;
    const std::string& text = model.text(row, notation);
    if (text.find_first_not_of(" \t") == std::string::npos)
        return std::nullopt;
    const RowMessage& message = model.message(row);
    if (message.notation == notation
        && (message.kind == eMessageIncomplete || message.kind == eMessageDivisionByZero))
        return std::nullopt;
    HistoryEntry entry;
    entry.time = time;
    entry.text = text;
    entry.row = row;
    entry.notation = notation;
    entry.width = model.width();
    const MathOperation operation = model.operation();
    if (model.mathEnabled() && operation >= 0 && operation < eMathOperationCount) {
        entry.number = NumberOf(model, eFieldTypeResult);
        entry.calculation = HistoryCalculation { operation, NumberOf(model, eFieldTypeValue),
            NumberOf(model, eFieldTypeOperand) };
    } else {
        entry.number = NumberOf(model, row);
    }
    return entry;
}

std::string HistoryNumberText(const HistoryNumber& number, UInt16 width, Notation notation)
{
    const UInt128 bits = number.bits & WideMask(width);
    const char* prefix = nullptr;
    int base = 0;
    switch (notation) {
    case eNotationBinary: prefix = "0b", base = 2; break;
    case eNotationHexadecimal: prefix = "0x", base = 16; break;
    case eNotationOctal: prefix = "0o", base = 8; break;
    default: break;
    }
    if (prefix)
        return prefix + Digits(bits, unsigned(base));
    WideConverter converter {};
    converter.SetBitWidth(IsWidth(width) ? width : 64);
    converter.SetUnsignedDec(bits, eBigEndian);
    converter.SetSigned(number.isSigned);
    if (number.isSigned)
        converter.SetSignedDec(converter.GetSignedValue(eBigEndian), eBigEndian);
    char bytes[kWideFieldBufferSize];
    WriteNotation(converter, notation < eNotationCount ? notation : eNotationDecimal,
        number.endian == eLittleEndian ? eLittleEndian : eBigEndian, bytes);
    std::string text;
    FieldTextFromBytes(bytes, text);
    return text;
}

const char* HistoryOperator(MathOperation operation)
{
    switch (operation) {
    case eMathAnd: return "AND";
    case eMathOr: return "OR";
    case eMathXor: return "XOR";
    case eMathAdd: return "+";
    case eMathSubtract: return "-";
    case eMathMultiply: return "*";
    case eMathDivide: return "/";
    case eMathRemainder: return "%";
    case eMathShiftRight: return ">>";
    case eMathShiftLeft: return "<<";
    case eMathNot: return "NOT";
    case eMathNand: return "NAND";
    case eMathNor: return "NOR";
    case eMathXnor: return "XNOR";
    default: return nullptr;
    }
}

std::string HistoryExpression(const HistoryEntry& entry, std::string_view operationName)
{
    if (!entry.calculation)
        return entry.text;
    const HistoryCalculation& calculation = *entry.calculation;
    const char* symbol = HistoryOperator(calculation.operation);
    const std::string_view name = symbol ? std::string_view(symbol) : operationName;
    const std::string value = HistoryNumberText(calculation.value, entry.width, entry.notation);
    if (calculation.operation == eMathNot || calculation.operation == eMathNegate)
        return std::string(name) + ' ' + value;
    return value + ' ' + std::string(name) + ' '
        + HistoryNumberText(calculation.operand, entry.width, entry.notation);
}

std::string HistoryResult(const HistoryEntry& entry)
{
    return HistoryNumberText(entry.number, entry.width, entry.notation);
}

// --- History -------------------------------------------------------------------

bool History::add(HistoryEntry entry)
{
    const UInt128 beyond = ~WideMask(entry.width);
    const bool sound = ConverterModel::isTyped(entry.row) && entry.notation >= 0
        && entry.notation < eNotationCount && IsWidth(entry.width)
        && (entry.number.bits & beyond) == 0
        && (!entry.calculation
            || (entry.calculation->operation >= 0
                && entry.calculation->operation < eMathOperationCount
                && ((entry.calculation->value.bits | entry.calculation->operand.bits) & beyond)
                    == 0));
    if (!sound)
        return false;
    const auto at = std::find_if(fEntries.begin(), fEntries.end(),
        [&entry](const HistoryEntry& older) { return older.time <= entry.time; });
    if ((at != fEntries.end() && at->repeats(entry))
        || (at != fEntries.begin() && std::prev(at)->repeats(entry)))
        return false;
    fEntries.insert(at, std::move(entry));
    if (fEntries.size() > kLimit)
        fEntries.resize(kLimit);
    return true;
}

bool History::remove(const HistoryEntry& entry)
{
    const auto found = std::find(fEntries.begin(), fEntries.end(), entry);
    if (found == fEntries.end())
        return false;
    fEntries.erase(found);
    return true;
}

void History::clearThrough(SInt64 time)
{
    fEntries.erase(std::remove_if(fEntries.begin(), fEntries.end(),
                       [time](const HistoryEntry& entry) { return entry.time <= time; }),
        fEntries.end());
}

std::vector<std::string> History::texts(Notation notation) const
{
    std::vector<std::string> texts;
    for (const HistoryEntry& entry : fEntries)
        if (notation == eNotationCount || entry.notation == notation)
            texts.push_back(entry.text);
    return texts;
}

// --- The text form ------------------------------------------------------------

std::string WriteHistory(const History& history)
{
    std::string text(kHeader);
    text += '\n';
    for (const HistoryEntry& entry : history.entries()) {
        text += std::to_string(entry.time);
        text += entry.row == eFieldTypeOperand ? "\toperand\t" : "\tvalue\t";
        text += kNotationWords[entry.notation];
        text += '\t';
        text += std::to_string(entry.width);
        text += '\t';
        AppendNumber(text, entry.number);
        text += '\t';
        AppendEscaped(text, entry.text);
        if (const auto& calculation = entry.calculation) {
            text += '\t';
            text += kOperationWords[calculation->operation];
            text += '\t';
            AppendNumber(text, calculation->value);
            text += '\t';
            AppendNumber(text, calculation->operand);
        }
        text += '\n';
    }
    return text;
}

HistoryReading ReadHistory(std::string_view text)
{
    HistoryReading reading;
    if (text.empty())
        return reading;
    const std::size_t headerEnd = text.find('\n');
    if (text.substr(0, headerEnd) != kHeader) {
        reading.foreign = true;
        return reading;
    }
    if (headerEnd == std::string_view::npos)
        return reading;
    text.remove_prefix(headerEnd + 1);

    std::vector<HistoryEntry> entries;
    for (std::string_view line : Split(text, '\n')) {
        if (line.empty())
            continue;
        if (auto entry = ParseEntry(line))
            entries.push_back(std::move(*entry));
        else
            ++reading.damagedLines;
    }
    // Written newest first, but a file edited by hand or joined from two
    // need not be: the newest are kept, each once.
    std::stable_sort(entries.begin(), entries.end(),
        [](const HistoryEntry& a, const HistoryEntry& b) { return a.time > b.time; });
    std::vector<HistoryEntry> kept;
    for (HistoryEntry& entry : entries) {
        if (kept.size() == History::kLimit)
            break;
        if (std::find(kept.begin(), kept.end(), entry) == kept.end())
            kept.push_back(std::move(entry));
    }
    // Filed oldest first, so that each goes in front of the last.
    for (auto entry = kept.rbegin(); entry != kept.rend(); ++entry)
        reading.history.add(std::move(*entry));
    return reading;
}

// --- Recall --------------------------------------------------------------------

void HistoryRecall::start(std::vector<std::string> texts, std::string draft)
{
    fTexts = std::make_shared<const std::vector<std::string>>(std::move(texts));
    fDraft = std::move(draft);
    fAt = -1;
    fWalking = true;
}

void HistoryRecall::stop()
{
    fTexts.reset();
    fDraft.clear();
    fAt = -1;
    fWalking = false;
}

const std::string& HistoryRecall::shown() const
{
    return fAt < 0 ? fDraft : (*fTexts)[std::size_t(fAt)];
}

std::optional<std::string> HistoryRecall::older()
{
    if (!fWalking)
        return std::nullopt;
    const std::vector<std::string>& texts = *fTexts;
    for (int at = fAt + 1; at < int(texts.size()); ++at) {
        if (texts[std::size_t(at)] != shown()) {
            fAt = at;
            return texts[std::size_t(at)];
        }
    }
    return std::nullopt;
}

std::optional<std::string> HistoryRecall::newer()
{
    if (!fWalking || fAt < 0)
        return std::nullopt;
    const std::vector<std::string>& texts = *fTexts;
    for (int at = fAt - 1; at >= 0; --at) {
        if (texts[std::size_t(at)] != shown()) {
            fAt = at;
            return texts[std::size_t(at)];
        }
    }
    fAt = -1;
    return fDraft;
}
