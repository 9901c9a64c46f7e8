#pragma once

#include "MessagePresenter.h"

#include <QString>

#include <memory>

class MainWindow;

// Japanese standard texts and the font substitutions, once per process.
void prepareApplication();

struct StartupOutcome {
    std::unique_ptr<MainWindow> window; // null when start-up ended
    int exitCode = 0;
};

// The start-up sequence for a data directory: refuses a directory another running copy
// holds, opens the main file then the work file (a file that cannot be used ends the
// start-up with a box and exit status 1, the file untouched), then builds the window
// and runs the first reads. The window is not shown.
StartupOutcome startQuorel1(const QString& dataDirectory, messages::MessagePresenter& presenter);
