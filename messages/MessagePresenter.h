#pragma once

#include <QString>

#include <functional>
#include <vector>

class QWidget;

namespace messages {

// The four boxes of the catalogue, and the critical box of start-up failures.
enum class BoxKind {
    AskDefaultNo,  // Yes/No, question icon, No preselected
    AskDefaultYes, // Yes/No, question icon, Yes preselected
    Inform,        // OK, information icon
    Warn,          // OK, exclamation icon
    Critical,      // OK, critical icon
};

struct MessageBoxSpec {
    QString title;
    QString text;
    BoxKind kind = BoxKind::Inform;
    // The window the box belongs to, when not the presenter's own parent.
    QWidget* owner = nullptr;
};

inline bool isQuestion(BoxKind kind)
{
    return kind == BoxKind::AskDefaultNo || kind == BoxKind::AskDefaultYes;
}

// Shows one box modally and answers whether the user pressed Yes.
class MessagePresenter {
public:
    virtual ~MessagePresenter() = default;
    virtual bool present(const MessageBoxSpec& box) = 0;

    // The window that the boxes shown now belong to (nothing: the presenter's own parent).
    QWidget* owner() const { return owner_; }
    void setOwner(QWidget* owner) { owner_ = owner; }

private:
    QWidget* owner_ = nullptr;
};

// Makes the boxes shown while it lives belong to one window, e.g. a window of its own
// whose questions must not bring the main window to the front.
class BoxOwnerScope {
public:
    BoxOwnerScope(MessagePresenter& presenter, QWidget* owner)
        : presenter_(presenter)
        , previous_(presenter.owner())
    {
        presenter_.setOwner(owner);
    }
    ~BoxOwnerScope() { presenter_.setOwner(previous_); }
    BoxOwnerScope(const BoxOwnerScope&) = delete;
    BoxOwnerScope& operator=(const BoxOwnerScope&) = delete;

private:
    MessagePresenter& presenter_;
    QWidget* previous_;
};

// The real boxes: QMessageBox with Qt's (translated) standard buttons.
class QtMessagePresenter : public MessagePresenter {
public:
    explicit QtMessagePresenter(QWidget* parent = nullptr)
        : parent_(parent)
    {
    }
    void setParent(QWidget* parent) { parent_ = parent; }
    bool present(const MessageBoxSpec& box) override;

private:
    QWidget* parent_;
};

// For tests: records every box and answers questions from a script (then the default).
class ScriptedMessagePresenter : public MessagePresenter {
public:
    bool present(const MessageBoxSpec& box) override;

    void pushAnswer(bool yes) { answers_.push_back(yes); }
    void setDefaultAnswer(bool yes) { defaultAnswer_ = yes; }
    const std::vector<MessageBoxSpec>& shown() const { return shown_; }
    void clear() { shown_.clear(); answers_.clear(); }
    // Runs while a box is "open", e.g. to inspect the window behind it.
    std::function<void(const MessageBoxSpec&)> onShow;

private:
    std::vector<MessageBoxSpec> shown_;
    std::vector<bool> answers_;
    bool defaultAnswer_ = true;
};

} // namespace messages
