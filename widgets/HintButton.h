#pragma once

#include "Twips.h"

#include <QString>

class QPushButton;
class QWidget;

// The hint button each page carries: no caption, a question-mark icon and a tooltip.
QPushButton* makeHintButton(const QString& objectName, QWidget* parent);
