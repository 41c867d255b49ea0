// The Result row's flags: shown by the program, never changed by the user.
#include "window/FlagButton.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QHash>
#include <QSignalSpy>
#include <QTest>

namespace {

enum UserAttempt { eMouseClick, eSpaceKey };

// The colour most of the widget is painted in: its background.
QRgb BackgroundColour(const QImage& image)
{
    QHash<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ++counts[image.pixel(x, y)];
    QRgb most = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        if (it.value() > counts.value(most))
            most = it.key();
    return most;
}

QPalette DarkPalette()
{
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(0x20, 0x20, 0x24));
    dark.setColor(QPalette::Button, QColor(0x30, 0x30, 0x36));
    dark.setColor(QPalette::ButtonText, QColor(0xe0, 0xe0, 0xe0));
    dark.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x70, 0x70, 0x70));
    dark.setColor(QPalette::Highlight, QColor(0x2a, 0x82, 0xda));
    dark.setColor(QPalette::HighlightedText, QColor(0xff, 0xff, 0xff));
    dark.setColor(QPalette::Mid, QColor(0x50, 0x50, 0x50));
    return dark;
}

} // namespace

Q_DECLARE_METATYPE(UserAttempt)

class FlagButtonTest : public QObject {
    Q_OBJECT

private slots:
    void userCannotToggle_data();
    void userCannotToggle();
    void accessibleAsACheckBox();
    void paintsLitAndDimInThePalettesColours_data();
    void paintsLitAndDimInThePalettesColours();
    void sizeFollowsTheFont();
};

void FlagButtonTest::userCannotToggle_data()
{
    QTest::addColumn<UserAttempt>("attempt");
    QTest::addColumn<bool>("checked");
    const std::pair<const char*, UserAttempt> attempts[]
        = { { "mouse click", eMouseClick }, { "Space", eSpaceKey } };
    for (const auto& [name, attempt] : attempts) {
        QTest::addRow("%s on a clear flag", name) << attempt << false;
        QTest::addRow("%s on a set flag", name) << attempt << true;
    }
}

void FlagButtonTest::userCannotToggle()
{
    QFETCH(UserAttempt, attempt);
    QFETCH(bool, checked);
    FlagButton flag(QStringLiteral("C"));
    flag.setChecked(checked);
    flag.show();
    QVERIFY(QTest::qWaitForWindowExposed(&flag));
    // The attempt must reach the button's click handling, or the test
    // would pass for a button that ignores every event.
    QSignalSpy clicked(&flag, &QAbstractButton::clicked);
    QSignalSpy toggled(&flag, &QAbstractButton::toggled);

    switch (attempt) {
    case eMouseClick: QTest::mouseClick(&flag, Qt::LeftButton); break;
    case eSpaceKey:
        flag.setFocus();
        QTest::keyClick(&flag, Qt::Key_Space);
        break;
    }
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(flag.isChecked(), checked);
    QCOMPARE(toggled.count(), 0);

    flag.setChecked(!checked);
    QCOMPARE(flag.isChecked(), !checked);
}

// Assistive technology reads the flag as a check box it cannot change.
void FlagButtonTest::accessibleAsACheckBox()
{
    FlagButton flag(QStringLiteral("V"));
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&flag);
    QVERIFY(accessible);
    QCOMPARE(accessible->role(), QAccessible::CheckBox);
    QCOMPARE(accessible->text(QAccessible::Name), QStringLiteral("V"));
    flag.setAccessibleName(QStringLiteral("Overflow"));
    QCOMPARE(accessible->text(QAccessible::Name), QStringLiteral("Overflow"));
    for (bool checked : { true, false, true }) {
        flag.setChecked(checked);
        const QAccessible::State state = accessible->state();
        QVERIFY(state.checkable);
        QVERIFY(state.readOnly);
        QCOMPARE(bool(state.checked), checked);

        QAccessibleActionInterface* actions = accessible->actionInterface();
        const QStringList offered = actions ? actions->actionNames() : QStringList();
        QVERIFY(!offered.contains(QAccessibleActionInterface::toggleAction()));
        QVERIFY(!offered.contains(QAccessibleActionInterface::pressAction()));
        if (actions) {
            actions->doAction(QAccessibleActionInterface::toggleAction());
            actions->doAction(QAccessibleActionInterface::pressAction());
        }
        QCOMPARE(flag.isChecked(), checked);
    }
}

void FlagButtonTest::paintsLitAndDimInThePalettesColours_data()
{
    QTest::addColumn<bool>("dark");
    QTest::newRow("the style's palette") << false;
    QTest::newRow("a dark palette") << true;
}

void FlagButtonTest::paintsLitAndDimInThePalettesColours()
{
    QFETCH(bool, dark);
    FlagButton flag(QStringLiteral("Z"));
    if (dark)
        flag.setPalette(DarkPalette());
    flag.resize(flag.sizeHint());
    const QPalette& colours = flag.palette();

    flag.setChecked(false);
    const QImage dim = flag.grab().toImage();
    flag.setChecked(true);
    const QImage lit = flag.grab().toImage();

    QVERIFY(dim != lit);
    QCOMPARE(QColor(BackgroundColour(dim)), colours.color(QPalette::Button));
    QCOMPARE(QColor(BackgroundColour(lit)), colours.color(QPalette::Highlight));
}

void FlagButtonTest::sizeFollowsTheFont()
{
    FlagButton flag(QStringLiteral("\u00F70"));
    QFont font = flag.font();
    font.setPointSize(10);
    flag.setFont(font);
    const QSize small = flag.sizeHint();
    QVERIFY(small.width() > flag.fontMetrics().horizontalAdvance(flag.text()));
    QVERIFY(small.height() > flag.fontMetrics().height());
    font.setPointSize(20);
    flag.setFont(font);
    const QSize large = flag.sizeHint();
    QVERIFY(large.width() > small.width());
    QVERIFY(large.height() > small.height());
}

QTEST_MAIN(FlagButtonTest)
#include "FlagButtonTest.moc"
