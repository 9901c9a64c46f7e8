// 振込データ作成 from the real keyboard under a window manager: the dialog, the file dialog
// and the questions, then the list of the file written, which must come up in front of the
// main window with the focus.
#include "ProgramUnderX.h"
#include "RealInputSeeds.h"

#include "AccountStore.h"
#include "Session.h"
#include "Sql.h"

#include <SQLiteCpp/Database.h>

#include <QDate>
#include <QDir>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

namespace {

constexpr int kWaitMs = 10000;

const banking::BankAccount kAccount{"0001", "ﾐｽﾞﾎ", "001", "ﾎﾝﾃﾝ", banking::AccountType::Ordinary, "1234567", "ﾀﾅｶ"};

// A payee with an account and one line of the 25th of March next year: a day ahead of
// today, so that no question about a past date comes.
QDate seedTransfer(const TempDataDir& data)
{
    realinput::seedSettings(data);
    const QDate day(QDate::currentDate().year() + 1, 3, 25);
    auto session = store::Session::open(data.path());
    auto& main = session->mainDb();
    store::exec(main, "INSERT INTO 支払先マスタ (支払先名) VALUES ('Tanaka')");
    store::exec(main, "INSERT INTO 支払予定表 (日付, 行番号, 支払先名, 予定額, 支払額, 残高) VALUES (?, 1, 'Tanaka', ?, 0, ?)",
        {day.toString(Qt::ISODate), qint64(100000) * 10000, qint64(100000) * 10000});
    banking::AccountStore(main).savePayeeAccount({"Tanaka", kAccount, {}});
    return day;
}

// The sender, given once the program runs: the settings page shows a sender's details, and
// the window would start taller than the size the suite's cell positions assume.
void addSender(const TempDataDir& data)
{
    SQLite::Database main(data.mainPath().toStdString(), SQLite::OPEN_READWRITE, 5000);
    banking::Sender sender{"0123456789", "ﾄﾊﾞ-ｸ", kAccount, false};
    sender.account.holder.clear();
    banking::AccountStore(main).saveSender(sender);
}

// The program's windows from the bottom of the window manager's stacking order to its top.
QStringList stacking()
{
    const QString list = ProgramUnderX::display().run(QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("_NET_CLIENT_LIST_STACKING")});
    QStringList windows;
    for (const QString& id : list.section(QLatin1Char('#'), 1).split(QLatin1Char(','), Qt::SkipEmptyParts))
        windows << QString::number(id.trimmed().toULongLong(nullptr, 16));
    return windows;
}

} // namespace

TEST(TransferList, TheListOfTheFileWrittenComesUpInFrontOfTheMainWindowWithTheFocus)
{
    TempDataDir data;
    const QDate day = seedTransfer(data);
    ProgramUnderX program(data.path());
    ASSERT_TRUE(program.problem().isEmpty()) << program.problem().toStdString();
    ASSERT_TRUE(realinput::loadMonth(program, day.toString(QStringLiteral("yyyyMM"))));
    addSender(data);
    // A path xdotool can type as it is.
    QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/quorel1-transfer-XXXXXX"));
    ASSERT_TRUE(folder.isValid());
    const QString file = folder.filePath(QStringLiteral("transfer.txt"));

    ASSERT_TRUE(program.key(QStringLiteral("ctrl+shift+t")));
    const auto dialog = program.waitForDialog(QStringLiteral("振込データ作成"), kWaitMs);
    ASSERT_TRUE(dialog) << "no transfer dialog; screenshot: " << program.screenshot("transfer-dialog").toStdString();
    ASSERT_TRUE(program.answer(*dialog, QStringLiteral("Return"))); // 作成
    const auto saveAs = program.waitForDialog(QStringLiteral("振込データの保存"), kWaitMs);
    ASSERT_TRUE(saveAs) << "no file dialog; screenshot: " << program.screenshot("transfer-save").toStdString();
    Input path;
    path.key(QStringLiteral("ctrl+a")).type(file).key(QStringLiteral("Return"));
    ASSERT_TRUE(program.send(path));
    const auto made = program.waitForDialog(QStringLiteral("振込データ作成"), kWaitMs);
    ASSERT_TRUE(made) << "no message of the file made; screenshot: " << program.screenshot("transfer-made").toStdString();
    ASSERT_TRUE(program.answer(*made, QStringLiteral("Return")));
    const auto paid = program.waitForDialog(QStringLiteral("支払済の確認"), kWaitMs);
    ASSERT_TRUE(paid) << "no question of the marking; screenshot: " << program.screenshot("transfer-paid").toStdString();
    ASSERT_TRUE(program.answer(*paid, QStringLiteral("Return")));

    const QString listTitle = QStringLiteral("振込一覧_%1 印刷プレビュー").arg(day.toString(QStringLiteral("yyyy年MM月dd日")));
    const auto list = program.waitForDialog(listTitle, kWaitMs);
    ASSERT_TRUE(list) << "no transfer list; screenshot: " << program.screenshot("transfer-list").toStdString();
    EXPECT_TRUE(QFileInfo(file).size() > 0);
    // The window manager has it on top and gives it the keys.
    bool inFront = false;
    QStringList order;
    QString focused;
    for (QDeadlineTimer deadline(kWaitMs); !deadline.hasExpired() && !inFront;) {
        order = stacking();
        focused = ProgramUnderX::display().run(QStringLiteral("xdotool"), {QStringLiteral("getactivewindow")}).trimmed();
        inFront = !order.isEmpty() && order.last() == *list && focused == *list;
        if (!inFront)
            QThread::msleep(50);
    }
    EXPECT_TRUE(inFront) << "stacking " << order.join(' ').toStdString() << ", active " << focused.toStdString() << ", list " << list->toStdString()
                         << "; screenshot: " << program.screenshot("transfer-front").toStdString();
}
