// Design files: a design with every member set reads back to the same bytes, members the
// reader does not know are passed over, and every kind of damaged or hostile file is refused
// whole with its fault named, leaving the design it was read into as it was.
#include "DesignFile.h"

#include "TestSupport.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

DesignFile everyMemberSet() {
    DesignFile d;
    d.positions = {{1.0 / 3.0, -2.5, 29.196198, 0.0}, {-4.0, 1e-7, -350.0, 2.0}, {3, 4, 5, 6}};
    d.lineDefined = true;
    d.lineEnds = {0.0, -1.0, 2.5, 3.0};
    d.pointDefined = {true, false};
    d.points = {{{1.5, 2.5}, {0.0, 0.0}}};
    d.fourPosition = d.smartSynthesis = true;
    d.toleranceDeg = 7.25;
    d.resolution = 3;
    d.positionTolerance = 0.5;
    d.thresholdExponent = -9;
    d.linkRatio = 4;
    d.workspaceWidth = 35.5;
    d.workspaceHeight = 12.0;
    d.unit = 'i';
    d.digits = 6;
    DesignFile::Dyad rr{"RR", {-4.0, -2.0}, {-3.0, -2.0}, {1.0, 2.0, 30.0}, {-4, -2, -3, -2, 2}};
    DesignFile::Dyad pr{"PR", {1.0, 0.0}, {2.0, 1.0}, {1.0, 2.0, 30.0}, {1, 2, 3, 4, 5}};
    d.dyads = {rr, pr, rr};
    d.chosen = {2, 0};
    d.userDyads = {pr};
    d.movingFrameDefined = true;
    d.movingFrame = {0.5, 0.25, 45.0};
    d.circuitOpen = false;
    d.input = -96.9535853173;
    return d;
}

}  // namespace

class DesignFileTest : public QObject {
    Q_OBJECT
private slots:
    void everyMemberReadsBackToTheSameBytes() {
        const DesignFile d = everyMemberSet();
        const QByteArray text = d.toJson();
        QVERIFY(text.startsWith("{\n  \"format\": \"mechsynth-design\",\n  \"version\": 1,\n"));
        DesignFile back;
        QString why;
        QVERIFY2(back.readJson(text, why), qPrintable(why));
        QCOMPARE(back.toJson(), text);
        QCOMPARE(back.positions[0].x, 1.0 / 3.0);
        QCOMPARE(back.chosen, (std::vector<int>{2, 0}));
        QCOMPARE(back.unit, 'i');
        QVERIFY(!back.circuitOpen);
        // A later version's extra members are passed over.
        QByteArray extended = text;
        extended.insert(text.indexOf("\"positions\""), "\"comment\": {\"by\": [1, 2]},\n  ");
        QVERIFY2(back.readJson(extended, why), qPrintable(why));
        QCOMPARE(back.toJson(), text);
    }

    void aBadFileIsRefusedWholeWithItsFaultNamed_data() {
        QTest::addColumn<QByteArray>("from");
        QTest::addColumn<QByteArray>("to");
        QTest::addColumn<QString>("fault");
        const QByteArray all = everyMemberSet().toJson();
        QTest::newRow("truncated") << all << all.left(all.size() * 2 / 3) << "not whole JSON";
        QTest::newRow("not an object") << all << QByteArray("[1, 2]") << "no design object";
        QTest::newRow("another format") << QByteArray("mechsynth-design") << QByteArray("other")
                                        << "not a Mechanism Synthesis design";
        QTest::newRow("newer version") << QByteArray("\"version\": 1") << QByteArray("\"version\": 2")
                                       << "newer version";
        QTest::newRow("fractional version") << QByteArray("\"version\": 1")
                                            << QByteArray("\"version\": 1.5") << "\"version\"";
        QTest::newRow("missing member") << QByteArray("\"circuit\"") << QByteArray("\"circus\"")
                                        << "\"circuit\" is missing";
        QTest::newRow("text for a number") << QByteArray("\"digits\": 6")
                                           << QByteArray("\"digits\": \"6\"")
                                           << "workspace.digits: a number is expected";
        QTest::newRow("overflowing number") << QByteArray("29.196198") << QByteArray("1e999")
                                            << "illegal number";
        QTest::newRow("huge coordinate") << QByteArray("29.196198") << QByteArray("1e12")
                                         << "positions[0][2]: 1e+12 lies outside";
        QTest::newRow("short position") << QByteArray("[3, 4, 5, 6]") << QByteArray("[3, 4, 5]")
                                        << "positions[2]: four numbers";
        QTest::newRow("unknown kind") << QByteArray("\"kind\": \"PR\"")
                                      << QByteArray("\"kind\": \"PP\"") << "dyads[1].kind";
        QTest::newRow("chosen outside") << QByteArray("\"chosen\": [3, 1]")
                                        << QByteArray("\"chosen\": [3, 4]") << "chosen[1]";
        QTest::newRow("one chosen") << QByteArray("\"chosen\": [3, 1]")
                                    << QByteArray("\"chosen\": [3]") << "two dyads or none";
        QTest::newRow("third drawn dyad")
            << QByteArray("\"userDyads\": [") << QByteArray("\"userDyads\": [0, 0, ")
            << "userDyads: 3 entries, at most 2";
        QTest::newRow("zero workspace") << QByteArray("\"width\": 35.5")
                                        << QByteArray("\"width\": 0") << "workspace.width";
        QTest::newRow("circuit word") << QByteArray("\"crossed\"") << QByteArray("\"sideways\"")
                                      << "\"open\" or \"crossed\"";
        QByteArray many = "\"positions\": [";
        for (int i = 0; i <= DesignFile::maximumPositions; ++i)
            many += "0,";
        QTest::newRow("huge count") << QByteArray("\"positions\": [") << many
                                    << "entries, at most 100000";
    }
    void aBadFileIsRefusedWholeWithItsFaultNamed() {
        QFETCH(QByteArray, from); QFETCH(QByteArray, to); QFETCH(QString, fault);
        QByteArray text = everyMemberSet().toJson();
        QVERIFY(text.contains(from));
        text.replace(from, to);
        DesignFile kept;
        kept.positions = {{1, 2, 3, 0}};
        const QByteArray before = kept.toJson();
        QString why;
        QVERIFY(!kept.readJson(text, why));
        QVERIFY2(why.contains(fault), qPrintable(why));
        QCOMPARE(kept.toJson(), before);
    }

    // Large files are refused before they are read; so are folders and files that are not there.
    void onlyRegularFilesOfBoundedSizeAreRead() {
        QTemporaryDir dir;
        QFile big(dir.filePath("big.msyn.json"));
        QVERIFY(big.open(QIODevice::WriteOnly) && big.resize(100 * 1024 * 1024));
        big.close();
        DesignFile d;
        QString why;
        QVERIFY(!d.readFile(big.fileName(), why));
        QVERIFY2(why.contains("larger than 16 MB"), qPrintable(why));
        QVERIFY(!d.readFile(dir.path(), why));
        QVERIFY(why.contains("not a regular file"));
        QVERIFY(!d.readFile(dir.filePath("none"), why));
        QVERIFY(DesignFile::looksLikeDesign(" \n{\"format\""));
        QVERIFY(!DesignFile::looksLikeDesign("5\n1 2 3\n"));
    }
};

MS_REGISTER_TEST(DesignFileTest)
#include "DesignFileTest.moc"
