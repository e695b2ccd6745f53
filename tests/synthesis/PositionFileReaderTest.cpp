// The position file reader: both record forms in any line layout, and every malformed file
// rejected whole with a message naming the problem and where it is.
#include "PositionFileReader.h"

#include <QTemporaryDir>
#include <QtTest>
#include "TestSupport.h"

class PositionFileReaderTest : public QObject {
    Q_OBJECT
private slots:
    void readsThreeNumberRecordsInAnyLineLayout();
    void readsFourNumberRecordsWithTheirParameter();
    void decidesTheFormByTheCountOfNumbers_data();
    void decidesTheFormByTheCountOfNumbers();
    void aZeroCountIsAnEmptyTask();
    void rejectsMalformedFiles_data();
    void rejectsMalformedFiles();
    void aRejectedFileLeavesNoRecords();
    void reportsAFileThatCannotBeOpened();
    void readsFromDisk();
};

void PositionFileReaderTest::readsThreeNumberRecordsInAnyLineLayout() {
    PositionFileReader reader(3);
    QVERIFY(reader.readText("3 0 0 0 1 1 45 2 0 90"));
    QCOMPARE(reader.records().size(), size_t(3));
    QCOMPARE(reader.records()[1].x, 1.0);
    QCOMPARE(reader.records()[1].thetaDeg, 45.0);
    QCOMPARE(reader.records()[2].thetaDeg, 90.0);
    QCOMPARE(reader.records()[2].parameter, 0.0);
    QVERIFY(reader.readText("1\r\n\t 1.5\n\n  -2\t90   \n"));
    QCOMPARE(reader.records()[0].x, 1.5);
    QCOMPARE(reader.records()[0].y, -2.0);
    QCOMPARE(reader.records()[0].thetaDeg, 90.0);
    QCOMPARE(reader.recordSize(), 3);
}

void PositionFileReaderTest::readsFourNumberRecordsWithTheirParameter() {
    PositionFileReader reader(4);
    QVERIFY(reader.readText("2\n1 2 30 0.5\n-1e1 .25 -15 7\n"));
    QCOMPARE(reader.recordSize(), 4);
    QCOMPARE(reader.records()[0].parameter, 0.5);
    QCOMPARE(reader.records()[1].x, -10.0);
    QCOMPARE(reader.records()[1].y, 0.25);
    QCOMPARE(reader.records()[1].parameter, 7.0);
}

void PositionFileReaderTest::decidesTheFormByTheCountOfNumbers_data() {
    QTest::addColumn<int>("defaultSize");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("form");
    QTest::newRow("three numbers read by a four-number command")
        << 4 << QByteArray("2 1 2 3 4 5 6") << 3;
    QTest::newRow("four numbers read by a three-number command")
        << 3 << QByteArray("2 1 2 3 4 5 6 7 8") << 4;
    // Twelve numbers after a count of 4 are four records of three, never three of four.
    QTest::newRow("twelve numbers, count 4") << 4 << QByteArray("4 1 2 3 4 5 6 7 8 9 10 11 12") << 3;
    QTest::newRow("twelve numbers, count 3") << 3 << QByteArray("3 1 2 3 4 5 6 7 8 9 10 11 12") << 4;
}

void PositionFileReaderTest::decidesTheFormByTheCountOfNumbers() {
    QFETCH(int, defaultSize);
    QFETCH(QByteArray, text);
    QFETCH(int, form);
    PositionFileReader reader(defaultSize);
    QVERIFY2(reader.readText(text), qPrintable(reader.error()));
    QCOMPARE(reader.recordSize(), form);
    QCOMPARE(reader.records()[1].x, form == 3 ? 4.0 : 5.0);
}

void PositionFileReaderTest::aZeroCountIsAnEmptyTask() {
    for (int defaultSize : {3, 4}) {
        PositionFileReader reader(defaultSize);
        QVERIFY(reader.readText("0\n"));
        QVERIFY(reader.records().empty());
        QCOMPARE(reader.recordSize(), defaultSize);
    }
}

void PositionFileReaderTest::rejectsMalformedFiles_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("mentions");
    QTest::newRow("empty file") << QByteArray("  \n") << QStringLiteral("no count");
    QTest::newRow("count does not parse") << QByteArray("five\n1 2 3") << QStringLiteral("'five'");
    QTest::newRow("count is not whole") << QByteArray("2.5 1 2 3 4 5 6") << QStringLiteral("'2.5'");
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
    QTest::newRow("trailing garbage on a number")
        << QByteArray("1\n1 2 3deg\n") << QStringLiteral("record 1, theta");
    QTest::newRow("not a number") << QByteArray("1\n1 nan 3\n") << QStringLiteral("not a finite value");
    QTest::newRow("infinite") << QByteArray("1\ninf 2 3\n") << QStringLiteral("record 1, x");
    QTest::newRow("overflow") << QByteArray("1\n1 2 1e999\n") << QStringLiteral("not a finite value");
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

void PositionFileReaderTest::reportsAFileThatCannotBeOpened() {
    PositionFileReader reader;
    QVERIFY(!reader.readFile(QStringLiteral("/nonexistent/positions.txt")));
    QCOMPARE(reader.error(), QStringLiteral("Cannot open the file."));
}

void PositionFileReaderTest::readsFromDisk() {
    QTemporaryDir dir;
    QFile f(dir.filePath(QStringLiteral("task.txt")));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("2\n0 0 0\n1 1 45\n");
    f.close();
    PositionFileReader reader;
    QVERIFY(reader.readFile(f.fileName()));
    QCOMPARE(reader.records().size(), size_t(2));
}

MS_REGISTER_TEST(PositionFileReaderTest)
#include "PositionFileReaderTest.moc"
