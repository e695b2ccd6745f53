// Cartesian view background: an image laid over the workspace rectangle as a cached texture.
#include "MechGLWidget.h"

#include "ProcessValues.h"

#include <GL/gl.h>
#include <QImage>
#include <QMessageBox>
#include <QTimer>
#include <algorithm>
#include <iostream>

// The texture is uploaded once per path and reused; the placement (offset, scale, opacity) only
// changes the matrix and colour it is drawn with.
void MechGLWidget::drawBackgroundImage() {
    const QString path = backgroundImagePath;
    if (path != backgroundTexturePath || backgroundTexture == 0) {
        if (!uploadBackgroundTexture(path)) {
            reportUnloadableBackground(path);
            return;
        }
        backgroundTexturePath = path;
    }
    const double halfW = workspaceWidth / 2.0;
    const double halfH = workspaceHeight / 2.0;
    const BackgroundPlacement &bp = backgroundPlacement;

    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_TEXTURE_BIT);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, backgroundTexture);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glPushMatrix();
    glTranslated(bp.offsetX, bp.offsetY, 0.0);
    glScaled(bp.scaleX, bp.scaleY, 1.0);
    glColor4d(1.0, 1.0, 1.0, bp.opacity);
    glBegin(GL_POLYGON);
    glTexCoord2d(0.0, 0.0);
    glVertex2d(-halfW, -halfH);
    glTexCoord2d(1.0, 0.0);
    glVertex2d(halfW, -halfH);
    glTexCoord2d(1.0, 1.0);
    glVertex2d(halfW, halfH);
    glTexCoord2d(0.0, 1.0);
    glVertex2d(-halfW, halfH);
    glEnd();
    glPopMatrix();
    glBindTexture(GL_TEXTURE_2D, 0);
    glPopAttrib();
}

bool MechGLWidget::uploadBackgroundTexture(const QString &path) {
    QImage image(path);
    if (image.isNull())
        return false;
    GLint maxSide = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSide);
    if (maxSide > 0 && (image.width() > maxSide || image.height() > maxSide))
        image = image.scaled(maxSide, maxSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    // GL rows run bottom-up; RGBA8888 rows are 4-byte aligned, which is GL's default unpacking.
    const QImage texels = image.convertToFormat(QImage::Format_RGBA8888).mirrored();
    if (texels.isNull())
        return false;

    freeBackgroundTexture();
    GLuint id = 0;
    glGenTextures(1, &id);
    glBindTexture(GL_TEXTURE_2D, id);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, texels.width(), texels.height(), 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, texels.constBits());
    glBindTexture(GL_TEXTURE_2D, 0);
    backgroundTexture = id;
    return true;
}

void MechGLWidget::freeBackgroundTexture() {
    if (backgroundTexture != 0) {
        const GLuint id = backgroundTexture;
        glDeleteTextures(1, &id);
    }
    backgroundTexture = 0;
    backgroundTexturePath.clear();
}

// A file that cannot be read is the user's choice gone wrong, not a broken program: say which
// file it was, turn the background off and go on drawing.
void MechGLWidget::reportUnloadableBackground(const QString &path) {
    std::cerr << "error loading " << path.toStdString() << std::endl;
    backgroundImagePath.clear();
    freeBackgroundTexture();
    const QString text =
        tr("The background image \"%1\" could not be loaded. The background has been turned off.")
            .arg(path);
    if (!backgroundError) {
        backgroundError = new QMessageBox(QMessageBox::Warning, tr("Background Image"), text,
                                          QMessageBox::Ok, this);
        backgroundError->setAttribute(Qt::WA_DeleteOnClose);
        backgroundError->setWindowModality(Qt::NonModal);
    } else {
        backgroundError->setText(text);
    }
    // Shown after this paint has finished, never from inside it.
    QTimer::singleShot(0, backgroundError.data(), &QWidget::show);
}
