// Image-space view.
#include "ImageGLWidget.h"

ImageGLWidget::ImageGLWidget(QWidget *parent) : QOpenGLWidget(parent) {}
