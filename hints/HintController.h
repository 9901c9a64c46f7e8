#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

namespace store {
class Session;
}
namespace messages {
class Msg;
}

namespace hints {

// Owns the program's one hint window: opens it for a key, or only raises it when it
// is already open, and closes it with the main window.
class HintController {
public:
    HintController(store::Session& session, messages::Msg& msg);
    ~HintController();

    void open(const QString& formName, const QString& controlName, const QString& formTitle);
    void close();
    QWidget* window() const { return window_; }

private:
    store::Session& session_;
    messages::Msg& msg_;
    QPointer<QWidget> window_;
};

} // namespace hints
