// The "Tolerance Spec" dialog: its form and the three stored tolerance values.
#include "Dialog.h"

#include "ui_Dialog.h"

Dialog::Dialog(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui::DialogClass>()) {
    ui->setupUi(this);
    // The sweep turns an orientation at most half a turn either way.
    ui->OTol->setMaximum(180.0);
    // The stored values start as the boxes show them, so a design saved before the dialog was
    // ever opened holds what the dialog would offer.
    storePositionTolerance();
    storeAngularTolerance();
    storeToleranceResolution();
}

Dialog::~Dialog() = default;

void Dialog::storePositionTolerance() { positionTolerance = ui->PosTol->value(); }

void Dialog::storeAngularTolerance() { angularTolerance = ui->OTol->value(); }

void Dialog::storeToleranceResolution() { toleranceResolution = ui->TolRes->value(); }

void Dialog::on_pushButton_clicked() { accept(); }

void Dialog::setValues(double position, double angularDeg, int resolution) {
    ui->PosTol->setValue(position);
    ui->OTol->setValue(angularDeg);
    ui->TolRes->setValue(resolution);
    storePositionTolerance();
    storeAngularTolerance();
    storeToleranceResolution();
}
