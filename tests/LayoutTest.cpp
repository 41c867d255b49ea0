// The window on small screens, run once per screen and scale factor and in
// German, whose texts are longer (CTest gives each run its QT_SCALE_FACTOR,
// an offscreen screen, the screen's size in device pixels in
// BITLENS_LAYOUT_SCREEN and the language it expects in
// BITLENS_LAYOUT_LANGUAGE): what must show whole, what must fit, what must
// be reachable, and what must keep apart.
#include "WindowTestSupport.h"
#include "app/Translations.h"
#include "window/BitGrid.h"
#include "window/WarningLabel.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QTest>

#include <cmath>

class LayoutTest : public WindowTest {
    Q_OBJECT

private slots:
    void initTestCase();
    void valueRowShowsSixtyFourBitsAtItsOpeningSize();
    void mathAreaFitsTheScreen_data();
    void mathAreaFitsTheScreen();
    void mathAreaShowsEveryBinaryDigit_data();
    void mathAreaShowsEveryBinaryDigit();
    void labelsKeepApart_data();
    void labelsKeepApart();
    void narrowestWindowShowsThirtyTwoBitsInEveryRow();
    void fieldDigitsLineUp();

private:
    // Whether the field shows its text whole: only a text that fits keeps
    // its first and last cursor positions as far apart as the text is wide.
    static bool showsWhole(QLineEdit* field);
    // Says which visible control the scroll area cannot bring into view, or
    // which part of the window lies off the screen; nothing when all is well.
    QString unreachable() const;
};

void LayoutTest::initTestCase()
{
    WindowTest::initTestCase();
    QCOMPARE(LoadTranslations(*qApp), qEnvironmentVariable("BITLENS_LAYOUT_LANGUAGE"));
    // The screen CTest asked for, in logical pixels.
    const QStringList pixels = qEnvironmentVariable("BITLENS_LAYOUT_SCREEN").split('x');
    QCOMPARE(pixels.size(), 2);
    const double scale = qEnvironmentVariable("QT_SCALE_FACTOR").toDouble();
    QVERIFY(scale > 0);
    const QSize expected(
        int(std::lround(pixels[0].toInt() / scale)), int(std::lround(pixels[1].toInt() / scale)));
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QVERIFY2(screen.size() == expected,
        qPrintable(QString("the screen is %1 x %2").arg(screen.width()).arg(screen.height())));
    qInfo("QT_SCALE_FACTOR=%g, %d x %d logical pixels", scale, screen.width(), screen.height());
}

bool LayoutTest::showsWhole(QLineEdit* field)
{
    field->home(false);
    const int first = field->inputMethodQuery(Qt::ImCursorRectangle).toRect().center().x();
    field->end(false);
    const int last = field->inputMethodQuery(Qt::ImCursorRectangle).toRect().center().x();
    return last - first >= field->fontMetrics().horizontalAdvance(field->text()) - 1;
}

QString LayoutTest::unreachable() const
{
    const QRect available = view->screen()->availableGeometry();
    if (!available.contains(view->frameGeometry()))
        return QString("the window at %1,%2 %3 x %4")
            .arg(view->frameGeometry().x())
            .arg(view->frameGeometry().y())
            .arg(view->frameGeometry().width())
            .arg(view->frameGeometry().height());
    auto* area = child<QScrollArea>("windowScrollArea");
    QWidget* viewport = area->viewport();
    const QRect shown(viewport->mapTo(view, QPoint(0, 0)), viewport->size());
    if (!view->rect().contains(shown))
        return "the scroll area";
    for (QWidget* widget : area->widget()->findChildren<QWidget*>()) {
        const bool control = qobject_cast<QAbstractButton*>(widget)
            || qobject_cast<QLineEdit*>(widget) || qobject_cast<QComboBox*>(widget)
            || qobject_cast<BitGrid*>(widget) || qobject_cast<QLabel*>(widget);
        if (!control || !widget->isVisible())
            continue;
        // The whole widget, where ensureWidgetVisible brings a field's cursor.
        const QRect inContent(widget->mapTo(area->widget(), QPoint(0, 0)), widget->size());
        area->ensureVisible(inContent.center().x(), inContent.center().y(),
            inContent.width() / 2 + 1, inContent.height() / 2 + 1);
        const QRect inViewport(widget->mapTo(viewport, QPoint(0, 0)), widget->size());
        if (!viewport->rect().contains(inViewport))
            return widget->objectName();
    }
    return {};
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
    const QString missing = unreachable();
    QVERIFY2(missing.isEmpty(), qPrintable(missing));
}

void LayoutTest::mathAreaFitsTheScreen_data()
{
    QTest::addColumn<QString>("steps");
    QTest::newRow("at 32 bits") << "open math";
    QTest::newRow("at 64 bits, every warning shown")
        << "choose bitWidthPopup 64 bits|open math|type currentHexadecimal 1 ffff ffff ffff ffff|"
           "type operandText ABCDEFGHI|choose mathOperation arithmetic shift right";
}

// The window grows by the math area as far as the screen lets it, beside
// the Value row or below it; what the screen has no room for scrolls into
// view.
void LayoutTest::mathAreaFitsTheScreen()
{
    QFETCH(QString, steps);
    const QSize closed = view->size();
    if (!run(steps))
        return;
    const QString missing = unreachable();
    QVERIFY2(missing.isEmpty(), qPrintable(missing));

    // As large as the rows need, or as the screen's free area allows.
    auto* area = child<QScrollArea>("windowScrollArea");
    const QSize content = area->widget()->minimumSizeHint();
    const QSize room = view->screen()->availableGeometry().size();
    const QSize shown = area->viewport()->size();
    QVERIFY2(shown.width() >= content.width() || view->frameGeometry().width() == room.width(),
        qPrintable(QString::number(shown.width())));
    QVERIFY2(shown.height() >= content.height() || view->frameGeometry().height() == room.height(),
        qPrintable(QString::number(shown.height())));

    for (QWidget* widget : view->findChildren<QWidget*>()) {
        // Grids, flags, popups and warnings are never squeezed; a grid's
        // cells grow from its least width.
        if (widget->isVisible()
            && (qobject_cast<BitGrid*>(widget) || qobject_cast<QComboBox*>(widget)
                || qobject_cast<QAbstractButton*>(widget) || qobject_cast<WarningLabel*>(widget)))
            QVERIFY2(widget->width() >= (qobject_cast<BitGrid*>(widget) ? widget->minimumSizeHint()
                                                                        : widget->sizeHint())
                                            .width(),
                qPrintable(widget->objectName()));
    }

    // Closing gives back the size the window opened at.
    QTest::mouseClick(child<QWidget>("mathDisclosure"), Qt::LeftButton);
    QCOMPARE(view->size(), closed);
}

void LayoutTest::mathAreaShowsEveryBinaryDigit_data()
{
    QTest::addColumn<QString>("steps");
    QTest::newRow("opened at 64 bits")
        << "choose bitWidthPopup 64 bits|type currentHexadecimal ffff ffff ffff ffff|open math|"
           "type operandHexadecimal 8000 0000 0000 0001|choose mathOperation XOR";
    QTest::newRow("widened to 64 bits by typing")
        << "open math|type currentHexadecimal ffff ffff ffff ffff|"
           "type operandHexadecimal 8000 0000 0000 0001|choose mathOperation XOR";
    QTest::newRow("64 bits chosen while open")
        << "open math|choose bitWidthPopup 64 bits|type currentHexadecimal ffff ffff ffff ffff|"
           "type operandHexadecimal 8000 0000 0000 0001|choose mathOperation XOR";
}

// With the math area open at 64 bits, every row's binary field shows all 64
// digits: the window grows, or its rows go below each other.
void LayoutTest::mathAreaShowsEveryBinaryDigit()
{
    QFETCH(QString, steps);
    if (!run(steps))
        return;
    QCOMPARE(child<QLineEdit>("resultBinary")->text(),
        QString("0111 1111 1111 1111 1111 1111 1111 1111 1111 1111 1111 1111 1111 1111 1111 "
                "1110"));
    for (const char* name : { "currentBinary", "operandBinary", "resultBinary" }) {
        auto* field = child<QLineEdit>(name);
        QCOMPARE(field->text().size(), 79);
        QVERIFY2(showsWhole(field), name);
    }
    const QString missing = unreachable();
    QVERIFY2(missing.isEmpty(), qPrintable(missing));

    // Back at 32 bits the window keeps every field whole and on the screen.
    if (!run("choose bitWidthPopup 32 bits"))
        return;
    QVERIFY(showsWhole(child<QLineEdit>("operandBinary")));
    QVERIFY(view->screen()->availableGeometry().contains(view->frameGeometry()));
}

void LayoutTest::labelsKeepApart_data()
{
    QTest::addColumn<QString>("steps");
    QTest::newRow("math area closed") << "";
    QTest::newRow("at 32 bits") << "open math";
    QTest::newRow("at 64 bits, every warning shown")
        << "choose bitWidthPopup 64 bits|open math|type currentHexadecimal 1 ffff ffff ffff ffff|"
           "type operandText ABCDEFGHI|choose mathOperation arithmetic shift right";
}

// Two labels on one line are more than twice a word space apart, so that
// they never read as one phrase: "Result" beside "Operation:" in every
// language.
void LayoutTest::labelsKeepApart()
{
    QFETCH(QString, steps);
    if (!run(steps))
        return;
    struct Shown {
        QString name;
        QRect text;
    };
    std::vector<Shown> labels;
    for (QLabel* label : view->findChildren<QLabel*>()) {
        if (!label->isVisible() || label->text().isEmpty())
            continue;
        const QSize size = label->fontMetrics().size(Qt::TextShowMnemonic, label->text());
        const QRect text = QStyle::alignedRect(
            label->layoutDirection(), label->alignment(), size, label->contentsRect());
        labels.push_back({ label->objectName(), text.translated(label->mapTo(view, QPoint())) });
    }
    QVERIFY(labels.size() > 10);
    const int apart = 2 * view->fontMetrics().horizontalAdvance(QLatin1Char(' ')) + 1;
    for (std::size_t one = 0; one < labels.size(); ++one) {
        for (std::size_t other = one + 1; other < labels.size(); ++other) {
            const QRect a = labels[one].text;
            const QRect b = labels[other].text;
            const bool sameLine = a.top() <= b.bottom() && b.top() <= a.bottom();
            const int gap = std::max(a.left(), b.left()) - std::min(a.right(), b.right()) - 1;
            QVERIFY2(!sameLine || gap >= apart,
                qPrintable(QString("%1 and %2 are %3 pixels apart")
                               .arg(labels[one].name, labels[other].name)
                               .arg(gap)));
        }
    }
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
