#include "../settings/ColorDialogAnswer.h"
#include "FrmQuorel1.h"
#include "Session.h"
#include "Sql.h"
#include "Startup.h"
#include "TempDataDir.h"
#include "YearMonthEdit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include <SQLiteCpp/Database.h>

#include <gtest/gtest.h>

using messages::BoxKind;
using messages::ScriptedMessagePresenter;

namespace {

// The settings page of a freshly started main window.
struct SettingsWindow {
    explicit SettingsWindow(TempDataDir& dir)
    {
        started = startQuorel1(dir.path(), presenter);
        if (!started.window)
            return;
        window().show();
        window().activateWindow();
        window().findChild<QTabWidget*>("SSTab1")->setCurrentIndex(2);
        (void)QTest::qWaitForWindowActive(&window());
        era = find<QComboBox>("cmb年号");
        box = find<QCheckBox>("Chk支払先自動登録");
        colour = find<QLineEdit>("num白紙罫線色");
        swatch = find<QFrame>("Pic罫線色");
        month = find<YearMonthEdit>("Dt年月");
    }
    FrmQuorel1& window() { return *started.window; }
    store::InMemorySettings& memory() { return window().session().settings; }
    template <class T>
    T* find(const char* name) { return window().findChild<T*>(QString::fromUtf8(name)); }
    void click(const char* button) { QTest::mouseClick(find<QPushButton>(button), Qt::LeftButton); }
    QColor swatchColour() { return swatch->palette().color(QPalette::Window); }
    std::vector<store::Row> stored()
    {
        return store::queryRows(window().session().mainDb(), "SELECT 年号, 支払先自動登録, LineColor1 FROM 自社情報 ORDER BY rowid");
    }
    void chooseColour(const QColor& chosen)
    {
        answerNextColorDialog([chosen](QColorDialog& dialog) {
            dialog.setCurrentColor(chosen);
            dialog.accept();
        });
        QTest::mouseDClick(swatch, Qt::LeftButton);
    }

    ScriptedMessagePresenter presenter;
    StartupOutcome started;
    QComboBox* era = nullptr;
    QCheckBox* box = nullptr;
    QLineEdit* colour = nullptr;
    QFrame* swatch = nullptr;
    YearMonthEdit* month = nullptr;
};

void expectPage(SettingsWindow& w, const QString& era, bool ticked, const QString& colour, const QColor& swatch, const char* when)
{
    EXPECT_EQ(w.era->currentText(), era) << when;
    EXPECT_EQ(w.box->isChecked(), ticked) << when;
    EXPECT_EQ(w.colour->text(), colour) << when;
    EXPECT_EQ(w.swatchColour(), swatch) << when;
}

} // namespace

TEST(SettingsWindow, RegisteredSettingsTakeEffectInMemoryAtOnceAndTheEraPatternAtTheNextStart)
{
    TempDataDir dir;
    {
        SettingsWindow w(dir);
        ASSERT_TRUE(w.started.window);
        // An empty table: the defaults, nothing stored.
        expectPage(w, "西暦", true, "0", Qt::black, "defaults");
        EXPECT_TRUE(w.stored().empty());
        EXPECT_FALSE(w.month->eraPattern());

        // Page edits change nothing in memory until registered.
        w.era->setCurrentIndex(1);
        QTest::mouseClick(w.box, Qt::LeftButton);
        w.chooseColour(QColor(0, 255, 0));
        EXPECT_EQ(w.colour->text(), "65280");
        EXPECT_EQ(w.memory().g年号, "西暦");
        EXPECT_TRUE(w.memory().g支払先自動登録);
        EXPECT_EQ(w.memory().gLineColor1, 0);

        w.presenter.pushAnswer(true);
        w.click("cmd設定登録");
        ASSERT_EQ(w.presenter.shown().size(), 1u);
        EXPECT_EQ(w.presenter.shown()[0].title, "登録の確認");
        EXPECT_EQ(w.presenter.shown()[0].text, "設定 を登録します。よろしいですか");
        const auto rows = w.stored();
        ASSERT_EQ(rows.size(), 1u);
        EXPECT_EQ(rows[0][0].toString(), "和暦");
        EXPECT_EQ(rows[0][1].toLongLong(), 0);
        EXPECT_EQ(rows[0][2].toLongLong(), 65280);
        EXPECT_EQ(w.memory().g年号, "和暦");
        EXPECT_FALSE(w.memory().g支払先自動登録);
        EXPECT_EQ(w.memory().gLineColor1, 65280);
        expectPage(w, "和暦", false, "65280", QColor(0, 255, 0), "after register");
        // The year-month field keeps the pattern it started with.
        EXPECT_FALSE(w.month->eraPattern());
        EXPECT_EQ(w.month->width(), 104);
    }
    SettingsWindow again(dir);
    ASSERT_TRUE(again.started.window);
    expectPage(again, "和暦", false, "65280", QColor(0, 255, 0), "after restart");
    EXPECT_EQ(again.era->count(), 2);
    EXPECT_TRUE(again.month->eraPattern());
    EXPECT_EQ(again.month->width(), 124);
}

TEST(SettingsWindow, RegisterAnsweredNoRevertsThePageAndRepeatedRegistrationsKeepOneRow)
{
    TempDataDir dir;
    SettingsWindow w(dir);
    ASSERT_TRUE(w.started.window);
    w.presenter.pushAnswer(true);
    w.click("cmd設定登録");
    w.chooseColour(QColor(0, 0, 255));
    w.presenter.pushAnswer(true);
    w.click("cmd設定登録");
    ASSERT_EQ(w.stored().size(), 1u);
    EXPECT_EQ(w.stored()[0][2].toLongLong(), 16711680);

    QTest::mouseClick(w.box, Qt::LeftButton);
    w.era->setCurrentIndex(1);
    w.chooseColour(QColor(255, 0, 0));
    w.presenter.pushAnswer(false);
    w.click("cmd設定登録");
    expectPage(w, "西暦", true, "16711680", QColor(0, 0, 255), "after No");
    EXPECT_EQ(w.stored().size(), 1u);
    EXPECT_EQ(w.stored()[0][2].toLongLong(), 16711680);
    EXPECT_TRUE(w.memory().g支払先自動登録);

    // 読込 also discards page edits.
    QTest::mouseClick(w.box, Qt::LeftButton);
    w.click("cmd設定読込");
    EXPECT_TRUE(w.box->isChecked());
    EXPECT_EQ(w.presenter.shown().size(), 3u) << "読込 asks nothing";
}

TEST(SettingsWindow, ClearStoresNothingAndDeleteResetsTheRowThenClearsThePage)
{
    TempDataDir dir;
    {
        SQLite::Database main(dir.mainPath().toStdString(), SQLite::OPEN_READWRITE);
        main.exec("INSERT INTO 自社情報 (年号, 支払先自動登録, LineColor1) VALUES ('和暦', 0, 255)");
    }
    SettingsWindow w(dir);
    ASSERT_TRUE(w.started.window);
    expectPage(w, "和暦", false, "255", QColor(255, 0, 0), "stored row");

    w.click("cmd設定クリア");
    expectPage(w, "西暦", false, "1", Qt::black, "after クリア");
    EXPECT_EQ(w.stored()[0][0].toString(), "和暦");
    EXPECT_EQ(w.memory().g年号, "和暦");
    EXPECT_EQ(w.memory().gLineColor1, 255);

    w.click("cmd設定読込");
    w.presenter.pushAnswer(false);
    w.click("cmd設定削除");
    ASSERT_EQ(w.presenter.shown().size(), 1u);
    EXPECT_EQ(w.presenter.shown()[0].text, "設定 を削除します。よろしいですか");
    EXPECT_EQ(w.presenter.shown()[0].kind, BoxKind::AskDefaultNo);
    expectPage(w, "和暦", false, "255", QColor(255, 0, 0), "after 削除 No");
    EXPECT_EQ(w.stored()[0][1].toLongLong(), 0);

    w.presenter.pushAnswer(true);
    w.click("cmd設定削除");
    expectPage(w, "西暦", false, "1", Qt::black, "after 削除 Yes");
    const auto rows = w.stored();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0].toString(), "西暦");
    EXPECT_EQ(rows[0][1].toLongLong(), 1);
    EXPECT_EQ(rows[0][2].toLongLong(), 0);
    // The in-memory values wait for the next read.
    EXPECT_EQ(w.memory().g年号, "和暦");
    EXPECT_FALSE(w.memory().g支払先自動登録);
    w.click("cmd設定読込");
    expectPage(w, "西暦", true, "0", Qt::black, "read after 削除");
    EXPECT_TRUE(w.memory().g支払先自動登録);
}

TEST(SettingsWindow, AStoredEraOutsideTheListIsShownAsItStandsAndSelectsTheEraPattern)
{
    TempDataDir dir;
    {
        SQLite::Database main(dir.mainPath().toStdString(), SQLite::OPEN_READWRITE);
        main.exec("INSERT INTO 自社情報 (年号, 支払先自動登録, LineColor1) VALUES ('令和', 1, NULL)");
    }
    SettingsWindow w(dir);
    ASSERT_TRUE(w.started.window);
    EXPECT_EQ(w.era->currentText(), "令和");
    EXPECT_EQ(w.era->count(), 3);
    EXPECT_EQ(w.memory().g年号, "令和");
    EXPECT_TRUE(w.month->eraPattern());
    EXPECT_EQ(w.colour->text(), "0");

    // Registering it unchanged keeps the text; once the row says "西暦" the extra entry goes.
    w.presenter.pushAnswer(true);
    w.click("cmd設定登録");
    EXPECT_EQ(w.stored()[0][0].toString(), "令和");
    w.era->setCurrentIndex(0);
    w.presenter.pushAnswer(true);
    w.click("cmd設定登録");
    EXPECT_EQ(w.era->count(), 2);
    EXPECT_EQ(w.memory().g年号, "西暦");
}
