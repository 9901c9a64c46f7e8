#pragma once

#include <functional>

namespace store {
class Session;
}
namespace messages {
class Msg;
}

// What every page of the main window works through: the open data files with the
// in-memory settings, and the message catalogue.
struct PageContext {
    store::Session& session;
    messages::Msg& msg;
    // Called by a command right before it deletes or replaces stored data, with the
    // command's key ("linedelete", "payeeentry", "payeedelete", "settingsdelete"): keeps a
    // backup and answers whether the command may go on. Unset: the command just goes on.
    std::function<bool(const char* command)> beforeDestructive = {};
    // Called after such a command changed the stored data.
    std::function<void(const char* command)> destructiveDone = {};
};

// The two hooks as the pages call them.
inline bool askBeforeDestructive(PageContext& context, const char* command)
{
    return !context.beforeDestructive || context.beforeDestructive(command);
}
inline void tellDestructiveDone(PageContext& context, const char* command)
{
    if (context.destructiveDone)
        context.destructiveDone(command);
}
