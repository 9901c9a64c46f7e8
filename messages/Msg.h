#pragma once

#include "MessagePresenter.h"

#include <optional>

namespace messages {

// Looks an entry up by exact category and key and builds its box for the target text;
// nothing for a category or key the catalogue does not hold.
std::optional<MessageBoxSpec> findMessage(const QString& category, const QString& key, const QString& target);

// The catalogue's one operation: shows the entry's box through the presenter and answers
// true only when it asked a question and the user said Yes.
class Msg {
public:
    explicit Msg(MessagePresenter& presenter)
        : presenter_(&presenter)
    {
    }
    bool ShowMsg(const QString& category, const QString& key, const QString& target);
    // The same for a question with three answers (Yes, No, Cancel); Cancel for an
    // entry the catalogue does not hold.
    Answer Ask(const QString& category, const QString& key, const QString& target);
    MessagePresenter& presenter() { return *presenter_; }

private:
    MessagePresenter* presenter_;
};

} // namespace messages
