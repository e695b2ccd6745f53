// The output and help commands of the main window: dyad files written then reported, failed writes
// named, screenshots, the exports offered only with a mechanism, "About" and "How to Use".
#include "AboutDialog.h"
#include "ExportAndHelpCommands.h"
#include "HowToUseDialog.h"
#include "WindowTestSupport.h"

#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QTextDocument>
#include <QXmlStreamReader>
#include <sstream>

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

namespace {
QStringList linesOf(const QString &path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return {QStringLiteral("<cannot open>")};
    return QString::fromUtf8(f.readAll()).split('\n');
}

QString num(double v) {
    std::ostringstream out;
    out << v;
    return QString::fromStdString(out.str());
}

// The block of one chosen synthesized dyad, written out from its numbers.
QStringList chosenBlock(const Dyad &d) {
    const Point pose = d.poseCopy();
    return {d.typeName(), "", num(pose.x()), num(pose.y()), num(d.parameter1()),
            num(d.parameter2()), num(d.parameter3()), num(d.parameter4()), num(d.parameter5()), "",
            " where above values are in order", "", d.parameterName1(), d.parameterName2(),
            d.parameterName3(), d.parameterName4(), d.parameterName5(), ""};
}
}  // namespace

class OutputTest : public WindowTest {
    Q_OBJECT
    ExportAndHelpCommands *commands() const { return rig->main().exportAndHelpCommands(); }


private slots:
    // Regression: the success message came before the files were written.
    void saveDyadsWritesBothFilesBeforeReportingSuccess() {
        QVERIFY(rig->main().runDemoNamed("RRRR"));
        const Branch &b = *rig->main().dyadBranch();
        QVERIFY(b.synthesizedDyadCount() >= 2);
        bool bothThereWhenShown = false;
        QString text, info;
        ModalCloser closer([&](QWidget *w) {
            auto *box = qobject_cast<QMessageBox *>(w);
            bothThereWhenShown = QFile::exists("synthesized dyad parameters.txt") &&
                                 QFile::exists("user input dyad parameters.txt");
            if (box) {
                text = box->text();
                info = box->informativeText();
            }
            w->close();
        });
        QVERIFY(rig->main().SaveFile());
        QCOMPARE(closer.seen(), 1);
        QVERIFY(bothThereWhenShown);
        QCOMPARE(text,
                 QString("User input dyads have been saved in 'user input dyad parameters.txt'"));
        QCOMPARE(info,
                 QString("Synthesized dyads have been saved in 'synthesized dyad parameters.txt'"));
        QStringList expected;
        for (int i = 0; i < b.synthesizedDyadCount(); ++i)
            if (size_t(i) < b.getDyadStates().size() && b.getDyadStates()[size_t(i)])
                expected << chosenBlock(*b.dyadAt(i));
        expected << "";  // the last line end
        QVERIFY(expected.size() > 1);
        const QStringList written = linesOf("synthesized dyad parameters.txt");
        QCOMPARE(written.size(), expected.size());
        for (int k = 0; k < expected.size(); ++k)
            QCOMPARE(written[k], expected[k]);
        // No dyads were drawn: the user file holds the mechanism's dyads drawn by hand, none here.
        QVERIFY(b.hasMechanism());
        QCOMPARE(linesOf("user input dyad parameters.txt"), QStringList{""});
    }

    void aFileThatCannotBeWrittenIsNamedInAWarning() {
        QVERIFY(rig->main().runDemoNamed("RRRR"));
        // A folder under the file's name: no one can open it for writing, root included.
        QVERIFY(QDir().mkdir("user input dyad parameters.txt"));
        QList<QMessageBox::Icon> icons;
        QStringList texts;
        ModalCloser closer([&](QWidget *w) {
            if (auto *box = qobject_cast<QMessageBox *>(w)) {
                icons << box->icon();
                texts << box->text() + box->informativeText();
            }
            w->close();
        });
        QVERIFY(!rig->main().SaveFile());
        QCOMPARE(closer.seen(), 1);
        QCOMPARE(icons.value(0), QMessageBox::Warning);
        QVERIFY2(texts.value(0).contains("user input dyad parameters.txt"),
                 qPrintable(texts.value(0)));
        QVERIFY(!texts.value(0).contains("have been saved"));
        QVERIFY(!texts.value(0).contains("'synthesized dyad parameters.txt'"));
    }

    // Regression: saves wrote over the old file in place, so a full disk left it cut short or
    // padded, and a screenshot's failed write went unreported.
    void aRefusedSaveLeavesTheFolderAsItWasAndSaysSo_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("earlier");
        for (const bool earlier : {false, true}) {
            const QByteArray over = earlier ? " over an earlier file" : " as a new file";
            QTest::newRow("dyads" + over) << "dyads" << "synthesized dyad parameters.txt" << earlier;
            QTest::newRow("screenshot" + over) << "screenshot" << "view.png" << earlier;
            QTest::newRow("svg" + over) << "svg" << "mechanism.svg" << earlier;
            QTest::newRow("dxf" + over) << "dxf" << "mechanism.dxf" << earlier;
            QTest::newRow("csv" + over) << "csv" << "curve.csv" << earlier;
        }
    }
    void aRefusedSaveLeavesTheFolderAsItWasAndSaysSo() {
        QFETCH(QString, command);
        QFETCH(QString, name);
        QFETCH(bool, earlier);
        QVERIFY(rig->main().runDemoNamed("RRRR"));
        QVERIFY(QDir().mkdir("locked"));
        const QDir locked("locked");
        const QByteArray old = "an earlier save\n";
        if (earlier)
            rig->dir().write("locked/" + name, old);
        const auto entries = [&locked] { return locked.entryList(QDir::AllEntries | QDir::Hidden); };
        const QStringList before = entries();
        RefusingFolder refusing(locked.path());
        if (!refusing.refuses())
            QSKIP("this user may create files in any folder, and the file system has no "
                  "immutable flag to stop it");
        QStringList shown;
        ModalCloser closer([&](QWidget *w) {
            if (auto *box = qobject_cast<QMessageBox *>(w))
                shown << box->text();
            w->close();
        });
        StdoutCapture printed(STDERR_FILENO);
        bool saved = true;
        if (command == "dyads") {
            QDir::setCurrent(locked.path());
            saved = rig->main().SaveFile();
            QDir::setCurrent(rig->dir().path());
        } else if (command == "screenshot") {
            saved = rig->main().saveScreenshot(locked.absoluteFilePath(name));
        } else if (command == "svg") {
            saved = commands()->exportMechanismSvgTo(locked.absoluteFilePath(name));
        } else if (command == "dxf") {
            saved = commands()->exportMechanismDxfTo(locked.absoluteFilePath(name));
        } else {
            saved = commands()->exportCouplerCurveCsvTo(locked.absoluteFilePath(name));
        }
        QVERIFY(!saved);
        const QByteArray err = printed.text();
        QVERIFY2(err.contains(name.toUtf8()), err.constData());
        QCOMPARE(closer.seen(), 1);
        QVERIFY2(shown.value(0).contains(name), qPrintable(shown.value(0)));
        QCOMPARE(entries(), before);
        if (earlier)
            QCOMPARE(contents(locked.filePath(name)), old);
    }

    // Regression: a run in a folder that refused its files said nothing in the window.
    void aRunThatCannotWriteSaysSoInTheStatusBar() {
        QVERIFY(rig->main().runDemoNamed("RRRR"));
        QVERIFY(QDir().mkdir("locked"));
        const QString locked = QDir("locked").absolutePath();
        RefusingFolder refusing(locked);
        if (!refusing.refuses())
            QSKIP("this user may create files in any folder, and the file system has no "
                  "immutable flag to stop it");
        StdoutCapture printed(STDERR_FILENO);
        QDir::setCurrent(locked);
        rig->act("actionSynthesize")->trigger();
        QDir::setCurrent(rig->dir().path());
        const QString status = rig->main().statusResultText();
        QVERIFY2(status.startsWith("2 dyads, RRRR") && status.contains("output files not written") &&
                     status.contains("output.txt"),
                 qPrintable(status));
        QVERIFY(printed.text().contains("output.txt"));
        QVERIFY(QDir(locked).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
    }

    // Regression: a name with "%1" also left an empty file under the literal name. The dialog
    // is only cancelled here (a cancelled screenshot still counts); choosing a name in it raced
    // with the dialog reading its folder, so the chosen name is handed over directly.
    void screenshotNameTakesTheCountAndLeavesNoStrayFile() {
        QDir dir("shots");
        dir.removeRecursively();
        QVERIFY(QDir().mkdir("shots"));
        ModalCloser closer([](QWidget *w) { w->close(); });
        const int before = screenshotCount;
        rig->main().screenshot();
        QCOMPARE(screenshotCount, before + 1);
        QVERIFY(rig->main().saveChosenScreenshot(dir.absoluteFilePath("view %1")));
        const QString expected = QString("view %1.png").arg(before + 1);
        QCOMPARE(dir.entryList(QDir::Files), QStringList{expected});
        QImage image(dir.absoluteFilePath(expected));
        QVERIFY(!image.isNull());
        QCOMPARE(image.width(), rig->child<QWidget>("widget_Mech")->width());
        // Regression: a widget grab of the view lost every label written over the GL scene,
        // such as "grid 1 m" in the bottom-left corner.
        const QRect corner(0, image.height() - 30, 120, 30);
        bool inked = false;
        for (int y = corner.top(); y <= corner.bottom(); ++y)
            for (int x = corner.left(); x <= corner.right(); ++x)
                inked = inked || qGray(image.pixel(x, y)) < 100;
        QVERIFY(inked);
        dir.removeRecursively();
    }

    void splitterPositionIsWrittenToItsFile() {
        rig->main().splitteroutput(412, 1);
        QCOMPARE(linesOf("splitter.txt"), QStringList{"412 1"});
    }

    void exportsFollowTheMechanismThroughDemoAndReset() {
        QAction *svg = commands()->exportSvgAction(), *csv = commands()->exportCsvAction(),
                *dxf = commands()->exportDxfAction(), *saveDyads = rig->act("actionSave_dyads");
        const QString svgPath = rig->dir().filePath("m.svg"),
                      csvPath = rig->dir().filePath("c.csv"),
                      dxfPath = rig->dir().filePath("m.dxf");
        QVERIFY(!svg->isEnabled() && !csv->isEnabled() && !dxf->isEnabled());
        QVERIFY(!commands()->exportMechanismSvgTo(svgPath));
        QVERIFY(!commands()->exportCouplerCurveCsvTo(csvPath));
        QVERIFY(!commands()->exportMechanismDxfTo(dxfPath));
        QVERIFY(!QFile::exists(svgPath) && !QFile::exists(csvPath) && !QFile::exists(dxfPath));
        // Without dyads, Save Dyads is not offered and refuses in the status bar: empty files
        // would replace dyads saved before.
        QVERIFY(!saveDyads->isEnabled());
        QVERIFY(!rig->main().SaveFile());
        QVERIFY(rig->main().statusResultText().startsWith("No dyads to save"));
        QVERIFY(!QFile::exists("synthesized dyad parameters.txt"));

        QVERIFY(rig->main().runDemoNamed("RRRR"));
        QVERIFY(svg->isEnabled() && csv->isEnabled() && dxf->isEnabled() && saveDyads->isEnabled());
        QVERIFY(commands()->exportMechanismSvgTo(svgPath));
        QVERIFY(commands()->exportCouplerCurveCsvTo(csvPath));
        QVERIFY(commands()->exportMechanismDxfTo(dxfPath));
        // The CAD drawing holds the curve and the task's five frames, two lines each.
        QString why;
        const QJsonObject drawing = known::readDxf(dxfPath, why);
        QVERIFY2(!drawing.isEmpty() && drawing["errors"].toInt() == 0, qPrintable(why));
        int frameLines = 0;
        for (const QJsonValue &line : drawing["lines"].toArray())
            frameLines += line["layer"].toString() == QLatin1String("POSITIONS");
        QCOMPARE(frameLines, 10);
        QVERIFY(!drawing["polylines"].toArray().isEmpty());
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
        QVERIFY(!svg->isEnabled() && !csv->isEnabled() && !dxf->isEnabled() && !saveDyads->isEnabled());
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

MS_REGISTER_TEST(OutputTest)
#include "OutputTest.moc"
