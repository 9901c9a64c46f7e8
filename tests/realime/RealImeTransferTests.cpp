// The bank details of a payee typed through a real Japanese input method (fcitx5 with
// Mozc) into the real program: the holder's name typed in hiragana is kept in the banks'
// half-width kana. What the program kept is read back from its main file.

#include "ImeProgram.h"
#include "MainWindowHarness.h"

#include <SQLiteCpp/SQLiteCpp.h>

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QStyleFactory>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>

#include <gtest/gtest.h>

namespace {

using realime::kHeight;
using realime::kOff;
using realime::kOn;
using realime::kWaitMs;
using realime::kWidth;

// Where the payee page's controls are in a window of kWidth x kHeight: the same window laid
// out here on the offscreen platform with the same style and fonts.
class PayeePageMap {
public:
    PayeePageMap()
    {
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
        ok_ = harness_.start() && harness_.show();
        if (!ok_)
            return;
        harness_.window().resize(kWidth, kHeight);
        QTabBar* tabs = harness_.find<QTabWidget>("SSTab1")->tabBar();
        tab_ = tabs->mapTo(&harness_.window(), tabs->tabRect(MainWindowHarness::Payees).center());
        harness_.showPage(MainWindowHarness::Payees);
        QCoreApplication::processEvents();
        auto* grid = harness_.find<QTableView>("Grid支払先マスタ");
        firstName_ = grid->viewport()->mapTo(&harness_.window(), grid->visualRect(grid->model()->index(0, 1)).center());
        QWidget* load = harness_.find("cmd支払先読込");
        load_ = load->mapTo(&harness_.window(), load->rect().center());
    }
    bool ok() const { return ok_; }
    QPoint tab() const { return tab_; }
    QPoint firstName() const { return firstName_; }
    QPoint load() const { return load_; }

private:
    MainWindowHarness harness_;
    bool ok_ = false;
    QPoint tab_;
    QPoint firstName_;
    QPoint load_;
};

class RealImeBankDetails : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!realime::sessionIsUp(session_))
            GTEST_SKIP() << "the input method did not come up: " << session_.problem().toStdString();
        ASSERT_TRUE(map_.ok()) << "the window could not be laid out offscreen";
        data_ = session_.home() + QStringLiteral("/data");
        int made = -1;
        session_.runAsUser(QStringLiteral(QUOREL_MKDATA), {data_}, 20000, &made);
        ASSERT_EQ(made, 0) << "quorel1-mkdata failed";
        program_ = session_.startAsUser(QStringLiteral(QUOREL_PROGRAM), {QStringLiteral("--data"), data_});
        const auto window = session_.display().waitForWindow(program_->processId(), QString(), 20000);
        ASSERT_TRUE(window) << "the program showed no window: " << session_.log(QStringLiteral(QUOREL_PROGRAM)).toStdString();
        window_ = *window;
        VirtualDisplay& x = session_.display();
        x.run(QStringLiteral("xdotool"), {QStringLiteral("windowmove"), QStringLiteral("--sync"), window_, QStringLiteral("0"), QStringLiteral("0")});
        x.run(QStringLiteral("xdotool"), {QStringLiteral("windowsize"), QStringLiteral("--sync"), window_, QString::number(kWidth), QString::number(kHeight)});
        x.run(QStringLiteral("xdotool"), {QStringLiteral("windowactivate"), QStringLiteral("--sync"), window_});
        ASSERT_TRUE(ImeSession::waitFor([&] { return x.geometry(window_).size() == QSize(kWidth, kHeight); }, 5000)) << "the window did not take its size";
    }
    void TearDown() override
    {
        if (program_) {
            program_->kill();
            program_->waitForFinished(5000);
        }
    }

    QString mainFile() const { return data_ + QStringLiteral("/Quorel1.mdb"); }
    // A payee added to the master while the program runs (the page reads it on 読込).
    void addPayee(const QString& name)
    {
        SQLite::Database db(mainFile().toStdString(), SQLite::OPEN_READWRITE);
        SQLite::Statement insert(db, "INSERT INTO 支払先マスタ (支払先名) VALUES (?)");
        insert.bind(1, name.toStdString());
        insert.exec();
    }
    // "口座名義|銀行名" kept for the payee, "" when none (or while the program writes).
    QString kept(const QString& payee) const
    {
        try {
            SQLite::Database db(mainFile().toStdString(), SQLite::OPEN_READONLY);
            SQLite::Statement query(db, "SELECT 口座名義, 銀行名 FROM 支払先口座 WHERE 支払先名 = ?");
            query.bind(1, payee.toStdString());
            if (!query.executeStep())
                return {};
            return QString::fromStdString(query.getColumn(0).getString()) + u'|' + QString::fromStdString(query.getColumn(1).getString());
        } catch (const std::exception&) {
            return {};
        }
    }
    // Whether fcitx5 has an input context of the program with the focus (its debug report).
    bool inputContextFocused()
    {
        const QString report = session_.runAsUser(QStringLiteral("dbus-send"), {QStringLiteral("--session"), QStringLiteral("--print-reply"),
            QStringLiteral("--dest=org.fcitx.Fcitx5"), QStringLiteral("/controller"), QStringLiteral("org.fcitx.Fcitx.Controller1.DebugInfo")});
        for (const QString& line : report.split(u'\n')) {
            if (line.contains(QStringLiteral("program:Quorel1")) && line.contains(QStringLiteral("focus:1")))
                return true;
        }
        return false;
    }
    void clickAt(const QPoint& at)
    {
        session_.display().run(QStringLiteral("xdotool"),
            {QStringLiteral("mousemove"), QStringLiteral("--window"), window_, QString::number(at.x()), QString::number(at.y()), QStringLiteral("click"), QStringLiteral("1")});
    }
    void type(const QString& text) { session_.display().run(QStringLiteral("xdotool"), {QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("12"), text}); }
    void keys(const QStringList& names)
    {
        for (const QString& name : names)
            session_.display().run(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("40"), name});
    }
    void screenshot(const char* name) { session_.display().saveScreenshot(QDir::tempPath() + QStringLiteral("/realime-transfer-%1.png").arg(QString::fromUtf8(name))); }
    // The input method reaches the state in the program's focused input context (a new
    // window's context may take the focus a moment after its field), or a screenshot is saved.
    bool reaches(int state, const char* where)
    {
        if (ImeSession::waitFor([&] { return inputContextFocused() && session_.imState() == state; }, kWaitMs))
            return true;
        screenshot(where);
        ADD_FAILURE() << "the input method is not " << (state == kOn ? "on" : "off") << " in " << where;
        return false;
    }

    ImeSession session_;
    PayeePageMap map_;
    QString data_;
    std::unique_ptr<QProcess> program_;
    QString window_;
};

} // namespace

// The kana fields of the details dialog switch the input method on, its fields of digits
// off; the holder's name typed in hiragana is kept in the banks' half-width kana.
TEST_F(RealImeBankDetails, AHolderNameTypedInHiraganaIsKeptInTheBanksHalfWidthKana)
{
    addPayee(QStringLiteral("TRANSFER"));
    clickAt(map_.tab());
    // 読込 by a click: Ctrl+K and F5 press their buttons only after the buttons' pressed look.
    clickAt(map_.load());
    clickAt(map_.firstName());
    keys({QStringLiteral("ctrl+k")});
    const auto dialog = session_.display().waitForWindow(program_->processId(), QStringLiteral("口座の登録"), kWaitMs);
    if (!dialog)
        screenshot("details-dialog");
    ASSERT_TRUE(dialog) << "the details dialog did not open";
    // The bank code takes digits with the input method off; the bank name turns it on.
    type(QStringLiteral("0005"));
    keys({QStringLiteral("Tab")});
    ASSERT_TRUE(reaches(kOn, "bank-name"));
    type(QStringLiteral("mitubisi"));
    keys({QStringLiteral("Return"), QStringLiteral("Tab")});
    ASSERT_TRUE(reaches(kOff, "branch-code"));
    type(QStringLiteral("001"));
    keys({QStringLiteral("Tab"), QStringLiteral("Tab"), QStringLiteral("Tab")});
    type(QStringLiteral("1234567"));
    keys({QStringLiteral("Tab")});
    ASSERT_TRUE(reaches(kOn, "holder"));
    type(QStringLiteral("yamadatarou"));
    keys({QStringLiteral("Return"), QStringLiteral("Return")});
    const bool stored = ImeSession::waitFor([&] { return kept(QStringLiteral("TRANSFER")) == QStringLiteral("ﾔﾏﾀﾞﾀﾛｳ|ﾐﾂﾋﾞｼ"); }, kWaitMs);
    if (!stored)
        screenshot("holder-kept");
    ASSERT_TRUE(stored) << "kept: " << kept(QStringLiteral("TRANSFER")).toStdString();
}
