// The two settings dialogs the main window holds: they exist with their titles and sizes.
#include "Dialog.h"
#include "TestSupport.h"
#include "WorkspaceDialog.h"

#include <QtTest>

class DialogsTest : public QObject {
    Q_OBJECT
private slots:
    void workspaceDialogIsTitledSettings();
    void toleranceDialogIsTitledToleranceSpec();
};

void DialogsTest::workspaceDialogIsTitledSettings() {
    WorkspaceDialog dialog;
    QCOMPARE(dialog.windowTitle(), QString("Settings"));
    QCOMPARE(dialog.size(), QSize(281, 295));
    QVERIFY(dialog.parent() == nullptr);
}

void DialogsTest::toleranceDialogIsTitledToleranceSpec() {
    Dialog dialog;
    QCOMPARE(dialog.windowTitle(), QString("Tolerance Spec"));
    QCOMPARE(dialog.size(), QSize(263, 209));
}

MS_REGISTER_TEST(DialogsTest)
#include "DialogsTest.moc"
