#pragma once

#include <QString>

#include <memory>

class QWidget;

namespace store {
class Session;
}
namespace messages {
class Msg;
}

namespace hints {

class HintWindow;

// Owns the program's one hint window. A hint button sets the hand-over values and opens
// the window: a window that is not open is loaded with them, an open one is only brought
// to the front and keeps what it shows. The main window closes it when it closes.
class HintController {
public:
    HintController(store::Session& session, messages::Msg& msg);
    ~HintController();
    HintController(const HintController&) = delete;
    HintController& operator=(const HintController&) = delete;

    void open(const QString& formName, const QString& controlName, const QString& formTitle);
    void close();
    bool isOpen() const;

    QWidget* window() const;
    HintWindow* hintWindow() const { return window_.get(); }

    // The hand-over values of the last press.
    const QString& formName() const { return formName_; }
    const QString& controlName() const { return controlName_; }
    const QString& formTitle() const { return formTitle_; }

private:
    store::Session& session_;
    messages::Msg& msg_;
    QString formName_;
    QString controlName_;
    QString formTitle_;
    std::unique_ptr<HintWindow> window_;
};

} // namespace hints
