#include "HintController.h"
#include "HintWindow.h"
#include "MessagePresenter.h"
#include "Msg.h"
#include "Session.h"
#include "Sql.h"
#include "TempDataDir.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <SQLiteCpp/Database.h>

#include <gtest/gtest.h>

using hints::HintController;
using hints::HintWindow;
using messages::BoxKind;
using messages::ScriptedMessagePresenter;

namespace {

const QString kTitle = QStringLiteral("支払予定表 Ver 1.0");

// A data directory, its open files, the scripted boxes and the controller of one run.
struct HintFixture {
    TempDataDir dir;
    std::unique_ptr<store::Session> session = store::Session::open(dir.path());
    ScriptedMessagePresenter presenter;
    messages::Msg msg{presenter};
    HintController hints{*session, msg};

    SQLite::Database& work() { return session->workDb(); }
    void store(const QString& ctl, const QString& text)
    {
        store::exec(work(), "INSERT INTO ClHint VALUES ('FrmQuorel1', ?, 'old', ?)", {ctl, text});
    }
    std::vector<store::Row> rows()
    {
        return store::queryRows(work(), "SELECT CtlName, Contents FROM ClHint ORDER BY rowid");
    }
    HintWindow& open(const QString& ctl)
    {
        hints.open("FrmQuorel1", ctl, kTitle);
        return *hints.hintWindow();
    }
    template <class T>
    T* child(const char* name)
    {
        auto* widget = hints.hintWindow()->findChild<T*>(QString::fromUtf8(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QPlainTextEdit* box() { return child<QPlainTextEdit>("txtContents"); }
    qint64 colour(const char* button) { return hints::valueOfColour(child<QPushButton>(button)->palette().color(QPalette::Button)); }
    void click(const char* button) { QTest::mouseClick(child<QPushButton>(button), Qt::LeftButton); }
    QString label(const char* name) { return child<QLabel>(name)->text(); }
};

} // namespace

TEST(HintWindow, FirstOpeningShowsTheKeyWithEditingOffAndStoresNothing)
{
    HintFixture f;
    f.store("cmdHint", "別のボタンの文");
    HintWindow& window = f.open("cmdHint1");

    EXPECT_EQ(window.objectName(), "Hint");
    EXPECT_EQ(window.windowTitle(), QStringLiteral("ヒント        "));
    EXPECT_EQ(window.parentWidget(), nullptr);
    EXPECT_EQ(window.windowModality(), Qt::NonModal);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(f.label("lblFormName"), "FrmQuorel1");
    EXPECT_EQ(f.label("lblCtlName"), "cmdHint1");
    EXPECT_EQ(f.label("lblFormTitle"), kTitle);

    // No row: the box is empty and invites the user through its placeholder only.
    EXPECT_EQ(f.box()->toPlainText(), "");
    EXPECT_FALSE(f.box()->placeholderText().isEmpty());
    EXPECT_TRUE(f.box()->isReadOnly());
    EXPECT_FALSE(window.editing());
    const std::pair<const char*, const char*> buttons[] = {{"cmd編集", "編集"}, {"cmd登録", "登録"}, {"cmd削除", "削除"}, {"cmdクリア", "クリア"}, {"cmd閉じる", "閉じる"}};
    for (const auto& [name, caption] : buttons) {
        EXPECT_EQ(f.child<QPushButton>(name)->text(), QString::fromUtf8(caption));
        EXPECT_EQ(f.colour(name), 13488593) << name;
    }
    ASSERT_EQ(f.rows().size(), 1u);
    EXPECT_TRUE(f.presenter.shown().empty());

    // Saving the untouched box stores an empty hint, never the invitation.
    f.click("cmd登録");
    const auto rows = f.rows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1][0].toString(), "cmdHint1");
    EXPECT_EQ(rows[1][1].toString(), "");
}

TEST(HintWindow, EditButtonTogglesColourAndReadOnlyAndEveryLoadStartsWithEditingOff)
{
    HintFixture f;
    HintWindow& window = f.open("cmdHint");
    f.click("cmd編集");
    EXPECT_EQ(f.colour("cmd編集"), 8421631);
    EXPECT_FALSE(f.box()->isReadOnly());
    EXPECT_TRUE(window.editing());
    EXPECT_EQ(f.colour("cmd登録"), 13488593);
    f.click("cmd編集");
    EXPECT_EQ(f.colour("cmd編集"), 13488593);
    EXPECT_TRUE(f.box()->isReadOnly());

    // Typing reaches the box only while editing is on.
    QTest::keyClicks(f.box(), "abc");
    EXPECT_EQ(f.box()->toPlainText(), "");
    f.click("cmd編集");
    QTest::keyClicks(f.box(), "abc");
    EXPECT_EQ(f.box()->toPlainText(), "abc");

    // Closed with editing on, the next load starts with editing off and the stored text.
    f.click("cmd閉じる");
    EXPECT_FALSE(window.isVisible());
    f.open("cmdHint");
    EXPECT_EQ(f.colour("cmd編集"), 13488593);
    EXPECT_TRUE(f.box()->isReadOnly());
    EXPECT_EQ(f.box()->toPlainText(), "");
}

TEST(HintWindow, TextsAreStoredExactlyLineBreaksIncluded)
{
    HintFixture f;
    // Windows line breaks with one stray line feed, a no-break space, tabs, trailing
    // blanks and empty lines: kept byte for byte while the text is not edited.
    const QString stored = QStringLiteral("一行目\r\n\r\n\t字下げ\u00a0付き  \n最後😀");
    f.store("cmdHint", stored);
    f.open("cmdHint");
    f.click("cmd登録");
    ASSERT_EQ(f.rows().size(), 1u);
    EXPECT_EQ(f.rows()[0][1].toString(), stored);

    // An edited text keeps the line breaks of the text it was loaded with.
    f.click("cmd編集");
    f.box()->moveCursor(QTextCursor::End);
    QTest::keyClick(f.box(), Qt::Key_Return);
    QTest::keyClicks(f.box(), "added");
    f.click("cmd登録");
    EXPECT_EQ(f.rows()[0][1].toString(), QStringLiteral("一行目\r\n\r\n\t字下げ\u00a0付き  \r\n最後😀\r\nadded"));

    // A text typed from scratch is stored with line feeds, Japanese through the input method.
    f.click("cmd閉じる");
    f.open("cmdHint1");
    f.click("cmd編集");
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("日本語の説明"));
    QCoreApplication::sendEvent(f.box(), &commit);
    QTest::keyClick(f.box(), Qt::Key_Return);
    QTest::keyClick(f.box(), Qt::Key_Return);
    QTest::keyClicks(f.box(), "  end ");
    f.click("cmd登録");
    const auto rows = f.rows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1][0].toString(), "cmdHint1");
    EXPECT_EQ(rows[1][1].toString(), QStringLiteral("日本語の説明\n\n  end "));
    f.click("cmd閉じる");
    f.open("cmdHint1");
    EXPECT_EQ(f.box()->toPlainText(), QStringLiteral("日本語の説明\n\n  end "));
}

TEST(HintWindow, QuestionsNoticesClearAndDelete)
{
    HintFixture f;
    f.store("cmdHint", "保存済み");
    f.store("cmdHint2", "他のキー");
    f.open("cmdHint");
    EXPECT_EQ(f.box()->toPlainText(), "保存済み");

    // No to the save question: nothing stored, no notice.
    f.click("cmd編集");
    QTest::keyClicks(f.box(), "X");
    f.presenter.pushAnswer(false);
    f.click("cmd登録");
    ASSERT_EQ(f.presenter.shown().size(), 1u);
    EXPECT_EQ(f.presenter.shown()[0].title, "登録の確認");
    EXPECT_EQ(f.presenter.shown()[0].text, "ヒント を登録します。よろしいですか");
    EXPECT_EQ(f.presenter.shown()[0].kind, BoxKind::AskDefaultYes);
    EXPECT_EQ(f.rows()[0][1].toString(), "保存済み");

    // No to the delete question: the row and the box stay.
    f.presenter.clear();
    f.presenter.pushAnswer(false);
    f.click("cmd削除");
    ASSERT_EQ(f.presenter.shown().size(), 1u);
    EXPECT_EQ(f.presenter.shown()[0].text, "すべてのデータを削除します。よろしいですか");
    EXPECT_EQ(f.presenter.shown()[0].kind, BoxKind::AskDefaultNo);
    EXPECT_EQ(f.rows().size(), 2u);
    EXPECT_FALSE(f.box()->toPlainText().isEmpty());

    // Clear with editing off empties the box only; the stored hint comes back next time.
    f.click("cmd編集");
    f.click("cmdクリア");
    EXPECT_EQ(f.box()->toPlainText(), "");
    f.click("cmd閉じる");
    f.open("cmdHint");
    EXPECT_EQ(f.box()->toPlainText(), "保存済み");

    // Yes to delete: the key's row goes, the box empties, then the notice.
    f.presenter.clear();
    f.click("cmd削除");
    ASSERT_EQ(f.presenter.shown().size(), 2u);
    EXPECT_EQ(f.presenter.shown()[1].title, "削除の完了");
    EXPECT_EQ(f.presenter.shown()[1].text, "データ ヒント を削除しました。");
    EXPECT_EQ(f.box()->toPlainText(), "");
    auto rows = f.rows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0].toString(), "cmdHint2");

    // Deleting again with no row: nothing to delete, yet the box empties and the notice shows.
    f.click("cmd編集");
    QTest::keyClicks(f.box(), "unsaved");
    f.presenter.clear();
    f.click("cmd削除");
    ASSERT_EQ(f.presenter.shown().size(), 2u);
    EXPECT_EQ(f.presenter.shown()[1].title, "削除の完了");
    EXPECT_EQ(f.box()->toPlainText(), "");
    EXPECT_EQ(f.rows().size(), 1u);

    // Yes to save: stored, then the notice.
    QTest::keyClicks(f.box(), "new");
    f.presenter.clear();
    f.click("cmd登録");
    ASSERT_EQ(f.presenter.shown().size(), 2u);
    EXPECT_EQ(f.presenter.shown()[1].title, "登録完了");
    EXPECT_EQ(f.presenter.shown()[1].text, "ヒント を登録しました。");
    rows = f.rows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1][1].toString(), "new");
}

TEST(HintWindow, FailuresAreReportedAndLoseNothing)
{
    HintFixture f;
    f.store("cmdHint", "元の文");
    f.open("cmdHint");
    f.click("cmd編集");
    QTest::keyClicks(f.box(), "+");

    store::exec(f.work(), "CREATE TRIGGER refuse_insert BEFORE INSERT ON ClHint BEGIN SELECT RAISE(ABORT, 'refused'); END");
    f.click("cmd登録");
    ASSERT_EQ(f.presenter.shown().size(), 2u);
    EXPECT_EQ(f.presenter.shown()[1].title, "登録の失敗");
    EXPECT_EQ(f.presenter.shown()[1].kind, BoxKind::Warn);
    ASSERT_EQ(f.rows().size(), 1u);
    EXPECT_EQ(f.rows()[0][1].toString(), "元の文");
    EXPECT_EQ(f.box()->toPlainText(), "+元の文");

    store::exec(f.work(), "CREATE TRIGGER refuse_delete BEFORE DELETE ON ClHint BEGIN SELECT RAISE(ABORT, 'refused'); END");
    f.presenter.clear();
    f.click("cmd削除");
    ASSERT_EQ(f.presenter.shown().size(), 2u);
    EXPECT_EQ(f.presenter.shown()[1].title, "削除の失敗");
    EXPECT_EQ(f.rows().size(), 1u);
    EXPECT_EQ(f.box()->toPlainText(), "+元の文");
}

TEST(HintController, APressWhileOpenOnlyRaisesTheWindowAndTheNextLoadTakesTheLatestKey)
{
    HintFixture f;
    f.store("cmdHint", "一つ目");
    f.store("cmdHint2", "三つ目");
    HintWindow& window = f.open("cmdHint");
    f.click("cmd編集");
    QTest::keyClicks(f.box(), "!");

    f.hints.open("FrmQuorel1", "cmdHint2", "other title");
    EXPECT_EQ(f.hints.controlName(), "cmdHint2");
    EXPECT_EQ(f.hints.formTitle(), "other title");
    EXPECT_EQ(f.hints.hintWindow(), &window);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(f.label("lblCtlName"), "cmdHint");
    EXPECT_EQ(f.label("lblFormTitle"), kTitle);
    EXPECT_EQ(f.box()->toPlainText(), "!一つ目");
    EXPECT_TRUE(window.editing());

    // Saving goes to the key shown, not to the last press.
    f.click("cmd登録");
    auto rows = f.rows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0][1].toString(), "三つ目");
    EXPECT_EQ(rows[1][0].toString(), "cmdHint");
    EXPECT_EQ(rows[1][1].toString(), "!一つ目");

    f.hints.close();
    EXPECT_FALSE(f.hints.isOpen());
    f.hints.open("FrmQuorel1", "cmdHint2", "other title");
    EXPECT_EQ(f.label("lblCtlName"), "cmdHint2");
    EXPECT_EQ(f.label("lblFormTitle"), "other title");
    EXPECT_EQ(f.box()->toPlainText(), "三つ目");
    EXPECT_FALSE(window.editing());
}
