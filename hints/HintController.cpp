#include "HintController.h"

namespace hints {

HintController::HintController(store::Session& session, messages::Msg& msg)
    : session_(session)
    , msg_(msg)
{
}

HintController::~HintController()
{
    close();
}

void HintController::open(const QString&, const QString&, const QString&)
{
    // The hint window lands with its own change.
}

void HintController::close()
{
    if (window_)
        window_->close();
}

} // namespace hints
