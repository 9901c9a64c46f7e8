#include "LongCommand.h"

namespace store {

namespace {

int gRunning = 0;
bool gStopRequested = false;

} // namespace

LongCommand::LongCommand()
{
    ++gRunning;
}

LongCommand::~LongCommand()
{
    // The request ends with the commands it was made to: a later command runs in full.
    if (--gRunning == 0)
        gStopRequested = false;
}

bool LongCommand::running()
{
    return gRunning > 0;
}

void LongCommand::requestStop()
{
    if (gRunning > 0)
        gStopRequested = true;
}

bool LongCommand::stopRequested()
{
    return gStopRequested;
}

} // namespace store
