#include "StatusLine.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>


TEST(StatusLine, EachMessageReplacesTheLastAgesIntoTheStandingStateAndAnUndoOfferStays)
{
    StatusLine line;
    line.show();
    auto* undo = line.findChild<QPushButton*>("cmd元に戻す");
    auto* folder = line.findChild<QPushButton*>("cmdフォルダを開く");
    ASSERT_TRUE(undo && folder);
    line.setStanding("未登録の変更があります。");
    EXPECT_EQ(line.text(), "未登録の変更があります。");
    EXPECT_FALSE(line.showsMessage());

    // A message replaces the standing state and the message before it.
    line.showText("入力をやり直しました。", false);
    line.showFileWritten("/tmp/a/月.xlsx に出力しました。", "/tmp/a/月.xlsx");
    EXPECT_EQ(line.text(), "/tmp/a/月.xlsx に出力しました。");
    EXPECT_TRUE(folder->isVisible());
    QString opened;
    line.openFolder = [&](const QString& path) { opened = path; };
    folder->click();
    EXPECT_EQ(opened, "/tmp/a");

    // A change of the book retires it; the standing state shows again.
    line.dropMessage();
    EXPECT_EQ(line.text(), "未登録の変更があります。");
    EXPECT_FALSE(folder->isVisible());

    // An undo offer lasts through changes and does not age; it goes when withdrawn.
    line.setFadeAfter(std::chrono::milliseconds(30));
    line.showText("行削除を実行しました。", true);
    line.dropMessage();
    QTest::qWait(120);
    EXPECT_EQ(line.text(), "行削除を実行しました。");
    EXPECT_TRUE(line.undoOffered());
    line.clear();
    EXPECT_FALSE(line.undoOffered());

    // Any other message fades once older than its age, and the standing state returns.
    EXPECT_EQ(line.fadeAfter(), std::chrono::milliseconds(30));
    line.showText("12月の 3 行を登録しました。", false);
    EXPECT_TRUE(line.showsMessage());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !line.showsMessage(); }, 5000));
    EXPECT_EQ(line.text(), "未登録の変更があります。");
    line.setStanding(QString());
    EXPECT_EQ(line.text(), "");
}

TEST(StatusLine, AWithdrawnTextGoesOnlyWhileItIsStillShown)
{
    StatusLine line;
    line.setStanding("未登録の変更があります。");
    line.showText("休業日です。", false);
    line.withdraw("休業日です。");
    EXPECT_EQ(line.text(), "未登録の変更があります。");
    EXPECT_FALSE(line.showsMessage());

    // Another message, an undo offer and a written file stay.
    line.showText("登録しました。", false);
    line.withdraw("休業日です。");
    EXPECT_EQ(line.text(), "登録しました。");
    line.showText("休業日です。", true);
    line.withdraw("休業日です。");
    EXPECT_TRUE(line.undoOffered());
    line.showFileWritten("休業日です。", "/tmp/a.csv");
    line.withdraw("休業日です。");
    EXPECT_TRUE(line.showsMessage());
}

TEST(StatusLine, AMessageAgesAfterAMinuteByDefault)
{
    StatusLine line;
    EXPECT_EQ(line.fadeAfter(), std::chrono::minutes(1));
}

TEST(StatusLine, ALongMessageKeepsTheLinesWidthAndShowsWholeInItsTooltip)
{
    StatusLine line;
    line.show();
    const int width = line.minimumSizeHint().width();
    const QString text = QString("前月複写で休業日の日付を移しました：").repeated(20);
    line.showText(text, false);
    EXPECT_EQ(line.minimumSizeHint().width(), width);
    auto* label = line.findChild<QLabel*>("lblStatus");
    ASSERT_TRUE(label);
    EXPECT_EQ(label->text(), text);
    EXPECT_EQ(label->toolTip(), text);
}

TEST(StatusLine, AStatusTipCoversTheTextWhileItLastsAndLeavesTheMessageAsItWas)
{
    StatusLine line;
    line.show();
    auto* shown = line.findChild<QLabel*>("lblStatus");
    auto* tip = line.findChild<QLabel*>("lblStatusTip");
    ASSERT_TRUE(shown && tip);
    line.showText("行削除を実行しました。", true);
    line.showTip("支払予定表の直前の入力を元に戻します。");
    EXPECT_TRUE(tip->isVisible());
    EXPECT_FALSE(shown->isVisible());
    EXPECT_EQ(line.tip(), "支払予定表の直前の入力を元に戻します。");
    EXPECT_EQ(line.text(), "行削除を実行しました。") << "the message stays beneath the tip";
    EXPECT_TRUE(line.undoOffered());

    // A message that arrives meanwhile is what shows once the tip goes.
    line.showText("12月の 3 行を登録しました。", false);
    EXPECT_TRUE(tip->isVisible());
    line.showTip(QString());
    EXPECT_FALSE(tip->isVisible());
    EXPECT_TRUE(shown->isVisible());
    EXPECT_EQ(line.text(), "12月の 3 行を登録しました。");
    EXPECT_TRUE(line.showsMessage());
}
