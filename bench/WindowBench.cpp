// One keystroke in the window against the floor of showing its outcome with
// no conversion at all. Each pair is named <what>/bitlens and <what>/floor
// (bench/ratios.py prints the ratio); one item is one keystroke.
//
// bitlens: a digit and then Backspace typed into the Value row's hexadecimal
// field of a shown ConverterView, each followed by the layout pass that the
// event loop would run next. The field holds a number, or (the Expression
// pair) the calculation 0x10 << 3, evaluated again at each keystroke.
// floor: the same two keys into the same field of a second ConverterView whose
// fields are not wired to anything, then QLineEdit::setText/QLabel::setText of
// precomputed texts on every widget whose text the keystroke changes, in the
// order the window writes them, BitGrid::setBits of the precomputed bits on
// every grid whose bits change and setChecked on every flag that changes,
// and the same layout pass. Widgets that stay as they were are left alone on
// both sides.
//
// WindowKeystrokeFields: the same with a 32-field layout shown: the fields
// panel open, its value cells following each keystroke, and the fields'
// bands under the Value's bits; the floor sets the table's changed cells too.
//
// Every malloc, calloc and realloc is counted (the binary interposes them), so
// each benchmark also reports allocations and layout passes per keystroke.
#include "window/ConverterView.h"

#include "Iterations.h"
#include "files/LayoutStore.h"
#include "files/WindowStateStore.h"
#include "window/BitFieldPanel.h"
#include "window/BitGrid.h"

#include <benchmark/benchmark.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

// glibc's own entry points; the definitions below count and forward to them.
extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* pointer, std::size_t size);
void __libc_free(void* pointer);
}

namespace {
std::size_t gAllocations = 0;
} // namespace

extern "C" {
void* malloc(std::size_t size)
{
    ++gAllocations;
    return __libc_malloc(size);
}

void* calloc(std::size_t count, std::size_t size)
{
    ++gAllocations;
    return __libc_calloc(count, size);
}

void* realloc(void* pointer, std::size_t size)
{
    ++gAllocations;
    return __libc_realloc(pointer, size);
}

void free(void* pointer)
{
    __libc_free(pointer);
}
}

namespace {

// The widgets a keystroke in the Value row may rewrite, in the order the
// window writes them: the row's other fields, its magnitudes, then (with the
// math area open) the Result row and its magnitudes.
const char* const kWritten[] = {
    "currentBinary",
    "currentDecimal",
    "currentOctal",
    "currentQuixadecimal",
    "currentText",
    "currentIpAddress",
    "currentNumVersion",
    "currentFloat",
    "currentBinaryMagnitude",
    "currentMetricMagnitude",
    "resultBinary",
    "resultDecimal",
    "resultHexadecimal",
    "resultOctal",
    "resultQuixadecimal",
    "resultText",
    "resultIPAddress",
    "resultNumVersion",
    "resultFloat",
    "resultBinaryMagnitude",
    "resultMetricMagnitude",
};

// The grids and flags a keystroke may change, in the order the window sets them.
const char* const kGrids[] = { "currentBitGrid", "resultBitGrid" };
const char* const kFlags[] = { "resultZeroFlag", "resultSignFlag", "resultCarryFlag",
    "resultOverflowFlag", "resultDivideByZeroFlag" };

constexpr const char* kTypedField = "currentHexadecimal";

QString ShownText(QWidget* widget)
{
    if (auto* field = qobject_cast<QLineEdit*>(widget))
        return field->text();
    return static_cast<QLabel*>(widget)->text();
}

void SetShownText(QWidget* widget, const QString& text)
{
    if (auto* field = qobject_cast<QLineEdit*>(widget))
        field->setText(text);
    else
        static_cast<QLabel*>(widget)->setText(text);
}

// Counts the layout passes that reach any widget.
class LayoutCounter : public QObject {
public:
    int passes = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::LayoutRequest)
            ++passes;
        return QObject::eventFilter(watched, event);
    }
};

// What a register's layout may hold: 16 two-bit fields, 8 nibbles over
// them and 8 one-bit flags, some with named values: 32 fields on 3 bands.
BitFieldLayout ThirtyTwoFields()
{
    BitFieldLayout layout;
    layout.name = "BENCH";
    layout.width = 32;
    const auto add = [&](std::string name, int msb, int lsb) {
        BitField field;
        field.name = std::move(name);
        field.msb = msb;
        field.lsb = lsb;
        if (layout.fields.size() % 4 == 0)
            field.values = { { 0, "OFF", "" }, { 1, "ON", "" } };
        layout.fields.push_back(std::move(field));
    };
    for (int i = 0; i < 16; ++i)
        add("PAIR" + std::to_string(i), 2 * i + 1, 2 * i);
    for (int i = 0; i < 8; ++i)
        add("NIBBLE" + std::to_string(i), 4 * i + 3, 4 * i);
    for (int i = 0; i < 8; ++i)
        add("FLAG" + std::to_string(i), i, i);
    return layout;
}

enum Scene { eValueOnly, eMathOpen, eFieldsShown, eExpression };

// A shown window, at rest, with 1234 typed after the 0000 its hexadecimal
// field starts with, or with the calculation 0x10 << 3 typed over it.
std::unique_ptr<ConverterView> OpenWindow(Scene scene)
{
    const bool mathOpen = scene == eMathOpen;
    auto window = std::make_unique<ConverterView>();
    window->setAttribute(Qt::WA_DeleteOnClose, false);
    // The layout opens as a window left with it open does: saved, then
    // taken up with both panels shown.
    if (scene == eFieldsShown) {
        const LayoutSave saved = LayoutStore().save(ThirtyTwoFields());
        if (!saved.ok())
            std::abort();
        WindowState left;
        left.layoutFile = QFileInfo(saved.path).fileName();
        left.panels = { { QStringLiteral("historyPanel"), true, QSize() },
            { QStringLiteral("bitFieldPanel"), true, QSize() } };
        window->takeUp(left);
    }
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get()))
        std::abort();
    if (mathOpen) {
        QTest::mouseClick(window->findChild<QToolButton*>("mathDisclosure"), Qt::LeftButton);
        QTest::keyClicks(window->findChild<QLineEdit*>("operandHexadecimal"), "ff0f");
    }
    auto* field = window->findChild<QLineEdit*>(kTypedField);
    field->setFocus();
    if (scene == eExpression)
        field->selectAll();
    QTest::keyClicks(field, scene == eExpression ? "0x10 << 3" : "1234");
    QApplication::processEvents();
    return window;
}

// The two keys typed in turn, as prebuilt events so that building them costs
// neither side anything.
struct Keys {
    QKeyEvent digitPress { QEvent::KeyPress, Qt::Key_5, Qt::NoModifier, QStringLiteral("5") };
    QKeyEvent digitRelease { QEvent::KeyRelease, Qt::Key_5, Qt::NoModifier, QStringLiteral("5") };
    QKeyEvent erasePress { QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier };
    QKeyEvent eraseRelease { QEvent::KeyRelease, Qt::Key_Backspace, Qt::NoModifier };
};

// One keystroke as the event loop delivers it: the key, then the layout
// pass the key's changes asked for.
void Press(QLineEdit* field, QKeyEvent& press, QKeyEvent& release)
{
    QApplication::sendEvent(field, &press);
    QApplication::sendEvent(field, &release);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
}

// What a grid shows.
struct GridState {
    UInt64 bits;
    UInt16 width;
    bool isSigned;
    bool operator!=(const GridState& other) const
    {
        return bits != other.bits || width != other.width || isSigned != other.isSigned;
    }
};

// What each keystroke leaves in the written widgets that it changed.
struct Transition {
    std::vector<std::pair<QWidget*, QString>> writes;
    std::vector<std::pair<QTableWidgetItem*, QString>> cells;
    std::vector<std::pair<BitGrid*, GridState>> grids;
    std::vector<std::pair<QAbstractButton*, bool>> flags;
};

// What the widgets a keystroke may change show.
struct Snapshot {
    std::vector<QString> texts;
    std::vector<QString> cells; // the fields panel's, row by row
    std::vector<GridState> grids;
    std::vector<bool> flags;
};

void ReportPerKeystroke(benchmark::State& state, std::size_t allocations, double layouts)
{
    const auto keystrokes = double(2 * state.iterations());
    state.SetItemsProcessed(2 * state.iterations());
    state.counters["allocs"] = double(allocations) / keystrokes;
    state.counters["layouts"] = layouts;
}

// Layout passes per keystroke, counted over a few untimed keystrokes so that
// the filter costs the timed loop nothing; the first pair settles the window.
template <class Keystroke> double LayoutsPerKeystroke(Keystroke keystroke)
{
    keystroke();
    LayoutCounter counter;
    qApp->installEventFilter(&counter);
    constexpr int kPairs = 8;
    for (int i = 0; i < kPairs; ++i)
        keystroke();
    qApp->removeEventFilter(&counter);
    return double(counter.passes) / (2 * kPairs);
}

// The fields table, when the window shows one.
QTableWidget* FieldTable(ConverterView& window)
{
    return window.findChild<QTableWidget*>("bitFieldTable");
}

void TypeBitlens(benchmark::State& state, Scene scene)
{
    const auto window = OpenWindow(scene);
    auto* field = window->findChild<QLineEdit*>(kTypedField);
    Keys keys;
    auto pair = [&] {
        Press(field, keys.digitPress, keys.digitRelease);
        Press(field, keys.erasePress, keys.eraseRelease);
    };
    const QString atRest = field->text();
    const double layouts = LayoutsPerKeystroke(pair);

    const std::size_t before = gAllocations;
    for (auto _ : state)
        pair();
    ReportPerKeystroke(state, gAllocations - before, layouts);
    if (field->text() != atRest)
        state.SkipWithError("the typed field lost its text");
}

// The texts the window shows after each of the two keys, taken from a
// window that really converted them.
std::pair<Transition, Transition> Outcomes(Scene scene, ConverterView& floor)
{
    const auto window = OpenWindow(scene);
    QTableWidget* table = FieldTable(*window);
    QTableWidget* floorTable = FieldTable(floor);
    auto* field = window->findChild<QLineEdit*>(kTypedField);
    Keys keys;
    auto snapshot = [&] {
        Snapshot shown;
        for (const char* name : kWritten)
            shown.texts.push_back(ShownText(window->findChild<QWidget*>(name)));
        for (const char* name : kGrids) {
            const auto* grid = window->findChild<BitGrid*>(name);
            shown.grids.push_back({ grid->bits(), grid->bitWidth(), grid->isSigned() });
        }
        for (const char* name : kFlags)
            shown.flags.push_back(window->findChild<QAbstractButton*>(name)->isChecked());
        for (int row = 0; table && row < table->rowCount(); ++row)
            for (int column = 0; column < table->columnCount(); ++column)
                shown.cells.push_back(table->item(row, column)->text());
        return shown;
    };
    const Snapshot rest = snapshot();
    Press(field, keys.digitPress, keys.digitRelease);
    const Snapshot typed = snapshot();

    auto changes = [&](const Snapshot& from, const Snapshot& to) {
        Transition transition;
        for (std::size_t i = 0; i < std::size(kWritten); ++i)
            if (from.texts[i] != to.texts[i])
                transition.writes.emplace_back(floor.findChild<QWidget*>(kWritten[i]), to.texts[i]);
        for (std::size_t i = 0; i < std::size(kGrids); ++i)
            if (from.grids[i] != to.grids[i])
                transition.grids.emplace_back(floor.findChild<BitGrid*>(kGrids[i]), to.grids[i]);
        for (std::size_t i = 0; i < std::size(kFlags); ++i)
            if (from.flags[i] != to.flags[i])
                transition.flags.emplace_back(
                    floor.findChild<QAbstractButton*>(kFlags[i]), to.flags[i]);
        for (std::size_t i = 0; i < from.cells.size(); ++i)
            if (from.cells[i] != to.cells[i])
                transition.cells.emplace_back(floorTable->item(int(i) / floorTable->columnCount(),
                                                  int(i) % floorTable->columnCount()),
                    to.cells[i]);
        return transition;
    };
    return { changes(rest, typed), changes(typed, rest) };
}

void TypeFloor(benchmark::State& state, Scene scene)
{
    const auto floor = OpenWindow(scene);
    auto* field = floor->findChild<QLineEdit*>(kTypedField);
    // The field still takes the key; nothing converts it.
    QObject::disconnect(field, &QLineEdit::textEdited, nullptr, nullptr);
    // Nor does a cell the floor writes count as the user's edit.
    if (QTableWidget* table = FieldTable(*floor))
        QObject::disconnect(table, &QTableWidget::itemChanged, nullptr, nullptr);
    const auto [typed, erased] = Outcomes(scene, *floor);

    Keys keys;
    auto show = [](const Transition& transition) {
        for (const auto& [widget, text] : transition.writes)
            SetShownText(widget, text);
        for (const auto& [grid, state] : transition.grids)
            grid->setBits(state.bits, state.width, state.isSigned);
        for (const auto& [flag, checked] : transition.flags)
            flag->setChecked(checked);
        for (const auto& [cell, text] : transition.cells)
            cell->setText(text);
    };
    auto pair = [&] {
        QApplication::sendEvent(field, &keys.digitPress);
        QApplication::sendEvent(field, &keys.digitRelease);
        show(typed);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        QApplication::sendEvent(field, &keys.erasePress);
        QApplication::sendEvent(field, &keys.eraseRelease);
        show(erased);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    };
    const double layouts = LayoutsPerKeystroke(pair);

    const std::size_t before = gAllocations;
    for (auto _ : state)
        pair();
    ReportPerKeystroke(state, gAllocations - before, layouts);
    state.counters["writes"] = double(typed.writes.size() + erased.writes.size()) / 2;
    state.counters["grids"] = double(typed.grids.size() + erased.grids.size()) / 2;
    state.counters["cells"] = double(typed.cells.size() + erased.cells.size()) / 2;
}

} // namespace

int main(int argc, char** argv)
{
    const std::int64_t iterations = TakeIterationsOption(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;

    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The layout the fields scene opens is saved, as every layout is, and
    // each window writes its state when it closes: not among the user's.
    QTemporaryDir data;
    qputenv("XDG_DATA_HOME", data.filePath("data").toUtf8());
    qputenv("XDG_CONFIG_HOME", data.filePath("config").toUtf8());
    QApplication app(argc, argv);

    const std::pair<const char*, Scene> scenes[] = { { "WindowKeystroke", eValueOnly },
        { "WindowKeystrokeMath", eMathOpen }, { "WindowKeystrokeFields", eFieldsShown },
        { "WindowKeystrokeExpression", eExpression } };
    for (const auto& [name, scene] : scenes) {
        for (const auto& [side, run] :
            { std::pair { "/bitlens", &TypeBitlens }, std::pair { "/floor", &TypeFloor } }) {
            const Scene shown = scene;
            auto* registered = benchmark::RegisterBenchmark((std::string(name) + side).c_str(),
                [run = run, shown](benchmark::State& state) { run(state, shown); });
            if (iterations > 0)
                registered->Iterations(iterations);
        }
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
