#include "Msg.h"

#include <QSet>

#include <gtest/gtest.h>

using namespace messages;

namespace {

MessageBoxSpec shownFor(MsgId id, const QString& target, bool answer, bool* result)
{
    ScriptedMessagePresenter presenter;
    presenter.pushAnswer(answer);
    Msg msg(presenter);
    *result = msg.ShowMsg(id, target);
    EXPECT_EQ(presenter.shown().size(), 1u);
    return presenter.shown().empty() ? MessageBoxSpec{} : presenter.shown().front();
}

} // namespace

TEST(Catalogue, RaisedEntriesHaveTheirExactTitlesTextsAndDefaultButtons)
{
    struct Case {
        MsgId id;
        QString target, title, text;
        BoxKind kind;
    };
    const Case cases[] = {
        {MsgId::その他_確認, "すべての支払先を削除します", "確認", "すべての支払先を削除します、よろしいですか", BoxKind::AskDefaultYes},
        {MsgId::その他_メッセージ, "年月を指定してください。", "年月を指定してください。", "年月を指定してください。", BoxKind::Inform},
        {MsgId::削除_確認, "", "削除の確認", "すべてのデータを削除します。よろしいですか", BoxKind::AskDefaultNo},
        {MsgId::削除_確認, "ヒント", "削除の確認", "すべてのデータを削除します。よろしいですか", BoxKind::AskDefaultNo},
        {MsgId::削除_伝票確認2, "設定", "削除の確認", "設定 を削除します。よろしいですか", BoxKind::AskDefaultNo},
        {MsgId::削除_伝票確認2, "指定された行", "削除の確認", "指定された行 を削除します。よろしいですか", BoxKind::AskDefaultNo},
        {MsgId::削除_指定確認, "支払先", "削除の確認", "指定された 支払先 を削除します。よろしいですか", BoxKind::AskDefaultNo},
        {MsgId::削除_完了, "ヒント", "削除の完了", "データ ヒント を削除しました。", BoxKind::Inform},
        {MsgId::登録_確認, "支払予定表", "登録の確認", "支払予定表 を登録します。よろしいですか", BoxKind::AskDefaultYes},
        {MsgId::登録_確認, "", "登録の確認", " を登録します。よろしいですか", BoxKind::AskDefaultYes},
        {MsgId::登録_完了, "ヒント", "登録完了", "ヒント を登録しました。", BoxKind::Inform},
        {MsgId::行指定_余白なし, "", "行挿入注意", "行挿入する余白はありません。", BoxKind::Warn},
        {MsgId::登録_完了2, "X", "登録完了", "データ  X を登録しました。", BoxKind::Inform},
        {MsgId::入力_重複, "支払先", "入力注意", "支払先が重複しています。確認してください", BoxKind::Warn},
        // Every destructive question preselects いいえ.
        {MsgId::削除_支払先全件, "", "削除の確認", "すべての支払先を削除します。よろしいですか", BoxKind::AskDefaultNo},
        {MsgId::削除_ヒント確認, "", "削除の確認", "このボタンのヒントを削除します。よろしいですか", BoxKind::AskDefaultNo},
        {MsgId::削除_行確認, "07日", "削除の確認", "次の行を削除します。登録済みの支払予定表からもすぐに削除されます（元に戻せます）。よろしいですか\n\n07日", BoxKind::AskDefaultNo},
        {MsgId::入力_桁あふれ, "金額", "入力注意", "金額が扱える範囲を超えています。-922,337,203,685,477 から 922,337,203,685,477 までの金額を指定してください", BoxKind::Warn},
    };
    for (const Case& c : cases) {
        bool result = true;
        const MessageBoxSpec box = shownFor(c.id, c.target, true, &result);
        EXPECT_EQ(box.title, c.title) << messageName(c.id).toStdString();
        EXPECT_EQ(box.text, c.text) << messageName(c.id).toStdString();
        EXPECT_EQ(box.kind, c.kind) << messageName(c.id).toStdString();
        // Yes is true only for questions; an acknowledged notice is false.
        EXPECT_EQ(result, isQuestion(c.kind));
    }
    bool result = true;
    shownFor(MsgId::登録_確認, "支払予定表", false, &result);
    EXPECT_FALSE(result);
}

TEST(Catalogue, EveryEntryHasItsOwnTextAndTheSameKeyInAnotherCategoryIsAnotherEntry)
{
    // The identifiers and the table come from one list: each identifier names its own
    // category and key and gives a box with words in it.
    QSet<QString> names;
    for (int i = 0; i < kMessageCount; ++i) {
        const auto id = static_cast<MsgId>(i);
        const MessageBoxSpec box = findMessage(id, QStringLiteral("X"));
        EXPECT_FALSE(box.text.isEmpty()) << messageName(id).toStdString();
        names.insert(messageName(id));
    }
    EXPECT_EQ(names.size(), kMessageCount);
    EXPECT_EQ(messageName(MsgId::行指定_重複), "行指定/重複");
    EXPECT_EQ(findMessage(MsgId::行指定_重複).text, "指定行は１回に１行です。行指定をやり直してください。");
    EXPECT_EQ(findMessage(MsgId::入力_重複, "支払先").text, "支払先が重複しています。確認してください");
    EXPECT_EQ(findMessage(MsgId::クリア_確認).kind, BoxKind::AskDefaultNo);
    EXPECT_EQ(findMessage(MsgId::登録_データ確認, "A").kind, BoxKind::AskDefaultYes);
    EXPECT_EQ(findMessage(MsgId::転記_確認, "A").text, "A に転記します。よろしいですか");
}
