// "About": the program's name, its version (the build's project version) and what it does.
#pragma once

#include <QDialog>

class AboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget *parent = nullptr);

    static QString programName();
    // The version the build was configured with.
    static QString version();
    // One sentence of what the program is for.
    static QString summary();
};
