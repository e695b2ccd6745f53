// The commands that take results out of the program (the chosen dyads, a picture of the
// Cartesian view, the splitter position) or bring a background picture in.
#include "Vendrel.h"

#include "Branch.h"
#include "MechGLWidget.h"
#include "ProcessValues.h"
#include "TextFileWriter.h"
#include "UserFileSave.h"
#include "ui_Vendrel.h"

#include <QAction>
#include <QBuffer>
#include <QOpenGLWidget>
#include <QPainter>
#include <QFile>
#include <QFileDialog>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QMenu>
#include <QPixmap>
#include <QTemporaryDir>
#include <vector>

namespace {
const char *const dyadFileNames[] = {"synthesized dyad parameters.txt",
                                     "user input dyad parameters.txt"};
} // namespace

bool Vendrel::hasDyadsToSave() const {
    return branch->synthesizedDyadCount() > 0 || !branch->getUserInputDyads().empty();
}

// Both files replace the saved pair together, whole or not at all: a full disk or a folder that
// refuses new files leaves the earlier pair as it was. Success is reported only after that.
bool Vendrel::SaveFile() {
    if (!hasDyadsToSave()) {
        showRefusal(tr("No dyads to save: synthesize or draw dyads first"));
        return false;
    }
    std::vector<UserFileSave::File> files;
    QString failedPath, why;
    if (!stageDyadFiles(files, failedPath, why) || !UserFileSave::write(files, failedPath, why)) {
        UserFileSave::report(this, tr("Save Dyads"), failedPath, why);
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

// Branch writes the pair in place under fixed names in the working folder. It writes them into a
// fresh folder of its own instead, made the working folder only for that call, and the contents
// are read back from there, each paired with its place in the real working folder.
bool Vendrel::stageDyadFiles(std::vector<UserFileSave::File> &files, QString &failedPath,
                             QString &why) {
    const QDir folder = QDir::current();
    QTemporaryDir staging;
    // Without the staging folder as the working folder, Branch would write in place after all.
    if (!staging.isValid() || !QDir::setCurrent(staging.path())) {
        failedPath = folder.filePath(QLatin1String(dyadFileNames[0]));
        why = tr("no temporary folder could be made (%1)").arg(staging.errorString());
        return false;
    }
    const QStringList failed = branch->printdyads();
    QDir::setCurrent(folder.path());
    for (const char *name : dyadFileNames) {
        QFile staged(staging.filePath(QLatin1String(name)));
        if (failed.contains(QLatin1String(name)) || !staged.open(QIODevice::ReadOnly)) {
            failedPath = folder.filePath(QLatin1String(name));
            why = tr("it could not be written in full in the temporary folder %1")
                      .arg(QDir::toNativeSeparators(staging.path()));
            return false;
        }
        files.push_back({folder.filePath(QLatin1String(name)), staged.readAll()});
    }
    return true;
}

// A cancelled dialog still counts: the number in a name tells how many screenshots were asked
// for in this run, as the user counts them.
void Vendrel::screenshot() {
    ++screenshotCount;
    const QString chosen = QFileDialog::getSaveFileName(
        this, tr("Save Screenshot"), QStringLiteral(" "), tr("Screenshot(*.png);;All Files (*)"));
    if (!chosen.isEmpty())
        saveChosenScreenshot(chosen);
}

// The file is written under the final name only, never under the literal "%1" name.
bool Vendrel::saveChosenScreenshot(const QString &chosen) {
    QString name = QString(chosen).replace(QStringLiteral("%1"), QString::number(screenshotCount));
    if (QFileInfo(name).suffix().isEmpty())
        name += QStringLiteral(".png");
    return saveScreenshot(name);
}

// The picture is encoded in memory first, so a name whose suffix no image format knows is
// refused before any file is touched; the file is then replaced whole or not at all.
bool Vendrel::saveScreenshot(const QString &path) {
    const QImage picture = cartesianView()->grabFramebuffer();
    const QByteArray format = QFileInfo(path).suffix().toLatin1();
    QByteArray encoded;
    QBuffer buffer(&encoded);
    buffer.open(QIODevice::WriteOnly);
    QString why;
    if (!picture.save(&buffer, format.isEmpty() ? "PNG" : format.constData()))
        why = tr("no picture could be made in the format \"%1\"").arg(QString::fromLatin1(format));
    else if (UserFileSave::write(path, encoded, why))
        return true;
    UserFileSave::report(this, tr("Save Screenshot"), path, why);
    return false;
}

// A widget grab of the window leaves out what the GL views write with a painter over their
// scene (every label): their own frames are put in over it.
QImage Vendrel::windowPicture() {
    QImage picture = grab().toImage();
    QPainter painter(&picture);
    for (QOpenGLWidget *view : findChildren<QOpenGLWidget *>())
        if (view->isVisible())
            painter.drawImage(view->mapTo(this, QPoint(0, 0)), view->grabFramebuffer());
    return picture;
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
