// Dialog: the tolerance specification for tolerance-based synthesis (its controls come later).
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

private:
    std::unique_ptr<Ui::DialogClass> ui;
};
