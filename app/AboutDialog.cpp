// The About box: a title line, the version and one sentence, closed with its button.
#include "AboutDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

AboutDialog::AboutDialog(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("AboutDialog"));
    setWindowTitle(QStringLiteral("About %1").arg(programName()));
    auto *layout = new QVBoxLayout(this);

    auto *name = new QLabel(QStringLiteral("<b>%1</b>").arg(programName()), this);
    name->setObjectName(QStringLiteral("programName"));
    QFont big = name->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    name->setFont(big);
    layout->addWidget(name);

    auto *versionLabel = new QLabel(QStringLiteral("Version %1").arg(version()), this);
    versionLabel->setObjectName(QStringLiteral("versionLabel"));
    layout->addWidget(versionLabel);

    auto *text = new QLabel(summary(), this);
    text->setObjectName(QStringLiteral("summaryLabel"));
    text->setWordWrap(true);
    layout->addWidget(text);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    setMinimumWidth(420);
}

QString AboutDialog::programName() { return QStringLiteral("Mechanism Synthesis"); }

QString AboutDialog::version() { return QStringLiteral(MS_VERSION); }

QString AboutDialog::summary() {
    return QStringLiteral(
        "Mechanism Synthesis finds planar four-bar linkages that guide a body through the "
        "positions you give, by fitting RR, PR and RP dyads to them in the kinematic image "
        "space, then classifies, traces and animates the mechanism they form.");
}
