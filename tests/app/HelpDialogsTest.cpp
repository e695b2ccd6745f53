// The two help dialogs: "About" names the program with the version the build was configured
// with, "How to Use" shows the bundled guide with its two pictures and its four topics.
#include "AboutDialog.h"
#include "HowToUseDialog.h"
#include "TestSupport.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QTextDocument>
#include <QtTest>

namespace {
// The version as the top-level build file states it, read here independently of the macro.
QString projectVersion() {
    QFile f(QStringLiteral(MS_SOURCE_DIR "/CMakeLists.txt"));
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return QString();
    static const QRegularExpression re(
        QStringLiteral("project\\s*\\(\\s*MechanismSynthesis\\s+VERSION\\s+([0-9.]+)"));
    const auto m = re.match(QString::fromUtf8(f.readAll()));
    return m.hasMatch() ? m.captured(1) : QString();
}

QStringList imageSources(const QString &html) {
    static const QRegularExpression re(QStringLiteral("<img\\s+src=\"([^\"]+)\""));
    QStringList out;
    for (auto it = re.globalMatch(html); it.hasNext();)
        out << it.next().captured(1);
    return out;
}

QString bundledPage() {
    QFile f(QStringLiteral(":/help/how-to-use.html"));
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(f.readAll());
}
} // namespace

class HelpDialogsTest : public QObject {
    Q_OBJECT
private slots:
    void aboutNamesTheProgramAndItsBuildVersion();
    void aboutSaysInOneSentenceWhatTheProgramDoes();
    void aboutClosesWithItsButton();
    void guideIsTheBundledPage();
    void guideCoversTheRoadModesVariantsAndFiles();
    void guideShowsTwoBundledScreenshots();
};

void HelpDialogsTest::aboutNamesTheProgramAndItsBuildVersion() {
    AboutDialog about;
    QCOMPARE(about.windowTitle(), QStringLiteral("About Mechanism Synthesis"));
    QVERIFY(about.findChild<QLabel *>("programName")->text().contains("Mechanism Synthesis"));
    const QString version = projectVersion();
    QVERIFY(!version.isEmpty());
    QCOMPARE(about.findChild<QLabel *>("versionLabel")->text(), "Version " + version);
}

void HelpDialogsTest::aboutSaysInOneSentenceWhatTheProgramDoes() {
    AboutDialog about;
    const QString text = about.findChild<QLabel *>("summaryLabel")->text();
    QVERIFY(text.contains(QLatin1String("four-bar")));
    QVERIFY(text.endsWith(QLatin1Char('.')));
    // One sentence: a single full stop, at the end.
    QCOMPARE(text.count(QLatin1Char('.')), 1);
}

void HelpDialogsTest::aboutClosesWithItsButton() {
    AboutDialog about;
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about) || qgetenv("QT_QPA_PLATFORM") == "offscreen");
    QPushButton *close =
        about.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Close);
    QVERIFY(close);
    QTest::mouseClick(close, Qt::LeftButton);
    QVERIFY(!about.isVisible());
    QCOMPARE(about.result(), int(QDialog::Rejected));
}

void HelpDialogsTest::guideIsTheBundledPage() {
    HowToUseDialog guide;
    QCOMPARE(guide.windowTitle(), QStringLiteral("How to Use"));
    QTextBrowser *browser = guide.findChild<QTextBrowser *>("helpBrowser");
    QVERIFY(browser);
    QCOMPARE(browser, guide.browser());
    QCOMPARE(browser->source(), QUrl(HowToUseDialog::pageUrl()));
    QCOMPARE(browser->documentTitle(), QStringLiteral("How to Use Mechanism Synthesis"));
}

void HelpDialogsTest::guideCoversTheRoadModesVariantsAndFiles() {
    HowToUseDialog guide;
    const QString text = guide.browser()->toPlainText();
    for (const char *topic : {"The road of one synthesis", "Interaction modes",
                              "The four variants", "Where output files go"})
        QVERIFY2(text.contains(QLatin1String(topic)), topic);
    for (const char *step : {"Read Positions", "Synthesize", "Start", "Crossed"})
        QVERIFY2(text.contains(QLatin1String(step)), step);
    for (const char *variant : {"4 Position", "3 Position", "SmartSynthesis"})
        QVERIFY2(text.contains(QLatin1String(variant)), variant);
}

void HelpDialogsTest::guideShowsTwoBundledScreenshots() {
    HowToUseDialog guide;
    const QStringList sources = imageSources(bundledPage());
    QCOMPARE(sources.size(), 2);
    QTextDocument *doc = guide.browser()->document();
    for (const QString &src : sources) {
        // Each picture is one of the screenshots under docs/, bundled under the same name.
        QVERIFY2(QFile::exists(QStringLiteral(MS_SOURCE_DIR "/docs/") + src), qPrintable(src));
        const QVariant loaded = guide.browser()->loadResource(QTextDocument::ImageResource,
                                                              doc->baseUrl().resolved(QUrl(src)));
        QImage image;
        if (loaded.canConvert<QImage>())
            image = loaded.value<QImage>();
        if (image.isNull())
            image.loadFromData(loaded.toByteArray());
        QVERIFY2(!image.isNull(), qPrintable(src));
        QVERIFY(image.width() >= 400);
    }
}

MS_REGISTER_TEST(HelpDialogsTest)
#include "HelpDialogsTest.moc"
