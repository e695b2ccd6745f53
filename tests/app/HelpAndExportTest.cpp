// The export and help entries of the main window: the two exports are offered only while a
// mechanism exists and write it, the help entries open "About" (with the version the build was
// configured with) and "How to Use" (the bundled guide with its topics and two pictures).
#include "AboutDialog.h"
#include "ExportAndHelpCommands.h"
#include "HowToUseDialog.h"
#include "WindowTestSupport.h"

#include <QImage>
#include <QLabel>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QTextDocument>
#include <QXmlStreamReader>

namespace {
QByteArray contents(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The version as the top-level build file states it, read here independently of the macro.
QString projectVersion() {
    static const QRegularExpression re(
        QStringLiteral("project\\s*\\(\\s*MechanismSynthesis\\s+VERSION\\s+([0-9.]+)"));
    const auto m = re.match(QString::fromUtf8(contents(MS_SOURCE_DIR "/CMakeLists.txt")));
    return m.hasMatch() ? m.captured(1) : QString();
}
} // namespace

class HelpAndExportTest : public QObject {
    Q_OBJECT
    std::unique_ptr<WindowRig> rig;
    ExportAndHelpCommands *commands() const { return rig->main().exportAndHelpCommands(); }

private slots:
    void init() {
        MS_REQUIRE_GL();
        rig = std::make_unique<WindowRig>();
        QVERIFY(rig->exposed());
    }
    void cleanup() { rig.reset(); }

    void exportsFollowTheMechanismThroughDemoAndReset() {
        QAction *svg = commands()->exportSvgAction(), *csv = commands()->exportCsvAction();
        const QString svgPath = rig->dir().filePath("m.svg"), csvPath = rig->dir().filePath("c.csv");
        QVERIFY(!svg->isEnabled() && !csv->isEnabled());
        QVERIFY(!commands()->exportMechanismSvgTo(svgPath));
        QVERIFY(!commands()->exportCouplerCurveCsvTo(csvPath));
        QVERIFY(!QFile::exists(svgPath) && !QFile::exists(csvPath));

        QVERIFY(rig->main().runDemoNamed("RRRR"));
        QVERIFY(svg->isEnabled() && csv->isEnabled());
        QVERIFY(commands()->exportMechanismSvgTo(svgPath));
        QVERIFY(commands()->exportCouplerCurveCsvTo(csvPath));
        // The drawing is well-formed, holds the coupler curve and numbers the task's five frames.
        QXmlStreamReader xml(contents(svgPath));
        int paths = 0;
        QStringList texts;
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isStartElement() && xml.name() == QLatin1String("path"))
                ++paths;
            if (xml.isStartElement() && xml.name() == QLatin1String("text"))
                texts << xml.readElementText(QXmlStreamReader::IncludeChildElements).simplified();
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QVERIFY(paths >= 1);
        QVERIFY(texts.contains("5") && !texts.contains("6"));
        const QList<QByteArray> lines = contents(csvPath).trimmed().split('\n');
        QCOMPARE(lines.first(), QByteArray("circuit,input,x,y,theta"));
        QVERIFY(lines.size() > 100);
        for (const QByteArray &line : lines)
            QCOMPARE(line.count(','), 4);

        rig->act("action_Reset")->trigger();
        QVERIFY(!svg->isEnabled() && !csv->isEnabled());
    }

    void aboutNamesTheProgramAndItsBuildVersion() {
        QVERIFY(commands()->aboutDialog() == nullptr);
        rig->act("actionAbout")->trigger();
        AboutDialog *about = commands()->aboutDialog();
        QVERIFY(about != nullptr && QTest::qWaitForWindowExposed(about));
        QCOMPARE(about->parentWidget(), &rig->main());
        const QString version = projectVersion();
        QVERIFY(!version.isEmpty());
        QCOMPARE(part<QLabel>(about, "versionLabel")->text(), "Version " + version);
        QVERIFY(part<QLabel>(about, "programName")->text().contains("Mechanism Synthesis"));
        // A second trigger shows the same dialog again rather than a new one.
        about->close();
        rig->act("actionAbout")->trigger();
        QCOMPARE(commands()->aboutDialog(), about);
        QVERIFY(about->isVisible());
    }

    void guideShowsTheBundledPageWithItsTopicsAndPictures() {
        QVERIFY(commands()->howToUseDialog() == nullptr);
        rig->act("actionHow_to_Use")->trigger();
        HowToUseDialog *guide = commands()->howToUseDialog();
        QVERIFY(guide != nullptr && QTest::qWaitForWindowExposed(guide));
        QTextBrowser *browser = guide->browser();
        QCOMPARE(browser->source(), QUrl(HowToUseDialog::pageUrl()));
        QCOMPARE(browser->documentTitle(), QStringLiteral("How to Use Mechanism Synthesis"));
        const QString text = browser->toPlainText();
        for (const char *topic : {"The road of one synthesis", "Interaction modes",
                                  "The four variants", "Where output files go", "Read Positions",
                                  "Synthesize", "Start", "Crossed", "4 Position", "3 Position",
                                  "SmartSynthesis"})
            QVERIFY2(text.contains(QLatin1String(topic)), topic);
        // Each picture is one of the screenshots under docs/, bundled under the same name.
        static const QRegularExpression img(QStringLiteral("<img\\s+src=\"([^\"]+)\""));
        QStringList sources;
        for (auto it = img.globalMatch(QString::fromUtf8(contents(":/help/how-to-use.html")));
             it.hasNext();)
            sources << it.next().captured(1);
        QCOMPARE(sources.size(), 2);
        for (const QString &src : sources) {
            QVERIFY2(QFile::exists(QStringLiteral(MS_SOURCE_DIR "/docs/") + src), qPrintable(src));
            const QVariant loaded = browser->loadResource(
                QTextDocument::ImageResource, browser->document()->baseUrl().resolved(QUrl(src)));
            QImage image = loaded.canConvert<QImage>() ? loaded.value<QImage>() : QImage();
            if (image.isNull())
                image.loadFromData(loaded.toByteArray());
            QVERIFY2(image.width() >= 400, qPrintable(src));
        }
    }
};

MS_REGISTER_TEST(HelpAndExportTest)
#include "HelpAndExportTest.moc"
