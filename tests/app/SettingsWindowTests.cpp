#include "../settings/ColorDialogAnswer.h"
#include "FrmQuorel1.h"
#include "Session.h"
#include "Sql.h"
#include "Startup.h"
#include "TempDataDir.h"
#include "YearMonthEdit.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// The settings page of a main window started on a directory whose 自社情報 holds `row`.
struct SettingsWindow {
    explicit SettingsWindow(TempDataDir& dir, const char* row = nullptr)
    {
        if (row)
            store::exec(store::Session::open(dir.path())->mainDb(), QStringLiteral("INSERT INTO 自社情報 (年号, 支払先自動登録, LineColor1) VALUES (%1)").arg(QString::fromUtf8(row)));
        started = startQuorel1(dir.path(), presenter);
        if (!started.window)
            return;
        started.window->show();
        started.window->findChild<QTabWidget*>("SSTab1")->setCurrentIndex(2);
        (void)QTest::qWaitForWindowActive(started.window.get());
        era = find<QComboBox>("cmb年号");
        box = find<QCheckBox>("Chk支払先自動登録");
        swatch = find<QFrame>("Pic罫線色");
        month = find<YearMonthEdit>("Dt年月");
    }
    template <class T>
    T* find(const char* name) { return started.window->findChild<T*>(QString::fromUtf8(name)); }
    store::InMemorySettings& memory() { return started.window->session().settings; }
    // Clicks a button; a command that asks gets `answer`.
    void click(const char* button, bool answer = true)
    {
        presenter.clear();
        presenter.setDefaultAnswer(answer);
        QTest::mouseClick(find<QPushButton>(button), Qt::LeftButton);
    }
    // The page as one text: era, box, colour field, swatch.
    QString page()
    {
        return QStringLiteral("%1 %2 %3 %4").arg(era->currentText()).arg(box->isChecked()).arg(find<QLineEdit>("num白紙罫線色")->text(), swatch->palette().color(QPalette::Window).name());
    }
    QString stored()
    {
        QStringList rows;
        for (const store::Row& r : store::queryRows(started.window->session().mainDb(), "SELECT 年号, 支払先自動登録, LineColor1 FROM 自社情報 ORDER BY rowid"))
            rows << QStringLiteral("%1 %2 %3").arg(r[0].toString(), r[1].toString(), r[2].toString());
        return rows.join('|');
    }
    void chooseColour(const QColor& chosen)
    {
        answerNextColorDialog([chosen](QColorDialog& dialog) {
            dialog.setCurrentColor(chosen.isValid() ? chosen : QColor(Qt::yellow));
            chosen.isValid() ? dialog.accept() : dialog.reject();
        });
        QTest::mouseDClick(swatch, Qt::LeftButton);
    }

    messages::ScriptedMessagePresenter presenter;
    StartupOutcome started;
    QComboBox* era = nullptr;
    QCheckBox* box = nullptr;
    QFrame* swatch = nullptr;
    YearMonthEdit* month = nullptr;
};

} // namespace

TEST(SettingsWindow, RegisteredSettingsReachMemoryAtOnceAndTheYearMonthFieldAtTheNextStart)
{
    TempDataDir dir;
    {
        SettingsWindow w(dir);
        ASSERT_TRUE(w.started.window);
        EXPECT_EQ(w.page(), "西暦 1 0 #000000");
        EXPECT_EQ(w.swatch->toolTip(), "ここをダブルクリックして色を指定");

        w.era->setCurrentIndex(1); // as a mouse choice
        QTest::mouseClick(w.box, Qt::LeftButton);
        w.chooseColour(QColor(255, 0, 0));
        w.chooseColour(QColor()); // cancelled: nothing changes
        EXPECT_EQ(w.page(), "和暦 0 255 #ff0000");
        EXPECT_EQ(w.memory().g年号, "西暦");
        EXPECT_TRUE(w.memory().g支払先自動登録);
        EXPECT_EQ(w.memory().gLineColor1, 0);

        w.click("cmd設定登録");
        EXPECT_EQ(w.presenter.shown().back().text, "設定 を登録します。よろしいですか");
        EXPECT_EQ(w.stored(), "和暦 0 255");
        EXPECT_EQ(w.memory().g年号, "和暦");
        EXPECT_FALSE(w.memory().g支払先自動登録);
        EXPECT_EQ(w.memory().gLineColor1, 255);
        EXPECT_FALSE(w.month->eraPattern());
        EXPECT_EQ(w.month->width(), 104);

        // No reverts the page to the stored values; more registrations keep one row.
        w.chooseColour(QColor(0, 0, 255));
        w.click("cmd設定登録", false);
        EXPECT_EQ(w.page(), "和暦 0 255 #ff0000");
        w.chooseColour(QColor(0, 255, 0));
        w.click("cmd設定登録");
        EXPECT_EQ(w.stored(), "和暦 0 65280");
    }
    SettingsWindow again(dir);
    ASSERT_TRUE(again.started.window);
    EXPECT_EQ(again.page(), "和暦 0 65280 #00ff00");
    EXPECT_TRUE(again.month->eraPattern());
    EXPECT_EQ(again.month->width(), 124);
}

TEST(SettingsWindow, ClearStoresNothingAndDeleteResetsTheRowAndClearsThePage)
{
    TempDataDir dir;
    SettingsWindow w(dir, "'和暦', 0, 255");
    ASSERT_TRUE(w.started.window);
    w.click("cmd設定クリア");
    EXPECT_EQ(w.page(), "西暦 0 1 #000000");
    EXPECT_EQ(w.stored(), "和暦 0 255");

    w.click("cmd設定読込");
    w.click("cmd設定削除", false);
    EXPECT_EQ(w.presenter.shown().back().text, "設定 を削除します。よろしいですか");
    EXPECT_EQ(w.presenter.shown().back().kind, messages::BoxKind::AskDefaultNo);
    EXPECT_EQ(w.page(), "和暦 0 255 #ff0000");
    EXPECT_EQ(w.stored(), "和暦 0 255");

    w.click("cmd設定削除");
    EXPECT_EQ(w.page(), "西暦 0 1 #000000");
    EXPECT_EQ(w.stored(), "西暦 1 0");
    EXPECT_EQ(w.memory().g年号, "和暦") << "memory waits for the next read";
    w.click("cmd設定読込");
    EXPECT_EQ(w.page(), "西暦 1 0 #000000");
}

TEST(SettingsWindow, EraListRefusesEveryKeyAndShowsAStoredEraOutsideItsEntries)
{
    TempDataDir dir;
    SettingsWindow w(dir, "'令和', 1, NULL");
    ASSERT_TRUE(w.started.window);
    EXPECT_EQ(w.era->currentText(), "令和");
    EXPECT_EQ(w.era->count(), 3);
    EXPECT_TRUE(w.month->eraPattern()) << "an era other than 西暦 selects the era pattern";

    w.era->setCurrentIndex(0);
    w.era->setFocus();
    for (Qt::Key key : {Qt::Key_Down, Qt::Key_End, Qt::Key_W, Qt::Key_F4})
        QTest::keyClick(w.era, key);
    QTest::sendKeyEvent(QTest::Click, w.era, Qt::Key_unknown, "和", Qt::NoModifier);
    EXPECT_EQ(w.era->currentText(), "西暦");
    EXPECT_FALSE(w.era->view()->isVisible());
    // In the list opened by the mouse, keys choose nothing; Escape closes it.
    w.era->showPopup();
    QTest::keyClick(w.era->view(), Qt::Key_Down);
    QTest::keyClick(w.era->view(), Qt::Key_Return);
    EXPECT_EQ(w.era->currentText(), "西暦");
    QTest::keyClick(w.era->view(), Qt::Key_Escape);
    EXPECT_FALSE(w.era->view()->isVisible());

    w.click("cmd設定登録");
    EXPECT_EQ(w.era->count(), 2);
    EXPECT_EQ(w.memory().g年号, "西暦");
}
