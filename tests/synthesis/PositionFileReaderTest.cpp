// The position file reader: both record forms in any line layout, and every malformed file
// rejected whole with a message naming the problem and where it is.
#include "PositionFileReader.h"

#include <QtTest>
#include "TestSupport.h"

class PositionFileReaderTest : public QObject {
    Q_OBJECT
private slots:
    void readsBothRecordFormsInAnyLineLayout_data();
    void readsBothRecordFormsInAnyLineLayout();
    void rejectsMalformedFiles_data();
    void rejectsMalformedFiles();
    void aRejectedFileLeavesNoRecords();
};

// The form follows the count of numbers, whatever the command asked for; the last record is
// read back whole (theta in degrees, the parameter 0 for three-number records).
void PositionFileReaderTest::readsBothRecordFormsInAnyLineLayout_data() {
    QTest::addColumn<int>("defaultSize");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("form");
    QTest::addColumn<int>("count");
    QTest::addColumn<QVector<double>>("last");  // x, y, theta, parameter
    QTest::newRow("three numbers on one line") << 3 << QByteArray("3 0 0 0 1 1 45 2 0 90") << 3 << 3
                                               << QVector<double>{2, 0, 90, 0};
    QTest::newRow("tabs, blank lines and CR LF") << 3 << QByteArray("1\r\n\t 1.5\n\n  -2\t90   \n")
                                                 << 3 << 1 << QVector<double>{1.5, -2, 90, 0};
    QTest::newRow("four numbers with their parameter") << 4 << QByteArray("2\n1 2 30 0.5\n-1e1 .25 -15 7\n")
                                                       << 4 << 2 << QVector<double>{-10, 0.25, -15, 7};
    QTest::newRow("three numbers read by a four-number command")
        << 4 << QByteArray("2 1 2 3 4 5 6") << 3 << 2 << QVector<double>{4, 5, 6, 0};
    QTest::newRow("four numbers read by a three-number command")
        << 3 << QByteArray("2 1 2 3 4 5 6 7 8") << 4 << 2 << QVector<double>{5, 6, 7, 8};
    // Twelve numbers after a count of 4 are four records of three, never three of four.
    QTest::newRow("twelve numbers, count 4") << 4 << QByteArray("4 1 2 3 4 5 6 7 8 9 10 11 12") << 3
                                             << 4 << QVector<double>{10, 11, 12, 0};
    QTest::newRow("a zero count, three") << 3 << QByteArray("0\n") << 3 << 0 << QVector<double>{};
}

void PositionFileReaderTest::readsBothRecordFormsInAnyLineLayout() {
    QFETCH(int, defaultSize);
    QFETCH(QByteArray, text);
    QFETCH(int, form);
    QFETCH(int, count);
    QFETCH(QVector<double>, last);
    PositionFileReader reader(defaultSize);
    QVERIFY2(reader.readText(text), qPrintable(reader.error()));
    QCOMPARE(reader.recordSize(), form);
    QCOMPARE(static_cast<int>(reader.records().size()), count);
    if (count > 0) {
        const auto &r = reader.records().back();
        QCOMPARE((QVector<double>{r.x, r.y, r.thetaDeg, r.parameter}), last);
    }
}

void PositionFileReaderTest::rejectsMalformedFiles_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("mentions");
    QTest::newRow("empty file") << QByteArray("  \n") << QStringLiteral("no count");
    QTest::newRow("count does not parse") << QByteArray("five\n1 2 3") << QStringLiteral("'five'");
    QTest::newRow("negative count") << QByteArray("-2\n1 2 3") << QStringLiteral("negative");
    QTest::newRow("absurd count") << QByteArray("100001\n1 2 3") << QStringLiteral("100001");
    QTest::newRow("fewer records than the count")
        << QByteArray("5\n1 2 3\n4 5 6\n7 8 9\n") << QStringLiteral("record 4");
    QTest::newRow("incomplete last record")
        << QByteArray("2\n1 2 3\n4 5\n") << QStringLiteral("record 2");
    QTest::newRow("numbers that fit neither form")
        << QByteArray("2\n1 2 3\n4 5 6 7 8 9 10\n") << QStringLiteral("10 numbers");
    QTest::newRow("number does not parse")
        << QByteArray("2\n1 2 3\n4 y5 6\n") << QStringLiteral("line 3, record 2, y: 'y5'");
    QTest::newRow("not a number") << QByteArray("1\n1 nan 3\n") << QStringLiteral("not a finite value");
    QTest::newRow("bad fourth number")
        << QByteArray("2\n1 2 3 4\n5 6 7 t\n") << QStringLiteral("record 2, t");
}

void PositionFileReaderTest::rejectsMalformedFiles() {
    QFETCH(QByteArray, text);
    QFETCH(QString, mentions);
    PositionFileReader reader(3);
    QVERIFY(!reader.readText(text));
    QVERIFY2(reader.error().contains(mentions), qPrintable(reader.error()));
}

void PositionFileReaderTest::aRejectedFileLeavesNoRecords() {
    PositionFileReader reader(3);
    QVERIFY(reader.readText("1 1 2 3"));
    QVERIFY(!reader.readText("2 1 2 3 4 5 x"));
    QVERIFY(reader.records().empty());
    QVERIFY(!reader.error().isEmpty());
    QVERIFY(reader.readText("1 4 5 6"));
    QVERIFY(reader.error().isEmpty());
}

MS_REGISTER_TEST(PositionFileReaderTest)
#include "PositionFileReaderTest.moc"
