// "How to Use": a short illustrated guide, a bundled HTML page shown in a text browser.
#pragma once

#include <QDialog>

class QTextBrowser;

class HowToUseDialog : public QDialog {
    Q_OBJECT
public:
    explicit HowToUseDialog(QWidget *parent = nullptr);

    QTextBrowser *browser() const { return view; }
    // Where the page lives in the resource bundle.
    static QString pageUrl();

private:
    QTextBrowser *view = nullptr;   // owned by this dialog (Qt parent)
};
