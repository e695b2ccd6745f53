// MechGLWidget: the Cartesian view of the workspace (placeholder until the view is built).
#pragma once

#include <QOpenGLWidget>

class MechGLWidget : public QOpenGLWidget {
    Q_OBJECT
public:
    explicit MechGLWidget(QWidget *parent = nullptr);
};
