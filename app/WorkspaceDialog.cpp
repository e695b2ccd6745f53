// The workspace settings dialog: its form and the values the main window reads after it closes.
#include "WorkspaceDialog.h"

#include "Tolerances.h"
#include "ui_WorkspaceDialog.h"

#include <QDoubleSpinBox>
#include <algorithm>

WorkspaceDialog::WorkspaceDialog(QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::WorkspaceDialogClass>()) {
    ui->setupUi(this);
    // The view's projection and the engine's workspace test divide by these sizes: a zero
    // typed into a box becomes the smallest size, and the dialog says so.
    for (QDoubleSpinBox *size : {ui->Height, ui->Width}) {
        size->setMinimum(tol::minWorkspaceSize);
        size->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    }
    ui->sizeNote->setText(tr("Sizes below %1 are taken as %1.").arg(tol::minWorkspaceSize));
}

WorkspaceDialog::~WorkspaceDialog() = default;

char WorkspaceDialog::unit() const { return ui->Inches->isChecked() ? 'i' : 'm'; }

double WorkspaceDialog::workspaceHeight() const {
    return std::max(ui->Height->value(), tol::minWorkspaceSize);
}

double WorkspaceDialog::workspaceWidth() const {
    return std::max(ui->Width->value(), tol::minWorkspaceSize);
}

double WorkspaceDialog::significantDigits() const { return ui->PrecisionVal->value(); }

double WorkspaceDialog::maxLinkRatio() const { return ui->linkRatio3->value(); }

void WorkspaceDialog::setValues(double width, double height, char unit, int digits,
                                double linkRatio) {
    ui->Width->setValue(width);
    ui->Height->setValue(height);
    (unit == 'i' ? ui->Inches : ui->Meters)->setChecked(true);
    ui->PrecisionVal->setValue(digits);
    ui->linkRatio3->setValue(linkRatio);
}
