#pragma once

#include <functional>

class MainWindow;

// The whole run of the program from its command line to its exit status: the answers
// without a window (--help, --version), the data folder, the start-up, the window and the
// event loop. `shown` is called right after the main window is shown (the benchmark of the
// start uses it to see when the window answers).
int runQuorel1(int argc, char** argv, const std::function<void(MainWindow&)>& shown = {});
