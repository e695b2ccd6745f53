// ImageGLWidget: the image-space view (placeholder until the view is built).
#pragma once

#include <QOpenGLWidget>

class ImageGLWidget : public QOpenGLWidget {
    Q_OBJECT
public:
    explicit ImageGLWidget(QWidget *parent = nullptr);
};
