// The two settings dialogs as the main window applies them: however a dialog is closed, its
// values take effect and synthesis runs again on the task as it stands. The dialogs are shown
// window-modal without blocking (open(), not exec()), and applied when they finish.
#include "Vendrel.h"

#include "MechGLWidget.h"
#include "ProcessValues.h"
#include "ui_Vendrel.h"

#include <QAction>
#include <QSpinBox>

void Vendrel::updateWorkspace() { workspaceDialog.open(); }

// Turning the tolerance sweep on asks for its tolerances each time; turning it off keeps them
// and runs plain synthesis.
void Vendrel::setToleranceSpec() {
    if (ui->actionSmartSynthesis->isChecked())
        toleranceDialog.open();
    else
        toSynthesize();
}

void Vendrel::connectSettingsDialogs() {
    connect(&workspaceDialog, &QDialog::finished, this, &Vendrel::applyWorkspaceSettings);
    connect(&toleranceDialog, &QDialog::finished, this, &Vendrel::applyToleranceSpec);
}

// The sizes come clamped to a small positive minimum: the view's projection and the engine's
// workspace test divide by them. A link ratio that is already shown runs synthesis once (from
// here); a new one runs it twice, once through the engine's change signal.
void Vendrel::applyWorkspaceSettings() {
    workspaceHeight = workspaceDialog.workspaceHeight();
    workspaceWidth = workspaceDialog.workspaceWidth();
    unitLetter = workspaceDialog.unit();
    significantDigits = static_cast<int>(workspaceDialog.significantDigits());
    ui->linkRatio->setValue(static_cast<int>(workspaceDialog.maxLinkRatio()));
    cartesianView()->update();
    toSynthesize();
}

void Vendrel::applyToleranceSpec() {
    toleranceDialog.storePositionTolerance();
    toleranceDialog.storeAngularTolerance();
    toleranceDialog.storeToleranceResolution();
    toSynthesize();
}
