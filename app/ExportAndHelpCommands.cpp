// Export and help commands of the main window: file dialogs, enabling, and the two dialogs.
#include "ExportAndHelpCommands.h"

#include "AboutDialog.h"
#include "Branch.h"
#include "CouplerCurveExport.h"
#include "HowToUseDialog.h"
#include "Mechanism.h"
#include "MechanismDxfExport.h"
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
    dxfAction = new QAction(QStringLiteral("Export Mechanism (DXF)"), this);
    dxfAction->setObjectName(QStringLiteral("actionExport_Mechanism_DXF"));
    dxfAction->setToolTip(QStringLiteral("Save the mechanism, its positions and coupler curves "
                                         "as a DXF drawing for CAD programs, one layer each"));
    csvAction = new QAction(QStringLiteral("Export Coupler Curve (CSV)"), this);
    csvAction->setObjectName(QStringLiteral("actionExport_Coupler_Curve_CSV"));
    csvAction->setToolTip(QStringLiteral("Save every traced pose of the coupler point: circuit, "
                                         "input, x, y, theta"));
    connect(svgAction, &QAction::triggered, this, &ExportAndHelpCommands::exportMechanismSvg);
    connect(dxfAction, &QAction::triggered, this, &ExportAndHelpCommands::exportMechanismDxf);
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
    fileMenu->insertAction(before, dxfAction);
    fileMenu->insertAction(before, csvAction);
    connect(aboutEntry, &QAction::triggered, this, &ExportAndHelpCommands::showAbout);
    connect(howToUseEntry, &QAction::triggered, this, &ExportAndHelpCommands::showHowToUse);
}

void ExportAndHelpCommands::updateAvailability() {
    const bool has = branch->hasMechanism();
    svgAction->setEnabled(has);
    dxfAction->setEnabled(has);
    csvAction->setEnabled(has);
}

std::optional<MechanismSketch> ExportAndHelpCommands::currentSketch() const {
    if (!branch->hasMechanism())
        return std::nullopt;
    MechanismSketch sketch(*branch->getMechanism());
    if (motion)
        sketch.setTask(*motion);
    return sketch;
}

bool ExportAndHelpCommands::exportMechanismSvgTo(const QString &path) const {
    const std::optional<MechanismSketch> sketch = currentSketch();
    return sketch && save(QStringLiteral("Export Mechanism (SVG)"), path,
                          MechanismSvgExport(*sketch).svg());
}

bool ExportAndHelpCommands::exportMechanismDxfTo(const QString &path) const {
    const std::optional<MechanismSketch> sketch = currentSketch();
    return sketch && save(QStringLiteral("Export Mechanism (DXF)"), path,
                          MechanismDxfExport(*sketch).dxf());
}

bool ExportAndHelpCommands::exportCouplerCurveCsvTo(const QString &path) const {
    if (!branch->hasMechanism())
        return false;
    const QByteArray table = CouplerCurveExport(*branch->getMechanism()).csv().toUtf8();
    return save(QStringLiteral("Export Coupler Curve (CSV)"), path, table);
}

void ExportAndHelpCommands::exportMechanismSvg() {
    askAndExport(QStringLiteral("Export Mechanism (SVG)"), QStringLiteral("mechanism.svg"),
                 QStringLiteral("SVG drawing (*.svg);;All Files (*)"),
                 &ExportAndHelpCommands::exportMechanismSvgTo);
}

void ExportAndHelpCommands::exportMechanismDxf() {
    askAndExport(QStringLiteral("Export Mechanism (DXF)"), QStringLiteral("mechanism.dxf"),
                 QStringLiteral("DXF drawing (*.dxf);;All Files (*)"),
                 &ExportAndHelpCommands::exportMechanismDxfTo);
}

void ExportAndHelpCommands::exportCouplerCurveCsv() {
    askAndExport(QStringLiteral("Export Coupler Curve (CSV)"),
                 QStringLiteral("coupler curve.csv"),
                 QStringLiteral("CSV table (*.csv);;All Files (*)"),
                 &ExportAndHelpCommands::exportCouplerCurveCsvTo);
}

void ExportAndHelpCommands::askAndExport(const QString &title, const QString &suggestedName,
                                         const QString &filter, ExportTo exportTo) {
    if (!branch->hasMechanism())
        return;
    const QString path = QFileDialog::getSaveFileName(window, title, suggestedName, filter);
    if (!path.isEmpty())
        (this->*exportTo)(path);
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
