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
    AskYesNoCancel, // Yes/No/Cancel, question icon, Yes preselected, Escape cancels
};

// What the user answered a question.
enum class Answer { Yes, No, Cancel };

struct MessageBoxSpec {
    QString title;
    QString text;
    BoxKind kind = BoxKind::Inform;
    // The window the box belongs to, when not the presenter's own parent.
    QWidget* owner = nullptr;
};

inline bool isQuestion(BoxKind kind)
{
    return kind == BoxKind::AskDefaultNo || kind == BoxKind::AskDefaultYes || kind == BoxKind::AskYesNoCancel;
}

// Shows one box modally and answers whether the user pressed Yes; ask() also tells No
// from Cancel.
class MessagePresenter {
public:
    virtual ~MessagePresenter() = default;
    bool present(const MessageBoxSpec& box) { return ask(box) == Answer::Yes; }
    virtual Answer ask(const MessageBoxSpec& box) = 0;

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
    Answer ask(const MessageBoxSpec& box) override;

private:
    QWidget* parent_;
};

// For tests: records every box and answers questions from a script (then the default).
class ScriptedMessagePresenter : public MessagePresenter {
public:
    Answer ask(const MessageBoxSpec& box) override;

    void pushAnswer(bool yes) { answers_.push_back(yes ? Answer::Yes : Answer::No); }
    void pushCancel() { answers_.push_back(Answer::Cancel); }
    void setDefaultAnswer(bool yes) { defaultAnswer_ = yes ? Answer::Yes : Answer::No; }
    const std::vector<MessageBoxSpec>& shown() const { return shown_; }
    void clear() { shown_.clear(); answers_.clear(); }
    // Runs while a box is "open", e.g. to inspect the window behind it.
    std::function<void(const MessageBoxSpec&)> onShow;

private:
    std::vector<MessageBoxSpec> shown_;
    std::vector<Answer> answers_;
    Answer defaultAnswer_ = Answer::Yes;
};

} // namespace messages
