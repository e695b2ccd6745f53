// Workspace settings dialog.
#include "WorkspaceDialog.h"

#include "ui_WorkspaceDialog.h"

WorkspaceDialog::WorkspaceDialog(QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::WorkspaceDialogClass>()) {
    ui->setupUi(this);
}

WorkspaceDialog::~WorkspaceDialog() = default;
