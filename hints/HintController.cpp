#include "HintController.h"

#include "HintWindow.h"

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

void HintController::open(const QString& formName, const QString& controlName, const QString& formTitle)
{
    formName_ = formName;
    controlName_ = controlName;
    formTitle_ = formTitle;
    if (isOpen()) {
        window_->setWindowState(window_->windowState() & ~Qt::WindowMinimized);
        window_->raise();
        window_->activateWindow();
        return;
    }
    if (!window_)
        window_ = std::make_unique<HintWindow>(session_, msg_);
    window_->load(formName_, controlName_, formTitle_);
}

void HintController::close()
{
    if (window_)
        window_->close();
}

bool HintController::isOpen() const
{
    return window_ && window_->isVisible();
}

QWidget* HintController::window() const
{
    return window_.get();
}

} // namespace hints
