#pragma once

#include <functional>

namespace store {
class Session;
}
namespace messages {
class Msg;
}

// The pages' commands that delete or replace stored data: the main window keeps a backup
// before each and offers its undo after.
enum class DestructiveCommand {
    LineDelete,     // 行削除 of a stored line, or 登録 of a sheet that drops stored lines
    PayeeEntry,     // the payee page's 登録 (it replaces the whole list)
    PayeeDelete,    // the payee page's 削除
    PayeeLineDelete, // the payee page's 行削除 (the payees' bank details and rules go too)
    SettingsDelete, // the settings page's 削除
};

// What every page of the main window works through: the open data files with the
// in-memory settings, and the message catalogue.
struct PageContext {
    store::Session& session;
    messages::Msg& msg;
    // Called by a command right before it deletes or replaces stored data: keeps a backup
    // and answers whether the command may go on. Unset: the command just goes on.
    std::function<bool(DestructiveCommand command)> beforeDestructive = {};
    // Called after such a command changed the stored data.
    std::function<void(DestructiveCommand command)> destructiveDone = {};
};

// The two hooks as the pages call them.
inline bool askBeforeDestructive(PageContext& context, DestructiveCommand command)
{
    return !context.beforeDestructive || context.beforeDestructive(command);
}
inline void tellDestructiveDone(PageContext& context, DestructiveCommand command)
{
    if (context.destructiveDone)
        context.destructiveDone(command);
}
