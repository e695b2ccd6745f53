// Tolerance specification dialog.
#include "Dialog.h"

#include "ui_Dialog.h"

Dialog::Dialog(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui::DialogClass>()) {
    ui->setupUi(this);
}

Dialog::~Dialog() = default;
