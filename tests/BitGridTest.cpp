// The bit grid as its user meets it: mouse presses, moves and releases at
// the cells that its accessible children say are there, and key presses; a
// screen reader or a test robot finds the bits the same way.
#include "window/BitGrid.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QFontDatabase>
#include <QLineEdit>
#include <QMenu>
#include <QPaintEvent>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <memory>

using Bits = QList<qulonglong>;

namespace {

// Remembers what it was asked to paint.
class RecordingGrid : public BitGrid {
public:
    QRegion painted;
    int paints = 0;

protected:
    void paintEvent(QPaintEvent* event) override
    {
        painted += event->region();
        ++paints;
        BitGrid::paintEvent(event);
    }
};

} // namespace

class BitGridTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void clickTogglesOneBit_data();
    void clickTogglesOneBit();
    void dragGivesPassedBitsTheFirstBitsValue_data();
    void dragGivesPassedBitsTheFirstBitsValue();
    void dragOffTheCellsReachesTheLineEnd();
    void clicksOutsideCellsChangeNothing();
    void cursorMoves_data();
    void cursorMoves();
    void typingWritesAPattern_data();
    void typingWritesAPattern();
    void keysItDoesNotUseGoOn();
    void readOnlyGridRefusesEveryChange();
    void accessibleTree_data();
    void accessibleTree();
    void childrenFollowTheWidth();
    void tooltips_data();
    void tooltips();
    void repaintsOnlyChangedCells();
    void cellsGrowWithTheWidth_data();
    void cellsGrowWithTheWidth();
    void cellsReadAtAGlance_data();
    void cellsReadAtAGlance();
    void selectsARunWithShift_data();
    void selectsARunWithShift();
    void namesTheSelectedBitsFromTheMenu_data();
    void namesTheSelectedBitsFromTheMenu();
    void showsFieldsAsStackedBands();
    void bandsTellTheFieldAndItsValue();
    void fieldColoursSuitLightAndDarkPalettes();

private:
    QAccessibleInterface* bitChild(int bit) const;
    QPoint centreOf(int bit) const;
    void press(int bit);
    void moveTo(int bit);
    void release();
    void typeKeys(const QString& keys);
    Bits edits() const;
    // setBits, then the layout pass that a new height asks for.
    void showBits(UInt128 bits, int width, bool isSigned);
    QList<UInt128> wideEdits() const;

    std::unique_ptr<QWidget> window;
    QLineEdit* before = nullptr;
    RecordingGrid* grid = nullptr;
    QLineEdit* after = nullptr;
    std::unique_ptr<QSignalSpy> edited;
};

void BitGridTest::init()
{
    window = std::make_unique<QWidget>();
    auto* layout = new QVBoxLayout(window.get());
    layout->addWidget(before = new QLineEdit);
    layout->addWidget(grid = new RecordingGrid);
    layout->addWidget(after = new QLineEdit);
    grid->setRowName("Value");
    edited = std::make_unique<QSignalSpy>(grid, &BitGrid::bitsEdited);
    window->show();
    QApplication::setActiveWindow(window.get());
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    grid->setFocus(Qt::TabFocusReason);
}

void BitGridTest::cleanup()
{
    edited.reset();
    window.reset();
}

QAccessibleInterface* BitGridTest::bitChild(int bit) const
{
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(grid);
    for (int i = 0; i < iface->childCount(); ++i) {
        if (iface->child(i)->text(QAccessible::Name) == QString("bit %1").arg(bit))
            return iface->child(i);
    }
    qFatal("no accessible child named bit %d", bit);
}

QPoint BitGridTest::centreOf(int bit) const
{
    return grid->mapFromGlobal(bitChild(bit)->rect().center());
}

void BitGridTest::press(int bit)
{
    QTest::mousePress(grid, Qt::LeftButton, Qt::NoModifier, centreOf(bit));
}

void BitGridTest::moveTo(int bit)
{
    QTest::mouseMove(grid, centreOf(bit));
}

void BitGridTest::release()
{
    QTest::mouseRelease(grid, Qt::LeftButton, Qt::NoModifier, grid->mapFromGlobal(QCursor::pos()));
}

// Key names as QKeySequence spells them, separated by spaces.
void BitGridTest::typeKeys(const QString& keys)
{
    for (const QString& key : keys.split(' ', Qt::SkipEmptyParts)) {
        const QKeyCombination combination = QKeySequence(key)[0];
        QTest::keyClick(grid, combination.key(), combination.keyboardModifiers());
    }
}

Bits BitGridTest::edits() const
{
    Bits values;
    for (const QList<QVariant>& signal : *edited)
        values << LowHalf(signal.at(0).value<UInt128>());
    return values;
}

void BitGridTest::showBits(UInt128 bits, int width, bool isSigned)
{
    grid->setBits(bits, UInt16(width), isSigned);
    window->layout()->activate();
    QVERIFY(grid->height() >= grid->heightForWidth(grid->width()));
}

QList<UInt128> BitGridTest::wideEdits() const
{
    QList<UInt128> values;
    for (const QList<QVariant>& signal : *edited)
        values << signal.at(0).value<UInt128>();
    return values;
}

void BitGridTest::clickTogglesOneBit_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("bit");
    const UInt16 widths[] = { 8, 16, 32, 64, 128 };
    for (const int width : widths) {
        for (const int bit : { 0, 1, 5, width / 2, width - 1 })
            QTest::addRow("%d bits, bit %d", width, bit) << width << bit;
    }
    QTest::newRow("64 bits, bit 31, start of the low line") << 64 << 31;
    QTest::newRow("64 bits, bit 37") << 64 << 37;
    for (const int bit : { 31, 63, 95, 96, 100 })
        QTest::addRow("128 bits, bit %d", bit) << 128 << bit;
}

void BitGridTest::clickTogglesOneBit()
{
    QFETCH(int, width);
    QFETCH(int, bit);
    const UInt128 start
        = MakeUInt128(0xa5a5a5a5a5a5a5a5ull, 0x5a5a5a5a5a5a5a5aull) & WideMask(unsigned(width));
    showBits(start, width, false);
    const UInt128 toggled = start ^ (UInt128(1) << bit);

    QTest::mouseClick(grid, Qt::LeftButton, Qt::NoModifier, centreOf(bit));
    QVERIFY(grid->wideBits() == toggled);
    QCOMPARE(bitChild(bit)->state().checked, bool((toggled >> bit) & 1));
    QTest::mouseClick(grid, Qt::LeftButton, Qt::NoModifier, centreOf(bit));
    QVERIFY(grid->wideBits() == start);
    QVERIFY(wideEdits() == QList<UInt128>({ toggled, start }));
    QCOMPARE(grid->cursorBit(), bit);
}

void BitGridTest::dragGivesPassedBitsTheFirstBitsValue_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<qulonglong>("start");
    QTest::addColumn<QList<int>>("path");
    QTest::addColumn<Bits>("expected");
    QTest::addColumn<qulonglong>("high"); // the high 64 bits at the end

    QTest::newRow("setting across a byte boundary")
        << 16 << 0ull << QList<int> { 10, 9, 8, 7, 6 } << Bits { 0x400, 0x600, 0x700, 0x780, 0x7c0 }
        << 0ull;
    QTest::newRow("clearing, rightwards") << 8 << 0xffull << QList<int> { 7, 6, 5, 4, 3, 2 }
                                          << Bits { 0x7f, 0x3f, 0x1f, 0x0f, 0x07, 0x03 } << 0ull;
    QTest::newRow("back over passed bits keeps them")
        << 8 << 0ull << QList<int> { 4, 6, 2, 5, 4 } << Bits { 0x10, 0x70, 0x7c } << 0ull;
    QTest::newRow("a fast move sets the cells it skipped")
        << 32 << 0ull << QList<int> { 30, 3 } << Bits { 0x40000000, 0x7ffffff8 } << 0ull;
    QTest::newRow("only moves that change something are told")
        << 8 << 0x50ull << QList<int> { 7, 6, 5, 4, 3 } << Bits { 0xd0, 0xf0, 0xf8 } << 0ull;
    QTest::newRow("from the high line into the low")
        << 64 << 0ull << QList<int> { 33, 30 } << Bits { 1ull << 33, 0x3c0000000ull } << 0ull;
    QTest::newRow("from the low line up into the high")
        << 64 << ~0ull << QList<int> { 2, 40 } << Bits { ~4ull, ~0x1fffffffffcull } << 0ull;
    QTest::newRow("at 128, from the lowest line into the one above")
        << 128 << 0ull << QList<int> { 30, 33 } << Bits { 1ull << 30, 0x3c0000000ull } << 0ull;
    QTest::newRow("at 128, from the low half up into the high")
        << 128 << 0ull << QList<int> { 62, 65 } << Bits { 1ull << 62, 3ull << 62 } << 3ull;
    QTest::newRow("at 128, down from the top line")
        << 128 << 0ull << QList<int> { 127, 90 } << Bits { 0, 0 } << 0xfffffffffc000000ull;
}

void BitGridTest::dragGivesPassedBitsTheFirstBitsValue()
{
    QFETCH(int, width);
    QFETCH(qulonglong, start);
    QFETCH(QList<int>, path);
    QFETCH(Bits, expected);
    QFETCH(qulonglong, high);
    showBits(start, width, false);

    press(path.first());
    for (const int bit : path.mid(1))
        moveTo(bit);
    release();
    QCOMPARE(edits(), expected);
    QCOMPARE(grid->bits(), expected.last());
    QCOMPARE(HighHalf(grid->wideBits()), high);

    // A move after the release is no drag.
    moveTo(0);
    QCOMPARE(edits(), expected);
}

void BitGridTest::dragOffTheCellsReachesTheLineEnd()
{
    grid->setBits(0, 8, false);
    press(5);
    const int y = centreOf(5).y();
    QTest::mouseMove(grid, QPoint(grid->width() + 30, y));
    QTest::mouseMove(grid, QPoint(-30, y + 40));
    release();
    QCOMPARE(edits(), Bits({ 0x20, 0x3f, 0xff }));
}

void BitGridTest::clicksOutsideCellsChangeNothing()
{
    grid->setBits(0, 8, false);
    const QRect high = grid->cellRect(4);
    const QRect low = grid->cellRect(3);
    const QPoint outside[] = {
        QPoint((high.right() + low.left()) / 2, low.center().y()), // between nibbles
        QPoint(low.center().x(), low.bottom() + 3), // on a bit number
        QPoint(low.center().x(), grid->height() - 2), // the empty second line
        QPoint(grid->cellRect(7).left() - 10, low.center().y()), // left of the cells
    };
    for (const QPoint& point : outside) {
        QVERIFY2(grid->rect().contains(point),
            qPrintable(QString("%1,%2").arg(point.x()).arg(point.y())));
        QTest::mouseClick(grid, Qt::LeftButton, Qt::NoModifier, point);
    }
    QCOMPARE(grid->bits(), 0u);
    QCOMPARE(edits(), Bits());
}

void BitGridTest::cursorMoves_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<int>("cursor");
    QTest::newRow("starts at the most significant bit") << 32 << "" << 31;
    QTest::newRow("Left stops at the most significant bit") << 8 << "Left Right Left Left" << 7;
    QTest::newRow("Right stops at bit 0") << 8 << QString("Right ").repeated(9) << 0;
    QTest::newRow("End, Home") << 16 << "End Right Home Left" << 15;
    QTest::newRow("Right runs on into the low line") << 64 << "End Right" << 31;
    QTest::newRow("Left runs back into the high line") << 64 << "Ctrl+End Home Left" << 32;
    QTest::newRow("Home and End keep to the line") << 64 << "Ctrl+End Home" << 31;
    QTest::newRow("Ctrl+Home from the low line") << 64 << "Down Ctrl+Home" << 63;
    QTest::newRow("Down keeps the column") << 64 << "Right Right Down" << 29;
    QTest::newRow("Up from the low line") << 64 << "Ctrl+End Up" << 32;
    QTest::newRow("Up on the high line stays") << 64 << "Up" << 63;
    QTest::newRow("Down on the low line stays") << 64 << "Down Down" << 31;
    QTest::newRow("at 128, Down through four lines") << 128 << "Right Down Down Down Down" << 30;
    QTest::newRow("at 128, Up from the lowest line") << 128 << "Ctrl+End Up Up Up Up" << 96;
    QTest::newRow("at 128, Left runs up a line") << 128 << "Down Down Home Left" << 64;
    QTest::newRow("at 128, Ctrl+Home") << 128 << "Down Down Down Ctrl+Home" << 127;
}

void BitGridTest::cursorMoves()
{
    QFETCH(int, width);
    QFETCH(QString, keys);
    QFETCH(int, cursor);
    showBits(0, width, false);
    typeKeys(keys);
    QCOMPARE(grid->cursorBit(), cursor);
    QVERIFY(bitChild(cursor)->state().focused);
    QCOMPARE(edits(), Bits());

    // The cursor keeps its bit while that fits the width.
    grid->setBits(0, 8, false);
    QCOMPARE(grid->cursorBit(), qMin(cursor, 7));
}

void BitGridTest::typingWritesAPattern_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<Bits>("expected");
    QTest::addColumn<int>("cursor");
    QTest::newRow("a nibble from the top") << 8 << ""
                                           << "1010" << Bits { 0x80, 0xa0 } << 3;
    QTest::newRow("a whole byte") << 8 << ""
                                  << "10100101" << Bits { 0x80, 0xa0, 0xa4, 0xa5 } << 0;
    QTest::newRow("past bit 0 rewrites bit 0") << 8 << "End"
                                               << "101" << Bits { 1, 0, 1 } << 0;
    QTest::newRow("from the high line into the low")
        << 64 << "Ctrl+End Home Left Left"
        << "1111" << Bits { 1ull << 33, 3ull << 32, 7ull << 31, 15ull << 30 } << 29;
    QTest::newRow("Space toggles where the cursor is") << 16 << "Right Space"
                                                       << "" << Bits { 0x4000 } << 14;
    QTest::newRow("Space twice toggles back") << 16 << "Space Space"
                                              << "" << Bits { 0x8000, 0 } << 15;
}

void BitGridTest::typingWritesAPattern()
{
    QFETCH(int, width);
    QFETCH(QString, keys);
    QFETCH(QString, typed);
    QFETCH(Bits, expected);
    QFETCH(int, cursor);
    grid->setBits(0, UInt16(width), false);
    typeKeys(keys);
    QTest::keyClicks(grid, typed);
    QCOMPARE(edits(), expected);
    QCOMPARE(grid->bits(), expected.last());
    QCOMPARE(grid->cursorBit(), cursor);
}

void BitGridTest::keysItDoesNotUseGoOn()
{
    grid->setBits(0, 32, false);
    const QKeyCombination unused[] = { Qt::Key_Up, Qt::Key_Down, Qt::CTRL | Qt::Key_Left,
        Qt::ALT | Qt::Key_1, Qt::CTRL | Qt::Key_Space, Qt::Key_A };
    for (const QKeyCombination key : unused) {
        QKeyEvent event(QEvent::KeyPress, key.key(), key.keyboardModifiers(),
            key.key() == Qt::Key_1 ? "1" : QString());
        QApplication::sendEvent(grid, &event);
        QVERIFY2(!event.isAccepted(), qPrintable(QKeySequence(key).toString()));
    }
    QCOMPARE(grid->cursorBit(), 31);

    QAction selectAll("Select all", window.get());
    selectAll.setShortcut(QKeySequence::SelectAll);
    QAction one("One", window.get());
    one.setShortcut(Qt::Key_1);
    window->addActions({ &selectAll, &one });
    QSignalSpy shortcuts(&selectAll, &QAction::triggered);
    QSignalSpy ones(&one, &QAction::triggered);
    typeKeys("Ctrl+A 1");
    QCOMPARE(shortcuts.size(), 1);
    QCOMPARE(ones.size(), 0);
    QCOMPARE(grid->bits(), 0x80000000u);

    typeKeys("Tab");
    QVERIFY(after->hasFocus());
    QTest::keyClick(after, Qt::Key_Backtab, Qt::ShiftModifier);
    QVERIFY(grid->hasFocus());
}

void BitGridTest::readOnlyGridRefusesEveryChange()
{
    grid->setBits(0x0f, 8, false);
    grid->setReadOnly(true);
    QTest::mouseClick(grid, Qt::LeftButton, Qt::NoModifier, centreOf(0));
    press(7);
    moveTo(1);
    release();
    typeKeys("Home Space 1 0");
    QCOMPARE(grid->cursorBit(), 7);
    QAccessibleInterface* bit = bitChild(4);
    QVERIFY(bit->state().readOnly);
    QVERIFY(QAccessible::queryAccessibleInterface(grid)->state().readOnly);
    QCOMPARE(bit->actionInterface()->actionNames(), QStringList());
    bit->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    QCOMPARE(grid->bits(), 0x0fu);
    QCOMPARE(edits(), Bits());

    grid->setReadOnly(false);
    bit->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    QCOMPARE(edits(), Bits({ 0x1f }));
}

void BitGridTest::accessibleTree_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<qulonglong>("bits");
    QTest::addColumn<QString>("value");
    QTest::newRow("8 bits") << 8 << 0xa5ull << "1010 0101";
    QTest::newRow("16 bits") << 16 << 0x00f0ull << "1111 0000";
    QTest::newRow("32 bits") << 32 << 0x80000001ull << "1000 0000 0000 0000 0000 0000 0000 0001";
    QTest::newRow("64 bits") << 64 << 0x8000000000000000ull
                             << "1000" + QString(" 0000").repeated(15);
    QTest::newRow("128 bits") << 128 << 0x8000000000000001ull
                              << "1000" + QString(" 0000").repeated(14) + " 0001";
}

void BitGridTest::accessibleTree()
{
    QFETCH(int, width);
    QFETCH(qulonglong, bits);
    QFETCH(QString, value);
    showBits(bits, width, true);

    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(grid);
    QCOMPARE(iface->role(), QAccessible::Grouping);
    QCOMPARE(iface->text(QAccessible::Name), QString("Value, bits"));
    QCOMPARE(iface->text(QAccessible::Value), value);
    QVERIFY(iface->text(QAccessible::Description).contains("sign"));
    QCOMPARE(iface->childCount(), width);
    QCOMPARE(iface->child(-1), nullptr);
    QCOMPARE(iface->child(width), nullptr);

    const QRect onScreen(grid->mapToGlobal(QPoint()), grid->size());
    QRect previous;
    for (int i = 0; i < width; ++i) {
        QAccessibleInterface* child = iface->child(i);
        const int bit = width - 1 - i;
        QCOMPARE(child->text(QAccessible::Name), QString("bit %1").arg(bit));
        QCOMPARE(child->role(), QAccessible::CheckBox);
        QCOMPARE(child->parent(), iface);
        QCOMPARE(iface->indexOfChild(child), i);
        QVERIFY(child->state().checkable);
        QCOMPARE(child->state().checked, bool((UInt128(bits) >> bit) & 1));
        QCOMPARE(child->text(QAccessible::Description).endsWith(", the sign"), bit == width - 1);
        QVERIFY(onScreen.contains(child->rect()));
        QCOMPARE(iface->childAt(child->rect().center().x(), child->rect().center().y()), child);
        // In reading order: rightwards along a line, then down to the next.
        if (!previous.isNull()) {
            QVERIFY(child->rect().center().x() > previous.center().x()
                || child->rect().top() > previous.bottom());
        }
        previous = child->rect();
    }

    grid->setRowName("Operand");
    QCOMPARE(iface->text(QAccessible::Name), QString("Operand, bits"));
    grid->setAccessibleName("Operand bits");
    QCOMPARE(iface->text(QAccessible::Name), QString("Operand bits"));
}

void BitGridTest::childrenFollowTheWidth()
{
    grid->setBits(~0ull, 64, false);
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(grid);
    QAccessibleInterface* high = bitChild(40);
    QAccessibleInterface* low = bitChild(3);

    grid->setBits(0xff, 32, false);
    QCOMPARE(iface->childCount(), 32);
    QVERIFY(!high->isValid());
    QCOMPARE(iface->indexOfChild(high), -1);
    QCOMPARE(high->rect(), QRect());
    high->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    QCOMPARE(iface->indexOfChild(low), 28);
    QCOMPARE(iface->child(28), low);

    grid->setBits(0, 64, false);
    QCOMPARE(bitChild(40), high);
    QVERIFY(high->isValid());
    QCOMPARE(edits(), Bits());
}

void BitGridTest::tooltips_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<bool>("isSigned");
    QTest::addColumn<int>("bit");
    QTest::addColumn<QString>("tip");
    QTest::addColumn<QString>("spoken");
    const struct {
        const char* name;
        int width;
        bool isSigned;
        int bit;
        const char* tip;
        const char* spoken;
    } rows[] = {
        { "bit 37", 64, false, 37, "bit 37 · byte 4 · 2^37 = 137438953472",
            "byte 4, 2 to the power of 37 is 137438953472" },
        { "bit 0", 8, false, 0, "bit 0 · byte 0 · 2^0 = 1", "byte 0, 2 to the power of 0 is 1" },
        { "bit 8 starts byte 1", 16, false, 8, "bit 8 · byte 1 · 2^8 = 256",
            "byte 1, 2 to the power of 8 is 256" },
        { "unsigned top bit", 32, false, 31, "bit 31 · byte 3 · 2^31 = 2147483648",
            "byte 3, 2 to the power of 31 is 2147483648" },
        { "sign of 8 bits", 8, true, 7, "bit 7 · byte 0 · 2^7 = 128 · sign",
            "byte 0, 2 to the power of 7 is 128, the sign" },
        { "sign of 64 bits", 64, true, 63, "bit 63 · byte 7 · 2^63 = 9223372036854775808 · sign",
            "byte 7, 2 to the power of 63 is 9223372036854775808, the sign" },
        { "below the sign", 64, true, 62, "bit 62 · byte 7 · 2^62 = 4611686018427387904",
            "byte 7, 2 to the power of 62 is 4611686018427387904" },
        { "sign of 128 bits", 128, true, 127,
            "bit 127 · byte 15 · 2^127 = 170141183460469231731687303715884105728 · sign",
            "byte 15, 2 to the power of 127 is 170141183460469231731687303715884105728, the sign" },
        { "bit 64", 128, false, 64, "bit 64 · byte 8 · 2^64 = 18446744073709551616",
            "byte 8, 2 to the power of 64 is 18446744073709551616" },
    };
    for (const auto& row : rows)
        QTest::newRow(row.name) << row.width << row.isSigned << row.bit
                                << QString::fromUtf8(row.tip) << QString::fromUtf8(row.spoken);
}

// The tooltip is read; its symbols would be spelt out by speech, so the
// description says the same in words.
void BitGridTest::tooltips()
{
    QFETCH(int, width);
    QFETCH(bool, isSigned);
    QFETCH(int, bit);
    QFETCH(QString, tip);
    QFETCH(QString, spoken);
    showBits(0, width, isSigned);
    const QPoint centre = centreOf(bit);
    QHelpEvent help(QEvent::ToolTip, centre, grid->mapToGlobal(centre));
    QApplication::sendEvent(grid, &help);
    QTRY_COMPARE(QToolTip::text(), tip);
    QCOMPARE(bitChild(bit)->text(QAccessible::Name), QString("bit %1").arg(bit));
    QCOMPARE(bitChild(bit)->text(QAccessible::Description), spoken);
}

// What the grid paints after `change`, once the paints it already asked for
// are done: the window calls setBits on every keystroke for every grid.
void BitGridTest::repaintsOnlyChangedCells()
{
    const UInt64 start = 0x1234;
    grid->setBits(start, 32, false);
    const auto paintedBy = [this](const auto& change) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
        grid->painted = QRegion();
        change();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
        return grid->painted;
    };
    const auto cells = [this](std::initializer_list<int> bits) {
        QRegion region;
        for (const int bit : bits)
            region += grid->cellRect(bit);
        return region;
    };

    QCOMPARE(paintedBy([&] { grid->setBits(start, 32, false); }), QRegion());
    // Bits above the width are not shown, so they change nothing either.
    QCOMPARE(paintedBy([&] { grid->setBits(start | 1ull << 40, 32, false); }), QRegion());
    QCOMPARE(grid->bits(), start);

    QCOMPARE(paintedBy([&] { grid->setBits(start ^ (1u << 2 | 1u << 20), 32, false); }),
        cells({ 2, 20 }));
    // The click's bit, and the cursor leaving the most significant bit.
    QCOMPARE(
        paintedBy([&] { QTest::mouseClick(grid, Qt::LeftButton, Qt::NoModifier, centreOf(9)); }),
        cells({ 9, 31 }));
    QCOMPARE(paintedBy([&] { typeKeys("Right"); }), cells({ 9, 8 }));
    QCOMPARE(paintedBy([&] { grid->setBits(0, 64, false); }), QRegion(grid->rect()));
}

void BitGridTest::cellsGrowWithTheWidth_data()
{
    QTest::addColumn<qreal>("scale");
    QTest::newRow("desktop font") << 1.0;
    QTest::newRow("one and a half") << 1.5;
    QTest::newRow("twice") << 2.0;
}

// From about a digit wide, in the room of at most 44 digits, up to twice the
// text's height; never less tall than the field's text. The height follows
// the width alone, never the bit width, so a new width asks for no layout.
void BitGridTest::cellsGrowWithTheWidth()
{
    QFETCH(qreal, scale);
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSizeF(font.pointSizeF() * scale);
    grid->setFont(font);
    const QFontMetrics metrics(font);
    const int digit = metrics.horizontalAdvance(QLatin1Char('0'));
    grid->setBits(0, 64, true);
    const int least = grid->minimumSizeHint().width();
    QVERIFY2(least > 32 * digit && least <= 44 * digit,
        qPrintable(QString("%1 pixels for digits of %2").arg(least).arg(digit)));
    QVERIFY(grid->sizePolicy().hasHeightForWidth());

    int pitch = 0;
    for (const int width : { least, least * 3 / 2, least * 2, least * 4 }) {
        const int height = grid->heightForWidth(width);
        grid->resize(width, height);
        const QRect high = grid->cellRect(63);
        const QRect low = grid->cellRect(0);
        QVERIFY(grid->rect().contains(high) && grid->rect().contains(low));
        QCOMPARE(low.right(), width - 1);
        QVERIFY(low.height() >= metrics.height() + 2);
        QVERIFY(high.width() >= pitch && high.width() <= 2 * high.height() + 1);
        pitch = high.width();
        for (const UInt16 bits : { 8, 16, 32 }) {
            grid->setBits(0, bits, false);
            QCOMPARE(grid->heightForWidth(width), height);
        }
        grid->setBits(0, 64, true);
    }
    QVERIFY(pitch >= 2 * digit);

    // Laid out, the grid gets the height it asks for at its width.
    window->resize(least * 3, window->height());
    window->layout()->activate();
    QCOMPARE(grid->height(), grid->heightForWidth(grid->width()));
}

namespace {

qreal Luminance(const QColor& colour)
{
    const auto linear
        = [](qreal c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF())
        + 0.0722 * linear(colour.blueF());
}

qreal Contrast(const QColor& a, const QColor& b)
{
    const qreal la = Luminance(a);
    const qreal lb = Luminance(b);
    return (qMax(la, lb) + 0.05) / (qMin(la, lb) + 0.05);
}

struct Cell {
    QColor fill; // its first pixel inside the frame
    qreal inkContrast = 0; // of its most contrasting pixel against the fill
    std::vector<QColor> pixels;

    // How much of it is painted in `colour`.
    qreal shareOf(const QColor& colour) const
    {
        return qreal(std::count(pixels.begin(), pixels.end(), colour)) / qreal(pixels.size());
    }
};

Cell CellAt(const QImage& image, const QRect& cell)
{
    const QRect inside = cell.adjusted(1, 1, -1, -1);
    Cell seen { image.pixelColor(inside.topLeft()), 1, {} };
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            seen.pixels.push_back(image.pixelColor(x, y));
            seen.inkContrast = qMax(seen.inkContrast, Contrast(seen.pixels.back(), seen.fill));
        }
    }
    return seen;
}

} // namespace

void BitGridTest::cellsReadAtAGlance_data()
{
    QTest::addColumn<QPalette>("palette");
    const struct {
        const char* name;
        QRgb window, windowText, base, text, highlight, highlightedText;
    } palettes[] = {
        { "light", 0xefefef, 0x000000, 0xffffff, 0x000000, 0x308cc6, 0xffffff },
        { "dark", 0x353535, 0xffffff, 0x232323, 0xffffff, 0x2a82da, 0xffffff },
        { "high contrast, dark", 0x000000, 0xffffff, 0x000000, 0xffffff, 0x1aebff, 0x000000 },
        { "high contrast, light", 0xffffff, 0x000000, 0xffffff, 0x000000, 0x37006e, 0xffffff },
        { "a pale highlight", 0xefefef, 0x000000, 0xffffff, 0x000000, 0xd2e1f5, 0x000000 },
    };
    for (const auto& each : palettes) {
        QPalette palette;
        palette.setColor(QPalette::Window, each.window);
        palette.setColor(QPalette::WindowText, each.windowText);
        palette.setColor(QPalette::Base, each.base);
        palette.setColor(QPalette::Text, each.text);
        palette.setColor(QPalette::Highlight, each.highlight);
        palette.setColor(QPalette::HighlightedText, each.highlightedText);
        QTest::newRow(each.name) << palette;
    }
}

// As painted: a set bit's fill stands apart from a clear bit's, every digit
// from its fill, and a selected 0 looks like a 0, not like a set 1.
void BitGridTest::cellsReadAtAGlance()
{
    QFETCH(QPalette, palette);
    grid->setPalette(palette);
    grid->setBits(0b0101'1010, 8, false);
    grid->setSelection(3, 0);
    const QImage image = grid->grab().toImage();
    const Cell set = CellAt(image, grid->cellRect(6));
    const Cell clear = CellAt(image, grid->cellRect(5));
    QVERIFY2(Contrast(set.fill, clear.fill) >= 2.5,
        qPrintable(set.fill.name() + " on " + clear.fill.name()));
    QVERIFY(set.inkContrast >= 4.5);
    QVERIFY(clear.inkContrast >= 4.5);
    // Selected, each keeps most of its fill: the selection is drawn over it.
    const Cell selectedClear = CellAt(image, grid->cellRect(2));
    const Cell selectedSet = CellAt(image, grid->cellRect(1));
    QVERIFY(selectedClear.shareOf(clear.fill) > 0.5);
    QVERIFY(selectedClear.shareOf(clear.fill) < clear.shareOf(clear.fill));
    QVERIFY(selectedSet.shareOf(set.fill) > 0.5);
}

// Selecting sets no bit: a plain drag still does.
void BitGridTest::selectsARunWithShift_data()
{
    QTest::addColumn<QString>("gesture");
    QTest::addColumn<int>("msb");
    QTest::addColumn<int>("lsb");

    QTest::newRow("Shift+drag leftwards") << "drag 4 7" << 7 << 4;
    QTest::newRow("Shift+drag rightwards across a byte") << "drag 10 6" << 10 << 6;
    QTest::newRow("Shift+click is one bit") << "drag 3 3" << 3 << 3;
    QTest::newRow("Shift+Right from the top")
        << "keys Shift+Right Shift+Right Shift+Right" << 31 << 28;
    QTest::newRow("Shift+Left back shrinks it")
        << "keys Shift+Right Shift+Right Shift+Left" << 31 << 30;
    QTest::newRow("Shift+End to the line's end") << "keys Right Shift+End" << 30 << 0;
    QTest::newRow("a plain arrow ends it") << "keys Shift+Right Right" << -1 << -1;
    QTest::newRow("Escape ends it") << "keys Shift+Right Escape" << -1 << -1;
    QTest::newRow("a plain click ends it") << "keys Shift+Right|click 0" << -1 << -1;
}

void BitGridTest::selectsARunWithShift()
{
    QFETCH(QString, gesture);
    QFETCH(int, msb);
    QFETCH(int, lsb);
    grid->setBits(0, 32, false);
    for (const QString& step : gesture.split(u'|')) {
        const QStringList words = step.split(u' ');
        if (words[0] == "drag") {
            QTest::mousePress(grid, Qt::LeftButton, Qt::ShiftModifier, centreOf(words[1].toInt()));
            QTest::mouseMove(grid, centreOf(words[2].toInt()));
            QTest::mouseRelease(
                grid, Qt::LeftButton, Qt::ShiftModifier, centreOf(words[2].toInt()));
        } else if (words[0] == "click") {
            QTest::mouseClick(grid, Qt::LeftButton, Qt::NoModifier, centreOf(words[1].toInt()));
        } else {
            typeKeys(step.mid(5));
        }
    }
    const auto selection = grid->selection();
    QCOMPARE(selection ? selection->first : -1, msb);
    QCOMPARE(selection ? selection->second : -1, lsb);
    if (!gesture.contains("click"))
        QCOMPARE(edits(), Bits());
    if (msb >= 0) {
        QVERIFY(bitChild(msb)->state().selected);
        if (msb < 31)
            QVERIFY(!bitChild(msb + 1)->state().selected);
    }
}

// The menu from the keyboard (Shift+F10, the Menu key) and from the mouse.
void BitGridTest::namesTheSelectedBitsFromTheMenu_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("msb");
    QTest::addColumn<int>("lsb");

    QTest::newRow("Shift+F10 after Shift+arrows") << "Shift+F10" << 31 << 29;
    QTest::newRow("the Menu key") << "Menu" << 31 << 29;
    QTest::newRow("right click in the selection") << "right 30" << 31 << 29;
    QTest::newRow("right click elsewhere names that bit") << "right 5" << 5 << 5;
}

void BitGridTest::namesTheSelectedBitsFromTheMenu()
{
    QFETCH(QString, how);
    QFETCH(int, msb);
    QFETCH(int, lsb);
    grid->setBits(0, 32, false);
    grid->setNamesBits(true);
    QSignalSpy named(grid, &BitGrid::nameBitsRequested);
    typeKeys("Shift+Right Shift+Right");
    if (how.startsWith("right")) {
        const QPoint at = centreOf(how.mid(6).toInt());
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, grid->mapToGlobal(at));
        QApplication::sendEvent(grid, &event);
    } else {
        typeKeys(how);
    }
    QVERIFY(grid->contextMenu());
    QTRY_VERIFY(grid->contextMenu()->isVisible());
    QCOMPARE(grid->contextMenu()->activeAction(), grid->contextMenu()->actions().value(0));
    QTest::keyClick(grid->contextMenu(), Qt::Key_Return);
    QCOMPARE(named.size(), 1);
    QCOMPARE(named[0][0].toInt(), msb);
    QCOMPARE(named[0][1].toInt(), lsb);
    QCOMPARE(edits(), Bits());
}

BitField GridField(const char* name, int msb, int lsb)
{
    BitField field;
    field.name = name;
    field.msb = msb;
    field.lsb = lsb;
    return field;
}

// Room for bands only while there are fields; overlapping fields on bands
// of their own, each band under its field's bits.
void BitGridTest::showsFieldsAsStackedBands()
{
    grid->setBits(0, 32, false);
    const QSize bare = grid->sizeHint();
    grid->setFields(
        { GridField("MODE", 31, 28), GridField("COUNT", 27, 16), GridField("EN", 0, 0) });
    const QSize oneBand = grid->sizeHint();
    QVERIFY(oneBand.height() > bare.height());
    QCOMPARE(oneBand.width(), bare.width());
    QCOMPARE(grid->bandRect(0, 0).left(), grid->cellRect(31).left());
    QCOMPARE(grid->bandRect(0, 0).right(), grid->cellRect(28).right());
    QVERIFY(grid->bandRect(0, 0).top() > grid->cellRect(31).bottom());
    QCOMPARE(grid->bandRect(1, 0).top(), grid->bandRect(0, 0).top());

    grid->setFields({ GridField("MODE", 31, 28), GridField("HIGH", 31, 16) });
    const QSize twoBands = grid->sizeHint();
    QVERIFY(twoBands.height() > oneBand.height());
    QVERIFY(grid->bandRect(1, 0).top() > grid->bandRect(0, 0).bottom());
    // New bits and widths keep the size: no layout pass per keystroke.
    for (const UInt16 width : { 8, 16, 64 }) {
        grid->setBits(0x1234, width, false);
        QCOMPARE(grid->sizeHint(), twoBands);
    }
    // At 64 bits a field across the lines has a band on each.
    grid->setFields({ GridField("WIDE", 40, 20) });
    QVERIFY(!grid->bandRect(0, 0).isEmpty());
    QVERIFY(!grid->bandRect(0, 1).isEmpty());
    QVERIFY(grid->bandRect(0, 1).top() > grid->cellRect(20).bottom());
    grid->setFields({});
    QCOMPARE(grid->sizeHint(), bare);
}

void BitGridTest::bandsTellTheFieldAndItsValue()
{
    grid->setBits(0x30000008, 32, false);
    BitField mode = GridField("MODE", 31, 28);
    mode.values = { { 3, "AUTO", "" } };
    mode.description = "How it runs";
    grid->setFields({ mode, GridField("LOW", 3, 0), GridField("BIT3", 3, 3) });
    const QPoint centre = grid->bandRect(0, 0).center();
    QHelpEvent help(QEvent::ToolTip, centre, grid->mapToGlobal(centre));
    QApplication::sendEvent(grid, &help);
    QTRY_COMPARE(QToolTip::text(),
        QString("MODE \u00B7 bits 31:28 \u00B7 0x3 = 3 \u00B7 AUTO\nHow it runs"));
    QVERIFY(bitChild(29)->text(QAccessible::Description).endsWith(", in field MODE"));
    QVERIFY(bitChild(3)->text(QAccessible::Description).endsWith(", in fields LOW and BIT3"));
    QVERIFY(!bitChild(10)->text(QAccessible::Description).contains("field"));
}

// The name on a band is written in the palette's text colour: the band
// stands well apart from it in light and dark palettes, and neighbours differ.
void BitGridTest::fieldColoursSuitLightAndDarkPalettes()
{
    QPalette light;
    light.setColor(QPalette::Window, Qt::white);
    light.setColor(QPalette::WindowText, Qt::black);
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(32, 32, 32));
    dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
    for (std::size_t index = 0; index < 32; ++index) {
        for (const QPalette& palette : { light, dark }) {
            const qreal band = BitGrid::FieldColour(index, palette).lightnessF();
            const qreal text = palette.color(QPalette::WindowText).lightnessF();
            QVERIFY2(qAbs(band - text) > 0.45, qPrintable(QString::number(index)));
        }
        QVERIFY(BitGrid::FieldColour(index, light) != BitGrid::FieldColour(index + 1, light));
    }
}

QTEST_MAIN(BitGridTest)
#include "BitGridTest.moc"
