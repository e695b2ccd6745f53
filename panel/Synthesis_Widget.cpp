// Synthesis panel.
#include "Synthesis_Widget.h"

Synthesis_Widget::Synthesis_Widget(QWidget *parent) : QWidget(parent) {}
