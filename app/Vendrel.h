// Vendrel: the main window (placeholder until the frame is built).
#pragma once

#include <QMainWindow>

class Vendrel : public QMainWindow {
    Q_OBJECT
public:
    explicit Vendrel(QWidget *parent = nullptr);
};
