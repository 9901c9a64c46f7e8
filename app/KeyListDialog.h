#pragma once

#include <QDialog>

class QMenuBar;

// The keys of the menu bar's commands, menu by menu, read from the menus themselves:
// each command with the keys its menu shows (all of them, where it has more than one).
// A window beside the main window; it does not hold the main window up.
class KeyListDialog : public QDialog {
    Q_OBJECT
public:
    KeyListDialog(const QMenuBar& menuBar, QWidget* parent);
};
