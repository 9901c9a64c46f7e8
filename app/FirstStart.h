#pragma once

#include "DataLocation.h"

namespace messages {
class Msg;
}

enum class FirstStartOutcome {
    Ready,    // go on with the ordinary start-up on the folder
    Declined, // the user did not want a new book: end without a window
    Failed,   // the new book could not be made (the box has been shown)
};

// Before the ordinary start-up: a folder that may receive a book and holds neither file
// gets both, made from the schema, once the user agrees. A folder holding one or both
// files is left to the ordinary start-up checks, which refuse a missing or damaged file.
FirstStartOutcome prepareDataFolder(const DataLocation& location, messages::Msg& msg);
