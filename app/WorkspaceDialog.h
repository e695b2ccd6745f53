// WorkspaceDialog: size and unit of the workspace, digits shown and maximum link length (its
// controls come later).
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

private:
    std::unique_ptr<Ui::WorkspaceDialogClass> ui;
};
