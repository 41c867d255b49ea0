// The window's size on a small screen, run once per scale factor (CTest
// gives each run its QT_SCALE_FACTOR and an offscreen screen of 1280 x 720
// logical pixels), and once in German, whose texts are longer: what must
// show whole, and what must fit.
#include "BitGrid.h"
#include "Translations.h"
#include "WarningLabel.h"
#include "WindowTestSupport.h"

#include <QApplication>
#include <QGroupBox>
#include <QScreen>
#include <QTest>

class LayoutTest : public WindowTest {
    Q_OBJECT

private slots:
    void initTestCase();
    void valueRowShowsSixtyFourBitsAtItsOpeningSize();
    void mathAreaFitsTheScreen_data();
    void mathAreaFitsTheScreen();
    void narrowestWindowShowsThirtyTwoBitsInEveryRow();
    void fieldDigitsLineUp();

private:
    // Whether the field shows its text whole: only a text that fits keeps
    // its first and last cursor positions as far apart as the text is wide.
    static bool showsWhole(QLineEdit* field);
};

void LayoutTest::initTestCase()
{
    WindowTest::initTestCase();
    // English, or the language of the environment's locale.
    LoadTranslations(*qApp);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QVERIFY2(screen.size() == QSize(1280, 720),
        qPrintable(QString("the screen is %1 x %2").arg(screen.width()).arg(screen.height())));
    qInfo("QT_SCALE_FACTOR=%s", qgetenv("QT_SCALE_FACTOR").constData());
}

bool LayoutTest::showsWhole(QLineEdit* field)
{
    field->home(false);
    const int first = field->inputMethodQuery(Qt::ImCursorRectangle).toRect().center().x();
    field->end(false);
    const int last = field->inputMethodQuery(Qt::ImCursorRectangle).toRect().center().x();
    return last - first >= field->fontMetrics().horizontalAdvance(field->text()) - 1;
}

void LayoutTest::valueRowShowsSixtyFourBitsAtItsOpeningSize()
{
    const int opened = view->width();
    if (!run("choose bitWidthPopup 64 bits|type currentHexadecimal 8000 0000 0000 0001"))
        return;
    QCOMPARE(view->width(), opened);
    auto* binary = child<QLineEdit>("currentBinary");
    QCOMPARE(binary->text().size(), 79);
    QVERIFY(showsWhole(binary));
}

void LayoutTest::mathAreaFitsTheScreen_data()
{
    QTest::addColumn<QString>("steps");
    QTest::newRow("at 32 bits") << "open math";
    QTest::newRow("at 64 bits, every warning shown")
        << "choose bitWidthPopup 64 bits|open math|type currentHexadecimal 1 ffff ffff ffff ffff|"
           "type operandText ABCDEFGHI|choose mathOperation arithmetic shift right";
}

// The window widens by the math area, as far as the screen lets it; the
// Value row gives up the room, and its grid still shows every bit.
void LayoutTest::mathAreaFitsTheScreen()
{
    QFETCH(QString, steps);
    const int closed = view->width();
    const int area = child<QWidget>("expandedBox")->sizeHint().width();
    if (!run(steps))
        return;
    const QRect available = view->screen()->availableGeometry();
    const QRect frame = view->frameGeometry();
    QVERIFY2(frame.width() <= available.width() && frame.height() <= available.height(),
        qPrintable(QString("%1 x %2").arg(frame.width()).arg(frame.height())));
    QVERIFY2(view->width() > closed + area / 2, qPrintable(QString::number(view->width())));
    for (QWidget* widget : view->findChildren<QWidget*>()) {
        if (!widget->isVisible())
            continue;
        const QRect inWindow(widget->mapTo(view, QPoint(0, 0)), widget->size());
        QVERIFY2(view->rect().contains(inWindow), qPrintable(widget->objectName()));
        // Grids, flags, popups and warnings are never squeezed.
        if (qobject_cast<BitGrid*>(widget) || qobject_cast<QComboBox*>(widget)
            || qobject_cast<QAbstractButton*>(widget) || qobject_cast<WarningLabel*>(widget))
            QVERIFY2(
                widget->width() >= widget->sizeHint().width(), qPrintable(widget->objectName()));
    }

    // Closing gives back the width the window opened at.
    QTest::mouseClick(child<QWidget>("mathDisclosure"), Qt::LeftButton);
    QCOMPARE(view->width(), closed);
}

void LayoutTest::narrowestWindowShowsThirtyTwoBitsInEveryRow()
{
    if (!run("open math|type currentHexadecimal ffffffff|type operandHexadecimal ffffffff"))
        return;
    view->resize(view->minimumSizeHint());
    for (const char* name : { "currentBinary", "operandBinary", "resultBinary" }) {
        auto* field = child<QLineEdit>(name);
        QCOMPARE(field->text(), QString("1111 1111 1111 1111 1111 1111 1111 1111"));
        QVERIFY2(showsWhole(field), name);
    }
}

// Every digit, letter digit and group space is as wide as the others, so
// that digits line up from row to row.
void LayoutTest::fieldDigitsLineUp()
{
    for (QLineEdit* field : view->findChildren<QLineEdit*>()) {
        const QFontMetrics metrics(field->font());
        for (const QChar digit : QStringLiteral("123456789abcdefxyz .-+"))
            QVERIFY2(metrics.horizontalAdvance(digit) == metrics.horizontalAdvance('0'),
                qPrintable(field->objectName() + ": " + digit));
    }
}

QTEST_MAIN(LayoutTest)
#include "LayoutTest.moc"
