// WorkspaceDialog ("Settings"): size and unit of the workspace, the digits the Cartesian view
// shows and the longest link synthesis may propose, as a multiple of the workspace width.
#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class WorkspaceDialogClass;
}

class WorkspaceDialog : public QDialog {
    Q_OBJECT
public:
    explicit WorkspaceDialog(QWidget *parent = nullptr);
    ~WorkspaceDialog() override;

    // 'i' while "Inches" is checked, 'm' otherwise.
    char unit() const;
    // The workspace sizes, never below tol::minWorkspaceSize. (Named apart from QWidget's own
    // height() and width(), which give the dialog's geometry.)
    double workspaceHeight() const;
    double workspaceWidth() const;
    double significantDigits() const;
    double maxLinkRatio() const;
    // Puts values into the boxes (a design or the saved settings); the main window applies them.
    void setValues(double width, double height, char unit, int digits, double linkRatio);

private:
    std::unique_ptr<Ui::WorkspaceDialogClass> ui;
};
