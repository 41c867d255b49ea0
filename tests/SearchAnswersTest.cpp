// What the desktop's search shows for a query: which queries read as a
// number, and the notations each one gets.
#include "app/SearchAnswers.h"
#include "app/CommandLine.h"

#include <QTest>

#include <random>

namespace {

// One answer as the user sees it: the text copied, the title shown, the subtitle.
using Shown = QStringList;

QList<Shown> shown(const std::vector<SearchAnswer>& answers)
{
    QList<Shown> all;
    for (const SearchAnswer& answer : answers)
        all << Shown { answer.text, answer.title, answer.subtitle };
    return all;
}

} // namespace

class SearchAnswersTest : public QObject {
    Q_OBJECT

private slots:
    void answersShowTheOtherNotations_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QList<Shown>>("expected");
        const auto row = [](const char* name, const QString& query, const QList<Shown>& expected) {
            QTest::newRow(name) << query << expected;
        };
        const auto same = [](const QString& text, const QString& subtitle) {
            return Shown { text, text, subtitle };
        };
        // An IPv6 address's three answers: its shortest and full forms, its hexadecimal.
        const auto ipv6 = [&](const QString& shortest, const QString& full, const QString& hex) {
            return QList<Shown> { same(shortest, "IPv6 address · shortest form"),
                same(full, "IPv6 address · every group in full"),
                same(hex, "hexadecimal · the IPv6 address") };
        };

        row("hex with its top bit set", "0xdeadbeef",
            { same("3735928559", "decimal · unsigned 32 bits"),
                same("-559038737", "decimal · signed 32 bits"),
                { "0b11011110101011011011111011101111", "1101 1110 1010 …", "binary · 32 bits" } });
        row("small hex: no signed reading, octal instead", "0xff",
            { same("255", "decimal · unsigned 32 bits"),
                { "0b11111111", "1111 1111", "binary · 32 bits" },
                same("0377", "octal · 32 bits") });
        row("hex typed in groups", "0x dead beef",
            { same("3735928559", "decimal · unsigned 32 bits"),
                same("-559038737", "decimal · signed 32 bits"),
                { "0b11011110101011011011111011101111", "1101 1110 1010 …", "binary · 32 bits" } });
        row("hex zero", "0x0",
            { same("0", "decimal · unsigned 32 bits"), { "0b0", "0000", "binary · 32 bits" },
                same("0", "octal · 32 bits") });
        row("hex beyond 32 bits widens", "0x1_0000_0000",
            { same("4294967296", "decimal · unsigned 64 bits"),
                { "0b1" + QString(32, u'0'), "0001 0000 0000 …", "binary · 64 bits" },
                same("040000000000", "octal · 64 bits") });
        row("binary grouped by spaces", "0b1010 1010",
            { same("170", "decimal · unsigned 32 bits"), same("0xaa", "hexadecimal · 32 bits"),
                same("0252", "octal · 32 bits") });
        row("binary with its top bit set", "0B" + QString(32, u'1'),
            { same("4294967295", "decimal · unsigned 32 bits"),
                same("0xffffffff", "hexadecimal · 32 bits"),
                same("-1", "decimal · signed 32 bits") });
        row("octal", "0o755",
            { same("493", "decimal · unsigned 32 bits"), same("0x1ed", "hexadecimal · 32 bits"),
                { "0b111101101", "0001 1110 1101", "binary · 32 bits" } });
        row("decimal from 256", "300",
            { same("0x12c", "hexadecimal · 32 bits"),
                { "0b100101100", "0001 0010 1100", "binary · 32 bits" },
                same("0454", "octal · 32 bits") });
        row("decimal with a plus and blanks", "  +256 ",
            { same("0x100", "hexadecimal · 32 bits"),
                { "0b100000000", "0001 0000 0000", "binary · 32 bits" },
                same("0400", "octal · 32 bits") });
        row("decimal whose top bit is set", "4294967295",
            { same("0xffffffff", "hexadecimal · 32 bits"),
                { "0b" + QString(32, u'1'), "1111 1111 1111 …", "binary · 32 bits" },
                same("-1", "decimal · signed 32 bits") });
        row("negative decimal", "-300",
            { same("0xfffffed4", "hexadecimal · 32 bits"),
                { "0b11111111111111111111111011010100", "1111 1111 1111 …", "binary · 32 bits" },
                same("4294966996", "decimal · unsigned 32 bits") });
        row("decimal beyond 32 bits", "5000000000",
            { same("0x12a05f200", "hexadecimal · 64 bits"),
                { "0b100101010000001011111001000000000", "0001 0010 1010 …", "binary · 64 bits" },
                same("045201371000", "octal · 64 bits") });
        row("largest 64-bit number", "18446744073709551615",
            { same("0xffffffffffffffff", "hexadecimal · 64 bits"),
                { "0b" + QString(64, u'1'), "1111 1111 1111 …", "binary · 64 bits" },
                same("-1", "decimal · signed 64 bits") });
        // A calculation is read as the decimal field reads it, every prefix
        // working; with an operator even a small number answers, its result
        // first. A width whose digits hold a term of the query is in words.
        row("calculation", "0b1010 << 4",
            { same("160", "decimal · unsigned 32 bits"), same("0xa0", "hexadecimal · 32 bits"),
                { "0b10100000", "1010 0000", "binary · 32 bits" } });
        row("calculation of one term", "(1<<20)-1",
            { same("1048575", "decimal · unsigned 32 bits"),
                same("0xfffff", "hexadecimal · 32 bits"),
                { "0b11111111111111111111", "1111 1111 1111 …", "binary · 32 bits" } });
        row("a term among the width's digits", "0x10 << 3",
            { same("128", "decimal · unsigned thirty-two bits"),
                same("0x80", "hexadecimal · thirty-two bits"),
                { "0b10000000", "1000 0000", "binary · thirty-two bits" } });
        row("a calculation that widens", "1 << 40",
            { same("1099511627776", "decimal · unsigned 64 bits"),
                same("0x10000000000", "hexadecimal · 64 bits"),
                { "0b1" + QString(40, u'0'), "0001 0000 0000 …", "binary · 64 bits" } });
        row("minus before a prefix", "-0x10",
            { same("-16", "decimal · signed 32 bits"), same("0xfffffff0", "hexadecimal · 32 bits"),
                { "0b11111111111111111111111111110000", "1111 1111 1111 …", "binary · 32 bits" } });
        row("plain separators", "1'000'000",
            { same("0xf4240", "hexadecimal · 32 bits"),
                { "0b11110100001001000000", "1111 0100 0010 …", "binary · 32 bits" },
                same("03641100", "octal · 32 bits") });
        row("IPv4 address", "192.168.1.1",
            { same("3232235777", "decimal · the IPv4 address as 32 bits"),
                same("0xc0a80101", "hexadecimal · the IPv4 address"),
                same("11000000.10101000.00000001.00000001",
                    "binary · the IPv4 address by octets") });
        // An address is no lone small number, whatever its value.
        row("IPv4 address of zeros", "0.0.0.0",
            { same("0", "decimal · the IPv4 address as 32 bits"),
                same("0x0", "hexadecimal · the IPv4 address"),
                same("00000000.00000000.00000000.00000000",
                    "binary · the IPv4 address by octets") });
        // 128 bits: an address's shortest and full forms, a UUID's version.
        row("IPv6 address", "2001:db8::1",
            ipv6("2001:db8::1", "2001:0db8:0000:0000:0000:0000:0000:0001",
                "0x20010db8000000000000000000000001"));
        row("IPv6 in capitals with a prefix length", "2001:DB8:0:0:1:0:0:1/64",
            ipv6("2001:db8::1:0:0:1", "2001:0db8:0000:0000:0001:0000:0000:0001",
                "0x20010db8000000000001000000000001"));
        row("IPv4-mapped IPv6 with a zone", "::ffff:192.0.2.128%eth0",
            ipv6(
                "::ffff:192.0.2.128", "0000:0000:0000:0000:0000:ffff:c000:0280", "0xffffc0000280"));
        row("IPv6 in brackets", "[::1]",
            ipv6("::1", "0000:0000:0000:0000:0000:0000:0000:0001", "0x1"));
        row("UUID", "123e4567-e89b-12d3-a456-426614174000",
            { same(
                  "123e4567-e89b-12d3-a456-426614174000", "UUID · version 1, Gregorian time-based"),
                same("0x123e4567e89b12d3a456426614174000", "hexadecimal · the UUID as 128 bits"),
                same("24249434048109030647017182301789831168", "decimal · the UUID as 128 bits") });
        row("UUID in braces, capitals", "{F81D4FAE-7DEC-11D0-A765-00A0C91E6BF6}",
            { same(
                  "f81d4fae-7dec-11d0-a765-00a0c91e6bf6", "UUID · version 1, Gregorian time-based"),
                same("0xf81d4fae7dec11d0a76500a0c91e6bf6", "hexadecimal · the UUID as 128 bits"),
                same(
                    "329800735698586629295641978511506172918", "decimal · the UUID as 128 bits") });
        row("UUID as a URN", "urn:uuid:00000000-0000-4000-8000-000000000000",
            { same("00000000-0000-4000-8000-000000000000", "UUID · version 4, random"),
                same("0x40008000000000000000", "hexadecimal · the UUID as 128 bits"),
                same("302240678275694148452352", "decimal · the UUID as 128 bits") });
    }
    void answersShowTheOtherNotations()
    {
        QFETCH(QString, query);
        QFETCH(QList<Shown>, expected);
        const std::vector<SearchAnswer> answers = SearchAnswers(query);
        QCOMPARE(shown(answers), expected);
        for (std::size_t i = 0; i < answers.size(); ++i)
            QCOMPARE(answers[i].id, QString::number(i) + u':' + query.trimmed());
    }

    // Too many searches would show numbers the user never meant.
    void queriesThatReadAsNoNumberGetNoAnswers_data()
    {
        QTest::addColumn<QString>("query");
        const auto row
            = [](const char* name, const QString& query) { QTest::newRow(name) << query; };
        row("empty", "");
        row("blanks", "  \t ");
        row("lone small decimal", "3");
        row("zero", "0");
        row("255, the last small one", "255");
        row("small negative decimal", "-255");
        row("small decimal with a plus", "+12");
        row("a word", "hello");
        row("hex digits without a prefix", "ff");
        row("a sentence with a number", "the 3 cats");
        row("a path", "/usr/bin");
        row("a calculation not yet whole", "0x10 <<");
        row("a division by zero", "1/0");
        row("a version", "1.2.3");
        row("a decimal fraction", "3.14");
        row("an exponent", "1e300");
        row("thousands separator", "1,000");
        // The decimal field would read only the 1 of these.
        row("underscore after a decimal", "1000_");
        row("blank in a decimal", "10 20");
        row("prefix alone", "0x");
        row("separator at the end", "0b1010_");
        row("digit outside the base", "0b102");
        row("hex letter beyond f", "0xfg");
        row("address with a part above 255", "256.1.1.1");
        row("address with five parts", "1.2.3.4.5");
        row("address with an empty part", "1..3.4");
        row("beyond 64 bits, decimal", "18446744073709551616");
        row("beyond 64 bits, hex", "0x1" + QString(16, u'0'));
        row("longer than a field", "0x" + QString(126, u'f'));
        row("very long", QString(100000, u'7'));
        row("digits of another script", QString::fromUtf8("\u0663\u0660\u0660"));
        row("full-width digits", QString::fromUtf8("\uff13\uff10\uff10"));
        row("emoji", QString::fromUtf8("\U0001F522 300"));
        row("replaced invalid UTF-8", QString::fromUtf8("30\xff\xfe"));
        row("a NUL inside",
            QString::fromLatin1("300\0"
                                "1",
                5));
        row("lone surrogate", QString(QChar(0xd800)) + "300");
        // Colons and hexadecimal digits that are no whole address.
        row("a time", "12:30");
        row("a C++ name", "std::map");
        row("three IPv6 groups", "1:2:3");
        row("two double colons", "1::2::3");
        row("IPv6 group of five digits", "12345::1");
        row("a hash, not a UUID", "0123456789abcdef0123456789abcdef");
        row("a UUID a digit short", "123e4567-e89b-12d3-a456-42661417400");
    }
    void queriesThatReadAsNoNumberGetNoAnswers()
    {
        QFETCH(QString, query);
        QCOMPARE(shown(SearchAnswers(query)), QList<Shown>());
    }

    // The desktop hands an id back alone; it must name the same answer.
    void idNamesItsAnswerAgain_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("text"); // empty: no answer
        QTest::newRow("first") << "0:0xdeadbeef"
                               << "3735928559";
        QTest::newRow("last") << "2:0xdeadbeef"
                              << "0b11011110101011011011111011101111";
        QTest::newRow("an address") << "1:192.168.1.1"
                                    << "0xc0a80101";
        QTest::newRow("beyond the answers") << "3:0xdeadbeef"
                                            << "";
        QTest::newRow("no index") << ":0xff"
                                  << "";
        QTest::newRow("index spelt otherwise") << "00:0xff"
                                               << "";
        QTest::newRow("query with no answers") << "0:hello"
                                               << "";
        QTest::newRow("no query") << "0"
                                  << "";
        QTest::newRow("empty") << ""
                               << "";
    }
    void idNamesItsAnswerAgain()
    {
        QFETCH(QString, id);
        QFETCH(QString, text);
        const std::optional<SearchAnswer> answer = SearchAnswerFor(id);
        QCOMPARE(answer ? answer->text : QString(), text);
        QVERIFY(!answer || answer->id == id);
    }

    // Open in Bitlens shows the number the answers came from.
    void launchOpensTheQueryInTheValueRow_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("hex") << "0xff" << QStringList { "--", "0xff" };
        QTest::newRow("negative decimal") << " -300 " << QStringList { "--", "-300" };
        QTest::newRow("address") << "10.0.0.1" << QStringList { "--from", "ip", "--", "10.0.0.1" };
        QTest::newRow("a small decimal still opens") << "3" << QStringList { "--", "3" };
        QTest::newRow("no number: an empty window") << "hello" << QStringList { "--new-window" };
        QTest::newRow("IPv6 address")
            << "2001:db8::1" << QStringList { "--from", "ip", "--", "2001:db8::1" };
        QTest::newRow("UUID in braces")
            << "{123e4567-e89b-12d3-a456-426614174000}"
            << QStringList { "--from", "uuid", "--", "{123e4567-e89b-12d3-a456-426614174000}" };
    }
    void launchOpensTheQueryInTheValueRow()
    {
        QFETCH(QString, query);
        QFETCH(QStringList, arguments);
        QCOMPARE(LaunchArgumentsFor(query), arguments);
        const Launch launch = ParseLaunch(QStringList { "bitlens" } + arguments);
        QVERIFY(OpensWindow(launch));
        if (const std::optional<QueryReading> reading = ReadQuery(query)) {
            QCOMPARE(launch.action, eLaunchWithText);
            if (reading->wide != QueryReading::eNarrow) {
                const WideConverter wide = ReadText(launch.reading).number(eFieldTypeValue);
                QVERIFY(wide.GetValue(eBigEndian) == reading->wideNumber);
                QCOMPARE(wide.BitWidth(), UInt16(128));
                return;
            }
            const BaseConverter opened
                = ReadText(launch.reading).number(eFieldTypeValue).ToBaseConverter();
            QCOMPARE(opened.GetValue(eBigEndian), reading->number.GetValue(eBigEndian));
            QCOMPARE(opened.BitWidth(), reading->number.BitWidth());
        }
    }

    // Any text the bus can carry: no crash, no more than three answers,
    // and each answer found again by its id.
    void anyTextIsHandledSoundly()
    {
        std::mt19937 rng(19);
        const QString active = QStringLiteral("0123456789abcdefxXbBoO.+- _\u00b7\u2022");
        std::uniform_int_distribution<int> length(0, 200), coin(0, 3), unit(1, 0xffff);
        for (int i = 0; i < 20000; ++i) {
            QString query(length(rng), u' ');
            for (QChar& c : query)
                c = coin(rng) ? active[unit(rng) % active.size()] : QChar(char16_t(unit(rng)));
            const std::vector<SearchAnswer> answers = SearchAnswers(query);
            QVERIFY(answers.size() <= std::size_t(kMaxSearchAnswers));
            for (const SearchAnswer& answer : answers) {
                QVERIFY(!answer.text.isEmpty() && !answer.title.isEmpty());
                QCOMPARE(SearchAnswerFor(answer.id)->text, answer.text);
            }
        }
    }
};

QTEST_GUILESS_MAIN(SearchAnswersTest)
#include "SearchAnswersTest.moc"
