// ConverterModel's verbs on the open bit-field layout and on the history.
#include "ConverterModel.h"

#include "BitFieldLayout.h"
#include "ConverterModelParts.h"
#include "FieldBytes.h"
#include "History.h"

#include <algorithm>
#include <utility>

namespace {

ModelChanges Refused(LayoutEditProblem problem, int value = -1)
{
    ModelChanges changes;
    changes.refused = problem;
    changes.refusedValue = value;
    return changes;
}

std::string_view Trimmed(std::string_view text)
{
    const auto blank = [](char c) {
        return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
    };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

int WidthHolding(int msb)
{
    int width = 8;
    while (width <= msb)
        width *= 2;
    return width;
}

// A layout that gives its width keeps it, unless a field now needs more.
void FitWidth(BitFieldLayout& layout, const BitField& field)
{
    if (layout.width != 0 && field.msb >= layout.width)
        layout.width = WidthHolding(field.msb);
}

ModelChanges RefusedFor(const LayoutProblem& problem)
{
    switch (problem.kind) {
    case eProblemNoName: return Refused(eLayoutEditNoName);
    case eProblemBitsReversed:
    case eProblemPastHighestBit:
    case eProblemFieldTooWide:
    case eProblemPastWidth: return Refused(eLayoutEditBadBits);
    case eProblemValueTooWide: return Refused(eLayoutEditValueTooWide, problem.value);
    case eProblemValueNoName:
    case eProblemTooManyValues: return Refused(eLayoutEditBadValues);
    default: return Refused(eLayoutEditUnsound);
    }
}

// An edit of the field at `index` of the layout: `edit` changes it and says
// what is wrong, if anything.
template <class Edit> auto FieldEdit(std::size_t index, Edit edit)
{
    return [index, edit](BitFieldLayout& layout) {
        if (index >= layout.fields.size())
            return eLayoutEditNoLayout;
        return edit(layout, layout.fields[index]);
    };
}

} // namespace

const BitFieldLayout* ConverterModel::layout() const
{
    return fState.layout ? &fState.layout->layout : nullptr;
}

const std::string& ConverterModel::layoutFile() const
{
    static const std::string none;
    return fState.layout ? fState.layout->file : none;
}

template <class Edit>
ModelChanges ConverterModel::editLayout(Edit edit, bool create, bool keepLanes)
{
    if (!fState.layout && !create)
        return Refused(eLayoutEditNoLayout);
    auto edited = fState.layout ? std::make_shared<OpenLayout>(*fState.layout)
                                : std::make_shared<OpenLayout>();
    if (!keepLanes)
        edited->laneBits = 0;
    if (const LayoutEditProblem problem = edit(edited->layout); problem != eLayoutEditAccepted)
        return Refused(problem);
    const std::vector<LayoutProblem> problems = LayoutProblems(edited->layout);
    if (!problems.empty())
        return RefusedFor(problems.front());
    if (fState.layout && edited->layout == fState.layout->layout
        && edited->laneBits == fState.layout->laneBits)
        return {};
    return replaceLayout(std::move(edited));
}

namespace {

std::string LanesName(std::string_view nameTemplate, int count, int laneBits)
{
    std::string name;
    for (std::size_t at = 0; at < nameTemplate.size(); ++at) {
        const char next = at + 1 < nameTemplate.size() ? nameTemplate[at + 1] : '\0';
        if (nameTemplate[at] == '%' && (next == '1' || next == '2')) {
            name += std::to_string(next == '1' ? count : laneBits);
            ++at;
        } else {
            name += nameTemplate[at];
        }
    }
    return name;
}

// The reading of the layout's first field, which lanes share.
BitField ReadingOf(const BitFieldLayout* layout)
{
    return layout && !layout->fields.empty() ? layout->fields.front() : BitField {};
}

} // namespace

ModelChanges ConverterModel::openLanes(int laneBits, std::string_view nameTemplate)
{
    const int width = fState.width;
    auto lanes = LanesLayout(width, laneBits, ReadingOf(this->lanes() ? layout() : nullptr),
        LanesName(nameTemplate, laneBits > 0 ? width / laneBits : 0, laneBits));
    if (!lanes)
        return Refused(eLayoutEditNoReading);
    auto opened = std::make_shared<OpenLayout>();
    opened->layout = std::move(*lanes);
    opened->laneBits = laneBits;
    opened->lanesName = std::string(nameTemplate);
    if (fState.layout && fState.layout->laneBits == laneBits
        && fState.layout->layout == opened->layout)
        return {};
    return replaceLayout(std::move(opened));
}

int ConverterModel::lanes() const
{
    return fState.layout ? fState.layout->laneBits : 0;
}

void ConverterModel::fitLanes()
{
    const OpenLayout* open = fState.layout.get();
    if (!open || open->laneBits == 0 || open->layout.width == fState.width
        || open->laneBits > fState.width)
        return;
    const int width = fState.width;
    auto fitted = LanesLayout(width, open->laneBits, ReadingOf(&open->layout),
        LanesName(open->lanesName, width / open->laneBits, open->laneBits));
    if (!fitted)
        return;
    auto lanes = std::make_shared<OpenLayout>(*open);
    lanes->layout = std::move(*fitted);
    fState.layout = std::move(lanes);
}

ModelChanges ConverterModel::replaceLayout(std::shared_ptr<const OpenLayout> layout)
{
    begin();
    fState.layout = std::move(layout);
    return end();
}

ModelChanges ConverterModel::nameBits(int msb, int lsb, std::string_view newLayoutName)
{
    BitField field;
    field.msb = std::max(msb, lsb);
    field.lsb = std::min(msb, lsb);
    if (!FieldBitsValid(field))
        return Refused(eLayoutEditBadBits);
    field.name = field.msb == field.lsb
        ? "BIT" + std::to_string(field.lsb)
        : "BITS" + std::to_string(field.msb) + '_' + std::to_string(field.lsb);
    const bool created = !fState.layout;
    return editLayout(
        [&](BitFieldLayout& layout) {
            if (created)
                layout.name = std::string(newLayoutName);
            FitWidth(layout, field);
            layout.fields.push_back(std::move(field));
            return eLayoutEditAccepted;
        },
        true);
}

ModelChanges ConverterModel::removeField(std::size_t index)
{
    return editLayout([index](BitFieldLayout& layout) {
        if (index >= layout.fields.size())
            return eLayoutEditNoLayout;
        layout.fields.erase(layout.fields.begin() + std::ptrdiff_t(index));
        return eLayoutEditAccepted;
    });
}

ModelChanges ConverterModel::renameField(std::size_t index, std::string_view name)
{
    return editLayout(FieldEdit(index, [name](BitFieldLayout&, BitField& field) {
        field.name = std::string(Trimmed(name));
        return eLayoutEditAccepted;
    }));
}

ModelChanges ConverterModel::setFieldBits(std::size_t index, std::string_view bits)
{
    const auto read = ReadFieldBits(bits);
    if (!read)
        return Refused(eLayoutEditBadBits);
    return editLayout(FieldEdit(index, [read](BitFieldLayout& layout, BitField& field) {
        field.msb = read->first;
        field.lsb = read->second;
        FitWidth(layout, field);
        return eLayoutEditAccepted;
    }));
}

ModelChanges ConverterModel::describeField(std::size_t index, std::string_view description)
{
    return editLayout(FieldEdit(index, [description](BitFieldLayout&, BitField& field) {
        field.description = std::string(description);
        return eLayoutEditAccepted;
    }));
}

ModelChanges ConverterModel::setFieldSigned(std::size_t index, bool isSigned)
{
    return editLayout(FieldEdit(index, [isSigned](BitFieldLayout&, BitField& field) {
        field.isSigned = isSigned;
        field.floatReading = eFieldFloatNone;
        return eLayoutEditAccepted;
    }));
}

namespace {

// The field read so; false when its size has no such float.
bool ReadAs(BitField& field, bool isSigned, FieldFloat floatReading)
{
    field.floatReading = floatReading;
    if (floatReading != eFieldFloatNone && !FieldReadsFloat(field))
        return false;
    field.isSigned = floatReading == eFieldFloatNone && isSigned;
    return true;
}

} // namespace

ModelChanges ConverterModel::readFieldAs(std::size_t index, bool isSigned, FieldFloat floatReading)
{
    return editLayout(FieldEdit(index, [=](BitFieldLayout&, BitField& field) {
        return ReadAs(field, isSigned, floatReading) ? eLayoutEditAccepted : eLayoutEditNoReading;
    }));
}

ModelChanges ConverterModel::readEveryFieldAs(bool isSigned, FieldFloat floatReading)
{
    return editLayout(
        [=](BitFieldLayout& layout) {
            bool any = false;
            for (BitField& field : layout.fields) {
                BitField read = field;
                if (ReadAs(read, isSigned, floatReading)) {
                    field = std::move(read);
                    any = true;
                }
            }
            return any || layout.fields.empty() ? eLayoutEditAccepted : eLayoutEditNoReading;
        },
        false, true);
}

ModelChanges ConverterModel::nameFieldValues(std::size_t index, std::string_view values)
{
    return editLayout(FieldEdit(index, [values](BitFieldLayout&, BitField& field) {
        auto read = ReadNamedValues(field, values);
        if (!read)
            return eLayoutEditBadValues;
        field.values = std::move(*read);
        return eLayoutEditAccepted;
    }));
}

ModelChanges ConverterModel::typeFieldValue(std::size_t index, std::string_view text, int base)
{
    const BitFieldLayout* open = layout();
    if (!open || index >= open->fields.size())
        return Refused(eLayoutEditNoLayout);
    // Copied: the verb may replace nothing, but the field must outlive it.
    const BitField field = open->fields[index];
    const auto value = base == 10 && FieldReadsFloat(field) ? ReadFieldFloat(field, text)
                                                            : ReadFieldValue(field, text, base);
    if (!value)
        return Refused(eLayoutEditValueNotHeld);
    return setFieldValue(field, *value);
}

ModelChanges ConverterModel::renameLayout(std::string_view name)
{
    name = Trimmed(name);
    if (name.empty())
        return Refused(fState.layout ? eLayoutEditNoName : eLayoutEditNoLayout);
    return editLayout([name](BitFieldLayout& layout) {
        layout.name = std::string(name);
        return eLayoutEditAccepted;
    });
}

ModelChanges ConverterModel::openLayout(const BitFieldLayout& layout, std::string file)
{
    if (const auto problems = LayoutProblems(layout); !problems.empty())
        return RefusedFor(problems.front());
    if (fState.layout && fState.layout->layout == layout && fState.layout->file == file)
        return {};
    return replaceLayout(
        std::make_shared<const OpenLayout>(OpenLayout { layout, std::move(file), 0, {} }));
}

ModelChanges ConverterModel::closeLayout()
{
    if (!fState.layout)
        return {};
    return replaceLayout(nullptr);
}

ModelChanges ConverterModel::replaceSavedLayout(
    const BitFieldLayout& layout, std::string file, const BitFieldLayout& replaced)
{
    if (file.empty())
        return openLayout(layout, std::move(file));
    if (const auto problems = LayoutProblems(layout); !problems.empty())
        return RefusedFor(problems.front());
    if (fState.layout && fState.layout->layout == layout && fState.layout->file == file)
        return {};
    begin();
    // The step undone is the replaced layout open, so that undo writes it
    // back over the import, whatever was open before.
    if (!fState.layout || fState.layout->file != file)
        fBefore->layout = std::make_shared<const OpenLayout>(OpenLayout { replaced, file });
    fState.layout = std::make_shared<const OpenLayout>(OpenLayout { layout, std::move(file) });
    return end();
}

ModelChanges ConverterModel::deleteLayout()
{
    if (!fState.layout)
        return Refused(eLayoutEditNoLayout);
    begin();
    if (!fState.layout->file.empty()) {
        fState.deletedLayout = std::make_shared<const std::string>(fState.layout->file);
        ++fState.layoutDeletions;
    }
    fState.layout = nullptr;
    return end();
}

void ConverterModel::layoutSaved(std::string file)
{
    if (!fState.layout || fState.layout->file == file)
        return;
    auto saved = std::make_shared<OpenLayout>(*fState.layout);
    saved->file = std::move(file);
    // The steps that hold this same layout learn where it is saved too, so
    // that undo and redo save it there again rather than to a new file.
    const std::shared_ptr<const OpenLayout> unsaved = fState.layout;
    for (std::deque<State>* steps : { &fUndo, &fRedo })
        for (State& step : *steps)
            if (step.layout == unsaved)
                step.layout = saved;
    fState.layout = std::move(saved);
}

// --- The history -----------------------------------------------------------------

ModelChanges ConverterModel::enter(FieldType type, Notation notation, SInt64 time)
{
    std::optional<HistoryEntry> entry = EntryOnEnter(*this, type, notation, time);
    const Field field { type, notation };
    HistoryWalk walk = fState.walk ? *fState.walk : HistoryWalk {};
    walk.recall.stop();
    const bool again = entry && walk.result && walk.field == field && walk.result->repeats(*entry);
    if (entry) {
        walk.field = field;
        walk.settled = text(type, notation);
        if (!again)
            walk.result.reset();
    }
    // Before the step: undone, the calculation is what Enter left there.
    fState.walk = std::make_shared<const HistoryWalk>(walk);
    if (!entry)
        return {};
    ModelChanges changes;
    if (IsCalculation(notation, walk.settled)) {
        begin();
        // The number stands as the calculation gave it; only its text is new.
        writeField(type, notation);
        HistoryEntry shown = *entry;
        shown.text = text(type, notation);
        walk.settled = shown.text;
        walk.result = std::make_shared<const HistoryEntry>(std::move(shown));
        fState.walk = std::make_shared<const HistoryWalk>(std::move(walk));
        row(type).message = EnteredMessage(notation);
        changes = end();
    } else {
        // Typing on after Enter is a step of its own.
        fRun = {};
        changes.messages = endNotes();
        row(type).message = EnteredMessage(notation);
    }
    // Said again on each Enter.
    changes.messages[index(type)] = true;
    if (!again)
        changes.historyEntered = std::make_shared<const HistoryEntry>(std::move(*entry));
    return changes;
}

bool ConverterModel::unchanged(Field field) const
{
    const std::string& shown = text(field.row, field.notation);
    return shown.empty()
        || (fState.walk && fState.walk->field == field && shown == fState.walk->settled)
        || shown == written(field.row, field.notation);
}

bool ConverterModel::walkGoesOn(Field field) const
{
    return fState.walk && fState.walk->recall.walking() && fState.walk->field == field
        && text(field.row, field.notation) == fState.walk->settled;
}

bool ConverterModel::recalls(FieldType type, Notation notation, bool older) const
{
    if (!isTyped(type) || notation < 0 || notation >= eNotationCount
        || (type == eFieldTypeOperand && !fState.mathEnabled))
        return false;
    const Field field { type, notation };
    return walkGoesOn(field) || (older && unchanged(field));
}

ModelChanges ConverterModel::recall(
    FieldType type, Notation notation, bool older, const History& history)
{
    if (!recalls(type, notation, older))
        return {};
    const Field field { type, notation };
    HistoryWalk walk = fState.walk ? *fState.walk : HistoryWalk {};
    if (!walkGoesOn(field)) {
        walk.recall.start(history.texts(notation), text(type, notation));
        walk.field = field;
    }
    const std::optional<std::string> next = older ? walk.recall.older() : walk.recall.newer();
    if (!next)
        return {};
    walk.settled.assign(CutToField(*next));
    walk.result.reset();
    // Typed, as the user would: the step goes on with typing in the field.
    ModelChanges changes = typeInto(type, notation, walk.settled);
    changes.texts[index(type)][notation] = true;
    fState.walk = std::make_shared<const HistoryWalk>(std::move(walk));
    return changes;
}

ModelChanges ConverterModel::removeHistoryEntry(const HistoryEntry& entry)
{
    begin();
    fState.removedEntry = std::make_shared<const HistoryEntry>(entry);
    ++fState.historyRemovals;
    return end();
}
