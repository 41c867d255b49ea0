// ConverterModel: one window's document as a value, and the user's actions
// on it as verbs. Three rows (the Value and the Operand, which are typed
// into, and the Result, which combines them), the width they share, the
// operation, whether the math area is open, and the Result's flags.
//
// A verb changes the state the way the window's control would and reports
// what changed, so that a view repaints exactly that. Every verb is one
// step of the undo history; keystrokes typed one after another into the
// same field make one step together.
//
// The document also holds the open bit-field layout, which saved layout it
// is, and the walk of Up and Down through the history; editing the layout
// and removing a history entry are steps like any other.
//
// Field texts are UTF-8, as a field shows them. A field shows its row's
// number, written in its notation, after every verb, except the field being
// typed in, which keeps the text as typed until something rewrites it.
#ifndef BITLENS_CONVERTERMODEL_H
#define BITLENS_CONVERTERMODEL_H

#include "engine/MathOperation.h"
#include "engine/Notation.h"
#include "engine/WideConverter.h"
#include "model/FieldReading.h"

#include <array>
#include <bitset>
#include <cstddef>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

struct BitField;
struct BitFieldLayout;
enum FieldFloat : int;
struct HistoryEntry;
class History;

// The rows, numbered as the window's design numbers them.
enum FieldType {
    eFieldTypeInvalid = 0,
    eFieldTypeValue = 1,
    eFieldTypeOperand = 2,
    eFieldTypeResult = 3
};
constexpr int kRowCount = 3;

// Why an edit of the bit-field layout was refused; the layout stays as it was.
enum LayoutEditProblem {
    eLayoutEditAccepted,
    eLayoutEditNoLayout, // no layout is open, or it has no such field
    eLayoutEditNoName, // a field's or the layout's name is empty or only blanks
    eLayoutEditBadBits, // bits not written msb:lsb, from 63 down to 0
    eLayoutEditValueTooWide, // a named value does not fit the field's new bits
    eLayoutEditBadValues, // named values not written VALUE = NAME, each within the field
    eLayoutEditValueNotHeld, // a value typed that the field cannot hold
    eLayoutEditNoReading, // a float the field's size has not, or lanes the width cannot hold
    eLayoutEditUnsound, // a layout with problems (LayoutProblems), or too many fields
};

// What a verb changed, for a view to repaint.
struct ModelChanges {
    std::array<std::bitset<eNotationCount>, kRowCount> texts;
    std::bitset<kRowCount> bits; // the bits within the width, the width or the sign: the grid
    // Which of those bits changed, by row: what a field of the layout shows.
    std::array<UInt128, kRowCount> changedBits {};
    std::bitset<kRowCount> magnitudes;
    std::bitset<kRowCount> signs;
    std::bitset<kRowCount> endians;
    std::bitset<kRowCount> messages;
    bool width = false;
    bool operation = false;
    bool mathArea = false;
    bool flags = false;
    // The open layout: its fields, its name or which saved layout it is.
    // The panel and the Value grid's bands show it; the store saves it.
    bool layout = false;
    // An entry this document took out of the history, or put back by undo.
    std::shared_ptr<const HistoryEntry> historyRemoved;
    std::shared_ptr<const HistoryEntry> historyRestored;
    // The saved layout's file that deleteLayout (or its redo) takes out of
    // the store; undo opens the layout again, which saves it there anew.
    std::string layoutDeleted;
    // What Enter records in the history.
    std::shared_ptr<const HistoryEntry> historyEntered;
    // A layout edit that was refused, and for eLayoutEditValueTooWide the
    // named value that does not fit.
    LayoutEditProblem refused = eLayoutEditAccepted;
    int refusedValue = -1;

    bool any() const;
    ModelChanges& operator|=(const ModelChanges& more);
};

class ConverterModel {
public:
    // A new document: every row 0, unsigned, big-endian, at 32 bits; the
    // math area closed, AND chosen.
    ConverterModel();

    // --- The user's actions ------------------------------------------------
    // `text` typed into a field of the Value or the Operand row (anything
    // else changes nothing). The field keeps the text; the row reads it. A
    // text longer than a field holds keeps its first kFieldCharacterLimit
    // characters, and the field's text is reported changed; the message
    // line says so.
    ModelChanges typeInto(FieldType row, Notation notation, std::string_view text);
    // The width popup: every row re-fitted to 8, 16, 32, 64 or 128 bits.
    ModelChanges chooseWidth(UInt16 width);
    // A signed box. Ticking it reads the bits as two's complement; in the
    // Value and Operand rows it stores them as typing the negative decimal
    // would (sign-extended), so that a shift moves them as it moves those.
    ModelChanges setSigned(FieldType row, bool isSigned);
    // A byte-order radio: the row's bits stay, their reading changes.
    ModelChanges endianSwitched(FieldType row, Endian endian);
    // A swap button: the bytes reversed, the reading kept.
    ModelChanges swapEndian(FieldType row);
    // A shift button: one bit; a left shift widens when the number needs it.
    ModelChanges shift(FieldType row, ShiftDir direction);
    // A bit grid: the bits within the width, as the grid shows them (at 128
    // bits the low 64, the high 64 kept). The edits of one drag after its
    // first make one step with it.
    ModelChanges setBits(FieldType row, UInt64 bits, bool continuesDrag = false);
    // The same with every bit, all 128 at 128 bits; bits above the width are
    // dropped.
    ModelChanges setWideBits(FieldType row, UInt128 bits, bool continuesDrag = false);
    // A bit-field layout's value cell: the Value row's bits of `field`
    // replaced by the low bits of `value`, every other bit kept. A field
    // above the width widens it first. One step; nothing for a field whose
    // bits are not valid.
    ModelChanges setFieldValue(const BitField& field, UInt64 value);
    ModelChanges chooseOperation(MathOperation operation);
    // The disclosure button: the math area opened or closed.
    ModelChanges mathDisclosured(bool open);

    // An entry of the history brought back into the Value row, as one step:
    // the entry's width and byte order, then its text typed into the field
    // of its notation (which keeps the text), then its sign and bits where
    // the text no longer gives them. A calculation brings back its result.
    ModelChanges restoreEntry(const HistoryEntry& entry);

    // --- The history ----------------------------------------------------------
    // Enter in a field of the Value or Operand row: the entry the history
    // records now, at `time`, if the field holds one (EntryOnEnter), in
    // ModelChanges::historyEntered. A calculation then gives way to its
    // result, written in the field's notation, as one step, which undo
    // takes back; a plain number stays as typed, and is no step. Either
    // way the message line says it was entered, until the next edit, and
    // the walk ends: the field counts as unchanged for Up, whose first step
    // brings back what was entered. Enter again on the result it wrote
    // records nothing more.
    ModelChanges enter(FieldType row, Notation notation, SInt64 time);
    // Whether Up (`older`) or Down in the field walks the history: Up in a
    // field that is unchanged (empty, showing what the model wrote there, or
    // the text the last recall or Enter left in it), either key while a walk
    // goes on there. Elsewhere the key is the field's own.
    bool recalls(FieldType row, Notation notation, bool older) const;
    // The next older or newer text of `history` entered in fields of the
    // notation, typed into the field (HistoryRecall): one step with typing
    // there. Nothing past either end.
    ModelChanges recall(FieldType row, Notation notation, bool older, const History& history);
    // An entry taken out of the history, as one step: undo puts it back
    // (ModelChanges::historyRestored), redo takes it out again.
    ModelChanges removeHistoryEntry(const HistoryEntry& entry);

    // --- The bit-field layout of the Value row ---------------------------------
    // Each edit is one step and reports `layout`; an edit that changes
    // nothing is none, and one the layout cannot take is refused.
    //
    // "Name these bits…": a field for bits msb..lsb (either order) added,
    // named BIT5 or BITS31_28, to the open layout, or to a new one named
    // `newLayoutName` when none is open. The layout widens to hold it.
    ModelChanges nameBits(int msb, int lsb, std::string_view newLayoutName);
    ModelChanges removeField(std::size_t field);
    ModelChanges renameField(std::size_t field, std::string_view name);
    // Bits typed as ReadFieldBits reads them; the named values must fit.
    ModelChanges setFieldBits(std::size_t field, std::string_view bits);
    ModelChanges describeField(std::size_t field, std::string_view description);
    // Ticked or not, the field reads as an integer again.
    ModelChanges setFieldSigned(std::size_t field, bool isSigned);
    // The field read as a float (FieldFloat), or as an integer, signed or
    // not, with eFieldFloatNone. Refused where the field's size has no such
    // float.
    ModelChanges readFieldAs(std::size_t field, bool isSigned, FieldFloat floatReading);
    // Every field so, where its size has that reading: a vector's lanes,
    // which stay generated.
    ModelChanges readEveryFieldAs(bool isSigned, FieldFloat floatReading);
    // The generated layout that splits the width in lanes of `laneBits`
    // (LanesLayout), the open layout's readings kept where they fit, named
    // by `nameTemplate` ("%1" the count of lanes, "%2" their size). While
    // only its readings change it follows the width, whenever that still
    // holds a lane; any other edit makes it a layout of its own.
    ModelChanges openLanes(int laneBits, std::string_view nameTemplate);
    // The lane size of the open generated layout; 0 for any other.
    int lanes() const;
    // Named values typed as ReadNamedValues reads them.
    ModelChanges nameFieldValues(std::size_t field, std::string_view values);
    // A value typed into a field's value cell, in `base` 10 or 16
    // (ReadFieldValue), written into the Value row as setFieldValue does.
    ModelChanges typeFieldValue(std::size_t field, std::string_view text, int base);
    ModelChanges renameLayout(std::string_view name);
    // Another layout opened: a saved one chosen (`file` the store's name for
    // it) or one imported (`file` empty, until it is saved).
    ModelChanges openLayout(const BitFieldLayout& layout, std::string file);
    ModelChanges closeLayout();
    // The same register imported again: `layout` takes the place of the
    // saved `replaced` in `file`, and undo brings `replaced` back there.
    ModelChanges replaceSavedLayout(
        const BitFieldLayout& layout, std::string file, const BitFieldLayout& replaced);
    // The open layout closed and its saved file deleted (layoutDeleted).
    ModelChanges deleteLayout();
    // The store saved the layout to `file`: where it is saved from now on.
    // No step: undo does not unsave.
    void layoutSaved(std::string file);

    // What `bitlens TEXT` opens: the width and the Value row's byte order
    // set, then `text` typed into the Value row's `notation` field. The
    // document starts here: there is nothing to undo.
    ModelChanges openWith(Notation notation, std::string_view text, UInt16 width, Endian endian);

    bool canUndo() const { return !fUndo.empty(); }
    std::size_t undoSteps() const { return fUndo.size(); }
    bool canRedo() const { return !fRedo.empty(); }
    // A window taken up as it was left starts its document there: nothing
    // before it to undo.
    void forgetSteps()
    {
        fUndo.clear();
        fRedo.clear();
    }
    ModelChanges undo();
    ModelChanges redo();
    // Steps kept; older ones are forgotten.
    static constexpr std::size_t kUndoLimit = 1000;

    // --- What the document shows ---------------------------------------------
    const std::string& text(FieldType row, Notation notation) const;
    const WideConverter& number(FieldType row) const { return fState.rows[index(row)].number; }
    Endian endian(FieldType row) const { return fState.rows[index(row)].endian; }
    bool isSigned(FieldType row) const { return number(row).IsSigned() != 0; }
    UInt16 width() const { return fState.width; }
    // The row's bits within the width, as a bit grid shows them: at 128 bits
    // the low 64 (wideBits has them all).
    UInt64 bits(FieldType row) const { return LowHalf(wideBits(row)); }
    UInt128 wideBits(FieldType row) const { return number(row).GetValue(eBigEndian); }
    const RowMessage& message(FieldType row) const { return fState.rows[index(row)].message; }
    MathOperation operation() const { return fState.operation; }
    bool mathEnabled() const { return fState.mathEnabled; }
    bool flag(MathFlag flag) const { return (fState.flags >> flag) & 1; }
    // The open layout, or null.
    const BitFieldLayout* layout() const;
    // Which saved layout it is, as the store names it; empty until saved.
    const std::string& layoutFile() const;
    // The magnitude label's text: 1024-based units, or 1000-based words
    // when `metric`.
    std::string magnitude(FieldType row, bool metric) const;
    // The field's number as a source-code literal (Copy as Literal).
    std::string literal(FieldType row, Notation notation) const;
    // The row's number in `notation` as the model writes it, whatever the
    // field holds now.
    std::string written(FieldType row, Notation notation) const;
    // Whether the field holds a text typed that the model would write
    // otherwise (a calculation, "ff" for 00ff): the user's own, in the works.
    bool holdsTypedText(FieldType row, Notation notation) const
    {
        return text(row, notation) != written(row, notation);
    }

    static bool isTyped(FieldType row)
    {
        return row == eFieldTypeValue || row == eFieldTypeOperand;
    }

private:
    struct Row {
        WideConverter number;
        Endian endian;
        std::array<std::string, eNotationCount> texts;
        RowMessage message;
    };
    // The open layout and its file, shared by the steps that keep it: a
    // keystroke's step copies a pointer, never the layout.
    struct OpenLayout;
    // Up and Down: the walk, and the text the last recall or Enter left.
    struct HistoryWalk;
    struct State {
        std::array<Row, kRowCount> rows;
        UInt16 width; // every row's
        MathOperation operation;
        bool mathEnabled;
        UInt8 flags;
        std::shared_ptr<const OpenLayout> layout;
        std::shared_ptr<const HistoryWalk> walk;
        // The entries this document took out of the history, counted, and
        // the last of them: a step changes the count by one at most.
        std::shared_ptr<const HistoryEntry> removedEntry;
        UInt32 historyRemovals;
        // The same for the saved layouts deleted.
        std::shared_ptr<const std::string> deletedLayout;
        UInt32 layoutDeletions;
    };
    // What a row shows besides its texts, to tell what a verb changed.
    struct Shown {
        std::array<UInt128, kRowCount> bits;
        std::array<UInt128, kRowCount> readings; // in the row's byte order
        std::array<UInt16, kRowCount> widths;
        std::array<bool, kRowCount> signs;
        std::array<Endian, kRowCount> endians;
        std::array<RowMessage, kRowCount> messages;
        UInt16 width;
        MathOperation operation;
        bool mathEnabled;
        UInt8 flags;
        const OpenLayout* layout;
        UInt32 historyRemovals;
        UInt32 layoutDeletions;
    };
    // One field of one row.
    struct Field {
        FieldType row = eFieldTypeInvalid;
        Notation notation = eNotationCount;
        bool operator==(const Field& other) const
        {
            return row == other.row && notation == other.notation;
        }
    };

    static int index(FieldType row) { return row - eFieldTypeValue; }
    Row& row(FieldType type) { return fState.rows[index(type)]; }

    // Each verb runs between these two: the first keeps what undo needs and
    // what the view shows, the second tells what changed and files the step.
    // `run` is the field a keystroke went into (or a grid, as the field
    // after the row's last), for a run of edits there to make one step when
    // the edit `continues` the last one.
    void begin(Field run, bool continues);
    ModelChanges end(Field run);
    void begin() { begin(Field {}, false); }
    ModelChanges end() { return end(Field {}); }
    ModelChanges restore(std::deque<State>& from, std::deque<State>& to);
    Shown shown() const;
    static ModelChanges Compare(const Shown& before, const Shown& after);
    static void updateMagnitudes(const Shown& before, const Shown& after, ModelChanges& changes);

    // The steps of a verb, as the window's design names them.
    UInt16 textDidChange(FieldType row, Notation notation);
    void updateFieldsWithNewNumbers(FieldType row, Notation except);
    void doTheMath();
    UInt16 widthChanged(UInt16 width);
    UInt16 rereadDecimal(FieldType row);
    void widen(UInt16 needed);

    void writeField(FieldType row, Notation notation);
    bool unchanged(Field field) const;
    bool walkGoesOn(Field field) const;
    // A layout edit: `edit` changes a copy of the open layout (or a new one
    // when `create`), which replaces it as one step if it is sound and not
    // the same. Refused without a layout, unless `create`.
    // A generated layout stays so only for edits that `keepLanes`.
    template <class Edit>
    ModelChanges editLayout(Edit edit, bool create = false, bool keepLanes = false);
    // The generated lanes made again for the width, when it changed.
    void fitLanes();
    ModelChanges replaceLayout(std::shared_ptr<const OpenLayout> layout);
    void endMessage(FieldType type) { row(type).message = RowMessage {}; }
    // Ends what Enter said: the rows whose message line said it.
    std::bitset<kRowCount> endNotes();

    State fState;
    // The field being typed in, which nothing rewrites while the keystroke
    // is handled.
    Field fTyped;
    Field fRun; // where the last step's run of edits went, while it goes on
    bool fContinuesRun = false;
    UInt16 fRunStartWidth = 0; // the width before the run of keystrokes began
    bool fTypedTextChanged = false;
    std::bitset<kRowCount> fNotesEnded; // by the verb before it changed anything
    ModelChanges fTextChanges; // texts written during the verb
    Shown fShownBefore {};
    // The state before the verb, unless it goes on with a typing run, whose
    // step already holds the state before its first keystroke.
    std::optional<State> fBefore;
    std::deque<State> fUndo;
    std::deque<State> fRedo;
};

#endif
