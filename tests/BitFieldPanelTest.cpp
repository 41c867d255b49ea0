// The bit fields in the window as a user meets them: naming bits in the
// Value's grid from the keyboard, the fields panel's cells edited with real
// keys and undone with Ctrl+Z, the layouts saved and listed, files imported
// and exported. What each edit does is the model's, tested there. The
// saved layouts go to a scratch XDG_DATA_HOME.
#include "WindowTestSupport.h"

#include "window/BitFieldPanel.h"
#include "window/BitGrid.h"
#include "window/LayoutImport.h"

#include "files/BitlensLayoutFile.h"
#include "files/LayoutStore.h"

#include "SvdSample.h"

#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

BitField Field(const char* name, int msb, int lsb)
{
    BitField field;
    field.name = name;
    field.msb = msb;
    field.lsb = lsb;
    return field;
}

BitFieldLayout Ctrl()
{
    BitFieldLayout layout;
    layout.name = "CTRL";
    layout.width = 32;
    BitField mode = Field("MODE", 31, 28);
    mode.values = { { 0, "OFF", "" }, { 1, "ON", "" }, { 3, "AUTO", "" } };
    BitField offset = Field("OFFSET", 11, 8);
    offset.isSigned = true;
    layout.fields = { mode, Field("COUNT", 27, 16), offset, Field("EN", 0, 0) };
    return layout;
}

} // namespace

class BitFieldPanelTest : public WindowTest {
    Q_OBJECT

public:
    BitFieldPanelTest()
        : WindowTest(eActive)
    { }

private slots:
    void initTestCase();
    void init();

    void isNotBuiltUntilAskedFor();
    void namesTheSelectedBitsFromTheKeyboardAndUndoesIt();
    void valueCellsWriteTheValueAsOneUndoableStep_data();
    void valueCellsWriteTheValueAsOneUndoableStep();
    void aNamedValueIsChosenFromAList();
    void valueCellsFollowTheValueRow();
    void editsAFieldPastBit63();
    void refusesWhatTheFieldCannotHold_data();
    void refusesWhatTheFieldCannotHold();
    void editsTheLayoutAndSavesIt();
    void overlappingFieldsAreStackedAndTold();
    void listsSavedLayoutsAndDamagedOnesCannotBeChosen();
    void readsTheLanesOfTheValueAsFloats();
    void importsAHeaderAndRefusesABadFile();
    void choosesARegisterOfAnSvdFile();
    void readsALargeSvdFileWithoutFreezing();
    void aWindowClosedWhileAFileIsReadGoesQuietly();
    void exportsCThatCompiles();
    void everyPartIsNamedAndReachedByKeys();

private:
    BitFieldPanel& openPanel(BitFieldLayout layout = Ctrl());
    const BitFieldLayout* layout() const { return view->model().layout(); }
    QString layoutPath() const { return QString::fromStdString(view->model().layoutFile()); }
    QTableWidgetItem* cell(int row, int column) const;
    void editCell(int row, int column, const QString& text);
    QString write(const QString& name, const QByteArray& bytes);

    QTemporaryDir fData;
    QTemporaryDir fFiles;
};

void BitFieldPanelTest::initTestCase()
{
    WindowTest::initTestCase();
    QVERIFY(fData.isValid() && fFiles.isValid());
    qputenv("XDG_DATA_HOME", fData.path().toUtf8());
}

void BitFieldPanelTest::init()
{
    // Each test starts with no saved layout.
    QDir(LayoutStore::defaultDirectory()).removeRecursively();
    WindowTest::init();
}

// Saved, then chosen from the panel's list as a user would.
BitFieldPanel& BitFieldPanelTest::openPanel(BitFieldLayout layout)
{
    const LayoutSave saved = LayoutStore().save(layout);
    if (!saved.ok())
        qFatal("cannot save %s", qPrintable(saved.error->text()));
    PressInFocus("Ctrl+Shift+B");
    BitFieldPanel& panel = view->bitFieldPanel();
    const int item = panel.layoutPopup()->findData(saved.path);
    const QString problem = ChooseFromList(panel.layoutPopup(), item);
    if (!problem.isEmpty() || !this->layout())
        qFatal("cannot choose the layout: %s", qPrintable(problem));
    // The list's popup gives the window back its activation a moment later.
    view->activateWindow();
    if (!QTest::qWaitForWindowActive(view))
        qWarning("the window is not active again");
    return panel;
}

QTableWidgetItem* BitFieldPanelTest::cell(int row, int column) const
{
    return view->bitFieldPanel().table()->item(row, column);
}

// As a user does: to the cell, F2, the text over what was there, Return.
void BitFieldPanelTest::editCell(int row, int column, const QString& text)
{
    QTableWidget* table = view->bitFieldPanel().table();
    table->setFocus();
    table->setCurrentCell(row, column);
    QTest::keyClick(table, Qt::Key_F2);
    QWidget* editor = QApplication::focusWidget();
    QVERIFY(editor && editor != table);
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(editor, text);
    QTest::keyClick(editor, Qt::Key_Return);
    // The table takes the edit when the event loop next runs.
    QTRY_COMPARE(QApplication::focusWidget(), table);
}

QString BitFieldPanelTest::write(const QString& name, const QByteArray& bytes)
{
    const QString path = fFiles.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

// Start-up is benchmarked against a bare window: the panel costs nothing
// until it is asked for.
void BitFieldPanelTest::isNotBuiltUntilAskedFor()
{
    QVERIFY(!view->findChild<BitFieldPanel*>());
    QVERIFY(!child<QAction>("actionExportLayout")->isEnabled());
    QTest::keyClick(view, Qt::Key_B, Qt::ControlModifier | Qt::ShiftModifier);
    auto* panel = view->findChild<BitFieldPanel*>("bitFieldPanel");
    QVERIFY(panel);
    QVERIFY(panel->isVisible());
    QVERIFY(child<QAction>("actionShowBitFields")->isChecked());
    QCOMPARE(QApplication::focusWidget(), panel->table());
    QVERIFY(panel->findChild<QComboBox*>("bitFieldLayoutPopup"));
    QCOMPARE(panel->table()->objectName(), QString("bitFieldTable"));
    QCOMPARE(panel->accessibleName(), QString("Bit fields"));
    QTest::keyClick(view, Qt::Key_B, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(!panel->isVisible());
    QVERIFY(!child<QAction>("actionShowBitFields")->isChecked());
}

// Ctrl+Z right after Name These Bits… takes the field away again, and
// nothing older: the number typed before stays.
void BitFieldPanelTest::namesTheSelectedBitsFromTheKeyboardAndUndoesIt()
{
    QVERIFY(run("type currentHexadecimal 12abcdef"));
    auto* grid = child<BitGrid>("currentBitGrid");
    grid->setFocus(Qt::TabFocusReason);
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(grid, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(grid, Qt::Key_F10, Qt::ShiftModifier);
    QTRY_VERIFY(grid->contextMenu() && grid->contextMenu()->isVisible());
    QTest::keyClick(grid->contextMenu(), Qt::Key_Return);

    auto* panel = view->findChild<BitFieldPanel*>();
    QVERIFY(panel && panel->isVisible());
    QCOMPARE(layout()->name, std::string("Untitled"));
    QVERIFY(!grid->selection());
    // The new field's name is ready to be typed over.
    QWidget* editor = QApplication::focusWidget();
    QVERIFY(editor && editor->parentWidget() && editor != panel->table());
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(editor, "MODE");
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_COMPARE(layout()->fields[0].name, std::string("MODE"));
    QCOMPARE(layout()->fields[0].msb, 31);
    QCOMPARE(layout()->fields[0].lsb, 28);
    QCOMPARE(cell(0, BitFieldPanel::eColumnHexadecimal)->text(), QString("0x1"));
    QCOMPARE(grid->fields().size(), std::size_t(1));
    QCOMPARE(grid->fields()[0].name, std::string("MODE"));
    // Saved as it was edited.
    QCOMPARE(LayoutStore().load(layoutPath()).layout, *layout());

    // The rename, then the field, each a step of its own.
    PressInFocus("Ctrl+Z");
    QCOMPARE(cell(0, BitFieldPanel::eColumnName)->text(), QString("BITS31_28"));
    PressInFocus("Ctrl+Z");
    QVERIFY(!layout());
    QCOMPARE(panel->table()->rowCount(), 0);
    QVERIFY(grid->fields().empty());
    QCOMPARE(child<QLineEdit>("currentHexadecimal")->text(), QString("12abcdef"));
    PressInFocus("Ctrl+Shift+Z");
    QCOMPARE(grid->fields().size(), std::size_t(1));
    QCOMPARE(panel->table()->rowCount(), 1);
}

void BitFieldPanelTest::valueCellsWriteTheValueAsOneUndoableStep_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("hexadecimal");

    QTest::newRow("hexadecimal") << 0 << int(BitFieldPanel::eColumnHexadecimal) << "3"
                                 << "32ab cdef";
    QTest::newRow("negative into a signed field") << 2 << int(BitFieldPanel::eColumnDecimal) << "-2"
                                                  << "12ab ceef";
}

void BitFieldPanelTest::valueCellsWriteTheValueAsOneUndoableStep()
{
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QString, typed);
    QFETCH(QString, hexadecimal);
    QVERIFY(run("type currentHexadecimal 12abcdef"));
    openPanel();
    const std::size_t steps = view->model().undoSteps();
    editCell(row, column, typed);

    QCOMPARE(child<QLineEdit>("currentHexadecimal")->text(), hexadecimal);
    QCOMPARE(view->model().undoSteps(), steps + 1);
    QCOMPARE(
        child<BitGrid>("currentBitGrid")->bits(), hexadecimal.remove(' ').toULongLong(nullptr, 16));
    QVERIFY(view->bitFieldPanel().message().isEmpty());

    QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(child<QLineEdit>("currentDecimal")->text(), QString("313249263"));
    QCOMPARE(cell(0, BitFieldPanel::eColumnHexadecimal)->text(), QString("0x1"));
    QCOMPARE(cell(2, BitFieldPanel::eColumnDecimal)->text(), QString("-3"));
}

// A field above bit 63, saved and chosen, widens the Value to 128 bits as
// its cell is written, one step; its band then stands under the grid's
// upper two lines, bits 127 to 64, and under none of the low 64.
void BitFieldPanelTest::editsAFieldPastBit63()
{
    QVERIFY(run("type currentHexadecimal 12abcdef"));
    BitFieldLayout high = Ctrl();
    high.width = 128;
    high.fields.push_back(Field("HIGH", 100, 64));
    openPanel(high);
    auto* grid = child<BitGrid>("currentBitGrid");
    QCOMPARE(grid->fields().size(), std::size_t(5));
    QVERIFY(grid->bandRect(4, 0).isEmpty());
    QCOMPARE(cell(4, BitFieldPanel::eColumnBits)->text(), QString("100:64"));
    const std::size_t steps = view->model().undoSteps();
    editCell(4, BitFieldPanel::eColumnDecimal, "-1");
    QCOMPARE(view->model().width(), UInt16(128));
    QCOMPARE(view->model().wideBits(eFieldTypeValue), MakeUInt128(0x1FFFFFFFFF, 0x12abcdef));
    QCOMPARE(cell(4, BitFieldPanel::eColumnHexadecimal)->text(), QString("0x1fffffffff"));
    QCOMPARE(cell(0, BitFieldPanel::eColumnHexadecimal)->text(), QString("0x1"));
    QVERIFY(!grid->bandRect(4, 0).isEmpty() && !grid->bandRect(4, 1).isEmpty());
    QVERIFY(grid->bandRect(4, 2).isEmpty());
    QVERIFY(grid->fieldToolTip(4).startsWith("HIGH \u00B7 bits 100:64 \u00B7 0x1fffffffff"));
    QCOMPARE(view->model().undoSteps(), steps + 1);
    QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(cell(4, BitFieldPanel::eColumnHexadecimal)->text(), QString("0x0000000000"));
    QCOMPARE(view->model().width(), UInt16(32));
}

void BitFieldPanelTest::aNamedValueIsChosenFromAList()
{
    QVERIFY(run("click mathDisclosure|type operandHexadecimal ffffffff"));
    openPanel();
    QCOMPARE(cell(0, BitFieldPanel::eColumnValueName)->text(), QString("OFF"));
    QTableWidget* table = view->bitFieldPanel().table();
    table->setFocus();
    table->setCurrentCell(0, BitFieldPanel::eColumnValueName);
    QTest::keyClick(table, Qt::Key_F2);
    auto* list = qobject_cast<QComboBox*>(QApplication::focusWidget());
    QVERIFY(list);
    QCOMPARE(list->count(), 3);
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Return);
    QTRY_COMPARE(QApplication::focusWidget(), table);
    QCOMPARE(cell(0, BitFieldPanel::eColumnValueName)->text(), QString("AUTO"));
    QCOMPARE(child<QLineEdit>("currentHexadecimal")->text(), QString("3000 0000"));
    // The Result follows as after any edit of the Value.
    QCOMPARE(child<QLineEdit>("resultHexadecimal")->text(), QString("3000 0000"));
    // A value without a name, the list left by a click elsewhere or by
    // Escape: nothing is written.
    QVERIFY(run("type currentHexadecimal 2000 0000"));
    for (const bool escape : { false, true }) {
        table->setCurrentCell(0, BitFieldPanel::eColumnValueName);
        QTest::keyClick(table, Qt::Key_F2);
        list = qobject_cast<QComboBox*>(QApplication::focusWidget());
        QVERIFY(list && list->currentIndex() < 0);
        if (escape)
            QTest::keyClick(list, Qt::Key_Escape);
        else
            child<QLineEdit>("currentDecimal")->setFocus();
        QTRY_VERIFY(!table->findChild<QComboBox*>("bitFieldValueList"));
        QCOMPARE(child<QLineEdit>("currentHexadecimal")->text(), QString("2000 0000"));
        table->setFocus();
    }
}

void BitFieldPanelTest::valueCellsFollowTheValueRow()
{
    openPanel();
    QVERIFY(run("type currentHexadecimal 1abcd005"));
    QCOMPARE(cell(0, BitFieldPanel::eColumnHexadecimal)->text(), QString("0x1"));
    QCOMPARE(cell(0, BitFieldPanel::eColumnValueName)->text(), QString("ON"));
    QCOMPARE(cell(1, BitFieldPanel::eColumnHexadecimal)->text(), QString("0xabc"));
    QCOMPARE(cell(1, BitFieldPanel::eColumnDecimal)->text(), QString("2748"));
    QVERIFY(run("bit currentBitGrid 0"));
    QCOMPARE(cell(3, BitFieldPanel::eColumnDecimal)->text(), QString("0"));
    QVERIFY(run("type currentHexadecimal 1abcdf05"));
    QCOMPARE(cell(2, BitFieldPanel::eColumnDecimal)->text(), QString("-1"));
}

void BitFieldPanelTest::refusesWhatTheFieldCannotHold_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("told");

    QTest::newRow("hexadecimal too wide") << 0 << int(BitFieldPanel::eColumnHexadecimal) << "0x10"
                                          << "MODE (bits 31:28) cannot hold 0x10";
    QTest::newRow("bits past 127") << 1 << int(BitFieldPanel::eColumnBits) << "130:128"
                                   << "Bits are written msb:lsb";
    QTest::newRow("more than 64 bits") << 1 << int(BitFieldPanel::eColumnBits) << "127:0"
                                       << "Bits are written msb:lsb";
    QTest::newRow("bits too few for a named value") << 0 << int(BitFieldPanel::eColumnBits) << "31"
                                                    << "named value AUTO does not fit";
    QTest::newRow("no name") << 1 << int(BitFieldPanel::eColumnName) << " "
                             << "needs a name";
    QTest::newRow("named value too wide")
        << 3 << int(BitFieldPanel::eColumnNamedValues) << "0 = OFF, 2 = TWO"
        << "Named values are written";
}

// Nothing changes, the cell shows what it showed, and the panel says why.
void BitFieldPanelTest::refusesWhatTheFieldCannotHold()
{
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QString, typed);
    QFETCH(QString, told);
    BitFieldPanel& panel = openPanel();
    const BitFieldLayout before = *layout();
    const std::size_t steps = view->model().undoSteps();
    const QString shown = cell(row, column)->text();
    editCell(row, column, typed);
    QVERIFY2(panel.message().contains(told), qPrintable(panel.message()));
    QVERIFY(*layout() == before);
    QCOMPARE(cell(row, column)->text(), shown);
    QCOMPARE(view->model().undoSteps(), steps);
    QVERIFY(LayoutStore().load(layoutPath()).layout == before);
}

void BitFieldPanelTest::editsTheLayoutAndSavesIt()
{
    BitFieldPanel& panel = openPanel();
    editCell(1, BitFieldPanel::eColumnBits, "[23:16]");
    editCell(1, BitFieldPanel::eColumnDescription, "How many");
    editCell(3, BitFieldPanel::eColumnNamedValues, "0 = OFF, 0x1 = ON");
    // Space ticks the signed cell.
    panel.table()->setCurrentCell(1, BitFieldPanel::eColumnSigned);
    QTest::keyClick(panel.table(), Qt::Key_Space);
    editCell(1, BitFieldPanel::eColumnName, "CNT");

    const LayoutResult saved = LayoutStore().load(layoutPath());
    QVERIFY(saved.ok());
    const BitField& count = saved.layout.fields[1];
    QCOMPARE(count.name, std::string("CNT"));
    QCOMPARE(count.msb, 23);
    QCOMPARE(count.lsb, 16);
    QCOMPARE(count.description, std::string("How many"));
    QVERIFY(count.isSigned);
    QCOMPARE(saved.layout.fields[3].values.size(), std::size_t(2));
    QCOMPARE(cell(3, BitFieldPanel::eColumnValueName)->text(), QString("OFF"));
    // Add Field takes the grid's selection; Remove Field the current line.
    child<BitGrid>("currentBitGrid")->setSelection(7, 4);
    QTest::mouseClick(panel.findChild<QPushButton*>("bitFieldAddButton"), Qt::LeftButton);
    QCOMPARE(layout()->fields.back().msb, 7);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    panel.table()->setCurrentCell(0, BitFieldPanel::eColumnName);
    QTest::mouseClick(panel.findChild<QPushButton*>("bitFieldRemoveButton"), Qt::LeftButton);
    QCOMPARE(LayoutStore().load(layoutPath()).layout.fields.size(), std::size_t(4));
    QCOMPARE(cell(0, BitFieldPanel::eColumnName)->text(), QString("CNT"));
    // Removed, a field comes back with Ctrl+Z, saved again.
    PressInFocus("Ctrl+Z");
    QCOMPARE(cell(0, BitFieldPanel::eColumnName)->text(), QString("MODE"));
    QCOMPARE(LayoutStore().load(layoutPath()).layout.fields.size(), std::size_t(5));
}

void BitFieldPanelTest::overlappingFieldsAreStackedAndTold()
{
    BitFieldLayout layout = Ctrl();
    layout.fields.push_back(Field("HIGH", 31, 16));
    layout.fields[1].description = std::string(200, 'd');
    for (UInt64 value = 0; value < 40; ++value)
        layout.fields[1].values.push_back({ value, "VALUE" + std::to_string(value), "" });
    BitFieldPanel& panel = openPanel(layout);
    QVERIFY2(panel.message().contains("MODE and HIGH share bits"), qPrintable(panel.message()));
    // At the width it asks for, long texts and all, every column shows.
    panel.setFloating(true);
    panel.resize(panel.sizeHint());
    QTRY_COMPARE(panel.table()->horizontalScrollBar()->maximum(), 0);
    QVERIFY(panel.sizeHint().width() < 120 * panel.table()->fontMetrics().averageCharWidth());
    QVERIFY(cell(4, BitFieldPanel::eColumnBits)->font().italic());
    QVERIFY(!cell(3, BitFieldPanel::eColumnBits)->font().italic());
    auto* grid = child<BitGrid>("currentBitGrid");
    QVERIFY(grid->bandRect(4, 0).top() > grid->bandRect(0, 0).bottom());
    // Hidden, the panel takes its bands and the selection with it.
    grid->setSelection(7, 4);
    panel.hide();
    QVERIFY(grid->fields().empty());
    QVERIFY(!grid->selection());
}

void BitFieldPanelTest::listsSavedLayoutsAndDamagedOnesCannotBeChosen()
{
    const LayoutStore store;
    BitFieldLayout other = Ctrl();
    other.name = "ALPHA";
    other.fields.resize(1);
    QVERIFY(store.save(other).ok());
    QDir().mkpath(store.directory());
    QFile damaged(store.directory() + "/broken.json");
    QVERIFY(damaged.open(QIODevice::WriteOnly));
    damaged.write("{ not json");
    damaged.close();

    BitFieldPanel& panel = openPanel();
    QComboBox* popup = panel.layoutPopup();
    panel.layoutPopup()->setFocus();
    QStringList items;
    for (int i = 0; i < popup->count(); ++i)
        items << popup->itemText(i);
    QCOMPARE(items,
        QStringList({ "No layout", "ALPHA", "broken.json (damaged)", "CTRL", "",
            "Lanes: 4 \u00d7 8", "Lanes: 2 \u00d7 16" }));
    QCOMPARE(popup->currentText(), QString("CTRL"));
    const auto* model = qobject_cast<QStandardItemModel*>(popup->model());
    QVERIFY(!model->item(2)->isEnabled());
    QVERIFY(popup->itemData(2, Qt::ToolTipRole).toString().contains("broken.json"));

    // From CTRL one step up passes over the damaged file to ALPHA.
    QTest::keyClick(popup, Qt::Key_Down, Qt::AltModifier);
    QTRY_VERIFY(popup->view()->isVisible());
    QTest::keyClick(popup->view(), Qt::Key_Up);
    QTest::keyClick(popup->view(), Qt::Key_Return);
    QTRY_VERIFY(!popup->view()->isVisible());
    QVERIFY(layout());
    QCOMPARE(layout()->name, std::string("ALPHA"));
    QCOMPARE(panel.table()->rowCount(), 1);
    QVERIFY(ChooseFromList(popup, 0).isEmpty());
    QVERIFY(!layout());
    QVERIFY(child<BitGrid>("currentBitGrid")->fields().empty());
    QVERIFY(!child<QAction>("actionExportLayout")->isEnabled());
    // The damaged file is still there, untouched.
    QCOMPARE(LayoutStore().list().size(), std::size_t(3));
}

// Chosen from the layout popup, the lanes read as the reading popup says,
// all at once, are never saved unedited, and follow the width.
void BitFieldPanelTest::readsTheLanesOfTheValueAsFloats()
{
    BitFieldPanel& panel = openPanel();
    QComboBox* popup = panel.layoutPopup();
    QVERIFY(ChooseFromList(popup, popup->findText("Lanes: 2 \u00d7 16")).isEmpty());
    QCOMPARE(panel.table()->rowCount(), 2);
    QVERIFY(ChooseFromList(panel.readingPopup(), 2).isEmpty());
    QCOMPARE(panel.readingPopup()->currentText(), QString("Float (half)"));
    view->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(view));
    editCell(1, BitFieldPanel::eColumnDecimal, "-1.5");
    QCOMPARE(child<QLineEdit>("currentHexadecimal")->text(), QString("be00 0000"));
    QCOMPARE(cell(0, BitFieldPanel::eColumnDecimal)->text(), QString("0"));
    QCOMPARE(LayoutStore().list().size(), std::size_t(1));
    QVERIFY(run("choose bitWidthPopup 64 bits"));
    QCOMPARE(popup->currentText(), QString("Lanes: 4 \u00d7 16"));
    QCOMPARE(cell(3, BitFieldPanel::eColumnDecimal)->text(), QString("0"));
    QCOMPARE(cell(1, BitFieldPanel::eColumnDecimal)->text(), QString("-1.5"));
    QVERIFY(run("choose bitWidthPopup 128 bits"));
    QCOMPARE(popup->currentText(), QString("Lanes: 8 \u00d7 16"));
    QCOMPARE(cell(7, BitFieldPanel::eColumnBits)->text(), QString("127:112"));
    QCOMPARE(cell(1, BitFieldPanel::eColumnDecimal)->text(), QString("-1.5"));
    QVERIFY(popup->findText("Lanes: 2 \u00d7 64") >= 0);
    PressInFocus("Ctrl+Z");
    QCOMPARE(popup->currentText(), QString("Lanes: 4 \u00d7 16"));
    PressInFocus("Ctrl+Z");
    PressInFocus("Ctrl+Z");
    QCOMPARE(popup->currentText(), QString("Lanes: 2 \u00d7 16"));
    QCOMPARE(cell(1, BitFieldPanel::eColumnDecimal)->text(), QString("0"));
}

void BitFieldPanelTest::importsAHeaderAndRefusesABadFile()
{
    BitFieldPanel& panel = openPanel();
    const BitFieldLayout before = *layout();
    LayoutImport& importer = panel.importer();
    QSignalSpy read(&importer, &LayoutImport::read);

    importer.start(write("past63.h", "#define A BIT(3)\n#define B GENMASK(70, 68)\n"));
    QTRY_COMPARE(read.size(), 1);
    auto* box = view->findChild<QMessageBox*>("layoutImportError");
    QVERIFY(box);
    QVERIFY2(box->text().contains("past63.h:2:"), qPrintable(box->text()));
    QVERIFY(*layout() == before);
    box->close();

    child<BitGrid>("currentBitGrid")->setSelection(7, 4);
    importer.start(write("regs.h", "#define REG_MODE GENMASK(31, 28)\n#define REG_EN BIT(0)\n"));
    QTRY_COMPARE(read.size(), 2);
    QCOMPARE(layout()->fields.size(), std::size_t(2));
    QCOMPARE(layout()->fields[0].name, std::string("REG_MODE"));
    QCOMPARE(panel.layoutPopup()->currentText(), QString("regs"));
    QVERIFY(!child<BitGrid>("currentBitGrid")->selection());
    // An import is one step: Ctrl+Z brings the layout before it back.
    PressInFocus("Ctrl+Z");
    QVERIFY(*layout() == before);

    // Imported again, the file replaces its saved layout: listed once.
    importer.start(write("regs.h", "#define REG_MODE GENMASK(31, 29)\n"));
    QTRY_COMPARE(read.size(), 3);
    const QString regs = layoutPath();
    QCOMPARE(LayoutStore().list().size(), std::size_t(2));
    QCOMPARE(LayoutStore().load(regs).layout.fields.size(), std::size_t(1));
    QVERIFY(panel.message().contains("replaced"));
    // Delete takes the file away; Ctrl+Z brings it back.
    QTest::mouseClick(panel.findChild<QPushButton*>("bitFieldDeleteButton"), Qt::LeftButton);
    QVERIFY(!layout() && !QFile::exists(regs));
    PressInFocus("Ctrl+Z");
    QCOMPARE(layoutPath(), regs);
    QCOMPARE(LayoutStore().load(regs).layout, *layout());
}

void BitFieldPanelTest::choosesARegisterOfAnSvdFile()
{
    BitFieldPanel& panel = view->bitFieldPanel();
    LayoutImport& importer = panel.importer();
    QSignalSpy read(&importer, &LayoutImport::read);
    importer.start(write("sample.svd", SampleSvd(5)));
    QTRY_COMPARE(read.size(), 1);
    auto* chooser = view->findChild<SvdRegisterDialog*>();
    QVERIFY(chooser);
    // Filtered, the list shows its first match, wherever the choice was.
    chooser->list()->selectRow(chooser->list()->model()->rowCount() - 1);
    QTest::keyClicks(chooser->filter(), "p4");
    QCOMPARE(chooser->list()->selectionModel()->selectedRows().value(0).row(), 0);
    QCOMPARE(chooser->list()->rowAt(0), 0);
    QTest::keyClicks(chooser->filter(), " r12");
    QCOMPARE(chooser->list()->model()->rowCount(), 1);
    QTest::keyClick(chooser->filter(), Qt::Key_Return);
    QTRY_VERIFY(layout());
    QCOMPARE(layout()->name, std::string("P4.R12"));
    QCOMPARE(layout()->fields.size(), std::size_t(kSampleFields));
    QCOMPARE(layout()->fields[0].values.size(), std::size_t(2));

    // A file of one register opens it without asking.
    importer.start(write("one.svd",
        "<device><name>D</name><peripherals><peripheral><name>T</name><baseAddress>0</baseAddress>"
        "<registers><register><name>CTRL</name><addressOffset>0</addressOffset><size>32</size>"
        "<fields><field><name>EN</name><bitOffset>0</bitOffset><bitWidth>1</bitWidth></field>"
        "</fields></register></registers></peripheral></peripherals></device>"));
    QTRY_COMPARE(read.size(), 2);
    QCOMPARE(layout()->name, std::string("T.CTRL"));
    QCOMPARE(view->findChildren<SvdRegisterDialog*>().size(), 0);
}

// The file is read on a worker: the window's events go on meanwhile.
void BitFieldPanelTest::readsALargeSvdFileWithoutFreezing()
{
    const QString path = write("large.svd", SampleSvd(120));
    LayoutImport& importer = view->bitFieldPanel().importer();
    QSignalSpy read(&importer, &LayoutImport::read);
    int ticks = 0;
    QTimer ticker;
    connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(0);
    importer.start(path);
    QVERIFY(importer.busy());
    QTRY_COMPARE_WITH_TIMEOUT(read.size(), 1, 20000);
    QVERIFY(ticks > 1);
    QVERIFY(view->findChild<SvdRegisterDialog*>());
}

// The worker's outcome finds no window to hand it to, and asks for none.
void BitFieldPanelTest::aWindowClosedWhileAFileIsReadGoesQuietly()
{
    const QString path = write("closing.svd", SampleSvd(60));
    view->bitFieldPanel().importer().start(path);
    delete view;
    QTest::qWait(50);
    for (QWidget* window : QApplication::topLevelWidgets())
        QVERIFY(!qobject_cast<SvdRegisterDialog*>(window));
}

// The exported header compiles as C, every field's macros defined.
void BitFieldPanelTest::exportsCThatCompiles()
{
    BitFieldLayout layout = Ctrl();
    layout.name = "UART0.CR";
    const QString header = fFiles.filePath("cr.h");
    QCOMPARE(ExportLayoutTo(layout, header, eExportCHeader), QString());
    const QString source = write("use.c",
        "#include \"cr.h\"\n"
        "_Static_assert(UART0_CR_MODE_MASK == 0xF0000000u, \"mask\");\n"
        "_Static_assert(UART0_CR_COUNT == 0x0FFF0000u, \"genmask\");\n"
        "_Static_assert(UART0_CR_OFFSET_SHIFT == 8, \"shift\");\n"
        "_Static_assert(UART0_CR_MODE_AUTO == 3, \"value\");\n");
    QProcess compiler;
    compiler.start(QStringLiteral(BITLENS_CXX_COMPILER),
        { "-x", "c", "-std=c11", "-fsyntax-only", "-Wall", "-Werror", source });
    QVERIFY(compiler.waitForFinished());
    QVERIFY2(compiler.exitCode() == 0, compiler.readAllStandardError().constData());

    QStringList leftOut;
    layout.fields.push_back(Field("HIGH", 31, 16));
    QCOMPARE(
        ExportLayoutTo(layout, fFiles.filePath("cr.json"), eExportWavedrom, &leftOut), QString());
    QCOMPARE(leftOut, QStringList { "HIGH" });
    QCOMPARE(
        ExportLayoutTo(layout, fFiles.filePath("missing/cr.h"), eExportCHeader).isEmpty(), false);
}

// What a screen reader says and what Tab reaches: each control of the panel
// and each cell, and no letter that Alt already answers to.
void BitFieldPanelTest::everyPartIsNamedAndReachedByKeys()
{
    BitFieldPanel& panel = openPanel();
    for (QWidget* widget : panel.findChildren<QWidget*>()) {
        if (!widget->isVisible() || widget->focusPolicy() == Qt::NoFocus
            || !widget->objectName().startsWith("bitField"))
            continue;
        QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(widget);
        QVERIFY2(!spoken->text(QAccessible::Name).isEmpty(), qPrintable(widget->objectName()));
        QVERIFY2(!widget->toolTip().isEmpty(), qPrintable(widget->objectName()));
    }
    for (int column = 0; column < BitFieldPanel::eColumnCount; ++column) {
        QVERIFY(cell(0, column)->toolTip().contains("MODE"));
        QVERIFY(
            cell(0, column)->data(Qt::AccessibleDescriptionRole).toString().startsWith("MODE, "));
    }
    QCOMPARE(DuplicateMnemonics(view), QStringList());

    // Tab goes from the table to the panel's buttons, and the table takes
    // no Tab of its own.
    panel.table()->setFocus(Qt::TabFocusReason);
    QTest::keyClick(panel.table(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget()->objectName(), QString("bitFieldAddButton"));
}

QTEST_MAIN(BitFieldPanelTest)
#include "BitFieldPanelTest.moc"
