// The batch command on every demonstration file: mechsynth-cli reads them with the same reader
// as the main window and reports the mechanism type each file is named after. Needs no display.
#include "ScopedWorkingDirectory.h"
#include "TestSupport.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QtTest>

class DemoCliTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cliReportsEachDemosMechanismType_data();
    void cliReportsEachDemosMechanismType();
    void cliTakesTheDesignChallengeAsAnApproximateTask();

private:
    // Runs "mechsynth-cli synthesize FILE --json" in a scratch folder; the parsed output.
    QJsonObject synthesize(const QString &file);
    QString cli;
};

void DemoCliTest::initTestCase() {
    cli = QStringLiteral(MS_BINARY_DIR "/mechsynth-cli");
    QVERIFY2(QFileInfo(cli).isExecutable(), "build the mechsynth-cli target first");
}

QJsonObject DemoCliTest::synthesize(const QString &file) {
    ScopedWorkingDirectory scratch;
    QProcess run;
    run.setWorkingDirectory(scratch.path());
    run.start(cli, {"synthesize", QStringLiteral(MS_SOURCE_DIR "/demo/") + file, "--json"});
    if (!run.waitForFinished(60000) || run.exitCode() != 0) {
        qWarning("%s", run.readAllStandardError().constData());
        return {};
    }
    return QJsonDocument::fromJson(run.readAllStandardOutput()).object();
}

void DemoCliTest::cliReportsEachDemosMechanismType_data() {
    QTest::addColumn<QString>("type");
    for (const char *t : {"RRRR", "RRRP", "RRPR", "PRRP", "PRPR"})
        QTest::newRow(t) << t;
}

void DemoCliTest::cliReportsEachDemosMechanismType() {
    QFETCH(QString, type);
    const QJsonObject result = synthesize(type + ".txt");
    QCOMPARE(result.value("positions").toInt(), 5);
    QCOMPARE(result.value("operation").toString(), QString("n-position"));
    const QJsonArray dyads = result.value("dyads").toArray();
    QVERIFY(dyads.size() >= 2);
    // The first two dyads, in order, are the two halves of the name.
    QCOMPARE(dyads[0].toObject().value("type").toString() +
                 dyads[1].toObject().value("type").toString(),
             type);
    const QJsonObject mechanism = result.value("mechanism").toObject();
    QCOMPARE(mechanism.value("type").toString(), type);
    QCOMPARE(mechanism.value("dyads").toArray(), QJsonArray({1, 2}));
}

void DemoCliTest::cliTakesTheDesignChallengeAsAnApproximateTask() {
    const QJsonObject result = synthesize("Design Challenge.txt");
    QVERIFY(result.value("positions").toInt() >= 7);
    QCOMPARE(result.value("mechanism").toObject().value("type").toString(), QString("RRRR"));
    for (const QJsonValue d : result.value("dyads").toArray())
        QVERIFY(std::fabs(d.toObject().value("sfe").toDouble()) > 1e-8);
}

MS_REGISTER_TEST(DemoCliTest)
#include "DemoCliTest.moc"
