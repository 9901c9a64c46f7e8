// Another program holding the work file while the sheet is edited: the box says so, the
// status line warns while the work file's copy of the sheet is behind it, and the first
// write that goes through brings the copy up to the sheet.
#include "MainWindowHarness.h"

#include "Msg.h"
#include "SheetColumns.h"
#include "Sql.h"
#include "StatusLine.h"

#include <QCoreApplication>

#include <SQLiteCpp/Database.h>

#include <gtest/gtest.h>

using namespace schedule;

namespace {

// "payee amount" of each line the work file holds, as a start after a kill reads them.
QString linesInWorkFile(const TempDataDir& dir)
{
    SQLite::Database work(dir.workPath().toStdString(), SQLite::OPEN_READONLY);
    QStringList lines;
    for (const store::Row& row : store::queryRows(work, "SELECT 支払先名, 予定額 / 10000 FROM InpWork WHERE 支払先名 IS NOT NULL ORDER BY 行番号"))
        lines << row.at(0).toString() + ' ' + row.at(1).toString();
    return lines.join(QStringLiteral(" / "));
}

} // namespace

TEST(BusyWorkFileWindow, LinesTypedWhileTheWorkFileIsHeldReachItOnceItIsFreeAndTheStatusLineWarnsMeanwhile)
{
    MainWindowHarness w;
    ASSERT_TRUE(w.startOn(QDate(2005, 3, 1)));
    ASSERT_TRUE(w.show());
    auto* status = w.window().findChild<StatusLine*>();
    ASSERT_TRUE(status);
    w.presenter.clear();
    {
        SQLite::Database other(w.dir().workPath().toStdString(), SQLite::OPEN_READWRITE);
        other.exec("BEGIN IMMEDIATE");
        w.type(0, kCol表示日付, "25");
        w.type(0, kCol支払先名, "NewA");
        w.type(0, kCol予定額, "7,000");
        QCoreApplication::processEvents();
        ASSERT_EQ(w.presenter.shown().size(), 1u);
        const QString box = w.presenter.shown()[0].text;
        EXPECT_TRUE(box.startsWith(messages::messageText(messages::MsgId::入力_下書き使用中))) << box.toStdString();
        EXPECT_FALSE(box.contains("ディスクの空き")) << "the cause was the other program, not the disk";
        EXPECT_EQ(w.cell(0, kCol支払先名), "NewA");
        EXPECT_EQ(status->text(), messages::messageText(messages::MsgId::状態_下書き遅れ));
        EXPECT_EQ(linesInWorkFile(w.dir()), "");
        other.exec("ROLLBACK");
    }
    w.type(1, kCol表示日付, "28");
    w.type(1, kCol支払先名, "Kept");
    w.type(1, kCol予定額, "200");
    EXPECT_EQ(linesInWorkFile(w.dir()), "NewA 7000 / Kept 200");
    EXPECT_EQ(status->text(), messages::messageText(messages::MsgId::状態_未登録));
    EXPECT_EQ(w.presenter.shown().size(), 1u);
}
