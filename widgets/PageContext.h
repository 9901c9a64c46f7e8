#pragma once

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
};
