// The guide: the page and its two pictures come from the "help" resource bundle.
#include "HowToUseDialog.h"

#include <QDialogButtonBox>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

// The bundle is compiled into a static library: register it before the first page is shown.
// (The registration macro declares a global function, so this cannot sit in a namespace.)
static void registerHelpResources() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(help);
        return true;
    }();
    (void)registered;
}

HowToUseDialog::HowToUseDialog(QWidget *parent) : QDialog(parent) {
    registerHelpResources();
    setObjectName(QStringLiteral("HowToUseDialog"));
    setWindowTitle(QStringLiteral("How to Use"));
    auto *layout = new QVBoxLayout(this);
    view = new QTextBrowser(this);
    view->setObjectName(QStringLiteral("helpBrowser"));
    view->setOpenExternalLinks(true);
    view->setSource(QUrl(pageUrl()));
    layout->addWidget(view);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(820, 760);
}

QString HowToUseDialog::pageUrl() { return QStringLiteral("qrc:/help/how-to-use.html"); }
