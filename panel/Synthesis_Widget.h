// Synthesis_Widget: the panel under the views (placeholder until the panel is built).
#pragma once

#include <QWidget>

class Synthesis_Widget : public QWidget {
    Q_OBJECT
public:
    explicit Synthesis_Widget(QWidget *parent = nullptr);
};
