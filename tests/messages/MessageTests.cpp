#include "Msg.h"

#include <gtest/gtest.h>

using namespace messages;

namespace {

MessageBoxSpec shownFor(const QString& category, const QString& key, const QString& target, bool answer, bool* result)
{
    ScriptedMessagePresenter presenter;
    presenter.pushAnswer(answer);
    Msg msg(presenter);
    *result = msg.ShowMsg(category, key, target);
    EXPECT_EQ(presenter.shown().size(), 1u);
    return presenter.shown().empty() ? MessageBoxSpec{} : presenter.shown().front();
}

} // namespace

TEST(Catalogue, RaisedEntriesHaveTheirExactTitlesTextsAndDefaultButtons)
{
    struct Case {
        QString category, key, target, title, text;
        BoxKind kind;
    };
    const Case cases[] = {
        {"その他", "確認", "すべての支払先を削除します", "確認", "すべての支払先を削除します、よろしいですか", BoxKind::AskDefaultYes},
        {"その他", "メッセージ", "年月を指定してください。", "年月を指定してください。", "年月を指定してください。", BoxKind::Inform},
        {"削除", "確認", "", "削除の確認", "すべてのデータを削除します。よろしいですか", BoxKind::AskDefaultNo},
        {"削除", "確認", "ヒント", "削除の確認", "すべてのデータを削除します。よろしいですか", BoxKind::AskDefaultNo},
        {"削除", "伝票確認2", "設定", "削除の確認", "設定 を削除します。よろしいですか", BoxKind::AskDefaultNo},
        {"削除", "伝票確認2", "指定された行", "削除の確認", "指定された行 を削除します。よろしいですか", BoxKind::AskDefaultNo},
        {"削除", "指定確認", "支払先", "削除の確認", "指定された 支払先 を削除します。よろしいですか", BoxKind::AskDefaultNo},
        {"削除", "完了", "ヒント", "削除の完了", "データ ヒント を削除しました。", BoxKind::Inform},
        {"登録", "確認", "支払予定表", "登録の確認", "支払予定表 を登録します。よろしいですか", BoxKind::AskDefaultYes},
        {"登録", "確認", "", "登録の確認", " を登録します。よろしいですか", BoxKind::AskDefaultYes},
        {"登録", "完了", "ヒント", "登録完了", "ヒント を登録しました。", BoxKind::Inform},
        {"行指定", "余白なし", "", "行挿入注意", "行挿入する余白はありません。", BoxKind::Warn},
        {"登録", "完了2", "X", "登録完了", "データ  X を登録しました。", BoxKind::Inform},
        {"入力", "重複", "支払先", "入力注意", "支払先が重複しています。確認してください", BoxKind::Warn},
        // Every destructive question preselects いいえ.
        {"削除", "支払先全件", "", "削除の確認", "すべての支払先を削除します。よろしいですか", BoxKind::AskDefaultNo},
        {"削除", "ヒント確認", "", "削除の確認", "このボタンのヒントを削除します。よろしいですか", BoxKind::AskDefaultNo},
        {"削除", "行確認", "07日", "削除の確認", "次の行を削除します。登録済みの支払予定表からもすぐに削除されます。よろしいですか\n\n07日", BoxKind::AskDefaultNo},
        {"入力", "桁あふれ", "金額", "入力注意", "金額が扱える範囲を超えています。-922,337,203,685,477 から 922,337,203,685,477 までの金額を指定してください", BoxKind::Warn},
    };
    for (const Case& c : cases) {
        bool result = true;
        const MessageBoxSpec box = shownFor(c.category, c.key, c.target, true, &result);
        EXPECT_EQ(box.title, c.title) << c.category.toStdString() << "/" << c.key.toStdString();
        EXPECT_EQ(box.text, c.text) << c.category.toStdString() << "/" << c.key.toStdString();
        EXPECT_EQ(box.kind, c.kind) << c.category.toStdString() << "/" << c.key.toStdString();
        // Yes is true only for questions; an acknowledged notice is false.
        EXPECT_EQ(result, isQuestion(c.kind));
    }
    bool result = true;
    shownFor("登録", "確認", "支払予定表", false, &result);
    EXPECT_FALSE(result);
}

TEST(Catalogue, ComparesCategoryAndKeyExactlyAndShowsNothingForUnknownOnes)
{
    ScriptedMessagePresenter presenter;
    presenter.setDefaultAnswer(true);
    Msg msg(presenter);
    EXPECT_FALSE(msg.ShowMsg("削除 ", "確認", ""));
    EXPECT_FALSE(msg.ShowMsg("削除", "確認 ", ""));
    EXPECT_FALSE(msg.ShowMsg("クリア", "完了", "x"));
    EXPECT_FALSE(msg.ShowMsg("ｸﾘｱ", "確認", ""));
    EXPECT_FALSE(msg.ShowMsg("", "", ""));
    EXPECT_TRUE(presenter.shown().empty());
    // The same key stands in several categories with its own entry.
    EXPECT_EQ(findMessage("行指定", "重複", "")->text, "指定行は１回に１行です。行指定をやり直してください。");
    EXPECT_EQ(findMessage("クリア", "確認", "")->kind, BoxKind::AskDefaultNo);
    EXPECT_EQ(findMessage("登録", "データ確認", "A")->kind, BoxKind::AskDefaultYes);
    EXPECT_EQ(findMessage("転記", "確認", "A")->text, "A に転記します。よろしいですか");
}
