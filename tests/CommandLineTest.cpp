#include "app/CommandLine.h"
#include "BitlensVersion.h"

#include "files/BitlensLayoutFile.h"

#include <QDir>
#include <QFile>
#include <QIODevice>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Run {
    int status;
    QString out;
    QString err;
};

Run RunWith(const QStringList& arguments)
{
    Run run {};
    QTextStream out(&run.out);
    QTextStream err(&run.err);
    run.status = RunCommandLine(QStringList { QStringLiteral("bitlens") } + arguments, out, err);
    return run;
}

using Fields = QMap<QString, QVariant>;

// Takes no byte, as a full disk takes none.
class FullDevice : public QIODevice {
public:
    FullDevice()
    {
        open(QIODevice::WriteOnly);
        setErrorString(QStringLiteral("No space left on device"));
    }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64) override { return -1; }
};

} // namespace

class CommandLineTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void printsTheFieldsOfALayout_data();
    void printsTheFieldsOfALayout();
    void printsTheFieldsAsJson();
    void refusesALayoutItCannotUse_data();
    void refusesALayoutItCannotUse();
    void printsJson_data();
    void printsJson();
    void printsAlignedLines();
    void rejectsUnusableArguments_data();
    void rejectsUnusableArguments();
    void answersHelpAndVersion_data();
    void answersHelpAndVersion();
    void readsWhatALaunchAsksFor_data();
    void readsWhatALaunchAsksFor();
    void saysWhatWasNotReadAsTyped_data();
    void saysWhatWasNotReadAsTyped();
    void numberBeyond128BitsIsShownWithAWarning_data();
    void numberBeyond128BitsIsShownWithAWarning();
    void outputThatCannotBeWrittenFails_data();
    void outputThatCannotBeWrittenFails();

private:
    QString write(const QString& name, const QByteArray& bytes);
    Run runInFiles(const QStringList& arguments);
    QTemporaryDir fFiles;
};

QString CommandLineTest::write(const QString& name, const QByteArray& bytes)
{
    const QString path = fFiles.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

// Run from the files' folder, so that files are named as a user names them.
Run CommandLineTest::runInFiles(const QStringList& arguments)
{
    const QString before = QDir::currentPath();
    QDir::setCurrent(fFiles.path());
    const Run run = RunWith(arguments);
    QDir::setCurrent(before);
    return run;
}

// The layouts the tests read, in each format the command line takes.
void CommandLineTest::initTestCase()
{
    QVERIFY(fFiles.isValid());
    write("ctrl.h",
        "#define CTRL_MODE GENMASK(31, 28) /* mode */\n"
        "#define CTRL_COUNT GENMASK(27, 16)\n"
        "#define CTRL_EN BIT(0)\n");
    write(
        "wide.json", R"([{"name": "LOW", "bits": 8}, {"bits": 24}, {"name": "HIGH", "bits": 32}])");
    BitFieldLayout named;
    named.name = "STATUS";
    named.width = 16;
    BitField state;
    state.name = "STATE";
    state.msb = 3;
    state.lsb = 0;
    state.values = { { 0, "IDLE", "" }, { 3, "AUTO", "" } };
    BitField offset;
    offset.name = "OFFSET";
    offset.msb = 11;
    offset.lsb = 4;
    offset.isSigned = true;
    named.fields = { state, offset };
    write("status.json", ExportBitlensLayout(named));
    write("dev.svd",
        "<?xml version=\"1.0\"?>\n<device><name>D</name><peripherals>\n"
        "<peripheral><name>UART0</name><registers>\n"
        "<register><name>CR</name><size>8</size><fields>\n"
        "<field><name>EN</name><bitRange>[0:0]</bitRange>\n"
        "<enumeratedValues><enumeratedValue><name>OFF</name><value>0</value></enumeratedValue>\n"
        "<enumeratedValue><name>ON</name><value>1</value></enumeratedValue>"
        "</enumeratedValues></field>\n"
        "<field><name>BAUD</name><lsb>4</lsb><msb>7</msb></field>\n"
        "</fields></register>\n</registers></peripheral>\n</peripherals></device>\n");
    write("broken.json", "{\"format\": \"bitlens-layout\", \"version\": 1,\n\"fields\": [\n");
    write("past63.h", "#define A BIT(3)\n#define B GENMASK(70, 68)\n");
}

// The fields section that follows the notations, for each format.
void CommandLineTest::printsTheFieldsOfALayout_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("width");
    QTest::addColumn<QString>("fields");

    QTest::newRow("C header") << QStringList { "--layout", "ctrl.h", "0x12ABCDEF" }
                              << "32 bits, unsigned, big-endian"
                              << "fields:\n"
                                 "  CTRL_MODE   31:28    0x1    1\n"
                                 "  CTRL_COUNT  27:16  0x2ab  683\n"
                                 "  CTRL_EN     0        0x1    1\n";
    QTest::newRow("named values and a signed field")
        << QStringList { "--layout", "status.json", "0xF83" } << "16 bits, unsigned, big-endian"
        << "fields:\n"
           "  STATE   3:0    0x3   3  AUTO\n"
           "  OFFSET  11:4  0xf8  -8\n";
    QTest::newRow("a value without a name")
        << QStringList { "--layout", "status.json", "5" } << "16 bits, unsigned, big-endian"
        << "fields:\n"
           "  STATE   3:0    0x5  5\n"
           "  OFFSET  11:4  0x00  0\n";
    QTest::newRow("the layout's width is the start")
        << QStringList { "--layout", "wide.json", "1" } << "64 bits, unsigned, big-endian"
        << "fields:\n"
           "  LOW   7:0          0x01  1\n"
           "  HIGH  63:32  0x00000000  0\n";
    QTest::newRow("--width wins") << QStringList { "--layout", "status.json", "--width", "32", "0" }
                                  << "32 bits, unsigned, big-endian"
                                  << "fields:\n"
                                     "  STATE   3:0    0x0  0  IDLE\n"
                                     "  OFFSET  11:4  0x00  0\n";
    QTest::newRow("SVD register") << QStringList { "--layout", "dev.svd", "--register", "UART0.CR",
        "0x51" } << "8 bits, unsigned, big-endian"
                                  << "fields:\n"
                                     "  EN    0    0x1  1  ON\n"
                                     "  BAUD  7:4  0x5  5\n";
    QTest::newRow("register named ignoring case")
        << QStringList { "--layout", "dev.svd", "--register=uart0.cr", "0" }
        << "8 bits, unsigned, big-endian"
        << "fields:\n"
           "  EN    0    0x0  0  OFF\n"
           "  BAUD  7:4  0x0  0\n";
}

void CommandLineTest::printsTheFieldsOfALayout()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, width);
    QFETCH(QString, fields);

    const Run run = runInFiles(QStringList { "--print" } + arguments);
    QCOMPARE(run.err, QString());
    QCOMPARE(run.status, 0);
    QVERIFY2(run.out.startsWith("width:            " + width + "\n"), qPrintable(run.out));
    const qsizetype at = run.out.indexOf("metric magnitude:");
    QVERIFY(at > 0);
    QCOMPARE(run.out.mid(run.out.indexOf(u'\n', at) + 1), fields);
}

void CommandLineTest::printsTheFieldsAsJson()
{
    const Run run = RunWith(
        { "--print", "--json", "--layout", fFiles.filePath("wide.json"), "0xffffffff00000003" });
    QCOMPARE(run.status, 0);
    const QJsonObject object = QJsonDocument::fromJson(run.out.toUtf8()).object();
    const QJsonArray fields = object.value("fields").toArray();
    QCOMPARE(fields.size(), 2);
    const QJsonObject low = fields[0].toObject();
    QCOMPARE(low.value("name").toString(), "LOW");
    QCOMPARE(low.value("msb").toInt(), 7);
    QCOMPARE(low.value("lsb").toInt(), 0);
    QCOMPARE(low.value("value").toString(), "3");
    QVERIFY(low.value("valueName").isNull());
    // Past 2^53 a JSON number would round; the string keeps every digit.
    const QJsonObject high = fields[1].toObject();
    QCOMPARE(high.value("value").toString(), "4294967295");
    QCOMPARE(high.value("hexadecimal").toString(), "0xffffffff");

    const Run named
        = RunWith({ "--print", "--json", "--layout", fFiles.filePath("status.json"), "0xF83" });
    const QJsonArray statusFields
        = QJsonDocument::fromJson(named.out.toUtf8()).object().value("fields").toArray();
    QCOMPARE(statusFields[0].toObject().value("valueName").toString(), "AUTO");
    QCOMPARE(statusFields[1].toObject().value("value").toString(), "-8");
    QCOMPARE(statusFields[1].toObject().value("signed").toBool(), true);
}

void CommandLineTest::refusesALayoutItCannotUse_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");

    QTest::newRow("SVD without a register")
        << QStringList { "--layout", "dev.svd", "1" } << 2
        << "bitlens: dev.svd is an SVD file: name its register with --register "
           "PERIPHERAL.REGISTER";
    QTest::newRow("unknown register") << QStringList { "--layout", "dev.svd", "--register",
        "UART0.NOPE", "1" } << 2 << "bitlens: dev.svd: no register UART0.NOPE in the file";
    QTest::newRow("register of a file that is no SVD")
        << QStringList { "--layout", "ctrl.h", "--register", "UART0.CR", "1" } << 2
        << "bitlens: --register picks a register of an SVD file; ctrl.h is not one";
    QTest::newRow("missing file") << QStringList { "--layout", "gone.h", "1" } << 1
                                  << "bitlens: gone.h: no such file";
    QTest::newRow("JSON cut short names its line")
        << QStringList { "--layout", "broken.json", "1" } << 1 << "bitlens: broken.json:3:";
    QTest::newRow("field past bit 63 names its line")
        << QStringList { "--layout", "past63.h", "1" } << 1 << "bitlens: past63.h:2:";
}

void CommandLineTest::refusesALayoutItCannotUse()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, message);

    const Run run = runInFiles(QStringList { "--print" } + arguments);
    QCOMPARE(run.status, status);
    QCOMPARE(run.out, QString());
    QVERIFY2(run.err.startsWith(message), qPrintable(run.err));
    QCOMPARE(run.err.count(u'\n'), status == 2 ? run.err.count(u'\n') : 1);
}

// Each row: the arguments after --print --json, and the fields of the JSON
// object that must hold the given values.
void CommandLineTest::printsJson_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<Fields>("expected");

    const auto row = [](const char* name, const QStringList& arguments, const Fields& expected) {
        QTest::newRow(name) << arguments << expected;
    };
    const QString bullet(QChar(0x2022));

    row("plain decimal", { "255" },
        { { "width", 32 }, { "signed", false }, { "fits", true }, { "byte_order", "big-endian" },
            { "decimal", "255" }, { "hexadecimal", "00ff" }, { "binary", "1111 1111" },
            { "octal", "0377" }, { "base36", "73" }, { "ip_address", "0.0.0.255" },
            { "binary_magnitude", "255" }, { "metric_magnitude", "255" } });
    row("0x prefix reads hexadecimal", { "0xff" }, { { "decimal", "255" } });
    row("0X prefix reads hexadecimal", { "0XFF" }, { { "decimal", "255" } });
    row("0b prefix reads binary", { "0b1010" }, { { "decimal", "10" } });
    row("0o prefix reads octal", { "0o17" }, { { "decimal", "15" } });
    row("leading zero stays decimal", { "017" }, { { "decimal", "17" } });
    row("hex digits without prefix read as decimal", { "ff" }, { { "decimal", "0" } });
    row("plus before prefix", { "+0x10" }, { { "decimal", "16" } });
    row("blanks before prefix", { "  0x10" }, { { "decimal", "16" } });
    row("empty text is zero", { "" }, { { "decimal", "0" }, { "width", 32 } });

    row("hex wider than 32 bits widens to 64", { "0x1ffffffff" },
        { { "width", 64 }, { "decimal", "8589934591" }, { "hexadecimal", "0001 ffff ffff" } });
    row("start width 8 widens to 16", { "--width", "8", "300" },
        { { "width", 16 }, { "decimal", "300" } });
    row("start width 8 holds a byte", { "--width", "8", "0xff" },
        { { "width", 8 }, { "hexadecimal", "ff" }, { "text", bullet } });

    row("leading minus is signed", { "-5" },
        { { "signed", true }, { "width", 32 }, { "decimal", "-5" }, { "hexadecimal", "ffff fffb" },
            { "binary_magnitude", "-5" } });
    row("minus after -- is signed", { "--", "-1536" },
        { { "signed", true }, { "binary_magnitude", "-1.500 KB" },
            { "metric_magnitude", "-1.536 thousand" } });
    row("minus after blanks is signed as the decimal field reads it", { " -5" },
        { { "signed", true }, { "decimal", "-5" } });

    row("little-endian decimal", { "--little-endian", "1" },
        { { "byte_order", "little-endian" }, { "decimal", "1" }, { "hexadecimal", "0100 0000" },
            { "binary_magnitude", "1" } });
    row("little-endian reads typed hex byte-reversed", { "--little-endian", "0x1" },
        { { "decimal", "16777216" }, { "binary_magnitude", "16.000 MB" } });

    row("--from hex", { "--from", "hex", "10" }, { { "decimal", "16" } });
    row("--from=hex", { "--from=hex", "ff" }, { { "decimal", "255" } });
    // A literal is read in the radix its prefix names, where the prefix's
    // letter is no digit of the field; a calculation as the decimal field
    // reads it.
    row("--from dec reads a hex literal", { "--from", "dec", "0x10" }, { { "decimal", "16" } });
    row("--from hex keeps b as a digit", { "--from", "hex", "0b1" }, { { "decimal", "177" } });
    row("calculation", { "(1<<20)-1" }, { { "decimal", "1048575" }, { "width", 32 } });
    row("calculation with prefixes", { "0b1010 << 4" }, { { "decimal", "160" } });
    row("hex calculation", { "--from", "hex", "ff+1" }, { { "hexadecimal", "0100" } });
    row("minus before a prefix", { "-0x10" }, { { "decimal", "-16" }, { "signed", true } });
    row("negative at the width", { "--from", "hex", "0-1" }, { { "hexadecimal", "ffff ffff" } });
    row("--from bin", { "--from", "bin", "0b101" }, { { "decimal", "5" } });
    row("--from oct", { "--from", "oct", "777" }, { { "decimal", "511" } });
    row("--from b36", { "--from", "b36", "ZZ" }, { { "decimal", "1295" } });
    row("--from text", { "--from", "text", "ABCD" },
        { { "decimal", "1094861636" }, { "text", "ABCD" }, { "hexadecimal", "4142 4344" } });
    row("--from ip", { "--from", "ip", "192.168.0.1" },
        { { "hexadecimal", "c0a8 0001" }, { "ip_address", "192.168.0.1" } });
    row("--from version", { "--from", "version", "1.2.3b4" },
        { { "hexadecimal", "0123 6004" }, { "version", "1.2.3b4" } });
    row("--from float", { "--from", "float", "-1.5" },
        { { "hexadecimal", "bfc0 0000" }, { "float", "-1.5" }, { "signed", false } });
    row("--from float at 8 bits reads a single", { "--width", "8", "--from", "float", "0.1" },
        { { "width", 32 }, { "hexadecimal", "3dcc cccd" } });
    row("float follows the width", { "--width", "64", "0x3ff8000000000000" },
        { { "float", "1.5" } });
    row("no float at 8 bits", { "--width", "8", "7" }, { { "float", "" } });
    row("--from text wider than 32 bits widens", { "--from", "text", "ABCDE" },
        { { "width", 64 }, { "text", bullet + bullet + bullet + "ABCDE" } });

    row("Latin-1 character is its byte", { "--from", "text", QString(QChar(0xE9)) },
        { { "decimal", "233" } });
    row("character outside 8 bits is a question mark", { "--from", "text", "\u20ac" },
        { { "decimal", "63" } });
    row("bytes that are not UTF-8", { "--from", "text", QString::fromLocal8Bit("A\xff") },
        { { "decimal", "16703" }, { "text", bullet + bullet + "A?" } });
    row("127 characters are read", { "0x" + QString(125, u'0') }, { { "decimal", "0" } });
    row("--width 128", { "--width", "128", "-1" },
        { { "width", 128 }, { "hexadecimal", "ffff ffff ffff ffff ffff ffff ffff ffff" },
            { "uuid", "ffffffff-ffff-ffff-ffff-ffffffffffff" } });
    row("--from uuid widens to 128", { "--from", "uuid", "{123E4567-E89B-12D3-A456-426614174000}" },
        { { "width", 128 }, { "uuid", "123e4567-e89b-12d3-a456-426614174000" },
            { "decimal", "24249434048109030647017182301789831168" } });
    row("an IPv6 address widens to 128", { "--from", "ip", "2001:db8::1" },
        { { "width", 128 }, { "ip_address", "2001:db8::1" },
            { "uuid", "20010db8-0000-0000-0000-000000000001" } });
}

void CommandLineTest::printsJson()
{
    QFETCH(QStringList, arguments);
    QFETCH(Fields, expected);

    const Run run = RunWith(QStringList { "--print", "--json" } + arguments);
    // What was not read as typed is said apart, and is not this test's.
    QVERIFY2(run.err.isEmpty() || run.err.startsWith("bitlens: warning: "), qPrintable(run.err));
    QCOMPARE(run.status, 0);
    QJsonParseError error {};
    const QJsonDocument document = QJsonDocument::fromJson(run.out.toUtf8(), &error);
    QCOMPARE(error.error, QJsonParseError::NoError);
    const QJsonObject object = document.object();
    // The UUID is a member at 128 bits only.
    QCOMPARE(object.size(), object.value("width").toInt() == 128 ? 16 : 15);
    for (auto field = expected.cbegin(); field != expected.cend(); ++field)
        QCOMPARE(object.value(field.key()).toVariant(), field.value());
}

void CommandLineTest::printsAlignedLines()
{
    const Run run = RunWith({ "--print", "0xff" });
    QCOMPARE(run.status, 0);
    QCOMPARE(run.err, QString());
    const QString bullets(4, QChar(0x2022));
    QCOMPARE(run.out,
        "width:            32 bits, unsigned, big-endian\n"
        "binary:           1111 1111\n"
        "decimal:          255\n"
        "hexadecimal:      00ff\n"
        "octal:            0377\n"
        "base 36:          73\n"
        "text:             "
            + bullets
            + "\n"
              "IP address:       0.0.0.255\n"
              "version:          0.0\n"
              "float:            3.57e-43\n"
              "binary magnitude: 255\n"
              "metric magnitude: 255\n");
}

void CommandLineTest::rejectsUnusableArguments_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");

    QTest::newRow("unknown long option")
        << QStringList { "--print", "--bogus", "1" } << "bitlens: unknown option '--bogus'";
    QTest::newRow("unknown short option") << QStringList { "-x" } << "bitlens: unknown option '-x'";
    QTest::newRow("missing TEXT") << QStringList { "--print" } << "bitlens: --print needs a TEXT";
    QTest::newRow("--json without --print")
        << QStringList { "--json", "5" } << "bitlens: --json needs --print";
    QTest::newRow("--print with --new-window") << QStringList { "--print", "--new-window", "1" }
                                               << "bitlens: --print opens no window: leave out "
                                                  "--new-window";
    QTest::newRow("--width without TEXT") << QStringList { "--width", "8" }
                                          << "bitlens: --from, --width and --little-endian need "
                                             "a TEXT";
    // The window takes the same arguments, so it refuses the same way.
    QTest::newRow("one-dash -help") << QStringList { "-help" } << "bitlens: unknown option '-help'";
    QTest::newRow("one-dash -print")
        << QStringList { "-print", "0xff" } << "bitlens: unknown option '-print'";
    QTest::newRow("unknown option in window mode")
        << QStringList { "--bogus" } << "bitlens: unknown option '--bogus'";
    QTest::newRow("toolkit option without its value")
        << QStringList { "0xff", "-style" } << "bitlens: option '-style' needs a value";
    QTest::newRow("two TEXTs") << QStringList { "--print", "1", "2" }
                               << "bitlens: unexpected argument '2': give one TEXT, quoted if it "
                                  "holds spaces";
    QTest::newRow("--from without value")
        << QStringList { "--print", "--from" } << "bitlens: option '--from' needs a value";
    QTest::newRow("bad --from") << QStringList { "--print", "--from", "hexa", "1" }
                                << "bitlens: --from must be bin, dec, hex, oct, b36, text, ip, "
                                   "version, float or uuid, not 'hexa'";
    QTest::newRow("bad --width") << QStringList { "--print", "--width", "12", "1" }
                                 << "bitlens: --width must be 8, 16, 32, 64 or 128, not '12'";
    QTest::newRow("non-numeric --width") << QStringList { "--print", "--width=x32",
        "1" } << "bitlens: --width must be 8, 16, 32, 64 or 128, not 'x32'";
    QTest::newRow("value on a flag") << QStringList { "--print", "--json=yes", "1" }
                                     << "bitlens: option '--json' takes no value";
    QTest::newRow("--strict without --print")
        << QStringList { "--strict", "1" } << "bitlens: --strict needs --print";
    QTest::newRow("control characters stay on one line")
        << QStringList { "--a\nb\x1b[2J" } << "bitlens: unknown option '--a?b?[2J'";
    QTest::newRow("search service with a TEXT") << QStringList { "--search-service",
        "0xff" } << "bitlens: --search-service takes no other option and no TEXT";
    QTest::newRow("search service with --print") << QStringList { "--search-service", "--print",
        "1" } << "bitlens: --search-service takes no other option and no TEXT";
    QTest::newRow("--layout without --print")
        << QStringList { "--layout", "regs.h", "1" } << "bitlens: --layout needs --print";
    QTest::newRow("--register without --layout") << QStringList { "--print", "--register",
        "UART0.CR", "1" } << "bitlens: --register needs --layout FILE";
    QTest::newRow("--layout with an empty FILE")
        << QStringList { "--print", "--layout=", "1" } << "bitlens: --layout needs a FILE";
    QTest::newRow("search service with a layout") << QStringList { "--search-service", "--layout",
        "regs.h" } << "bitlens: --search-service takes no other option and no TEXT";
    QTest::newRow("long argument is cut")
        << QStringList { "--" + QString(100, u'y') }
        << "bitlens: unknown option '--" + QString(38, u'y') + "...'";
}

void CommandLineTest::rejectsUnusableArguments()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);

    const Run run = RunWith(arguments);
    QCOMPARE(run.status, 2);
    QCOMPARE(run.out, QString());
    const QStringList lines = run.err.split(u'\n');
    QVERIFY(lines.size() > 2);
    QCOMPARE(lines[0], message);
    QVERIFY(lines[1].startsWith("Usage: bitlens"));
}

void CommandLineTest::answersHelpAndVersion_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("start");

    QTest::newRow("--help") << QStringList { "--help" } << "Usage: bitlens";
    QTest::newRow("-h") << QStringList { "-h" } << "Usage: bitlens";
    QTest::newRow("--version") << QStringList { "--version" } << "bitlens " BITLENS_VERSION "\n";
    QTest::newRow("-v") << QStringList { "-v" } << "bitlens " BITLENS_VERSION "\n";
}

void CommandLineTest::answersHelpAndVersion()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, start);

    const Run run = RunWith(arguments);
    QCOMPARE(run.status, 0);
    QCOMPARE(run.err, QString());
    QVERIFY2(run.out.startsWith(start), qPrintable(run.out));
}

void CommandLineTest::readsWhatALaunchAsksFor_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("action");
    // For a TEXT: notation, width, byte order, text; else empty. Then the
    // toolkit's -platform and -display values, left for the toolkit.
    QTest::addColumn<QStringList>("reading");
    QTest::addColumn<QStringList>("toolkit");

    const auto row = [](const char* name, const QStringList& arguments, LaunchAction action,
                         const QStringList& reading = {}, const QStringList& toolkit = { "", "" }) {
        QTest::newRow(name) << arguments << int(action) << reading << toolkit;
    };
    row("bare program", {}, eLaunchToFront);
    row("new window", { "--new-window" }, eLaunchNewWindow);
    row("TEXT opens a window", { "0xff" }, eLaunchWithText, { "hex", "32", "big", "0xff" });
    row("TEXT with the reading options", { "--width", "8", "--little-endian", "--from=oct", "17" },
        eLaunchWithText, { "oct", "8", "little", "17" });
    row("negative number is a TEXT", { "-5" }, eLaunchWithText, { "dec", "32", "big", "-5" });
    row("TEXT after --", { "--", "--5" }, eLaunchWithText, { "dec", "32", "big", "--5" });
    row("--new-window with a TEXT", { "--new-window", "7" }, eLaunchWithText,
        { "dec", "32", "big", "7" });
    row("toolkit option and its value", { "-style", "fusion" }, eLaunchToFront);
    row("toolkit option, two dashes", { "--platform", "offscreen" }, eLaunchToFront, {},
        { "offscreen", "" });
    row("toolkit option with =", { "-style=fusion", "0b1" }, eLaunchWithText,
        { "bin", "32", "big", "0b1" });
    row("toolkit display", { "-display", ":1", "--new-window" }, eLaunchNewWindow, {},
        { "", ":1" });
    row("toolkit flag before a TEXT", { "-reverse", "12" }, eLaunchWithText,
        { "dec", "32", "big", "12" });
    row("toolkit value that looks like an option", { "-qwindowtitle", "--print" }, eLaunchToFront);
    row("--print", { "--print", "1" }, eLaunchPrint, { "dec", "32", "big", "1" });
    row("-h", { "-h" }, eLaunchHelp);
    row("-v", { "-v" }, eLaunchVersion);
    row("search service", { "--search-service" }, eLaunchSearchService);
    row("search service on a named platform", { "-platform", "offscreen", "--search-service" },
        eLaunchSearchService, {}, { "offscreen", "" });
}

void CommandLineTest::readsWhatALaunchAsksFor()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, action);
    QFETCH(QStringList, reading);
    QFETCH(QStringList, toolkit);

    const Launch launch = ParseLaunch(QStringList { "bitlens" } + arguments);
    QCOMPARE(launch.error, QString());
    QCOMPARE(int(launch.action), action);
    QCOMPARE(OpensWindow(launch), action <= eLaunchWithText);
    if (!reading.isEmpty()) {
        const char* const notations[]
            = { "bin", "dec", "hex", "oct", "b36", "text", "ip", "version" };
        const TextReading& read = launch.reading;
        QCOMPARE((QStringList { notations[read.notation], QString::number(read.width),
                     read.endian == eBigEndian ? "big" : "little", read.text }),
            reading);
    }
    QCOMPARE((QStringList { launch.platform, launch.display }), toolkit);
}

// The window keeps the low 128 bits of a longer number; the command line
// shows the same and says that it is not the whole number.
void CommandLineTest::numberBeyond128BitsIsShownWithAWarning_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("fits");

    QTest::newRow("largest 64-bit number") << QStringList { "18446744073709551615" } << true;
    QTest::newRow("leading zeros do not count")
        << QStringList { "0x" + QString(20, u'0') + "ff" } << true;
    QTest::newRow("2 to the 64th") << QStringList { "18446744073709551616" } << true;
    QTest::newRow("2 to the 128th")
        << QStringList { "340282366920938463463374607431768211456" } << false;
    QTest::newRow("33 hex digits") << QStringList { "0x1" + QString(32, u'0') } << false;
    QTest::newRow("129 binary digits") << QStringList { "0b1" + QString(128, u'0') } << false;
    QTest::newRow("below the signed range")
        << QStringList { "-170141183460469231731687303715884105729" } << false;
    QTest::newRow("17 bytes of text")
        << QStringList { "--from", "text", "ABCDEFGHIJKLMNOPQ" } << false;
}

void CommandLineTest::numberBeyond128BitsIsShownWithAWarning()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, fits);

    for (const QStringList& options : { QStringList { "--print" }, { "--print", "--json" } }) {
        const Run run = RunWith(options + arguments);
        QCOMPARE(run.status, fits ? 0 : 1);
        if (options.contains("--json"))
            QCOMPARE(
                QJsonDocument::fromJson(run.out.toUtf8()).object().value("fits").toBool(), fits);
        else
            QVERIFY(run.out.startsWith("width:"));
        QCOMPARE(run.err.count(u'\n'), fits ? 0 : 1);
        QVERIFY2(fits || run.err.startsWith("bitlens: warning: "), qPrintable(run.err));
    }
}

// The field's own messages, on standard error, and the status they give.
void CommandLineTest::saysWhatWasNotReadAsTyped_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("said");
    QTest::addColumn<bool>("printed");
    const auto row = [](const char* name, const QStringList& arguments, int status,
                         const char* said, bool printed = true) {
        QTest::newRow(name) << arguments << status << QString::fromUtf8(said) << printed;
    };
    row("ignored", { "--from", "hex", "ffg" }, 0,
        "bitlens: warning: ignored: g (not a hexadecimal digit)\n");
    row("IP group above a byte", { "--from", "ip", "256.1.1.1" }, 0,
        "bitlens: warning: 256 is more than a byte: the group reads as 0\n");
    row("version read in part", { "--from", "version", "1.2.3x4" }, 0,
        "bitlens: warning: read up to 1.2.3\n");
    row("blank in a decimal", { "--from", "dec", "1 000" }, 0,
        "bitlens: warning: a blank ends a decimal number: read up to 1\n");
    row("not one byte", { "--from", "text", "\u20ac" }, 0,
        "bitlens: warning: \u20ac is not one byte: read as ?\n");
    row("not a float", { "--from", "float", "abc" }, 0,
        "bitlens: warning: abc is not a number: read as 0\n");
    row("wrapped", { "9223372036854775807 + 1" }, 0,
        "bitlens: warning: wrapped: needs more than 64 bits\n");
    row("below the most negative", { "-" + QString(40, u'9') }, 1,
        "bitlens: warning: beyond 128 bits: the most negative is shown\n");
    row("division by zero", { "1/0" }, 1, "bitlens: division by zero\n", false);
    row("read as typed", { "0x10 << 3" }, 0, "");
    row("separators", { "1'000_000" }, 0, "");
    row("a calculation widens", { "1 << 40" }, 0,
        "bitlens: warning: the result needs 64 bits: the width is now 64\n");
    const QString cut = "0x" + QString(158, u'0');
    row("cut", { cut }, 0, "bitlens: warning: cut to 159 characters\n");
    // TEXT alone is wrong: one line, no usage.
    row("incomplete calculation", { "1 +" }, 2, "bitlens: incomplete: a number after +\n", false);
    row("--strict and a character not read", { "--strict", "--from", "hex", "ffg" }, 2,
        "bitlens: ignored: g (not a hexadecimal digit)\n", false);
    row("--strict and a cut", { "--strict", cut }, 2, "bitlens: cut to 159 characters\n", false);
}

void CommandLineTest::saysWhatWasNotReadAsTyped()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, said);
    QFETCH(bool, printed);
    const Run run = RunWith(QStringList { "--print" } + arguments);
    QCOMPARE(run.err, said);
    QCOMPARE(run.status, status);
    QCOMPARE(!run.out.isEmpty(), printed);
}

void CommandLineTest::outputThatCannotBeWrittenFails_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("--print") << QStringList { "--print", "1" };
    QTest::newRow("--print --json") << QStringList { "--print", "--json", "1" };
    QTest::newRow("--help") << QStringList { "--help" };
    QTest::newRow("--version") << QStringList { "--version" };
}

void CommandLineTest::outputThatCannotBeWrittenFails()
{
    QFETCH(QStringList, arguments);

    FullDevice full;
    QTextStream out(&full);
    QString errors;
    QTextStream err(&errors);
    QCOMPARE(RunCommandLine(QStringList { "bitlens" } + arguments, out, err), 1);
    QVERIFY2(errors.startsWith("bitlens: cannot write the output"), qPrintable(errors));
    QCOMPARE(errors.count(u'\n'), 1);
}

QTEST_GUILESS_MAIN(CommandLineTest)

#include "CommandLineTest.moc"
