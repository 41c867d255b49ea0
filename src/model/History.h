// The history: what the user entered (Enter in a Value or Operand field),
// newest first, as a plain value, with the text form it is kept in and the
// cursor that walks its texts as a shell walks its command lines.
//
// An entry holds the text as typed and the number it gave, with the width,
// sign and byte order it was read at; with the math area open, the whole
// calculation. Texts are UTF-8, as a field holds them.
#ifndef BITLENS_HISTORY_H
#define BITLENS_HISTORY_H

#include "model/ConverterModel.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A row's number as the row held it.
struct HistoryNumber {
    UInt128 bits = 0; // within the width
    bool isSigned = false;
    Endian endian = eBigEndian;

    bool operator==(const HistoryNumber& other) const
    {
        return bits == other.bits && isSigned == other.isSigned && endian == other.endian;
    }
    bool operator!=(const HistoryNumber& other) const { return !(*this == other); }
};

struct HistoryCalculation {
    MathOperation operation = eMathAnd;
    HistoryNumber value;
    HistoryNumber operand;

    bool operator==(const HistoryCalculation& other) const
    {
        return operation == other.operation && value == other.value && operand == other.operand;
    }
};

struct HistoryEntry {
    // Milliseconds since 1970 (UTC): orders the entries of several writers.
    SInt64 time = 0;
    std::string text; // as typed
    FieldType row = eFieldTypeValue; // the field typed in: its row and notation
    Notation notation = eNotationDecimal;
    UInt16 width = 32;
    // The typed row's number; for a calculation, the Result's.
    HistoryNumber number;
    std::optional<HistoryCalculation> calculation;

    // Everything but the time: the same entry entered again.
    bool repeats(const HistoryEntry& other) const;
    bool operator==(const HistoryEntry& other) const
    {
        return time == other.time && repeats(other);
    }
    bool operator!=(const HistoryEntry& other) const { return !(*this == other); }
};

// The entry that Enter in the field records now, at `time`; nothing for a
// field that is not typed into, an empty text, or a text the row did not
// read as a whole number (a calculation not yet whole, a division by zero).
std::optional<HistoryEntry> EntryOnEnter(
    const ConverterModel& model, FieldType row, Notation notation, SInt64 time);

// `bits` of a row as the history shows them in `notation`: hexadecimal,
// binary and octal with their prefix and no leading zeros (0x1f, 0b101,
// 0o17), every other notation as its field writes it (the decimal signed
// when the row is, in the row's byte order).
std::string HistoryNumberText(const HistoryNumber& number, UInt16 width, Notation notation);

// C's operator for the operations that have one ("+", "<<"), the logic
// operations' names ("AND", "NOT"), else null: the window then names the
// operation as its popup does.
const char* HistoryOperator(MathOperation operation);

// What the entry computed: its text as typed, or for a calculation its
// operands in the notation typed in, with `operationName` for an operation
// HistoryOperator has no word for ("0x10 AND 0x1f", "NOT 0x10", "5 rotate
// left 1").
std::string HistoryExpression(const HistoryEntry& entry, std::string_view operationName);
// What it gave: the entry's number in the notation typed in.
std::string HistoryResult(const HistoryEntry& entry);

class History {
public:
    static constexpr std::size_t kLimit = 1000;

    // Newest first; equal times keep the order they came in.
    const std::vector<HistoryEntry>& entries() const { return fEntries; }
    bool empty() const { return fEntries.empty(); }
    std::size_t size() const { return fEntries.size(); }

    // Files `entry` by its time, unless it repeats an entry next to it there
    // or could not come from the window (no such field, width or operation,
    // bits beyond the width); the oldest beyond kLimit go. Returns whether
    // it was filed.
    bool add(HistoryEntry entry);
    // Removes the entry equal to `entry` (time included); whether one was.
    bool remove(const HistoryEntry& entry);
    // Removes every entry from `time` back: a clear that leaves what another
    // writer entered after it.
    void clearThrough(SInt64 time);
    void clear() { fEntries.clear(); }

    // The texts, newest first, for recall: those typed in the fields of
    // `notation`, where they read as they did, or with eNotationCount all.
    std::vector<std::string> texts(Notation notation = eNotationCount) const;

    bool operator==(const History& other) const { return fEntries == other.fEntries; }
    bool operator!=(const History& other) const { return !(*this == other); }

private:
    std::vector<HistoryEntry> fEntries;
};

// --- The text form ------------------------------------------------------------
// A header line, then one line per entry, newest first; columns separated
// by tabs:
//   bitlens history 1
//   TIME  ROW  NOTATION  WIDTH  NUMBER  TEXT  [OPERATION  VALUE  OPERAND]
// ROW is "value" or "operand"; NOTATION "binary", "decimal", "hexadecimal",
// "octal", "base36", "text", "ip", "version", "float" or "uuid"; a NUMBER is its
// bits in hexadecimal, "s" or "u" and "be" or "le", joined by '/'
// ("ff/u/be"); TEXT escapes '\\', tab, line feed and carriage return as
// \\, \t, \n and \r; OPERATION is one of "and", "or", "xor", "add", "sub",
// "mul", "div", "rem", "shr", "shl", "not", "nand", "nor", "xnor", "rotl",
// "rotr", "sar", "sdiv", "srem", "neg".

struct HistoryReading {
    History history;
    // The header is not this program's: nothing was read.
    bool foreign = false;
    // Lines that were not entries, skipped.
    std::size_t damagedLines = 0;

    bool damaged() const { return foreign || damagedLines > 0; }
};

std::string WriteHistory(const History& history);
// Reads what it can: a damaged line is skipped and counted, never trusted
// in part; a text longer than a field holds is cut as the field would.
HistoryReading ReadHistory(std::string_view text);

// --- Recall --------------------------------------------------------------------
// Up and Down in a field, as a shell has them: Up goes to older texts, Down
// back to newer ones and, past the newest, to the draft (what the field held
// when the walk began). A text equal to the one shown is passed over, so
// that every step changes the field. A copy shares the texts.
class HistoryRecall {
public:
    // A walk over `texts` (newest first) from a field showing `draft`.
    void start(std::vector<std::string> texts, std::string draft);
    void stop();
    bool walking() const { return fWalking; }

    // The text to show next, or nothing when there is none further.
    std::optional<std::string> older();
    std::optional<std::string> newer();

private:
    const std::string& shown() const;

    std::shared_ptr<const std::vector<std::string>> fTexts;
    std::string fDraft;
    int fAt = -1; // the text shown, or -1 for the draft
    bool fWalking = false;
};

#endif
