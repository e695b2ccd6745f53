// The Cartesian view on a scaled display: this program runs its mouse, mapping and pixel classes
// again with a device pixel ratio of 2, where clicks must still land under the cursor.
#include <QCoreApplication>
#include <QProcess>
#include <QtTest>
#include "TestSupport.h"

class ScaledDisplayTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { MS_REQUIRE_GL(); }
    // Regression: mouse pixels were mapped with sizes of another unit than the events', so on a
    // scaled display every click landed away from the cursor.
    void viewClassesPassAtDevicePixelRatioTwo() {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_SCALE_FACTOR", "2");
        env.insert("QTEST_DISABLE_STACK_DUMP", "1");
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath(),
                    {"-class", "MechViewMappingTest", "-class", "MechViewModesTest", "-class",
                     "MechViewPixelTest"});
        QVERIFY(child.waitForStarted());
        QVERIFY(child.waitForFinished(240000));
        const QString output = QString::fromLocal8Bit(child.readAll());
        QVERIFY2(child.exitStatus() == QProcess::NormalExit, qPrintable(output.right(2000)));
        QVERIFY2(child.exitCode() == 0, qPrintable(output.right(2000)));
        QVERIFY(output.contains("device pixel ratio 2"));
        QVERIFY(!output.contains("FAIL!"));
    }
};
MS_REGISTER_TEST(ScaledDisplayTest)
#include "ScaledDisplayTest.moc"
