// Dialog ("Tolerance Spec"): how far each position's orientation may stray in the tolerance
// sweep, and in how many steps either side of the nominal orientation it is swept.
#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class DialogClass;
}

class Dialog : public QDialog {
    Q_OBJECT
public:
    explicit Dialog(QWidget *parent = nullptr);
    ~Dialog() override;

    // Copy the boxes into the stored values (the sweep reads only the stored ones, so a value
    // typed while the dialog is open counts only once the main window stores it).
    void storePositionTolerance();
    void storeAngularTolerance();
    void storeToleranceResolution();

    // Puts values into the boxes and stores them, as a design or the saved settings give them.
    void setValues(double position, double angularDeg, int resolution);

    double getAngularTolerance() const { return angularTolerance; }        // degrees
    double getToleranceResolution() const { return toleranceResolution; }  // steps per side
    // Collected for a later use; the sweep varies orientations only.
    double getPositionTolerance() const { return positionTolerance; }

private slots:
    // "OK" (connected by name when the form is set up).
    void on_pushButton_clicked();

private:
    std::unique_ptr<Ui::DialogClass> ui;
    double positionTolerance = 0.0;
    double angularTolerance = 0.0;
    double toleranceResolution = 0.0;
};
