// A field's text against the engine's bytes: the window leaves a field alone
// when FieldTextEquals says it already shows them, so it must agree exactly
// with what FieldTextFromBytes would have set.
#include "FieldText.h"
#include "Notation.h"

#include <QTest>

class FieldTextTest : public QObject {
    Q_OBJECT

private slots:
    void bytesForTheEngine_data();
    void bytesForTheEngine();
    void equalsWhatWouldBeShown_data();
    void equalsWhatWouldBeShown();
};

void FieldTextTest::bytesForTheEngine_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("ASCII") << QString("DEAD beef") << QByteArray("DEAD beef");
    QTest::newRow("Latin-1") << QString::fromUtf8("caf\u00E9\u00FF") << QByteArray("caf\xE9\xFF");
    QTest::newRow("bullet is the placeholder")
        << QString::fromUtf8("A\u2022") << QByteArray("A\xA5");
    QTest::newRow("beyond Latin-1") << QString::fromUtf8("1\u20AC2") << QByteArray("1?2");
    QTest::newRow("surrogate pair is one character") << QString::fromUtf8("1\U0001F600"
                                                                          "2")
                                                     << QByteArray("1?2");
    QTest::newRow("lone surrogate") << QString(QChar(0xD800)) + "2" << QByteArray("?2");
    // A NUL would end the engine's text and hide the digits after it.
    QTest::newRow("NUL") << QString("12") + QChar(0) + "34" << QByteArray("12?34");
    QTest::newRow("cut at 127") << QString(200, u'7') << QByteArray(127, '7');
    QTest::newRow("cut at 127 pairs")
        << QString::fromUtf8("\U0001F600").repeated(130) << QByteArray(127, '?');
}

void FieldTextTest::bytesForTheEngine()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    char buffer[kFieldBufferSize];
    QCOMPARE(FieldTextToBytes(text, buffer), int(bytes.size()));
    QCOMPARE(QByteArray(buffer), bytes);
}

void FieldTextTest::equalsWhatWouldBeShown_data()
{
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("equal");
    QTest::newRow("same digits") << QString("00ff 1234") << QByteArray("00ff 1234") << true;
    QTest::newRow("both empty") << QString() << QByteArray() << true;
    QTest::newRow("empty field") << QString() << QByteArray("0") << false;
    QTest::newRow("field a prefix") << QString("00f") << QByteArray("00ff") << false;
    QTest::newRow("bytes a prefix") << QString("00ff0") << QByteArray("00ff") << false;
    QTest::newRow("last character differs") << QString("00fe") << QByteArray("00ff") << false;
    QTest::newRow("placeholder shown as bullet")
        << QString::fromUtf8("\u2022\u2022A") << QByteArray("\xA5\xA5") + "A" << true;
    QTest::newRow("yen sign is not the placeholder")
        << QString::fromUtf8("\u00A5A") << QByteArray("\xA5") + "A" << false;
    QTest::newRow("Latin-1 letter")
        << QString::fromUtf8("caf\u00E9") << QByteArray("caf\xE9") << true;
    QTest::newRow("character beyond Latin-1")
        << QString::fromUtf8("\u20AC") << QByteArray("?") << false;
}

void FieldTextTest::equalsWhatWouldBeShown()
{
    QFETCH(QString, shown);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, equal);
    QCOMPARE(FieldTextEquals(shown, bytes.constData()), equal);
    QCOMPARE(FieldTextFromBytes(bytes.constData()) == shown, equal);
}

QTEST_APPLESS_MAIN(FieldTextTest)
#include "FieldTextTest.moc"
