// The history as a value: what Enter records, how entries are filed and
// shown, the text form read back whatever it holds, the recall cursor, and
// an entry brought back into the Value row as one undoable step.
#include "model/History.h"
#include "model/ConverterModel.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

// The operation popup's English titles, by MathOperation.
const char* const kOperationTitles[eMathOperationCount]
    = { "AND", "OR", "XOR", "add", "subtract", "multiply", "divide", "remainder", "shift right",
          "shift left", "NOT", "NAND", "NOR", "XNOR", "rotate left", "rotate right",
          "arithmetic shift right", "signed divide", "signed remainder", "negate" };

// An entry as the history panel shows it, in English.
std::string Shown(const HistoryEntry& entry)
{
    const char* title = entry.calculation ? kOperationTitles[entry.calculation->operation] : "";
    return HistoryExpression(entry, title) + " = " + HistoryResult(entry) + " \u00B7 "
        + std::to_string(entry.width) + " bits";
}

// Steps joined by '|': "width N", "math", "signed", "little", "op N" (a
// MathOperation), or "ROW NOTATION TEXT" with ROW v or o and NOTATION a
// Notation's number, as typed; "enter", "up" or "down" and ROW NOTATION
// for Enter, Up and Down in that field, Enter recording into `history`.
void Play(ConverterModel& model, const std::string& steps, History* history = nullptr)
{
    std::size_t begin = 0;
    while (begin <= steps.size()) {
        std::size_t end = steps.find('|', begin);
        if (end == std::string::npos)
            end = steps.size();
        const std::string step = steps.substr(begin, end - begin);
        begin = end + 1;
        if (step.empty())
            continue;
        if (step.rfind("width ", 0) == 0) {
            model.chooseWidth(UInt16(std::stoi(step.substr(6))));
        } else if (step == "math") {
            model.mathDisclosured(true);
        } else if (step == "signed") {
            model.setSigned(eFieldTypeValue, true);
        } else if (step == "little") {
            model.endianSwitched(eFieldTypeValue, eLittleEndian);
        } else if (step.rfind("op ", 0) == 0) {
            model.chooseOperation(MathOperation(std::stoi(step.substr(3))));
        } else if (step.find(' ') > 1) {
            const std::string verb = step.substr(0, step.find(' '));
            const FieldType row
                = step[verb.size() + 1] == 'o' ? eFieldTypeOperand : eFieldTypeValue;
            const auto notation = Notation(step[verb.size() + 3] - '0');
            if (verb == "enter") {
                const auto entered = model.enter(row, notation, SInt64(history->size() + 1));
                if (entered.historyEntered)
                    history->add(*entered.historyEntered);
            } else if (model.recalls(row, notation, verb == "up")) {
                model.recall(row, notation, verb == "up", *history);
            }
        } else {
            const FieldType row = step[0] == 'o' ? eFieldTypeOperand : eFieldTypeValue;
            const auto notation = Notation(step[2] - '0');
            const std::string text = step.size() > 4 ? step.substr(4) : "";
            for (std::size_t typed = 1; typed <= text.size(); ++typed)
                model.typeInto(row, notation, text.substr(0, typed));
            if (text.empty())
                model.typeInto(row, notation, "");
        }
    }
}

HistoryEntry Entry(SInt64 time, const std::string& text, UInt64 bits = 1, UInt16 width = 32)
{
    HistoryEntry entry;
    entry.time = time;
    entry.text = text;
    entry.notation = eNotationHexadecimal;
    entry.width = width;
    entry.number.bits = bits;
    return entry;
}

TEST(History, RecordsWhatEnterFindsInTheField)
{
    struct Row {
        const char* name;
        const char* steps;
        FieldType row;
        Notation notation;
        const char* shown; // null: nothing is recorded
    };
    const Row rows[] = {
        { "an expression in the decimal field", "v 1 0x10 << 3", eFieldTypeValue, eNotationDecimal,
            "0x10 << 3 = 128 \u00B7 32 bits" },
        { "a plain hexadecimal number", "v 2 1f", eFieldTypeValue, eNotationHexadecimal,
            "1f = 0x1f \u00B7 32 bits" },
        { "a calculation with the math area open", "math|v 2 10|o 2 1f", eFieldTypeOperand,
            eNotationHexadecimal, "0x10 AND 0x1f = 0x10 \u00B7 32 bits" },
        { "a calculation, from the Value row", "math|op 3|o 1 7|v 1 5", eFieldTypeValue,
            eNotationDecimal, "5 + 7 = 12 \u00B7 32 bits" },
        { "a unary operation names no operand", "math|op 10|v 2 f0", eFieldTypeValue,
            eNotationHexadecimal, "NOT 0xf0 = 0xffffff0f \u00B7 32 bits" },
        { "an operation the popup names", "math|op 14|o 1 4|width 8|v 0 1001 0001", eFieldTypeValue,
            eNotationBinary, "0b10010001 rotate left 0b100 = 0b11001 \u00B7 8 bits" },
        { "a signed decimal", "v 1 -1", eFieldTypeValue, eNotationDecimal,
            "-1 = -1 \u00B7 32 bits" },
        { "the width it widened to", "width 8|v 2 1ff", eFieldTypeValue, eNotationHexadecimal,
            "1ff = 0x1ff \u00B7 16 bits" },
        { "a text the model wrote", "v 2 ff", eFieldTypeValue, eNotationDecimal,
            "255 = 255 \u00B7 32 bits" },
        { "a number read little-endian", "little|v 1 1", eFieldTypeValue, eNotationDecimal,
            "1 = 1 \u00B7 32 bits" },
        { "not a whole calculation", "v 2 1 +", eFieldTypeValue, eNotationHexadecimal, nullptr },
        { "a division by zero", "v 1 1/0", eFieldTypeValue, eNotationDecimal, nullptr },
        { "an empty field", "v 1 5|v 1 ", eFieldTypeValue, eNotationDecimal, nullptr },
        { "blanks only", "v 2  ", eFieldTypeValue, eNotationHexadecimal, nullptr },
        { "the Result row", "math|v 1 5", eFieldTypeResult, eNotationDecimal, nullptr },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ConverterModel model;
        Play(model, row.steps);
        const auto entry = EntryOnEnter(model, row.row, row.notation, 42);
        ASSERT_EQ(entry.has_value(), row.shown != nullptr);
        if (!entry)
            continue;
        EXPECT_EQ(Shown(*entry), row.shown);
        EXPECT_EQ(entry->time, 42);
        EXPECT_EQ(entry->text, model.text(row.row, row.notation));
    }
}

TEST(History, FilesEachEntryOnceInARowAndNewestFirst)
{
    struct Row {
        const char* name;
        std::vector<HistoryEntry> added;
        std::vector<std::string> texts; // afterwards, newest first
    };
    HistoryEntry wider = Entry(2, "a");
    wider.width = 64;
    HistoryEntry calculation = Entry(2, "a");
    calculation.calculation = HistoryCalculation {};
    const Row rows[] = {
        { "newest first", { Entry(1, "a"), Entry(2, "b") }, { "b", "a" } },
        { "the same entry again", { Entry(1, "a"), Entry(2, "a") }, { "a" } },
        { "the same entry after another", { Entry(1, "a"), Entry(2, "b"), Entry(3, "a") },
            { "a", "b", "a" } },
        { "the same text at another width", { Entry(1, "a"), wider }, { "a", "a" } },
        { "the same text as a calculation", { Entry(1, "a"), calculation }, { "a", "a" } },
        { "the same text, another number", { Entry(1, "a"), Entry(2, "a", 2) }, { "a", "a" } },
        { "an older entry goes by its time", { Entry(5, "c"), Entry(1, "a"), Entry(3, "b") },
            { "c", "b", "a" } },
        { "equal times, the later first", { Entry(1, "a"), Entry(1, "b") }, { "b", "a" } },
        { "a repeat of a newer neighbour", { Entry(5, "a"), Entry(3, "a") }, { "a" } },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        History history;
        for (const HistoryEntry& entry : row.added)
            history.add(entry);
        EXPECT_EQ(history.texts(), row.texts);
    }
}

TEST(History, RecallsTheTextsOfOneNotation)
{
    History history;
    HistoryEntry decimal = Entry(2, "0x10 << 3");
    decimal.notation = eNotationDecimal;
    HistoryEntry operand = Entry(3, "1f");
    operand.row = eFieldTypeOperand;
    for (const HistoryEntry& entry : { Entry(1, "ff"), decimal, operand })
        history.add(entry);
    EXPECT_EQ(history.texts(eNotationHexadecimal), (std::vector<std::string> { "1f", "ff" }));
    EXPECT_EQ(history.texts(eNotationDecimal), std::vector<std::string> { "0x10 << 3" });
    EXPECT_EQ(history.texts(eNotationBinary), std::vector<std::string> {});
    EXPECT_EQ(history.texts().size(), 3u);
}

TEST(History, RefusesEntriesNoFieldCouldHave)
{
    HistoryEntry result = Entry(1, "a");
    result.row = eFieldTypeResult;
    HistoryEntry noNotation = Entry(1, "a");
    noNotation.notation = eNotationCount;
    HistoryEntry oddWidth = Entry(1, "a", 1, 12);
    HistoryEntry noOperation = Entry(1, "a");
    noOperation.calculation = HistoryCalculation { eMathOperationCount, {}, {} };
    HistoryEntry wideBits = Entry(1, "a", 0x100, 8);
    HistoryEntry wideOperand = Entry(1, "a", 1, 16);
    wideOperand.calculation = HistoryCalculation { eMathAnd, {}, { 0x10000, false, eBigEndian } };
    for (const HistoryEntry& entry :
        { result, noNotation, oddWidth, noOperation, wideBits, wideOperand }) {
        History history;
        EXPECT_FALSE(history.add(entry));
        EXPECT_TRUE(history.empty());
    }
}

TEST(History, KeepsTheNewestThousand)
{
    History history;
    for (int at = 0; at < 1500; ++at)
        history.add(Entry(at, std::to_string(at)));
    ASSERT_EQ(history.size(), History::kLimit);
    EXPECT_EQ(history.entries().front().text, "1499");
    EXPECT_EQ(history.entries().back().text, "500");
    // One older than all that are kept goes at once.
    EXPECT_TRUE(history.add(Entry(0, "old")));
    EXPECT_EQ(history.entries().back().text, "500");
}

TEST(History, RemovesByIdentityAndClearsThroughATime)
{
    History history;
    for (int at = 1; at <= 4; ++at)
        history.add(Entry(at, std::to_string(at)));
    EXPECT_FALSE(history.remove(Entry(2, "3"))) << "same time, another text";
    EXPECT_TRUE(history.remove(Entry(2, "2")));
    EXPECT_EQ(history.texts(), (std::vector<std::string> { "4", "3", "1" }));
    history.clearThrough(3);
    EXPECT_EQ(history.texts(), std::vector<std::string> { "4" });
}

// --- The text form ------------------------------------------------------------

TEST(HistoryText, ReadsBackWhatItWrites)
{
    History history;
    HistoryEntry awkward
        = Entry(1700000000000, "a\tb\\n\nc\r\u00E9\u2022\U0001F600", ~UInt64(0), 64);
    awkward.row = eFieldTypeOperand;
    awkward.notation = eNotationText;
    awkward.number = { ~UInt64(0), true, eLittleEndian };
    HistoryEntry calculation = Entry(1700000000001, "0x10 << 3", 0x80, 8);
    calculation.calculation = HistoryCalculation { eMathNegate, { 0x10, true, eLittleEndian },
        { 0xff, false, eBigEndian } };
    history.add(awkward);
    history.add(calculation);
    history.add(Entry(1700000000002, ""));
    const std::string written = WriteHistory(history);
    const HistoryReading read = ReadHistory(written);
    EXPECT_FALSE(read.damaged());
    EXPECT_EQ(read.history, history);
    EXPECT_EQ(written.substr(0, written.find('\n', written.find('\n') + 1)),
        "bitlens history 1\n1700000000002\tvalue\thexadecimal\t32\t1/u/be\t");
}

TEST(HistoryText, SkipsEachDamagedLineAndReadsTheRest)
{
    const std::string good = "5\tvalue\tdecimal\t32\t80/u/be\t0x10 << 3";
    // Each line alone between two good ones: damaged, or read.
    struct Row {
        const char* line;
        bool damaged;
    };
    const Row rows[] = {
        { "", false },
        { "6\tvalue\tdecimal\t32\t80/u/be\t1\tand\t1/u/be\t1/u/be", false },
        { "6\tvalue\tdecimal\t32\t80/u/be", true }, // a column short
        { "6\tvalue\tdecimal\t32\t80/u/be\t1\tand", true },
        { "x\tvalue\tdecimal\t32\t80/u/be\t1", true },
        { "-6\tvalue\tdecimal\t32\t80/u/be\t1", true },
        { "99999999999999999999\tvalue\tdecimal\t32\t80/u/be\t1", true },
        { "6\tresult\tdecimal\t32\t80/u/be\t1", true },
        { "6\tvalue\tduodecimal\t32\t80/u/be\t1", true },
        { "6\tvalue\tdecimal\t12\t80/u/be\t1", true },
        { "6\tvalue\tdecimal\t8\t100/u/be\t1", true }, // bits beyond the width
        { "6\tvalue\tdecimal\t32\t80/x/be\t1", true },
        { "6\tvalue\tdecimal\t32\t80/u/me\t1", true },
        { "6\tvalue\tdecimal\t32\t80/u\t1", true },
        { "6\tvalue\tdecimal\t64\t10000000000000000/u/be\t1", true },
        // 128 bits: 32 digits, never 33.
        { "6\tvalue\tdecimal\t128\tffffffffffffffffffffffffffffffff/s/le\t-1", false },
        { "6\tvalue\tdecimal\t128\t100000000000000000000000000000000/u/be\t1", true },
        { "6\tvalue\tdecimal\t32\t80/u/be\ta\\qb", true }, // no such escape
        { "6\tvalue\tdecimal\t32\t80/u/be\ta\\", true },
        { "6\tvalue\tdecimal\t32\t80/u/be\t1\tpow\t1/u/be\t1/u/be", true },
        { "6\tvalue\tdecimal\t32\t80/u/be\t1\tand\t1/u/be\tz/u/be", true },
        { "\xff\xfe\x00garbage", true },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line);
        const std::string text
            = "bitlens history 1\n" + good + "\n" + row.line + "\n" + good + "0\n";
        const HistoryReading read = ReadHistory(text);
        EXPECT_FALSE(read.foreign);
        EXPECT_EQ(read.damagedLines, row.damaged ? 1u : 0u);
        EXPECT_EQ(read.history.size(), row.damaged || !*row.line ? 2u : 3u);
    }
}

TEST(HistoryText, ReadsNothingFromAFileOfAnotherKind)
{
    for (const char* text : { "bitlens history 2\n5\tvalue\tdecimal\t32\t5/u/be\t5\n", "{}",
             "\n5\tvalue\tdecimal\t32\t5/u/be\t5\n", "BITLENS HISTORY 1\n" }) {
        const HistoryReading read = ReadHistory(text);
        EXPECT_TRUE(read.foreign) << text;
        EXPECT_TRUE(read.history.empty()) << text;
    }
    EXPECT_FALSE(ReadHistory("").damaged());
    EXPECT_FALSE(ReadHistory("bitlens history 1").damaged());
}

TEST(HistoryText, KeepsTheNewestThousandOfAnUnsortedFileOnce)
{
    std::string text = "bitlens history 1\n";
    for (int at = 0; at < 1200; ++at) {
        const std::string line = std::to_string((at * 7919) % 1200) + "\tvalue\tdecimal\t32\t"
            + "5/u/be\t" + std::to_string((at * 7919) % 1200) + '\n';
        text += line + line;
    }
    const HistoryReading read = ReadHistory(text);
    EXPECT_FALSE(read.damaged());
    ASSERT_EQ(read.history.size(), History::kLimit);
    EXPECT_EQ(read.history.entries().front().text, "1199");
    EXPECT_EQ(read.history.entries().back().text, "200");
}

// Whatever bytes a file holds, reading it ends, and what it read writes out
// and reads back the same.
TEST(HistoryText, ReadsRandomBytesIntoWhatItCanWriteBack)
{
    std::mt19937 rng(20261209);
    const std::string good = "bitlens history 1\n7\toperand\tfloat\t16\tffff/s/le\t1.5\tshl\t"
                             "1/u/be\t2/s/le\n";
    for (int round = 0; round < 2000; ++round) {
        std::string text = good;
        for (int flips = 1 + int(rng() % 4); flips > 0; --flips)
            text[rng() % text.size()] = char(rng() % 256);
        const HistoryReading read = ReadHistory(text);
        EXPECT_EQ(ReadHistory(WriteHistory(read.history)).history, read.history);
    }
}

// --- Recall --------------------------------------------------------------------

TEST(HistoryRecall, WalksTheTextsAsAShellDoes)
{
    struct Row {
        const char* name;
        std::vector<std::string> texts;
        const char* keys; // U for Up, D for Down
        std::vector<std::string> shown; // after each key; "-" when it changes nothing
    };
    const Row rows[] = {
        { "up through all, down back to the draft", { "c", "b", "a" }, "UUUUDDDD",
            { "c", "b", "a", "-", "b", "c", "draft", "-" } },
        { "a repeated text once", { "c", "c", "b", "c" }, "UUUD", { "c", "b", "c", "b" } },
        { "a text equal to the draft is passed", { "draft", "a" }, "UD", { "a", "draft" } },
        { "down first does nothing", { "a" }, "DU", { "-", "a" } },
        { "no texts", {}, "UD", { "-", "-" } },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        HistoryRecall recall;
        recall.start(row.texts, "draft");
        std::vector<std::string> shown;
        for (const char* key = row.keys; *key; ++key) {
            const auto text = *key == 'U' ? recall.older() : recall.newer();
            shown.push_back(text ? *text : "-");
        }
        EXPECT_EQ(shown, row.shown);
    }
    HistoryRecall stopped;
    stopped.start({ "a" }, "");
    stopped.stop();
    EXPECT_FALSE(stopped.older());
}

// Up and Down in the document: a walk over the texts entered in fields of
// the notation, in a field that is unchanged, and typing as any other.
TEST(History, RecallsInAFieldThatIsUnchanged)
{
    const char* const entered = "v 2 a|enter v 2|v 2 b|enter v 2|v 1 9|enter v 1|";
    // Columns: what, steps after `entered`, the field (row, notation), what it then shows.
    const struct {
        const char* name;
        const char* steps;
        const char* shown;
    } rows[] = {
        { "up in an empty field", "v 2 |up v 2", "b" },
        { "up twice", "v 2 |up v 2|up v 2", "a" },
        { "past the oldest", "v 2 |up v 2|up v 2|up v 2", "a" },
        { "down to newer", "v 2 |up v 2|up v 2|down v 2", "b" },
        { "down back to the empty field", "v 2 |up v 2|down v 2", "" },
        { "in a field the model wrote", "up v 2", "b" },
        { "back to what the model wrote", "up v 2|down v 2", "0009" },
        { "only the texts of the notation", "up v 1|up v 1", "9" },
        { "right after Enter", "up v 1", "9" },
        { "not over a text being typed", "v 2 12|up v 2", "12" },
        { "not over a recalled text edited", "v 2 |up v 2|v 2 b0|up v 2", "b0" },
        { "not in the Operand row while the math area is closed", "up o 2", "0000" },
        { "in an Operand field", "math|o 2 |up o 2", "b" },
        { "after Enter gave a calculation's result", "v 1 2*3|enter v 1|up v 1", "2*3" },
        { "and back to that result", "v 1 2*3|enter v 1|up v 1|down v 1", "6" },
        { "Enter on the result records nothing more", "v 1 2*3|enter v 1|enter v 1|v 1 |up v 1",
            "2*3" },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ConverterModel model;
        History history;
        Play(model, std::string(entered) + row.steps, &history);
        const std::string step = row.steps;
        const FieldType field = step[step.size() - 3] == 'o' ? eFieldTypeOperand : eFieldTypeValue;
        EXPECT_EQ(model.text(field, Notation(step.back() - '0')), row.shown);
    }
    // A recall is typing: one step with the typing before it, undone as one.
    ConverterModel model;
    History history;
    Play(model, std::string(entered) + "v 2 5|v 1 |up v 1", &history);
    EXPECT_EQ(model.text(eFieldTypeValue, eNotationHexadecimal), "0009");
    model.undo();
    EXPECT_EQ(model.text(eFieldTypeValue, eNotationHexadecimal), "5");
}

// --- Restoring -----------------------------------------------------------------

TEST(History, RestoresAnEntryIntoTheValueRowAsOneStep)
{
    struct Row {
        const char* name;
        const char* recorded; // steps, then Enter in the last field typed
        FieldType row;
        Notation notation;
        const char* before; // steps in the window the entry comes back to
        Notation shownIn;
        const char* shown; // that field of the Value row afterwards
    };
    const Row rows[] = {
        { "an expression keeps its text", "v 1 0x10 << 3", eFieldTypeValue, eNotationDecimal,
            "v 2 5", eNotationDecimal, "0x10 << 3" },
        { "its number in every field", "v 1 0x10 << 3", eFieldTypeValue, eNotationDecimal, "v 2 5",
            eNotationHexadecimal, "0080" },
        { "its width", "width 8|v 2 1ff", eFieldTypeValue, eNotationHexadecimal, "width 64",
            eNotationHexadecimal, "1ff" },
        { "narrower than now", "width 8|v 1 7", eFieldTypeValue, eNotationDecimal, "v 2 12345678",
            eNotationText, "\u2022" },
        { "its byte order", "little|v 1 1", eFieldTypeValue, eNotationDecimal, "",
            eNotationHexadecimal, "0100 0000" },
        { "its sign", "v 2 ffffffff|signed|v 2 fffffffe", eFieldTypeValue, eNotationHexadecimal, "",
            eNotationDecimal, "-2" },
        { "an Operand calculation comes into the Value row", "math|op 1|o 2 1f", eFieldTypeOperand,
            eNotationHexadecimal, "", eNotationHexadecimal, "001f" },
        { "a calculation brings its result", "math|op 3|v 1 5|o 1 7", eFieldTypeOperand,
            eNotationDecimal, "", eNotationDecimal, "12" },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ConverterModel recorder;
        Play(recorder, row.recorded);
        const auto entry = EntryOnEnter(recorder, row.row, row.notation, 1);
        ASSERT_TRUE(entry);

        ConverterModel model;
        Play(model, row.before);
        const ConverterModel was = model;
        const std::size_t steps = model.undoSteps();
        const ModelChanges changes = model.restoreEntry(*entry);
        EXPECT_TRUE(changes.texts[0][row.shownIn]
            || model.text(eFieldTypeValue, row.shownIn) == was.text(eFieldTypeValue, row.shownIn));
        EXPECT_EQ(model.text(eFieldTypeValue, row.shownIn), row.shown);
        EXPECT_EQ(model.width(), entry->width);
        EXPECT_EQ(model.bits(eFieldTypeValue), entry->number.bits);
        EXPECT_EQ(model.isSigned(eFieldTypeValue), entry->number.isSigned);
        EXPECT_EQ(model.endian(eFieldTypeValue), entry->number.endian);
        EXPECT_EQ(model.undoSteps(), steps + 1);

        // Typing on is a step of its own.
        model.typeInto(eFieldTypeValue, eNotationOctal, "7");
        model.undo();
        EXPECT_EQ(model.bits(eFieldTypeValue), entry->number.bits);
        model.undo();
        for (int notation = 0; notation < eNotationCount; ++notation)
            EXPECT_EQ(model.text(eFieldTypeValue, Notation(notation)),
                was.text(eFieldTypeValue, Notation(notation)));
        EXPECT_EQ(model.width(), was.width());
        EXPECT_EQ(model.isSigned(eFieldTypeValue), was.isSigned(eFieldTypeValue));
        EXPECT_EQ(model.endian(eFieldTypeValue), was.endian(eFieldTypeValue));
    }
}

TEST(History, RestoringWhatIsShownIsNoStep)
{
    ConverterModel model;
    Play(model, "v 2 1f");
    const auto entry = EntryOnEnter(model, eFieldTypeValue, eNotationHexadecimal, 1);
    ASSERT_TRUE(entry);
    const std::size_t steps = model.undoSteps();
    EXPECT_FALSE(model.restoreEntry(*entry).any());
    EXPECT_EQ(model.undoSteps(), steps);
}

} // namespace
