// Export and help commands of the main window: file dialogs, enabling, and the two dialogs.
#include "ExportAndHelpCommands.h"

#include "AboutDialog.h"
#include "Branch.h"
#include "CouplerCurveExport.h"
#include "HowToUseDialog.h"
#include "Mechanism.h"
#include "MechanismSvgExport.h"
#include "Motion.h"
#include "UserFileSave.h"

#include <QAction>
#include <QFileDialog>
#include <QMenu>

ExportAndHelpCommands::ExportAndHelpCommands(QWidget *w, Branch *b, const Motion *m)
    : QObject(w), window(w), branch(b), motion(m) {
    svgAction = new QAction(QStringLiteral("Export Mechanism (SVG)"), this);
    svgAction->setObjectName(QStringLiteral("actionExport_Mechanism_SVG"));
    svgAction->setToolTip(QStringLiteral("Save the mechanism, its positions and coupler curves "
                                         "as an SVG drawing in workspace units"));
    csvAction = new QAction(QStringLiteral("Export Coupler Curve (CSV)"), this);
    csvAction->setObjectName(QStringLiteral("actionExport_Coupler_Curve_CSV"));
    csvAction->setToolTip(QStringLiteral("Save every traced pose of the coupler point: circuit, "
                                         "input, x, y, theta"));
    connect(svgAction, &QAction::triggered, this, &ExportAndHelpCommands::exportMechanismSvg);
    connect(csvAction, &QAction::triggered, this, &ExportAndHelpCommands::exportCouplerCurveCsv);
    // Every change of the pair or of the dyad lists passes through one of these.
    connect(branch, &Branch::mechanismUpdated, this, &ExportAndHelpCommands::updateAvailability);
    connect(branch, &Branch::dyadListChanged, this, &ExportAndHelpCommands::updateAvailability);
    updateAvailability();
}

ExportAndHelpCommands::~ExportAndHelpCommands() = default;

AboutDialog *ExportAndHelpCommands::aboutDialog() const { return about; }

HowToUseDialog *ExportAndHelpCommands::howToUseDialog() const { return guide; }

void ExportAndHelpCommands::install(QMenu *fileMenu, QAction *before, QAction *aboutEntry,
                                    QAction *howToUseEntry) {
    fileMenu->insertAction(before, svgAction);
    fileMenu->insertAction(before, csvAction);
    connect(aboutEntry, &QAction::triggered, this, &ExportAndHelpCommands::showAbout);
    connect(howToUseEntry, &QAction::triggered, this, &ExportAndHelpCommands::showHowToUse);
}

void ExportAndHelpCommands::updateAvailability() {
    const bool has = branch->hasMechanism();
    svgAction->setEnabled(has);
    csvAction->setEnabled(has);
}

bool ExportAndHelpCommands::exportMechanismSvgTo(const QString &path) const {
    if (!branch->hasMechanism())
        return false;
    MechanismSvgExport drawing(*branch->getMechanism());
    if (motion)
        drawing.setTask(*motion);
    return save(QStringLiteral("Export Mechanism (SVG)"), path, drawing.svg());
}

bool ExportAndHelpCommands::exportCouplerCurveCsvTo(const QString &path) const {
    if (!branch->hasMechanism())
        return false;
    const QByteArray table = CouplerCurveExport(*branch->getMechanism()).csv().toUtf8();
    return save(QStringLiteral("Export Coupler Curve (CSV)"), path, table);
}

void ExportAndHelpCommands::exportMechanismSvg() {
    if (!branch->hasMechanism())
        return;
    const QString path = QFileDialog::getSaveFileName(
        window, QStringLiteral("Export Mechanism (SVG)"), QStringLiteral("mechanism.svg"),
        QStringLiteral("SVG drawing (*.svg);;All Files (*)"));
    if (!path.isEmpty())
        exportMechanismSvgTo(path);
}

void ExportAndHelpCommands::exportCouplerCurveCsv() {
    if (!branch->hasMechanism())
        return;
    const QString path = QFileDialog::getSaveFileName(
        window, QStringLiteral("Export Coupler Curve (CSV)"), QStringLiteral("coupler curve.csv"),
        QStringLiteral("CSV table (*.csv);;All Files (*)"));
    if (!path.isEmpty())
        exportCouplerCurveCsvTo(path);
}

bool ExportAndHelpCommands::save(const QString &title, const QString &path,
                                 const QByteArray &bytes) const {
    QString why;
    if (UserFileSave::write(path, bytes, why))
        return true;
    UserFileSave::report(window, title, path, why);
    return false;
}

// Both dialogs stay open beside the window (not modal), so the guide can be read while working.
void ExportAndHelpCommands::showAbout() {
    if (!about)
        about = new AboutDialog(window);
    about->show();
    about->raise();
}

void ExportAndHelpCommands::showHowToUse() {
    if (!guide)
        guide = new HowToUseDialog(window);
    guide->show();
    guide->raise();
}
