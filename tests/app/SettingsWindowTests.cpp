#include "../report/ReportTestSupport.h"
#include "../settings/ColorDialogAnswer.h"
#include "MainWindow.h"
#include "MainWindowHarness.h"
#include "Msg.h"
#include "ReportWindow.h"
#include "Session.h"
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

// The settings page of a main window started on a data folder, with its controls.
struct SettingsPage : MainWindowHarness {
    explicit SettingsPage(TempDataDir& folder)
        : MainWindowHarness(folder)
    {
        if (!start())
            return;
        show();
        showPage(Settings);
        era = find<QComboBox>("cmb年号");
        box = find<QCheckBox>("Chk支払先自動登録");
        swatch = find<QFrame>("Pic罫線色");
        month = yearMonth();
    }
    store::InMemorySettings& memory() { return session().settings; }
    // The page as one text: era, box, colour field, swatch.
    QString page()
    {
        return QStringLiteral("%1 %2 %3 %4").arg(era->currentText()).arg(box->isChecked()).arg(find<QLineEdit>("num白紙罫線色")->text(), swatch->palette().color(QPalette::Window).name());
    }
    QString stored() { return seed::storedSettings(mainDb()); }
    void chooseColour(const QColor& chosen)
    {
        answerNextColorDialog([chosen](QColorDialog& dialog) {
            dialog.setCurrentColor(chosen.isValid() ? chosen : QColor(Qt::yellow));
            chosen.isValid() ? dialog.accept() : dialog.reject();
        });
        QTest::mouseDClick(swatch, Qt::LeftButton);
    }

    QComboBox* era = nullptr;
    QCheckBox* box = nullptr;
    QFrame* swatch = nullptr;
    YearMonthEdit* month = nullptr;
};

} // namespace

TEST(SettingsWindow, RegisteredSettingsReachMemoryAndTheYearMonthFieldAtOnce)
{
    TempDataDir dir;
    {
        SettingsPage w(dir);
        ASSERT_TRUE(w.outcome().window);
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

        w.click("cmd設定登録", true);
        EXPECT_EQ(w.presenter.shown().back().text, messages::findMessage(messages::MsgId::登録_確認, "設定").text);
        EXPECT_EQ(w.stored(), "和暦 0 255");
        EXPECT_EQ(w.memory().g年号, "和暦");
        EXPECT_FALSE(w.memory().g支払先自動登録);
        EXPECT_EQ(w.memory().gLineColor1, 255);
        EXPECT_TRUE(w.month->eraPattern()) << "the era shows without a restart";
        EXPECT_EQ(w.month->width(), 124);
        w.month->setDate(QDate(2019, 5, 1));
        EXPECT_EQ(w.month->text(), "令和 01年05月");
        w.click("Cmd印刷");
        const auto previews = w.window().findChildren<report::ReportWindow*>();
        ASSERT_EQ(previews.size(), 1);
        EXPECT_EQ(findText(previews[0]->document().pages.at(0), "txt年月")->text, "令和 01年05月");
        previews[0]->close();

        // No reverts the page to the stored values; more registrations keep one row.
        w.chooseColour(QColor(0, 0, 255));
        w.click("cmd設定登録", false);
        EXPECT_EQ(w.page(), "和暦 0 255 #ff0000");
        w.chooseColour(QColor(0, 255, 0));
        w.click("cmd設定登録", true);
        EXPECT_EQ(w.stored(), "和暦 0 65280");
    }
    SettingsPage again(dir);
    ASSERT_TRUE(again.outcome().window);
    EXPECT_EQ(again.page(), "和暦 0 65280 #00ff00");
    EXPECT_TRUE(again.month->eraPattern());
    EXPECT_EQ(again.month->width(), 124);
}

TEST(SettingsWindow, ClearStoresNothingAndDeleteResetsTheRowAndClearsThePage)
{
    TempDataDir dir;
    seed::storeSettings(dir, "和暦", 0, 255);
    SettingsPage w(dir);
    ASSERT_TRUE(w.outcome().window);
    w.click("cmd設定クリア", true);
    EXPECT_EQ(w.page(), "西暦 0 1 #000000");
    EXPECT_EQ(w.stored(), "和暦 0 255");

    w.click("cmd設定読込");
    w.click("cmd設定削除", false);
    EXPECT_EQ(w.presenter.shown().back().text, messages::findMessage(messages::MsgId::削除_伝票確認2, "設定").text);
    EXPECT_EQ(w.presenter.shown().back().kind, messages::BoxKind::AskDefaultNo);
    EXPECT_EQ(w.page(), "和暦 0 255 #ff0000");
    EXPECT_EQ(w.stored(), "和暦 0 255");

    w.click("cmd設定削除", true);
    EXPECT_EQ(w.page(), "西暦 0 1 #000000");
    EXPECT_EQ(w.stored(), "西暦 1 0");
    EXPECT_EQ(w.memory().g年号, "和暦") << "memory waits for the next read";
    w.click("cmd設定読込");
    EXPECT_EQ(w.page(), "西暦 1 0 #000000");
}

TEST(SettingsWindow, EraListIsChosenFromTheKeyboardOnlyThroughItsOpenListAndShowsAStoredEraOutsideItsEntries)
{
    TempDataDir dir;
    seed::storeSettings(dir, "令和", 1, QVariant());
    SettingsPage w(dir);
    ASSERT_TRUE(w.outcome().window);
    EXPECT_EQ(w.era->currentText(), "令和");
    EXPECT_EQ(w.era->count(), 3);
    EXPECT_TRUE(w.month->eraPattern()) << "an era other than 西暦 selects the era pattern";

    // Stray keys on the closed list change nothing.
    w.era->setCurrentIndex(0);
    w.era->setFocus();
    for (Qt::Key key : {Qt::Key_Down, Qt::Key_Up, Qt::Key_End, Qt::Key_PageDown, Qt::Key_W, Qt::Key_Space, Qt::Key_Return})
        QTest::keyClick(w.era, key);
    QTest::sendKeyEvent(QTest::Click, w.era, Qt::Key_unknown, "和", Qt::NoModifier);
    EXPECT_EQ(w.era->currentText(), "西暦");
    EXPECT_FALSE(w.era->view()->isVisible());
    // Alt+Down opens the list; Escape closes it without choosing.
    QTest::keyClick(w.era, Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(w.era->view()->isVisible());
    QTest::keyClick(w.era->view(), Qt::Key_Down);
    QTest::keyClick(w.era->view(), Qt::Key_Escape);
    EXPECT_FALSE(w.era->view()->isVisible());
    EXPECT_EQ(w.era->currentText(), "西暦");
    // Open again: the arrows move in the list and Enter chooses.
    QTest::keyClick(w.era, Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(w.era->view()->isVisible());
    QTest::keyClick(w.era->view(), Qt::Key_Down);
    QTest::keyClick(w.era->view(), Qt::Key_Return);
    EXPECT_FALSE(w.era->view()->isVisible());
    EXPECT_EQ(w.era->currentText(), "和暦");
    // Tab still leaves the list.
    QTest::keyClick(w.era, Qt::Key_Tab);
    EXPECT_FALSE(w.era->hasFocus());

    w.era->setCurrentIndex(0);
    w.click("cmd設定登録", true);
    EXPECT_EQ(w.era->count(), 2);
    EXPECT_EQ(w.memory().g年号, "西暦");
}
