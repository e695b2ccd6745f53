// The output commands of the main window: both dyad files written and then reported, a failed
// write warned about by name, and screenshots named with the running count.
#include "ProcessValues.h"
#include "WindowTestSupport.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <sstream>

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

class OutputTest : public QObject {
    Q_OBJECT
    std::unique_ptr<WindowRig> rig;

private slots:
    void init() {
        MS_REQUIRE_GL();
        rig = std::make_unique<WindowRig>();
        QVERIFY(rig->exposed());
    }

    void cleanup() { rig.reset(); }

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
        QCOMPARE(text, QString("User input dyads have been saved in 'user input dyad parameters.txt'"));
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
        QVERIFY2(texts.value(0).contains("user input dyad parameters.txt"), qPrintable(texts.value(0)));
        QVERIFY(!texts.value(0).contains("have been saved"));
        QVERIFY(!texts.value(0).contains("'synthesized dyad parameters.txt'"));
    }

    // Regression: a name with "%1" also left an empty file under the literal name.
    void screenshotNameTakesTheCountAndLeavesNoStrayFile() {
        QDir dir("shots");
        dir.removeRecursively();
        QVERIFY(QDir().mkdir("shots"));
        const QString chosen = dir.absoluteFilePath("view %1.png");
        ModalCloser closer([&](QWidget *w) {
            if (auto *dialog = qobject_cast<QFileDialog *>(w)) {
                // The dialog puts its start name (" ") into the name box once it has read its
                // folder, which may come after our choice: choose until the choice stays.
                for (int attempt = 0; attempt < 20; ++attempt) {
                    dialog->selectFile(chosen);
                    QTest::qWait(100);
                    if (QFileInfo(dialog->selectedFiles().value(0)) == QFileInfo(chosen))
                        break;
                }
                // Through the public base: the file dialog's own accept() takes the chosen name.
                static_cast<QDialog *>(dialog)->accept();
            } else {
                w->close();
            }
        });
        const int before = screenshotCount;
        rig->main().screenshot();
        QCOMPARE(screenshotCount, before + 1);
        const QString expected = QString("view %1.png").arg(before + 1);
        QCOMPARE(dir.entryList(QDir::Files), QStringList{expected});
        QImage image(dir.absoluteFilePath(expected));
        QVERIFY(!image.isNull());
        QCOMPARE(image.width(), rig->child<QWidget>("widget_Mech")->width());
        dir.removeRecursively();
    }

    void splitterPositionIsWrittenToItsFile() {
        rig->main().splitteroutput(412, 1);
        QCOMPARE(linesOf("splitter.txt"), QStringList{"412 1"});
    }
};

MS_REGISTER_TEST(OutputTest)
#include "OutputTest.moc"
