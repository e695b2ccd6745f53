// The commands that take results out of the program (the chosen dyads, a picture of the
// Cartesian view, the splitter position) or bring a background picture in.
#include "Vendrel.h"

#include "Branch.h"
#include "MechGLWidget.h"
#include "ProcessValues.h"
#include "TextFileWriter.h"
#include "ui_Vendrel.h"

#include <QFile>
#include <QFileDialog>
#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QMenu>
#include <QPixmap>

// Both files are written first; success is reported only when both were, otherwise a warning
// names what could not be written.
bool Vendrel::SaveFile() {
    const QStringList failed = branch->printdyads();
    if (!failed.isEmpty()) {
        QMessageBox::warning(this, tr("Save Dyads"),
                             tr("Could not write '%1' in %2.")
                                 .arg(failed.join(QStringLiteral("', '")),
                                      QDir::toNativeSeparators(QDir::currentPath())));
        return false;
    }
    QMessageBox box(this);
    box.setWindowTitle(tr("Mechanism Synthesis"));
    box.setIcon(QMessageBox::Information);
    box.setText(tr("User input dyads have been saved in 'user input dyad parameters.txt'"));
    box.setInformativeText(
        tr("Synthesized dyads have been saved in 'synthesized dyad parameters.txt'"));
    box.exec();
    return true;
}

// The place marker "%1" in the chosen name becomes the count of screenshots taken in this run;
// the file is opened and saved under that final name only.
void Vendrel::screenshot() {
    const QPixmap picture = cartesianView()->grab();
    ++screenshotCount;
    const QString chosen = QFileDialog::getSaveFileName(
        this, tr("Save Screenshot"), QStringLiteral(" "), tr("Screenshot(*.png);;All Files (*)"));
    if (chosen.isEmpty())
        return;
    QString name = QString(chosen).replace(QStringLiteral("%1"), QString::number(screenshotCount));
    // A name without a suffix is saved as the PNG the dialog offers, and named so.
    if (QFileInfo(name).suffix().isEmpty())
        name += QStringLiteral(".png");
    QFile file(name);
    if (!file.open(QIODevice::WriteOnly)) {
        QMessageBox::information(this, tr("Unable to open file"), file.errorString());
        return;
    }
    const QString suffix = QFileInfo(name).suffix();
    const QByteArray format = suffix.isEmpty() ? QByteArray("PNG") : suffix.toLatin1();
    picture.save(&file, format.constData());
    file.close();
}

// Cancelling the dialog gives an empty path, which removes the background.
void Vendrel::update_Background_Image() {
    backgroundImagePath = QFileDialog::getOpenFileName(this, tr("Select File"),
                                                       QStringLiteral("Image"),
                                                       tr("Image Files (*.png *.jpg *.bmp)"));
    cartesianView()->update();
}

void Vendrel::splitteroutput(int a, int b) {
    TextFileWriter file(QStringLiteral("splitter.txt"));
    file.stream() << a << ' ' << b;
}

// The commands of the settings dialogs and of output. "Background Image" goes at the end of the
// View menu, next to the other commands that change what the Cartesian view shows.
void Vendrel::connectOutputCommands() {
    connect(ui->actionSmartSynthesis, &QAction::toggled, this, &Vendrel::setToleranceSpec);
    connect(ui->actionWorkSpace, &QAction::triggered, this, &Vendrel::updateWorkspace);
    connect(ui->actionSettings, &QAction::triggered, this, &Vendrel::updateWorkspace);
    connect(ui->actionSave_Screenshot, &QAction::triggered, this, &Vendrel::screenshot);
    connect(ui->actionSave_dyads, &QAction::triggered, this, &Vendrel::SaveFile);
    connect(ui->actionBackgroun_Image, &QAction::triggered, this,
            &Vendrel::update_Background_Image);
    ui->menuView->addAction(ui->actionBackgroun_Image);
    connectSettingsDialogs();
}
