// Seeded random use. Thousands of actions on a document through its verbs,
// each followed by a check against the engine alone: every field re-read and
// re-written through the notations, the Result row recomputed, its flags, the
// magnitudes re-formatted. A third as many on real windows through keys and
// the mouse: the window acted on must show exactly what its document holds,
// every other window what it showed, and an undo followed by a redo what was
// shown. BITLENS_RANDOM_SEED and BITLENS_RANDOM_ACTIONS choose the run; a
// failure names the seed, the action and what led to it.
#include "WindowTestSupport.h"
#include "window/BitGrid.h"
#include "window/FieldString.h"

#include "engine/Expression.h"
#include "engine/Magnitude.h"
#include "engine/MathOperation.h"
#include "engine/Notation.h"
#include "engine/WideNotation.h"
#include "model/FieldBytes.h"
#include "model/History.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextBoundaryFinder>
#include <QToolButton>

#include <array>
#include <deque>
#include <functional>
#include <optional>
#include <random>

namespace {

// A grid's bits, all 128 of them.
QString WideHex(UInt128 bits)
{
    return QString::number(HighHalf(bits), 16) + u':' + QString::number(LowHalf(bits), 16);
}

enum RowIndex { eValueRow, eOperandRow, eResultRow };
const char* const kRowNames[] = { "current", "operand", "result" };
const char* const kSignedBoxes[] = { "signedValueBox", "signedOperandBox", "signedResultBox" };
const char* const kFlagNames[] = { "resultZeroFlag", "resultSignFlag", "resultCarryFlag",
    "resultOverflowFlag", "resultDivideByZeroFlag" };
const char* const kNotationNames[] = { "Binary", "Decimal", "Hexadecimal", "Octal", "Quixadecimal",
    "Text", "IPAddress", "NumVersion", "Float", "Uuid" };
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

UInt128 Mask(int width)
{
    return WideMask(unsigned(width));
}

// The operation popup's items, in order. What each makes of the rows is the
// engine's, checked against a reference of its own in MathOperationTest.
const QString kOperations[] = { "AND", "OR", "XOR", "add", "subtract", "multiply", "divide",
    "remainder", "shift right", "shift left", "NOT", "NAND", "NOR", "XNOR", "rotate left",
    "rotate right", "arithmetic shift right", "signed divide", "signed remainder", "negate" };

WideConverter Number(UInt128 bits, int width, bool isSigned)
{
    WideConverter number {};
    number.SetBitWidth(UInt16(width));
    number.SetSigned(isSigned);
    number.SetUnsignedDec(bits, eBigEndian);
    return number;
}

WideConverter Read(
    const std::string& text, Notation notation, int width, bool isSigned, Endian endian)
{
    char bytes[kFieldTextBufferSize];
    FieldTextToBytes(text, bytes);
    WideConverter number = Number(0, width, isSigned);
    ReadNotation(number, notation, bytes, endian);
    return number;
}

std::string Written(const WideConverter& number, Notation notation, Endian endian)
{
    char text[kWideFieldBufferSize];
    WriteNotation(number, notation, endian, text);
    std::string shown;
    FieldTextFromBytes(text, shown);
    return shown;
}

// Whether `text` typed into the field reads a number, and where it is a
// calculation, the number it reads as the engine evaluates it: a negative
// result in the decimal field as its decimal would, elsewhere as the bits.
bool Calculated(const std::string& text, Notation notation, int width, bool isSigned, Endian endian,
    std::optional<WideConverter>& calculated)
{
    char bytes[kFieldTextBufferSize];
    FieldTextToBytes(text, bytes);
    if (!IsExpression(bytes, notation))
        return true;
    const WideExpressionResult result
        = EvaluateWideExpression(bytes, notation, isSigned, UInt16(width));
    if (result.status != eExpressionEvaluated && result.status != eExpressionTooBig)
        return false;
    if (notation == eNotationDecimal) {
        const bool minus = result.negative && SInt128(result.value) < 0;
        char digits[WideConverter::kDecSize];
        *PutUnsigned128(digits, minus ? 0 - result.value : result.value) = '\0';
        calculated = Read(
            (minus ? "-" : "") + std::string(digits), eNotationDecimal, width, isSigned, endian);
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

// What a line edit holds after one keystroke at `cursor`, with `selection`
// characters from `selected` chosen, by Qt's own editing rules, cut to the
// 159 characters a field holds (never inside a character).
QString Edited(
    QString text, int cursor, int selected, int selection, Kind edit, const QString& inserted)
{
    if (edit == eMove)
        return text;
    if (selection > 0) {
        text.remove(selected, selection);
        cursor = selected;
    }
    if (edit == eInsert) {
        text.insert(cursor, inserted);
        if (text.size() > kFieldCharacterLimit)
            text.truncate(text[kFieldCharacterLimit - 1].isHighSurrogate()
                        && text[kFieldCharacterLimit].isLowSurrogate()
                    ? kFieldCharacterLimit - 1
                    : kFieldCharacterLimit);
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

FieldType TypeOf(int row)
{
    return FieldType(eFieldTypeValue + row);
}

// Which fields of a document may hold a text as typed rather than as the
// number is written: the field each typed row was last typed in, while it
// holds that text, and since an undo or an entry brought back, any field of
// the row until it is typed into again.
struct Typed {
    std::array<int, 2> notation { -1, -1 };
    std::array<std::string, 2> text;
    std::array<bool, 2> restored {};
    int now = -1; // row * eNotationCount + notation, typed in by the action at hand
    QStringList closed; // what the math area holds while it is closed

    void into(int row, int typed, std::string held)
    {
        notation[row] = typed;
        text[row] = std::move(held);
        restored[row] = false;
        now = row * eNotationCount + typed;
    }
};

// The row's fields against its number `bits`, its grid and magnitudes.
QString CheckRow(const ConverterModel& m, int r, UInt128 bits, const Typed& t)
{
    const FieldType type = TypeOf(r);
    const int width = m.width();
    const Endian endian = m.endian(type);
    const bool isSigned = m.isSigned(type);
    const WideConverter number = Number(bits, width, isSigned);
    // The IP address and version fields show 32 bits whatever the width: a
    // negative number's sign extension shows there, and stays after its box
    // is cleared, which rewrites only the decimal field.
    const bool negative = (bits >> (width - 1)) & 1;
    const WideConverter extended = Number(bits | (negative ? ~Mask(width) : 0), width, isSigned);
    for (int n = 0; n < eNotationCount; ++n) {
        const auto notation = Notation(n);
        const bool low32 = notation == eNotationIPAddress || notation == eNotationNumVersion;
        const std::string& text = m.text(type, notation);
        const QString name = QString(kRowNames[r]) + kNotationNames[n];
        const std::string expected = Written(number, notation, endian);
        const bool rewritten = text == expected
            || (low32 && r != eResultRow && text == Written(extended, notation, endian));
        const bool typedHere
            = r != eResultRow && (t.restored[r] || (t.notation[r] == n && text == t.text[r]));
        if (typedHere && (!rewritten || t.now == r * eNotationCount + n)) {
            // Typed text stays as typed and must read as the row's number;
            // a calculation that is not whole leaves the row as it was.
            std::optional<WideConverter> calculated;
            if (!Calculated(text, notation, width, isSigned, endian, calculated))
                continue;
            const WideConverter typed
                = calculated ? *calculated : Read(text, notation, width, isSigned, endian);
            if (((typed.GetValue(eBigEndian) ^ bits) & (low32 ? 0xFFFFFFFF : kUInt128Max))
                || (notation == eNotationDecimal && typed.IsSigned() != isSigned))
                return QString("%1 holds typed \"%2\", which does not read as %3 %4")
                    .arg(name, FieldString(text), isSigned ? "signed" : "unsigned",
                        QString::fromStdString(Written(number, eNotationHexadecimal, eBigEndian)));
        } else if (!rewritten) {
            return QString("%1 shows \"%2\", expected \"%3\"")
                .arg(name, FieldString(text), FieldString(expected));
        }
    }
    if (m.wideBits(type) != (bits & Mask(width)))
        return QString("the %1 row's bits are %2, expected %3")
            .arg(kRowNames[r])
            .arg(QString::fromStdString(Written(m.number(type), eNotationHexadecimal, eBigEndian)))
            .arg(QString::fromStdString(Written(number, eNotationHexadecimal, eBigEndian)));
    for (int metric = 0; metric < 2; ++metric) {
        char expected[kWideMagnitudeSize];
        FormatMagnitude(number, endian, metric, expected, sizeof expected);
        if (m.magnitude(type, metric) != expected)
            return QString("the %1 row's magnitude is \"%2\", expected \"%3\"")
                .arg(kRowNames[r], QString::fromStdString(m.magnitude(type, metric)), expected);
    }
    return {};
}

// The Value row always, the Operand and Result rows while the math area is
// open; while it is closed they must not change.
QString CheckDocument(const ConverterModel& m, Typed& t)
{
    const int width = m.width();
    if (width != 8 && width != 16 && width != 32 && width != 64 && width != 128)
        return QString("the width is %1").arg(width);
    const bool open = m.mathEnabled();
    std::array<UInt128, 3> bits { m.wideBits(eFieldTypeValue), m.wideBits(eFieldTypeOperand) };
    for (int r = eValueRow; r <= (open ? eOperandRow : eValueRow); ++r)
        if (QString wrong = CheckRow(m, r, bits[r], t); !wrong.isEmpty())
            return wrong;
    QStringList mathTexts;
    for (int r : { eOperandRow, eResultRow })
        for (int n = 0; n < eNotationCount; ++n)
            mathTexts << FieldString(m.text(TypeOf(r), Notation(n)));
    for (int flag = 0; flag < eMathFlagCount; ++flag)
        mathTexts << QString::number(m.flag(MathFlag(flag)));
    if (!open) {
        if (t.closed.isEmpty())
            t.closed = mathTexts;
        return t.closed == mathTexts ? QString()
                                     : "the closed math area changed: " + mathTexts.join('|');
    }
    t.closed.clear();
    if (m.operation() < 0 || m.operation() >= eMathOperationCount)
        return QString("the operation is %1").arg(m.operation());
    // The Result row stores the whole 64-bit result and shows it at the
    // width; its flags are the engine's own reading of the result.
    const WideMathResult result
        = CombineWide(m.operation(), bits[eValueRow], bits[eOperandRow], UInt16(width));
    bits[eResultRow] = result.value;
    for (int flag = 0; flag < eMathFlagCount; ++flag)
        if (m.flag(MathFlag(flag)) != result.Has(MathFlag(flag)))
            return QString("%1 is %2 after %3")
                .arg(kFlagNames[flag], m.flag(MathFlag(flag)) ? "set" : "clear",
                    kOperations[m.operation()]);
    return CheckRow(m, eResultRow, bits[eResultRow], t);
}

QString FieldName(int r, int n)
{
    return kRowNames[r]
        + QString(r == eValueRow && n == eNotationIPAddress ? "IpAddress" : kNotationNames[n]);
}

// What a window shows, item by item, each beside what it should show of its
// document in the same words.
std::vector<std::pair<QString, QString>> Items(ConverterView* view)
{
    const ConverterModel& m = view->model();
    const auto on = [view](const QString& name) {
        return QString::number(FindChild<QAbstractButton>(view, name)->isChecked());
    };
    const bool known = m.operation() >= 0 && m.operation() < eMathOperationCount;
    std::vector<std::pair<QString, QString>> items
        = { { FindChild<QComboBox>(view, "bitWidthPopup")->currentText().section(' ', 0, 0),
                QString::number(m.width()) },
              { FindChild<QComboBox>(view, "mathOperation")->currentText().section("  ", 0, 0),
                  known ? kOperations[m.operation()] : QString() },
              { "math area " + on("mathDisclosure")
                      + QString::number(FindChild<QGroupBox>(view, "expandedBox")->isVisible()),
                  QString("math area %1%1").arg(m.mathEnabled()) } };
    const QString grid = "%1 signed, big, little: %2%3%4, grid %5 at %6 bits, %7";
    for (int r = eValueRow; r <= eResultRow; ++r) {
        const QString row = kRowNames[r];
        const FieldType type = TypeOf(r);
        for (int n = 0; n < eNotationCount; ++n)
            items.emplace_back(
                FieldName(r, n) + ": " + FindChild<QLineEdit>(view, FieldName(r, n))->text(),
                FieldName(r, n) + ": " + FieldString(m.text(type, Notation(n))));
        for (const bool metric : { false, true }) {
            const QString name = row + (metric ? "MetricMagnitude: " : "BinaryMagnitude: ");
            items.emplace_back(name + FindChild<QLabel>(view, name.chopped(2))->text(),
                name + QString::fromStdString(m.magnitude(type, metric)));
        }
        const auto* bits = FindChild<BitGrid>(view, row + "BitGrid");
        items.emplace_back(grid.arg(row, on(kSignedBoxes[r]), on(row + "BigEndianRadio"),
                                   on(row + "LittleEndianRadio"))
                               .arg(WideHex(bits->wideBits()))
                               .arg(bits->bitWidth())
                               .arg(bits->isSigned()),
            grid.arg(row)
                .arg(m.isSigned(type))
                .arg(m.endian(type) == eBigEndian)
                .arg(m.endian(type) == eLittleEndian)
                .arg(WideHex(m.wideBits(type)))
                .arg(m.width())
                .arg(m.isSigned(type)));
    }
    for (int flag = 0; flag < eMathFlagCount; ++flag)
        items.emplace_back(kFlagNames[flag] + (": " + on(kFlagNames[flag])),
            kFlagNames[flag] + QString(": %1").arg(m.flag(MathFlag(flag))));
    return items;
}

QStringList Shown(ConverterView* view)
{
    QStringList shown;
    for (const auto& item : Items(view))
        shown << item.first;
    return shown;
}

// The first item a window shows otherwise than its document holds.
QString Difference(ConverterView* view)
{
    for (const auto& [shown, held] : Items(view))
        if (shown != held)
            return QString("the window shows \"%1\", its document \"%2\"").arg(shown, held);
    return {};
}

// A text for the log: the first 40 units, control characters replaced.
QString Printable(const QString& text)
{
    QString shown = text.left(40);
    for (QChar& c : shown)
        if (!c.isPrint())
            c = QChar(0xFFFD);
    return shown;
}

struct Window {
    QPointer<ConverterView> view;
    int focus = -1; // row * eNotationCount + notation: the field typed in last
};

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
    void documentUse();
    void windowUse();

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
    QString typed(const Action& action, Kind& edit);
    int pickField(int& focus, bool open);
    void drive(
        int share, const std::function<QString(int)>& act, const std::function<QString()>& check);
    QString onDocument(const Action& action);
    QString onWindow(Window& w, const Action& action);
    QString keystroke(Window& w, const Action& action);
    QString gridAction(Window& w, const Action& action);
    QString undo(Window& w);
    QString recall(Window& w);
    QString choose(QComboBox* popup);

    std::mt19937_64 random;
    QString problem; // set by an action whose own outcome was wrong
    ConverterModel document;
    Typed documentTyped;
    History history;
    int documentFocus = -1;
    std::vector<Window> windows;
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

// The field typed in last, or now and then another one: the row times the
// notation count plus the notation.
int RandomUseTest::pickField(int& focus, bool open)
{
    if (focus < 0 || (!open && focus >= eNotationCount) || below(8) == 0)
        focus = int(below(open ? 2 : 1)) * eNotationCount + int(below(eNotationCount));
    return focus;
}

// BITLENS_RANDOM_ACTIONS divided by `share` actions, `act` taking the
// action's number; after each, the action's own outcome and `check`. The
// first problem fails the run.
void RandomUseTest::drive(
    int share, const std::function<QString(int)>& act, const std::function<QString()>& check)
{
    bool given = false;
    const quint64 seedGiven = qEnvironmentVariable("BITLENS_RANDOM_SEED").toULongLong(&given);
    const quint64 seed = given ? seedGiven : 20240607;
    const int countGiven = qEnvironmentVariableIntValue("BITLENS_RANDOM_ACTIONS", &given);
    const int count = (given ? countGiven : 3000) / share;
    qInfo("BITLENS_RANDOM_SEED=%llu BITLENS_RANDOM_ACTIONS=%d", seed, count * share);
    random.seed(seed);
    std::deque<QString> log;
    for (int i = 0; i < count; ++i) {
        problem.clear();
        log.push_back(QString("#%1 %2").arg(i).arg(act(i)));
        if (log.size() > 30)
            log.pop_front();
        if (problem.isEmpty())
            problem = check();
        if (!problem.isEmpty()) {
            const QString tail = QStringList(log.begin(), log.end()).join("\n  ");
            QFAIL(qPrintable(QString("seed %1, action #%2: ").arg(seed).arg(i) + problem
                + "\nlast actions:\n  " + tail
                + QString("\nagain: BITLENS_RANDOM_SEED=%1 BITLENS_RANDOM_ACTIONS=%2 %3 %4")
                      .arg(seed)
                      .arg((i + 1) * share)
                      .arg(QCoreApplication::applicationFilePath(), QTest::currentTestFunction())));
        }
    }
}

void RandomUseTest::documentUse()
{
    drive(
        1,
        [this](int) {
            documentTyped.now = -1;
            return onDocument(weighted(kActions));
        },
        [this] { return CheckDocument(document, documentTyped); });
}

// The same kinds of action on a document through its verbs, as the window's
// controls call them. That an undo and its redo show again what was shown is
// the model's own test (UndoRestoresExactlyWhatEachRandomStepChanged).
QString RandomUseTest::onDocument(const Action& action)
{
    ConverterModel& m = document;
    Typed& t = documentTyped;
    const bool open = m.mathEnabled();
    const int r = int(below(open ? 3 : 1));
    const FieldType row = TypeOf(r), typedRow = TypeOf(int(below(open ? 2 : 1)));
    const QString on = QString(" on the %1 row").arg(kRowNames[r]);
    // A grid shows every bit, 128 at 128 bits.
    const int gridBits = m.width();
    const int bit = int(below(gridBits)), to = int(below(gridBits));
    switch (action.kind) {
    case eWidth: m.chooseWidth(UInt16(8 << below(4))); return QString("width %1").arg(m.width());
    case eOperation: // the popup takes a choice only while the math area is open
        if (open)
            m.chooseOperation(MathOperation(below(eMathOperationCount)));
        return "operation " + kOperations[m.operation()];
    case eCheck:
        if (below(3) == 0)
            return m.setSigned(row, !m.isSigned(row)), "signed box" + on;
        return m.endianSwitched(row, Endian(below(2))), "byte order" + on;
    case eButton:
        if (below(3) == 0)
            return m.swapEndian(typedRow), "swap";
        return m.shift(typedRow, ShiftDir(below(2))), "shift";
    case eGridClick:
    case eGridKey:
        m.setWideBits(row, m.wideBits(row) ^ (UInt128(1) << bit));
        return QString("bit %1 flipped").arg(bit) + on;
    case eGridDrag: {
        // Every bit passed takes the opposite of the first bit's value.
        const bool set = !((m.wideBits(row) >> bit) & 1);
        for (int at = bit;; at += to > bit ? 1 : -1) {
            const UInt128 one = UInt128(1) << at;
            m.setWideBits(row, set ? m.wideBits(row) | one : m.wideBits(row) & ~one, at != bit);
            if (at == to)
                break;
        }
        return QString("drag from bit %1 to %2").arg(bit).arg(to) + on;
    }
    case eMath: m.mathDisclosured(!open); return "math area opened or closed";
    case eUndo:
        t.restored = { true, true };
        return below(3) ? (m.undo(), "undo") : (m.redo(), "redo");
    case eRestore:
        if (history.empty())
            return "history, empty";
        t.restored[eValueRow] = true;
        documentFocus = -1;
        m.restoreEntry(history.entries()[below(history.size())]);
        return "history entry";
    case eWindow: return "no window";
    default: break;
    }
    const int focus = pickField(documentFocus, open);
    const FieldType type = TypeOf(focus / eNotationCount);
    const auto notation = Notation(focus % eNotationCount);
    const QString field = FieldName(focus / eNotationCount, notation);
    const QString before = FieldString(m.text(type, notation));
    QString expected = before;
    if (action.kind == eRecall) {
        if (m.recalls(type, notation, bit % 2))
            m.recall(type, notation, bit % 2, history);
        expected = FieldString(m.text(type, notation));
    } else if (action.key == Qt::Key_Return) {
        const ModelChanges changes = m.enter(type, notation, SInt64(history.size()));
        if (changes.historyEntered)
            history.add(*changes.historyEntered);
        return "enter in " + field;
    } else {
        // A caret anywhere between characters, now and then all selected.
        int cursor = int(below(quint64(before.size()) + 1));
        cursor -= cursor > 0 && cursor < before.size() && before[cursor].isLowSurrogate();
        const int selection = below(4) == 0 ? int(before.size()) : 0;
        Kind edit = action.kind;
        const QString inserted = typed(action, edit);
        expected = Edited(before, selection ? 0 : cursor, 0, selection, edit, inserted);
        if (expected != before)
            m.typeInto(type, notation, ModelText(expected));
    }
    if (expected != before)
        t.into(focus / eNotationCount, notation, ModelText(expected));
    if (FieldString(m.text(type, notation)) != expected)
        problem = QString("%1 holds \"%2\", typed \"%3\"")
                      .arg(field, FieldString(m.text(type, notation)), expected);
    return QString("%1 in %2: \"%3\"").arg(action.name, field, Printable(expected));
}

// Real windows, Ctrl+N and Ctrl+W among the actions: the one acted on must
// show what its document holds, and every other one what it showed. What
// the documents hold is checked in documentUse, action by action alike.
void RandomUseTest::windowUse()
{
    windows.assign(1, Window {});
    windows[0].view = view;
    drive(
        3,
        [this](int) {
            const std::size_t acted = below(windows.size());
            const Action* action = nullptr;
            while (!action
                || (action->kind == eOperation && !windows[acted].view->model().mathEnabled()))
                action = &weighted(kActions);
            std::vector<std::pair<QPointer<ConverterView>, QStringList>> others;
            for (Window& w : windows)
                if (&w != &windows[acted])
                    others.emplace_back(w.view, Shown(w.view));
            const QString done = onWindow(windows[acted], *action);
            for (const auto& [other, shown] : others)
                if (problem.isEmpty() && other && Shown(other) != shown)
                    problem = "a window that was not acted on changed: " + Shown(other).join('|');
            return QString("window %1: %2").arg(acted).arg(done);
        },
        [this] {
            windows.erase(std::remove_if(windows.begin(), windows.end(),
                              [](const Window& w) { return w.view.isNull(); }),
                windows.end());
            for (Window& w : windows)
                if (QString wrong = Difference(w.view); !wrong.isEmpty())
                    return wrong;
            return QString();
        });
}

QString RandomUseTest::onWindow(Window& w, const Action& action)
{
    const bool open = w.view->model().mathEnabled();
    const int r = open ? int(below(3)) : eValueRow;
    switch (action.kind) {
    default: return keystroke(w, action);
    case eWidth: return choose(FindChild<QComboBox>(w.view, "bitWidthPopup"));
    case eOperation: return choose(FindChild<QComboBox>(w.view, "mathOperation"));
    case eCheck: {
        // A click on the indicator, or the space bar.
        const QString names[] = { kSignedBoxes[r], kRowNames[r] + QString("BigEndianRadio"),
            kRowNames[r] + QString("LittleEndianRadio") };
        auto* button = FindChild<QAbstractButton>(w.view, names[below(3)]);
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
    // An entry brought back from the History panel is the document's
    // (documentUse) and the panel's (HistoryWindowTest).
    case eRecall:
    case eRestore: return recall(w);
    case eMath: {
        auto* disclosure = FindChild<QToolButton>(w.view, "mathDisclosure");
        QTest::mouseClick(disclosure, Qt::LeftButton);
        return disclosure->isChecked() ? "math area opened" : "math area closed";
    }
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
                    windows.emplace_back().view = opened;
            return QString("new window, now %1").arg(windows.size());
        }
        QTest::keyClick(w.view, Qt::Key_W, Qt::ControlModifier);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (w.view)
            problem = "Ctrl+W left the window open";
        return "window closed";
    }
}

// What a keystroke types, or a paste (put on the clipboard); a character
// Qt refuses types nothing.
QString RandomUseTest::typed(const Action& action, Kind& edit)
{
    QString text;
    if (action.key == Qt::Key_unknown) {
        text = randomText(1);
        edit = Acceptable(text) ? edit : eMove;
    } else if (action.key == Qt::Key_V) {
        text = randomText(below(3) ? 1 + int(below(24)) : 100 + int(below(500)));
        QApplication::clipboard()->setText(text);
    }
    return text;
}

// One key into the field typed in last, or now and then into another one
// the user clicks; the field must then show exactly the edit.
QString RandomUseTest::keystroke(Window& w, const Action& action)
{
    const int focus = w.focus;
    const int at = pickField(w.focus, w.view->model().mathEnabled());
    auto* field = FindChild<QLineEdit>(w.view, FieldName(at / eNotationCount, at % eNotationCount));
    if (at != focus || !field->hasFocus())
        QTest::mouseClick(field, Qt::LeftButton, Qt::NoModifier,
            QPoint(int(below(quint64(field->width()))), field->height() / 2));
    Kind edit = action.kind;
    const QString text = typed(action, edit);
    const QString before = field->text();
    const QString expected = Edited(before, field->cursorPosition(), field->selectionStart(),
        field->hasSelectedText() ? int(field->selectionLength()) : 0, edit, text);
    QTest::sendKeyEvent(QTest::Click, field, action.key,
        action.key == Qt::Key_unknown ? text : QString(), action.modifiers);
    if (field->text() != expected)
        problem
            = QString("the field typed in shows \"%1\", typed \"%2\"").arg(field->text(), expected);
    return QString("%1 in %2: \"%3\" (%4 units)")
        .arg(action.name, field->objectName(), Printable(text))
        .arg(text.size());
}

// A click on a bit, a drag across bits, or a key with the grid focused, on
// any grid in sight. What each gesture makes of the bits is the grid's own
// (BitGridTest); that the document took it, the window's.
QString RandomUseTest::gridAction(Window& w, const Action& action)
{
    const int r = w.view->model().mathEnabled() ? int(below(3)) : eValueRow;
    auto* grid = FindChild<BitGrid>(w.view, kRowNames[r] + QString("BitGrid"));
    const int from = int(below(quint64(grid->bitWidth())));
    const int to = int(below(quint64(grid->bitWidth())));
    if (action.kind == eGridKey) {
        static const Qt::Key keys[] = { Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down,
            Qt::Key_Home, Qt::Key_End, Qt::Key_Space, Qt::Key_0, Qt::Key_1 };
        const Qt::Key key = keys[below(std::size(keys))];
        grid->setFocus(Qt::TabFocusReason);
        QTest::keyClick(grid, key);
        return grid->objectName() + " key " + QKeySequence(key).toString();
    }
    if (action.kind == eGridClick) {
        QTest::mouseClick(grid, Qt::LeftButton, Qt::NoModifier, BitCentre(grid, from));
        return grid->objectName() + QString(" click on bit %1").arg(from);
    }
    QTest::mousePress(grid, Qt::LeftButton, Qt::NoModifier, BitCentre(grid, from));
    // Now and then a jump, as a fast hand makes, rather than every bit.
    const int step = below(3) == 0 ? std::max(1, std::abs(to - from)) : 1;
    for (int bit = from; bit != to;) {
        bit = to > bit ? std::min(to, bit + step) : std::max(to, bit - step);
        QTest::mouseMove(grid, BitCentre(grid, bit));
    }
    QTest::mouseRelease(grid, Qt::LeftButton, Qt::NoModifier, BitCentre(grid, to));
    return grid->objectName() + QString(" drag from bit %1 to %2").arg(from).arg(to);
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
    const QStringList shown = Shown(w.view);
    const bool couldUndo = w.view->model().canUndo();
    QTest::keyClick(focus, Qt::Key_Z, Qt::ControlModifier);
    if (below(3) != 0)
        return "undo in " + focus->objectName();
    QTest::keyClick(focus, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    if (couldUndo && Shown(w.view) != shown)
        problem = "undo and redo did not show again what was shown: " + Shown(w.view).join('|');
    return "undo and redo in " + focus->objectName();
}

// Up or Down in the field typed in last: a text recalled is typed, and the
// row reads it as such.
QString RandomUseTest::recall(Window& w)
{
    const int at = pickField(w.focus, w.view->model().mathEnabled());
    auto* field = FindChild<QLineEdit>(w.view, FieldName(at / eNotationCount, at % eNotationCount));
    field->setFocus(Qt::OtherFocusReason);
    const bool up = below(3) != 0;
    const QString before = field->text();
    QTest::keyClick(field, up ? Qt::Key_Up : Qt::Key_Down);
    return QString("%1 in %2: \"%3\"").arg(up ? "up" : "down", field->objectName(), field->text());
}

// A popup's list opened from the keyboard, an item walked to and taken.
QString RandomUseTest::choose(QComboBox* popup)
{
    problem = ChooseFromList(popup, int(below(quint64(popup->count()))));
    return popup->objectName() + " from its list: " + popup->currentText();
}

QTEST_MAIN(RandomUseTest)
#include "RandomUseTest.moc"
