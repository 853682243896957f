// Reading text other programs wrote: UTF-8 when valid, otherwise Windows-1252, never a
// replacement character.
#include "platform/TextCodec.h"

#include <QTest>

class tst_TextCodec : public QObject
{
    Q_OBJECT
private slots:
    void decode_data();
    void decode();
};

void tst_TextCodec::decode_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("utf8");
    QTest::newRow("empty") << QByteArray() << QString() << true;
    QTest::newRow("ascii") << QByteArray("Main list") << QStringLiteral("Main list") << true;
    QTest::newRow("utf-8 accents") << QByteArray("caf\xc3\xa9 \xc2\xb5s") << QStringLiteral("café µs") << true;
    QTest::newRow("utf-8 with byte-order mark") << QByteArray("\xef\xbb\xbfhi") << QStringLiteral("hi") << true;
    QTest::newRow("latin-1 accents") << QByteArray("caf\xe9 \xe0 \xb5") << QStringLiteral("café à µ") << false;
    // A lone lead byte at the very end is not an unfinished sequence to wait for.
    QTest::newRow("cp1252 byte at the end") << QByteArray("caf\xe9") << QStringLiteral("café") << false;
    QTest::newRow("cp1252 punctuation") << QByteArray("\x80 \x93q\x94 \x85")
                                        << QString::fromUtf8("\xe2\x82\xac \xe2\x80\x9cq\xe2\x80\x9d \xe2\x80\xa6")
                                        << false;
    QTest::newRow("undefined cp1252 bytes kept") << QByteArray("a\x81\x9d") << QStringLiteral("a\u0081\u009d") << false;
}

void tst_TextCodec::decode()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QFETCH(bool, utf8);
    bool wasUtf8 = !utf8;
    QCOMPARE(DecodeText(bytes, &wasUtf8), text);
    QCOMPARE(wasUtf8, utf8);
    QCOMPARE(IsValidUtf8(bytes), utf8);
    QVERIFY(!DecodeText(bytes).contains(QChar(QChar::ReplacementCharacter)));
}

QTEST_GUILESS_MAIN(tst_TextCodec)
#include "tst_textcodec.moc"
