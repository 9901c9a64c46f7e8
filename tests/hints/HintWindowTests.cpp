#include "HintController.h"
#include "HintWindow.h"
#include "MessagePresenter.h"
#include "Msg.h"
#include "Session.h"
#include "Sql.h"
#include "TempDataDir.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <SQLiteCpp/Database.h>

#include <gtest/gtest.h>

#include <string_view>

using messages::BoxKind;

namespace {

// A data directory, its open files, scripted boxes and the hint window of one run.
struct HintFixture {
    TempDataDir dir;
    std::unique_ptr<store::Session> session = store::Session::open(dir.path());
    messages::ScriptedMessagePresenter presenter;
    messages::Msg msg{presenter};
    hints::HintController hints{*session, msg};

    void store(const QString& ctl, const QString& text) { store::exec(session->workDb(), "INSERT INTO ClHint VALUES ('FrmQuorel1', ?, 't', ?)", {ctl, text}); }
    std::vector<store::Row> rows() { return store::queryRows(session->workDb(), "SELECT CtlName, Contents FROM ClHint ORDER BY rowid"); }
    void open(const QString& ctl) { hints.open("FrmQuorel1", ctl, "title"); }
    QPlainTextEdit* box() { return hints.window()->findChild<QPlainTextEdit*>("txtContents"); }
    void click(const char* name) { QTest::mouseClick(hints.window()->findChild<QPushButton*>(QString::fromUtf8(name)), Qt::LeftButton); }
    QString title(size_t box) { return presenter.shown().at(box).title; }
};

} // namespace

TEST(HintWindow, TextsAreStoredExactlyLineBreaksIncluded)
{
    HintFixture f;
    // Windows line breaks with one stray line feed, a no-break space, a tab, trailing
    // blanks and an empty line: kept as read while the text is not edited.
    const QString stored = QStringLiteral("一行目\r\n\r\n\t字下げ\u00a0付き  \n最後😀");
    f.store("cmdHint", stored);
    f.open("cmdHint");
    f.click("cmd登録");
    EXPECT_EQ(f.rows().at(0)[1].toString(), stored);

    // An edited text takes the line breaks of the text it was loaded with.
    f.click("cmd編集");
    f.box()->moveCursor(QTextCursor::End);
    QTest::keyClick(f.box(), Qt::Key_Return);
    QTest::keyClicks(f.box(), "added");
    f.click("cmd登録");
    EXPECT_EQ(f.rows().at(0)[1].toString(), QStringLiteral("一行目\r\n\r\n\t字下げ\u00a0付き  \r\n最後😀\r\nadded"));

    // Nothing stored: the box is empty with its invitation as placeholder, and saving it
    // untouched stores an empty hint, not the invitation.
    f.click("cmd閉じる");
    f.open("cmdHint1");
    EXPECT_EQ(f.box()->toPlainText(), "");
    EXPECT_EQ(f.box()->placeholderText(), hints::HintWindow::invitationText());
    f.click("cmd登録");
    EXPECT_EQ(f.rows().at(1)[1].toString(), "");
}

TEST(HintWindow, QuestionsNoticesClearAndDelete)
{
    HintFixture f;
    f.store("cmdHint", "保存済み");
    f.store("cmdHint2", "他のキー");
    f.open("cmdHint");

    // No to either question: nothing changes and no notice follows.
    f.click("cmd編集");
    QTest::keyClicks(f.box(), "X");
    f.presenter.pushAnswer(false);
    f.presenter.pushAnswer(false);
    f.click("cmd登録");
    f.click("cmd削除");
    ASSERT_EQ(f.presenter.shown().size(), 2u);
    EXPECT_EQ(f.presenter.shown()[0].text, "ヒント を登録します。よろしいですか");
    // Deleting a hint names the hint, not everything; both questions belong to the hint
    // window, so answering them leaves it in front of the main window.
    EXPECT_EQ(f.presenter.shown()[1].text, "このボタンのヒントを削除します。よろしいですか");
    EXPECT_EQ(f.presenter.shown()[1].kind, BoxKind::AskDefaultNo);
    for (const messages::MessageBoxSpec& box : f.presenter.shown())
        EXPECT_EQ(box.owner, f.hints.window()) << box.text.toStdString();
    EXPECT_EQ(f.presenter.owner(), nullptr) << "later boxes belong to the presenter's parent again";
    EXPECT_EQ(f.rows().at(0)[1].toString(), "保存済み");
    EXPECT_EQ(f.box()->toPlainText(), "X保存済み");

    // Clear with editing off empties only the box; the next opening shows the stored hint.
    f.click("cmd編集");
    f.click("cmdクリア");
    EXPECT_EQ(f.box()->toPlainText(), "");
    f.click("cmd閉じる");
    f.open("cmdHint");
    EXPECT_EQ(f.box()->toPlainText(), "保存済み");

    // Delete twice: the key's row goes; with no row left the box still empties and the
    // notice still shows. The other key stays.
    f.presenter.clear();
    f.click("cmd削除");
    f.click("cmd編集");
    QTest::keyClicks(f.box(), "unsaved");
    f.click("cmd削除");
    ASSERT_EQ(f.presenter.shown().size(), 4u);
    EXPECT_EQ(f.title(1), "削除の完了");
    EXPECT_EQ(f.presenter.shown()[3].text, "データ ヒント を削除しました。");
    EXPECT_EQ(f.box()->toPlainText(), "");
    ASSERT_EQ(f.rows().size(), 1u);
    EXPECT_EQ(f.rows()[0][0].toString(), "cmdHint2");
}

TEST(HintWindow, AFailedSaveOrDeleteIsReportedAndKeepsBothTextAndRow)
{
    HintFixture f;
    f.store("cmdHint", "元の文");
    f.open("cmdHint");
    f.click("cmd編集");
    QTest::keyClicks(f.box(), "+");
    store::exec(f.session->workDb(), "CREATE TRIGGER refuse_insert BEFORE INSERT ON ClHint BEGIN SELECT RAISE(ABORT, 'refused'); END");
    store::exec(f.session->workDb(), "CREATE TRIGGER refuse_delete BEFORE DELETE ON ClHint BEGIN SELECT RAISE(ABORT, 'refused'); END");
    f.click("cmd登録");
    f.click("cmd削除");
    ASSERT_EQ(f.presenter.shown().size(), 4u);
    EXPECT_EQ(f.title(1), "登録の失敗");
    EXPECT_EQ(f.title(3), "削除の失敗");
    ASSERT_EQ(f.rows().size(), 1u);
    EXPECT_EQ(f.rows()[0][1].toString(), "元の文");
    EXPECT_EQ(f.box()->toPlainText(), "+元の文");
}

TEST(HintWindow, EscClosesItWhereverTheFocusIs)
{
    HintFixture f;
    f.store("cmdHint", "保存済み");
    // The text box read-only and being edited, and a button: Esc closes the window each
    // time, as 閉じる does, and leaves the stored hint as it was.
    for (const char* focus : {"txtContents", "cmd編集", "editing"}) {
        f.open("cmdHint");
        ASSERT_TRUE(f.hints.isOpen()) << focus;
        QWidget* target = f.box();
        if (std::string_view(focus) == "editing") {
            f.click("cmd編集");
            QTest::keyClicks(f.box(), "X");
        } else if (std::string_view(focus) != "txtContents") {
            target = f.hints.window()->findChild<QPushButton*>(QString::fromUtf8(focus));
        }
        QTest::keyClick(target, Qt::Key_Escape);
        EXPECT_FALSE(f.hints.isOpen()) << focus;
    }
    EXPECT_EQ(f.rows().at(0)[1].toString(), "保存済み");
    EXPECT_TRUE(f.presenter.shown().empty());
}
