// What a launch opens: a window with a TEXT shows what --print prints for
// it, and a second launch brings the windows back.
#include "WindowTestSupport.h"
#include "app/CommandLine.h"

#include <QCheckBox>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QRadioButton>
#include <QTest>

#include <optional>

class LaunchTest : public WindowTest {
    Q_OBJECT

private slots:
    void windowWithTextShowsWhatPrintPrints_data();
    void windowWithTextShowsWhatPrintPrints();
    void reopenBringsBackAMinimisedWindow();
};

void LaunchTest::windowWithTextShowsWhatPrintPrints_data()
{
    QTest::addColumn<QStringList>("arguments");
    const auto row
        = [](const char* name, const QStringList& arguments) { QTest::newRow(name) << arguments; };
    row("hexadecimal literal", { "0xff" });
    row("blanks and a plus before the prefix", { " +0x10" });
    row("binary literal widens to 64", { "0b1" + QString(40, u'1') });
    row("start at 8 bits, widened by the number", { "--width", "8", "300" });
    row("negative decimal", { "-5" });
    row("negative decimal at 64 bits, little-endian", { "--width", "64", "--little-endian", "-2" });
    row("little-endian decimal", { "--little-endian", "1" });
    row("little-endian decimal that widens", { "--width", "16", "--little-endian", "5000000000" });
    row("little-endian hexadecimal", { "--little-endian", "0x1" });
    row("decimal beyond 32 bits", { "5000000000" });
    row("text", { "--from", "text", "Bits" });
    row("text beyond Latin-1", { "--from", "text", QString::fromUtf8("A\u00ff\u20ac") });
    row("text that widens", { "--from", "text", "ABCDE" });
    row("base 36", { "--from", "b36", "zz" });
    row("octal with its prefix", { "--from", "oct", "0o777" });
    row("IP address", { "--from", "ip", "10.0.0.1" });
    row("version", { "--from", "version", "1.2.3b4" });
    row("float", { "--from", "float", "1.5" });
    row("float at 8 bits", { "--width", "8", "--from", "float", "-2" });
    row("empty text", { "" });
    // Beyond 64 bits, the window shows what --print prints, and --print says so.
    row("hexadecimal beyond 64 bits", { "0x1" + QString(16, u'0') + "5" });
    row("decimal beyond 64 bits", { "18446744073709551616" });
    row("text beyond 64 bits", { "--from", "text", "ABCDEFGHI" });
}

void LaunchTest::windowWithTextShowsWhatPrintPrints()
{
    QFETCH(QStringList, arguments);
    const Launch launch = ParseLaunch(QStringList { "bitlens" } + arguments);
    QCOMPARE(launch.action, eLaunchWithText);
    const TextReading& reading = launch.reading;
    view->openWithText(reading.notation, reading.text, reading.width, reading.endian);

    QString printed, errors;
    QTextStream out(&printed), err(&errors);
    const int status
        = RunCommandLine(QStringList { "bitlens", "--print", "--json" } + arguments, out, err);
    const QJsonObject expected = QJsonDocument::fromJson(printed.toUtf8()).object();
    QCOMPARE(status, expected.value("fits").toBool() ? 0 : 1);

    QCOMPARE(
        child<QComboBox>("bitWidthPopup")->currentData().toInt(), expected.value("width").toInt());
    QCOMPARE(child<QCheckBox>("signedValueBox")->isChecked(), expected.value("signed").toBool());
    QCOMPARE(child<QRadioButton>("currentLittleEndianRadio")->isChecked(),
        expected.value("byte_order").toString() == "little-endian");
    // Each widget, the JSON key that says what it shows, and the notation
    // of a field.
    const struct {
        const char* name;
        const char* key;
        std::optional<Notation> notation;
    } shownAs[] = { { "currentBinary", "binary", eNotationBinary },
        { "currentDecimal", "decimal", eNotationDecimal },
        { "currentHexadecimal", "hexadecimal", eNotationHexadecimal },
        { "currentOctal", "octal", eNotationOctal },
        { "currentQuixadecimal", "base36", eNotationQuixadecimal },
        { "currentText", "text", eNotationText },
        { "currentIpAddress", "ip_address", eNotationIPAddress },
        { "currentNumVersion", "version", eNotationNumVersion },
        { "currentFloat", "float", eNotationFloat },
        { "currentBinaryMagnitude", "binary_magnitude", std::nullopt },
        { "currentMetricMagnitude", "metric_magnitude", std::nullopt } };
    for (const auto& [name, key, notation] : shownAs) {
        QWidget* widget = child<QWidget>(name);
        const auto* field = qobject_cast<QLineEdit*>(widget);
        const QString shown = field ? field->text() : qobject_cast<QLabel*>(widget)->text();
        // The field typed into keeps the text as it was typed.
        const QString wanted
            = notation == reading.notation ? reading.text : expected.value(key).toString();
        QCOMPARE(QString(name) + ": " + shown, QString(name) + ": " + wanted);
    }
}

void LaunchTest::reopenBringsBackAMinimisedWindow()
{
    view->showMinimized();
    QTRY_VERIFY(view->isMinimized());
    view->applicationShouldHandleReopen();
    QTRY_VERIFY(!view->isMinimized());
    QVERIFY(view->isVisible());
}

QTEST_MAIN(LaunchTest)
#include "LaunchTest.moc"
