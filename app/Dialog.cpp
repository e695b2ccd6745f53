// The "Tolerance Spec" dialog: its form and the three stored tolerance values.
#include "Dialog.h"

#include "ui_Dialog.h"

Dialog::Dialog(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui::DialogClass>()) {
    ui->setupUi(this);
}

Dialog::~Dialog() = default;

void Dialog::storePositionTolerance() { positionTolerance = ui->PosTol->value(); }

void Dialog::storeAngularTolerance() { angularTolerance = ui->OTol->value(); }

void Dialog::storeToleranceResolution() { toleranceResolution = ui->TolRes->value(); }

void Dialog::on_pushButton_clicked() { accept(); }
