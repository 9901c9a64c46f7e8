#pragma once

#include "MessagePresenter.h"


namespace messages {

// The catalogue's entries, named category_key (MsgId::登録_確認): Catalogue.inc.
enum class MsgId {
#define MESSAGE(category, key, ...) category##_##key,
#include "Catalogue.inc"
#undef MESSAGE
};
// How many entries the catalogue holds.
inline constexpr int kMessageCount = 0
#define MESSAGE(...) +1
#include "Catalogue.inc"
#undef MESSAGE
    ;

// The entry's box for the target text.
MessageBoxSpec findMessage(MsgId id, const QString& target = {});
// The entry's text for the target text.
QString messageText(MsgId id, const QString& target = {});
// "category/key" of an entry, for logs and test output.
QString messageName(MsgId id);

// The words of the main window's menus, commands and small screens, named kind_key
// (LabelId::コマンド_登録): Labels.inc.
enum class LabelId {
#define LABEL(kind, key, ...) kind##_##key,
#include "Labels.inc"
#undef LABEL
};
struct Label {
    QString text; // with its mnemonic, as 「ファイル(&F)」, for menus and commands
    QString tip;  // the status tip of a command; empty for the rest
    QString key;  // the key alone (「ファイル」), as objects are named after it
};
Label label(LabelId id);

// The catalogue's one operation: shows the entry's box through the presenter and answers
// true only when it asked a question and the user said Yes.
class Msg {
public:
    explicit Msg(MessagePresenter& presenter)
        : presenter_(&presenter)
    {
    }
    bool ShowMsg(MsgId id, const QString& target = {});
    // The same for a question with three answers (Yes, No, Cancel).
    Answer Ask(MsgId id, const QString& target = {});
    MessagePresenter& presenter() { return *presenter_; }

private:
    MessagePresenter* presenter_;
};

} // namespace messages
