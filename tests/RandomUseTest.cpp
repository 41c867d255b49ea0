// Thousands of seeded random user actions on real windows. After each one,
// what every window shows is checked against the engine alone: each field
// re-read and re-written through the notations, each bit grid, the Result
// row recomputed, its flags, the magnitudes re-formatted; an undo followed by
// a redo must show again what was shown. BITLENS_RANDOM_SEED and
// BITLENS_RANDOM_ACTIONS choose the run; a failure names the seed, the action and what led to it.
#include "WindowTestSupport.h"
#include "window/BitGrid.h"

#include "engine/Expression.h"
#include "engine/Magnitude.h"
#include "engine/MathOperation.h"
#include "engine/Notation.h"
#include "model/FieldBytes.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextBoundaryFinder>
#include <QToolButton>

#include <array>
#include <deque>
#include <optional>
#include <random>

namespace {

enum RowIndex { eValueRow, eOperandRow, eResultRow };
const char* const kRowNames[] = { "current", "operand", "result" };
const char* const kSignedBoxes[] = { "signedValueBox", "signedOperandBox", "signedResultBox" };
const char* const kFlagNames[] = { "resultZeroFlag", "resultSignFlag", "resultCarryFlag",
    "resultOverflowFlag", "resultDivideByZeroFlag" };
const char* const kNotationNames[] = { "Binary", "Decimal", "Hexadecimal", "Octal", "Quixadecimal",
    "Text", "IPAddress", "NumVersion", "Float" };
// What is typed and pasted, by weight: digits and hexadecimal letters most,
// then the signs and dots the notations read, then any character at all.
const struct {
    int weight;
    char32_t first, last;
} kCharacters[] = { { 30, '0', '9' }, { 8, 'a', 'f' }, { 6, 'A', 'F' }, { 8, '-', '.' },
    { 4, ' ', ' ' }, { 10, '!', '~' }, { 8, 0xA0, 0xFF }, { 4, 0x2022, 0x2022 },
    { 6, 0x100, 0xD7FF }, { 2, 0xE000, 0xFFFD }, { 3, 0x10000, 0x10FFFF }, { 2, 0x1F600, 0x1F64F },
    { 3, 0x300, 0x36F }, { 2, 0x200B, 0x200F }, { 1, 0x01, 0x1F } };

// Keystrokes into a field first, then the controls.
enum Kind {
    eInsert,
    eBackspace,
    eDelete,
    eMove,
    eWidth,
    eOperation,
    eCheck,
    eButton,
    eGridClick,
    eGridDrag,
    eGridKey,
    eMath,
    eUndo,
    eWindow,
    eRecall,
    eRestore
};
const struct Action {
    const char* name;
    int weight;
    Kind kind;
    Qt::Key key = Qt::Key_unknown;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
} kActions[] = { { "type", 300, eInsert }, { "paste", 20, eInsert, Qt::Key_V, Qt::ControlModifier },
    { "backspace", 60, eBackspace, Qt::Key_Backspace }, { "delete", 25, eDelete, Qt::Key_Delete },
    { "home", 15, eMove, Qt::Key_Home }, { "end", 15, eMove, Qt::Key_End },
    { "select all", 30, eMove, Qt::Key_A, Qt::ControlModifier }, { "width", 50, eWidth },
    { "operation", 40, eOperation }, { "signed box or byte order", 70, eCheck },
    { "swap or shift", 70, eButton }, { "grid click", 40, eGridClick },
    { "grid drag", 15, eGridDrag }, { "grid key", 30, eGridKey }, { "math area", 20, eMath },
    { "undo", 30, eUndo, Qt::Key_Z, Qt::ControlModifier }, { "window", 3, eWindow },
    { "enter", 15, eMove, Qt::Key_Return }, { "recall", 15, eRecall },
    { "history entry", 8, eRestore } };

UInt64 Mask(int width)
{
    return width >= 64 ? ~UInt64(0) : (UInt64(1) << width) - 1;
}

// The width's bits as two's complement.
SInt64 Signed(UInt64 bits, int width)
{
    return width >= 64 || !((bits >> (width - 1)) & 1) ? SInt64(bits) : SInt64(bits | ~Mask(width));
}

SInt64 Quotient(SInt64 a, SInt64 b)
{
    return b == 0 ? 0 : b == -1 ? SInt64(0 - UInt64(a)) : a / b;
}

SInt64 Remainder(SInt64 a, SInt64 b)
{
    return b == 0 || b == -1 ? 0 : a % b;
}

UInt64 Rotated(UInt64 a, UInt64 b, int width)
{
    const int n = int(b % UInt64(width));
    return n == 0 ? a : ((a << n) | (a >> (width - n))) & Mask(width);
}

// The operation popup's items, in order, and what each makes of the rows'
// bits a and b at width w: the first ten keep all 64 bits of the result.
using Operation = UInt64 (*)(UInt64 a, UInt64 b, int w);
const std::pair<QString, Operation> kOperations[] = {
    { "AND", [](UInt64 a, UInt64 b, int) { return a & b; } },
    { "OR", [](UInt64 a, UInt64 b, int) { return a | b; } },
    { "XOR", [](UInt64 a, UInt64 b, int) { return a ^ b; } },
    { "add", [](UInt64 a, UInt64 b, int) { return a + b; } },
    { "subtract", [](UInt64 a, UInt64 b, int) { return a - b; } },
    { "multiply", [](UInt64 a, UInt64 b, int) { return a * b; } },
    { "divide", [](UInt64 a, UInt64 b, int) { return b == 0 ? 0 : a / b; } },
    { "remainder", [](UInt64 a, UInt64 b, int) { return b == 0 ? 0 : a % b; } },
    { "shift right", [](UInt64 a, UInt64 b, int) { return a >> (b & 63); } },
    { "shift left", [](UInt64 a, UInt64 b, int) { return a << (b & 63); } },
    { "NOT", [](UInt64 a, UInt64, int w) { return ~a & Mask(w); } },
    { "NAND", [](UInt64 a, UInt64 b, int w) { return ~(a & b) & Mask(w); } },
    { "NOR", [](UInt64 a, UInt64 b, int w) { return ~(a | b) & Mask(w); } },
    { "XNOR", [](UInt64 a, UInt64 b, int w) { return ~(a ^ b) & Mask(w); } },
    { "rotate left", [](UInt64 a, UInt64 b, int w) { return Rotated(a, b, w); } },
    { "rotate right",
        [](UInt64 a, UInt64 b, int w) { return Rotated(a, UInt64(w) - b % UInt64(w), w); } },
    { "arithmetic shift right",
        [](UInt64 a, UInt64 b, int w) {
            return UInt64(Signed(a, w) >> std::min<UInt64>(b & 63, 63)) & Mask(w);
        } },
    { "signed divide",
        [](UInt64 a, UInt64 b, int w) {
            return UInt64(Quotient(Signed(a, w), Signed(b, w))) & Mask(w);
        } },
    { "signed remainder",
        [](UInt64 a, UInt64 b, int w) {
            return UInt64(Remainder(Signed(a, w), Signed(b, w))) & Mask(w);
        } },
    { "negate", [](UInt64 a, UInt64, int w) { return (0 - a) & Mask(w); } },
};

BaseConverter Number(UInt64 bits, int width, bool isSigned)
{
    BaseConverter number {};
    number.SetBitWidth(UInt16(width));
    number.SetSigned(isSigned);
    number.SetUnsignedDec(bits, eBigEndian);
    return number;
}

BaseConverter Read(const QString& text, Notation notation, int width, bool isSigned, Endian endian)
{
    char bytes[kFieldBufferSize];
    FieldTextToBytes(text.toStdString(), bytes);
    BaseConverter number = Number(0, width, isSigned);
    ReadNotation(number, notation, bytes, endian);
    return number;
}

QString Written(const BaseConverter& number, Notation notation, Endian endian)
{
    char text[kFieldBufferSize];
    WriteNotation(number, notation, endian, text);
    std::string shown;
    FieldTextFromBytes(text, shown);
    return QString::fromStdString(shown);
}

// Whether `text` typed into the field reads a number, and where it is a
// calculation, the number it reads as the engine evaluates it: a negative
// result in the decimal field as its decimal would, elsewhere as the bits.
bool Calculated(const QString& text, Notation notation, int width, bool isSigned, Endian endian,
    std::optional<BaseConverter>& calculated)
{
    char bytes[kFieldBufferSize];
    FieldTextToBytes(text.toStdString(), bytes);
    if (!IsExpression(bytes, notation))
        return true;
    const ExpressionResult result = EvaluateExpression(bytes, notation, isSigned);
    if (result.status != eExpressionEvaluated && result.status != eExpressionTooBig)
        return false;
    if (notation == eNotationDecimal) {
        calculated = Read(result.negative ? QString::number(qint64(result.value))
                                          : QString::number(quint64(result.value)),
            eNotationDecimal, width, isSigned, endian);
    } else {
        calculated = Number(result.value, width, isSigned);
    }
    return true;
}

// Qt's own rule for a typed key: control characters are refused.
bool Acceptable(const QString& typed)
{
    const QChar c = typed.at(0);
    return c.isPrint() || c.category() == QChar::Other_Format
        || c.category() == QChar::Other_PrivateUse
        || (c.isHighSurrogate() && typed.size() > 1 && typed.at(1).isLowSurrogate());
}

// What a line edit shows after one keystroke, by Qt's own editing rules,
// cut to the 127 characters a field holds (never inside a character): any
// other text in the field being typed in is the window's doing.
QString Edited(const QLineEdit* field, Kind edit, const QString& inserted)
{
    QString text = field->text();
    if (edit == eMove)
        return text;
    int cursor = field->cursorPosition();
    const bool selection = field->hasSelectedText();
    if (selection) {
        text.remove(field->selectionStart(), field->selectionLength());
        cursor = field->selectionStart();
    }
    if (edit == eInsert) {
        text.insert(cursor, inserted);
        if (text.size() > 127)
            text.truncate(text[126].isHighSurrogate() && text[127].isLowSurrogate() ? 126 : 127);
    } else if (edit == eBackspace && !selection && cursor > 0) {
        const bool pair
            = cursor > 1 && text[cursor - 1].isLowSurrogate() && text[cursor - 2].isHighSurrogate();
        text.remove(cursor - 1 - pair, 1 + pair);
    } else if (edit == eDelete && !selection) {
        QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, text);
        graphemes.setPosition(cursor);
        text.remove(cursor, std::max<qsizetype>(0, graphemes.toNextBoundary() - cursor));
    }
    return text;
}

struct Row {
    std::array<QLineEdit*, eNotationCount> fields;
    QCheckBox* signedBox;
    QRadioButton* big;
    QRadioButton* little;
    std::array<QLabel*, 2> magnitudes; // binary, metric
    BitGrid* grid;
};

struct Window {
    QPointer<ConverterView> view;
    std::array<Row, 3> rows;
    QComboBox* width;
    QComboBox* operation;
    QToolButton* disclosure;
    QGroupBox* mathBox;
    std::array<QAbstractButton*, eMathFlagCount> flags;
    QLineEdit* focus = nullptr;
    // The field each of the two typed rows was last typed in, and its text.
    std::array<QLineEdit*, 2> typedField {};
    std::array<QString, 2> typedText;
    // Since an undo or redo, any field of the row may hold a text as it was
    // typed, until the row is typed into again.
    std::array<bool, 2> restored {};
    QLineEdit* typedNow = nullptr; // typed in by the action at hand
    QStringList closedTexts; // what the math area shows while it is closed
};

int RowOf(const Window& w, const QLineEdit* field)
{
    const auto& fields = w.rows[eValueRow].fields;
    return std::count(fields.begin(), fields.end(), field) ? eValueRow : eOperandRow;
}

QtMessageHandler gTestLogHandler = nullptr;

// The offscreen platform's notes on what it cannot do would drown the log.
void QuietPlatform(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (!message.startsWith("This plugin does not support") && !message.contains("OpenType"))
        gTestLogHandler(type, context, message);
}

} // namespace

class RandomUseTest : public WindowTest {
    Q_OBJECT

private slots:
    void initTestCase();
    void randomUse();

private:
    quint64 below(quint64 n) { return random() % n; }
    template <class Entry, std::size_t N> const Entry& weighted(const Entry (&table)[N])
    {
        int total = 0;
        for (const Entry& entry : table)
            total += entry.weight;
        int pick = int(below(quint64(total)));
        return *std::find_if(
            table, table + N, [&pick](const Entry& entry) { return (pick -= entry.weight) < 0; });
    }
    QString randomText(int length);
    void adopt(ConverterView* view);
    QString act(Window& w, const Action& action);
    QString keystroke(Window& w, const Action& action);
    QString gridAction(Window& w, const Action& action);
    QString undo(Window& w);
    QString recall(Window& w);
    QString restore(Window& w);
    QString choose(QComboBox* popup);
    QString check(Window& w);
    QString checkRow(const Window& w, int r, int width, UInt64& bits) const;
    static QString appearance(const Window& w);

    std::mt19937_64 random;
    std::vector<Window> windows;
    QString problem; // set by an action whose own outcome was wrong
};

void RandomUseTest::initTestCase()
{
    gTestLogHandler = qInstallMessageHandler(QuietPlatform);
    WindowTest::initTestCase();
}

QString RandomUseTest::randomText(int length)
{
    QString text;
    while (text.size() < length) {
        const auto& range = weighted(kCharacters);
        const char32_t c = range.first + char32_t(below(range.last - range.first + 1));
        text += QString::fromUcs4(&c, 1);
    }
    return text;
}

void RandomUseTest::adopt(ConverterView* view)
{
    Window w;
    w.view = view;
    for (int r = eValueRow; r <= eResultRow; ++r) {
        const QString prefix = kRowNames[r];
        Row& row = w.rows[r];
        for (int n = 0; n < eNotationCount; ++n)
            row.fields[n] = FindChild<QLineEdit>(view,
                prefix
                    + (r == eValueRow && n == eNotationIPAddress ? "IpAddress"
                                                                 : kNotationNames[n]));
        row.signedBox = FindChild<QCheckBox>(view, kSignedBoxes[r]);
        row.big = FindChild<QRadioButton>(view, prefix + "BigEndianRadio");
        row.little = FindChild<QRadioButton>(view, prefix + "LittleEndianRadio");
        row.magnitudes = { FindChild<QLabel>(view, prefix + "BinaryMagnitude"),
            FindChild<QLabel>(view, prefix + "MetricMagnitude") };
        row.grid = FindChild<BitGrid>(view, prefix + "BitGrid");
    }
    for (int flag = 0; flag < eMathFlagCount; ++flag)
        w.flags[flag] = FindChild<QAbstractButton>(view, kFlagNames[flag]);
    w.width = FindChild<QComboBox>(view, "bitWidthPopup");
    w.operation = FindChild<QComboBox>(view, "mathOperation");
    w.disclosure = FindChild<QToolButton>(view, "mathDisclosure");
    w.mathBox = FindChild<QGroupBox>(view, "expandedBox");
    windows.push_back(w);
}

QString RandomUseTest::act(Window& w, const Action& action)
{
    const bool open = w.disclosure->isChecked();
    const Row& row = w.rows[open ? below(3) : 0];
    switch (action.kind) {
    default: return keystroke(w, action);
    case eWidth: return choose(w.width);
    case eOperation: return choose(w.operation);
    case eCheck: {
        // A click on the indicator, or the space bar.
        QAbstractButton* button
            = std::array<QAbstractButton*, 3> { row.signedBox, row.big, row.little }[below(3)];
        if (below(2))
            ClickButton(button);
        else
            QTest::keyClick(button, Qt::Key_Space);
        return button->objectName() + (button->isChecked() ? " on" : " off");
    }
    case eButton: {
        static const char* const kinds[] = { "swapEndian", "shiftLeft", "shiftRight" };
        const QString name = QString(kinds[below(3)]) + (open && below(2) ? "Operand" : "Value");
        QTest::mouseClick(FindChild<QPushButton>(w.view, name), Qt::LeftButton);
        return name;
    }
    case eGridClick:
    case eGridDrag:
    case eGridKey: return gridAction(w, action);
    case eUndo: return undo(w);
    case eRecall: return recall(w);
    case eRestore: return restore(w);
    case eMath:
        QTest::mouseClick(w.disclosure, Qt::LeftButton);
        return w.disclosure->isChecked() ? "math area opened" : "math area closed";
    case eWindow:
        // Ctrl+N and Ctrl+W reach the active window's menu.
        w.view->activateWindow();
        if (!QTest::qWaitForWindowActive(w.view))
            problem = "the window could not be activated";
        if (windows.size() == 1 || (windows.size() == 2 && below(2))) {
            QTest::keyClick(w.view, Qt::Key_N, Qt::ControlModifier);
            for (ConverterView* opened : Windows()) // may move w
                if (std::none_of(windows.begin(), windows.end(),
                        [opened](const Window& known) { return known.view == opened; }))
                    adopt(opened);
            return QString("new window, now %1").arg(windows.size());
        }
        QTest::keyClick(w.view, Qt::Key_W, Qt::ControlModifier);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (w.view)
            problem = "Ctrl+W left the window open";
        return "window closed";
    }
}

// One key into the field typed in last, or now and then into another one
// the user clicks; the field must then show exactly the edit.
QString RandomUseTest::keystroke(Window& w, const Action& action)
{
    const bool open = w.disclosure->isChecked();
    if (!w.focus || (!open && RowOf(w, w.focus) != eValueRow) || below(8) == 0) {
        w.focus = w.rows[open ? below(2) : 0].fields[below(eNotationCount)];
        QTest::mouseClick(w.focus, Qt::LeftButton, Qt::NoModifier,
            QPoint(int(below(quint64(w.focus->width()))), w.focus->height() / 2));
    }
    QLineEdit* field = w.focus;
    QString text;
    Kind edit = action.kind;
    if (action.key == Qt::Key_unknown) {
        text = randomText(1);
        edit = Acceptable(text) ? edit : eMove;
    } else if (action.key == Qt::Key_V) {
        text = randomText(below(3) ? 1 + int(below(24)) : 100 + int(below(500)));
        QApplication::clipboard()->setText(text);
    }
    const QString before = field->text();
    const QString expected = Edited(field, edit, text);
    QTest::sendKeyEvent(QTest::Click, field, action.key,
        action.key == Qt::Key_unknown ? text : QString(), action.modifiers);
    // Only a change of text reaches the window, which then reads it.
    if (expected != before) {
        w.typedField[RowOf(w, field)] = w.typedNow = field;
        w.typedText[RowOf(w, field)] = expected;
        w.restored[RowOf(w, field)] = false;
    }
    if (field->text() != expected)
        problem
            = QString("the field typed in shows \"%1\", typed \"%2\"").arg(field->text(), expected);
    QString shown = text.left(40);
    for (QChar& c : shown)
        if (!c.isPrint())
            c = QChar(0xFFFD);
    return QString("%1 in %2").arg(action.name, field->objectName())
        + (text.isEmpty() ? QString() : QString(": \"%1\" (%2 units)").arg(shown).arg(text.size()));
}

// A click on a bit, a drag across bits, or a key with the grid focused, on
// any grid in sight; the grid must then show what the gesture asked for,
// and the Result grid nothing new.
QString RandomUseTest::gridAction(Window& w, const Action& action)
{
    const int r = w.disclosure->isChecked() ? int(below(3)) : eValueRow;
    BitGrid* grid = w.rows[r].grid;
    const int width = grid->bitWidth();
    const UInt64 before = grid->bits();
    UInt64 expected = before;
    QString done;
    if (action.kind == eGridKey) {
        static const std::pair<Qt::Key, const char*> keys[]
            = { { Qt::Key_Left, "Left" }, { Qt::Key_Right, "Right" }, { Qt::Key_Up, "Up" },
                  { Qt::Key_Down, "Down" }, { Qt::Key_Home, "Home" }, { Qt::Key_End, "End" },
                  { Qt::Key_Space, "Space" }, { Qt::Key_0, "0" }, { Qt::Key_1, "1" } };
        const auto& [key, name] = keys[below(std::size(keys))];
        grid->setFocus(Qt::TabFocusReason);
        const int cursor = grid->cursorBit();
        const UInt64 bit = UInt64(1) << cursor;
        expected = key == Qt::Key_Space ? before ^ bit
            : key == Qt::Key_0          ? before & ~bit
            : key == Qt::Key_1          ? before | bit
                                        : before;
        QTest::keyClick(grid, key);
        done = QString("key %1 at bit %2").arg(name).arg(cursor);
    } else if (action.kind == eGridClick) {
        const int bit = int(below(quint64(width)));
        QTest::mouseClick(grid, Qt::LeftButton, Qt::NoModifier, BitCentre(grid, bit));
        expected = before ^ (UInt64(1) << bit);
        done = QString("click on bit %1").arg(bit);
    } else {
        const int from = int(below(quint64(width)));
        const int to = int(below(quint64(width)));
        QTest::mousePress(grid, Qt::LeftButton, Qt::NoModifier, BitCentre(grid, from));
        // Now and then a jump, as a fast hand makes, rather than every bit.
        const int step = below(3) == 0 ? std::max(1, std::abs(to - from)) : 1;
        for (int bit = from; bit != to;) {
            bit = to > bit ? std::min(to, bit + step) : std::max(to, bit - step);
            QTest::mouseMove(grid, BitCentre(grid, bit));
        }
        QTest::mouseRelease(grid, Qt::LeftButton, Qt::NoModifier, BitCentre(grid, to));
        const UInt64 passed = Mask(std::max(from, to) + 1) & ~Mask(std::min(from, to));
        expected = (before >> from) & 1 ? before & ~passed : before | passed;
        done = QString("drag from bit %1 to %2").arg(from).arg(to);
    }
    if (r == eResultRow)
        expected = before;
    if (grid->bits() != expected)
        problem = QString("%1 shows %2 after the gesture, expected %3")
                      .arg(grid->objectName())
                      .arg(grid->bits(), 0, 16)
                      .arg(expected, 0, 16);
    return grid->objectName() + ' ' + done;
}

// Ctrl+Z where the focus is, and now and then Ctrl+Shift+Z at once: a redo
// right after an undo shows again exactly what was shown before it.
QString RandomUseTest::undo(Window& w)
{
    // The keys reach the active window's Edit menu.
    w.view->activateWindow();
    if (!QTest::qWaitForWindowActive(w.view))
        problem = "the window could not be activated";
    QWidget* focus = w.view->focusWidget() ? w.view->focusWidget() : w.view.data();
    const QString shown = appearance(w);
    const bool couldUndo = w.view->model().canUndo();
    QTest::keyClick(focus, Qt::Key_Z, Qt::ControlModifier);
    w.restored = { true, true };
    if (below(3) != 0)
        return "undo in " + focus->objectName();
    QTest::keyClick(focus, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    if (couldUndo && appearance(w) != shown)
        problem = "undo and redo did not show again what was shown: " + appearance(w);
    return "undo and redo in " + focus->objectName();
}

// Up or Down in the field typed in last: a text recalled is typed, and the
// row reads it as such.
QString RandomUseTest::recall(Window& w)
{
    const bool open = w.disclosure->isChecked();
    if (!w.focus || (!open && RowOf(w, w.focus) != eValueRow))
        w.focus = w.rows[open ? below(2) : 0].fields[below(eNotationCount)];
    QLineEdit* field = w.focus;
    field->setFocus(Qt::OtherFocusReason);
    const bool up = below(3) != 0;
    const QString before = field->text();
    QTest::keyClick(field, up ? Qt::Key_Up : Qt::Key_Down);
    if (field->text() != before) {
        w.typedField[RowOf(w, field)] = w.typedNow = field;
        w.typedText[RowOf(w, field)] = field->text();
        w.restored[RowOf(w, field)] = false;
    }
    return QString("%1 in %2: \"%3\"").arg(up ? "up" : "down", field->objectName(), field->text());
}

// An entry of the History panel brought back into the Value row: one field
// there may then hold the entry's text as it was typed.
QString RandomUseTest::restore(Window& w)
{
    w.view->activateWindow();
    if (!QTest::qWaitForWindowActive(w.view))
        problem = "the window could not be activated";
    auto* shown = FindChild<QAction>(w.view, "actionShowHistory");
    if (!shown->isChecked())
        QTest::keyClick(w.view, Qt::Key_H, Qt::ControlModifier);
    auto* list = w.view->findChild<QListWidget*>("historyList");
    if (!list || !list->isVisible()) {
        problem = "Ctrl+H did not show the history";
        return "history";
    }
    if (list->count() == 0)
        return "history, empty";
    list->setCurrentRow(int(below(quint64(list->count()))));
    const QString entry = list->currentItem()->text();
    list->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(list, Qt::Key_Return);
    w.restored[eValueRow] = true;
    w.focus = nullptr;
    return "history entry " + entry;
}

// A popup as a user works it: keys on the closed popup open its list, which
// closes again with nothing chosen; often an item is walked to and taken.
QString RandomUseTest::choose(QComboBox* popup)
{
    static const Qt::Key keys[]
        = { Qt::Key_Up, Qt::Key_Down, Qt::Key_Home, Qt::Key_End, Qt::Key_PageUp, Qt::Key_PageDown };
    if (popup->objectName() == QLatin1String("bitWidthPopup") && below(3) == 0) {
        const QString before = popup->currentText();
        popup->setFocus(Qt::TabFocusReason);
        QTest::keyClick(popup, keys[below(std::size(keys))]);
        QWidget* list = QApplication::activePopupWidget();
        if (!list) {
            problem = "an arrow key did not open the width popup's list";
            return popup->objectName();
        }
        QTest::keyClick(list, Qt::Key_Escape);
        if (popup->currentText() != before)
            problem = "the width popup chose " + popup->currentText() + " by an arrow key";
        return popup->objectName() + " opened and closed by key";
    }
    problem = ChooseFromList(popup, int(below(quint64(popup->count()))));
    return popup->objectName() + " from its list: " + popup->currentText();
}

QString RandomUseTest::appearance(const Window& w)
{
    QStringList shown = { w.width->currentText(), w.operation->currentText(),
        QString::number(w.disclosure->isChecked()) };
    for (const Row& row : w.rows) {
        for (const QLineEdit* field : row.fields)
            shown << field->text();
        shown << row.magnitudes[0]->text() << row.magnitudes[1]->text()
              << QString::number(row.signedBox->isChecked() * 4 + row.big->isChecked() * 2
                     + row.little->isChecked())
              << QString::number(row.grid->bits(), 16);
    }
    for (const QAbstractButton* flag : w.flags)
        shown << QString::number(flag->isChecked());
    return shown.join('|');
}

// The Value row always, the Operand and Result rows while the math area is
// open; while it is closed their fields must not change.
QString RandomUseTest::check(Window& w)
{
    const int width = w.width->currentText().section(' ', 0, 0).toInt();
    if (width != 8 && width != 16 && width != 32 && width != 64)
        return "the width popup shows " + w.width->currentText();
    const bool open = w.disclosure->isChecked();
    if (w.mathBox->isVisible() != open)
        return "the math area's visibility does not follow its button";
    std::array<UInt64, 3> bits {};
    for (int r = eValueRow; r <= (open ? eOperandRow : eValueRow); ++r)
        if (QString wrong = checkRow(w, r, width, bits[r]); !wrong.isEmpty())
            return wrong;

    // Hidden, their grids may follow a width chosen meanwhile; the fields
    // and flags are rewritten when the area opens.
    QStringList mathTexts;
    for (int r : { eOperandRow, eResultRow })
        for (const QLineEdit* field : w.rows[r].fields)
            mathTexts << field->text();
    for (const QAbstractButton* flag : w.flags)
        mathTexts << QString::number(flag->isChecked());
    if (!open) {
        if (w.closedTexts.isEmpty())
            w.closedTexts = mathTexts;
        return w.closedTexts == mathTexts ? QString()
                                          : "the closed math area changed: " + mathTexts.join('|');
    }
    w.closedTexts.clear();
    // The Result row stores the whole 64-bit result and shows it at the width.
    const auto operation
        = std::find_if(std::begin(kOperations), std::end(kOperations), [&w](const auto& item) {
              return item.first == w.operation->currentText().section(QStringLiteral("  "), 0, 0);
          });
    if (operation == std::end(kOperations))
        return "the operation popup shows " + w.operation->currentText();
    bits[eResultRow] = operation->second(bits[eValueRow], bits[eOperandRow], width);
    // The flags are the engine's own reading of the result.
    const MathResult result = Combine(MathOperation(operation - std::begin(kOperations)),
        bits[eValueRow], bits[eOperandRow], UInt16(width));
    for (int flag = 0; flag < eMathFlagCount; ++flag)
        if (w.flags[flag]->isChecked() != result.Has(MathFlag(flag)))
            return QString("%1 is %2 after %3")
                .arg(kFlagNames[flag], w.flags[flag]->isChecked() ? "set" : "clear",
                    operation->first);
    return checkRow(w, eResultRow, width, bits[eResultRow]);
}

QString RandomUseTest::checkRow(const Window& w, int r, int width, UInt64& bits) const
{
    const Row& row = w.rows[r];
    if (row.big->isChecked() == row.little->isChecked())
        return QString("%1 row: both or neither byte order checked").arg(kRowNames[r]);
    const Endian endian = row.big->isChecked() ? eBigEndian : eLittleEndian;
    const bool isSigned = row.signedBox->isChecked();
    const auto typedHere = [&](int n) {
        return r != eResultRow
            && (w.restored[r]
                || (w.typedField[r] == row.fields[n] && row.fields[n]->text() == w.typedText[r]));
    };
    if (r != eResultRow) {
        // The row's number as its grid shows it: every other field is
        // checked against it.
        bits = row.grid->bits();
    }
    const BaseConverter number = Number(bits, width, isSigned);
    // The IP address and version fields show 32 bits whatever the width: a
    // negative number's sign extension shows there, and stays after its box
    // is cleared, which rewrites only the decimal field.
    const bool negative = (bits >> (width - 1)) & 1;
    const BaseConverter extended = Number(bits | (negative ? ~Mask(width) : 0), width, isSigned);

    for (int n = 0; n < eNotationCount; ++n) {
        const auto notation = Notation(n);
        const bool low32 = notation == eNotationIPAddress || notation == eNotationNumVersion;
        const QString text = row.fields[n]->text();
        const QString name = row.fields[n]->objectName();
        const QString expected = Written(number, notation, endian);
        const bool rewritten = text == expected
            || (low32 && r != eResultRow && text == Written(extended, notation, endian));
        if (typedHere(n) && (!rewritten || w.typedNow == row.fields[n])) {
            // Typed text stays as typed and must read as the row's number;
            // a calculation that is not whole leaves the row as it was.
            std::optional<BaseConverter> calculated;
            if (!Calculated(text, notation, width, isSigned, endian, calculated))
                continue;
            const BaseConverter typed
                = calculated ? *calculated : Read(text, notation, width, isSigned, endian);
            if (((typed.GetValue(eBigEndian) ^ bits) & (low32 ? 0xFFFFFFFF : ~UInt64(0)))
                || (notation == eNotationDecimal && typed.IsSigned() != isSigned))
                return QString("%1 holds typed \"%2\", which does not read as %3 %4")
                    .arg(name, text, isSigned ? "signed" : "unsigned",
                        Written(number, eNotationHexadecimal, eBigEndian));
        } else if (!rewritten) {
            return QString("%1 shows \"%2\", expected \"%3\"").arg(name, text, expected);
        }
    }
    if (row.grid->bits() != (bits & Mask(width)) || row.grid->bitWidth() != width
        || row.grid->isSigned() != isSigned)
        return QString("%1 shows %2 at %3 bits%4, the row %5")
            .arg(row.grid->objectName())
            .arg(row.grid->bits(), 0, 16)
            .arg(row.grid->bitWidth())
            .arg(row.grid->isSigned() ? " signed" : "")
            .arg(Written(number, eNotationHexadecimal, eBigEndian));
    for (int metric = 0; metric < 2; ++metric) {
        char expected[kMagnitudeSize];
        FormatMagnitude(number, endian, metric, expected, sizeof expected);
        if (row.magnitudes[metric]->text() != QLatin1String(expected))
            return QString("%1 shows \"%2\", expected \"%3\"")
                .arg(row.magnitudes[metric]->objectName(), row.magnitudes[metric]->text(),
                    QLatin1String(expected));
    }
    return {};
}

void RandomUseTest::randomUse()
{
    bool given = false;
    const quint64 seedGiven = qEnvironmentVariable("BITLENS_RANDOM_SEED").toULongLong(&given);
    const quint64 seed = given ? seedGiven : 20240607;
    const int countGiven = qEnvironmentVariableIntValue("BITLENS_RANDOM_ACTIONS", &given);
    const int count = given ? countGiven : 3000;
    qInfo("BITLENS_RANDOM_SEED=%llu BITLENS_RANDOM_ACTIONS=%d", seed, count);
    random.seed(seed);

    windows.clear();
    adopt(view);
    std::deque<QString> log;
    for (int i = 0; i < count; ++i) {
        const std::size_t acted = below(windows.size());
        const QPointer<ConverterView> actedView = windows[acted].view;
        const Action* action = nullptr;
        while (!action || (action->kind == eOperation && !windows[acted].disclosure->isChecked()))
            action = &weighted(kActions);
        std::vector<std::pair<QPointer<ConverterView>, QString>> others;
        for (Window& w : windows) {
            w.typedNow = nullptr;
            if (w.view != actedView)
                others.emplace_back(w.view, appearance(w));
        }

        problem.clear();
        log.push_back(
            QString("#%1 window %2: %3").arg(i).arg(acted).arg(act(windows[acted], *action)));
        if (log.size() > 30)
            log.pop_front();
        windows.erase(std::remove_if(windows.begin(), windows.end(),
                          [](const Window& w) { return w.view.isNull(); }),
            windows.end());
        for (Window& w : windows) {
            const auto before = std::find_if(others.begin(), others.end(),
                [&w](const auto& other) { return other.first == w.view; });
            if (problem.isEmpty() && before != others.end() && before->second != appearance(w))
                problem = "a window that was not acted on changed: " + appearance(w);
            if (problem.isEmpty())
                problem = check(w);
        }
        if (!problem.isEmpty()) {
            const QString tail = QStringList(log.begin(), log.end()).join("\n  ");
            QFAIL(qPrintable(QString("seed %1, action #%2: ").arg(seed).arg(i) + problem
                + "\nlast actions:\n  " + tail
                + QString("\nagain: BITLENS_RANDOM_SEED=%1 BITLENS_RANDOM_ACTIONS=%2")
                      .arg(seed)
                      .arg(i + 1)));
        }
    }
}

QTEST_MAIN(RandomUseTest)
#include "RandomUseTest.moc"
