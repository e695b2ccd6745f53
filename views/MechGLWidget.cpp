// Cartesian view of the workspace.
#include "MechGLWidget.h"

MechGLWidget::MechGLWidget(QWidget *parent) : QOpenGLWidget(parent) {}
