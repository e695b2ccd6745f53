#include "Vendrel.h"

Vendrel::Vendrel(QWidget *parent) : QMainWindow(parent) {
    setWindowTitle("Mechanism Synthesis");
}
