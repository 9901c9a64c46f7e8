#pragma once

namespace store {

// Marks a command that lets events in while it runs (its progress dialog does), so that
// the program does not close its files under it. A request to end the program meanwhile
// asks it to stop (stopRequested() at its next step: it rolls back as on キャンセル), and the
// program ends once the command has returned. The commands run on the main thread.
class LongCommand {
public:
    LongCommand();
    ~LongCommand();
    LongCommand(const LongCommand&) = delete;
    LongCommand& operator=(const LongCommand&) = delete;

    // Whether a long command runs now.
    static bool running();
    // Asks the running commands to stop at their next step; nothing when none runs.
    static void requestStop();
    static bool stopRequested();
};

} // namespace store
