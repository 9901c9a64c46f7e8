// The installed program, run as a separate process from the Debian package unpacked in
// a temporary root, with a temporary home, under an X server of its own.
#include "DataFiles.h"
#include "TempDataDir.h"
#include "VirtualDisplay.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <SQLiteCpp/Database.h>

#include <gtest/gtest.h>

namespace {

const QString kQuestion = QStringLiteral("データ作成の確認");
const QString kTitle = QStringLiteral("支払予定表 Ver ") + QStringLiteral(QUOREL_VERSION);

QString packagePath()
{
    const QStringList debs = QDir(QStringLiteral(QUOREL_PACKAGE_DIR)).entryList({QStringLiteral("quorel1_*.deb")}, QDir::Files);
    return debs.size() == 1 ? QDir(QStringLiteral(QUOREL_PACKAGE_DIR)).filePath(debs.front()) : QString();
}

class InstalledProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        const QString deb = packagePath();
        if (deb.isEmpty())
            GTEST_SKIP() << "no package in " << QUOREL_PACKAGE_DIR;
        ASSERT_EQ(QProcess::execute(QStringLiteral("dpkg-deb"), {QStringLiteral("-x"), deb, root_.path()}), 0);
        program_ = QDir(root_.path()).filePath(QStringLiteral("usr/bin/Quorel1"));
        ASSERT_TRUE(QFileInfo(program_).isExecutable());
        home_ = QDir(root_.path()).filePath(QStringLiteral("home/利用者"));
        for (const char* sub : {"", "/.local/share", "/.config", "/run"})
            ASSERT_TRUE(QDir().mkpath(home_ + QString::fromUtf8(sub)));
        QFile::setPermissions(home_ + QStringLiteral("/run"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        userData_ = home_ + QStringLiteral("/.local/share/TOVARK/Quorel1/");
    }

    void TearDown() override
    {
        if (HasFailure() && display_ && display_->problem().isEmpty())
            display_->saveScreenshot(QDir::temp().filePath(QStringLiteral("quorel1-installed-%1.png").arg(QString::fromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name()))));
    }

    VirtualDisplay& display()
    {
        if (!display_)
            display_ = std::make_unique<VirtualDisplay>();
        return *display_;
    }

    QProcessEnvironment environment(bool withDisplay)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"QT_QPA_PLATFORM", "QT_PLUGIN_PATH", "QT_QPA_PLATFORM_PLUGIN_PATH", "LD_LIBRARY_PATH", "DISPLAY", "WAYLAND_DISPLAY", "XDG_DATA_DIRS", "XDG_CONFIG_DIRS"})
            env.remove(QString::fromUtf8(name));
        env.insert(QStringLiteral("HOME"), home_);
        env.insert(QStringLiteral("XDG_DATA_HOME"), home_ + QStringLiteral("/.local/share"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home_ + QStringLiteral("/.config"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home_ + QStringLiteral("/run"));
        env.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
        if (withDisplay)
            env.insert(QStringLiteral("DISPLAY"), display().name());
        return env;
    }

    // Starts the installed program on the virtual display.
    std::unique_ptr<QProcess> start(const QStringList& arguments = {})
    {
        auto process = std::make_unique<QProcess>();
        process->setProcessEnvironment(environment(true));
        process->start(program_, arguments);
        EXPECT_TRUE(process->waitForStarted());
        return process;
    }

    // Answers the one box the program shows with key and returns its exit status.
    int answer(QProcess& process, const QString& title, const QString& key)
    {
        const auto box = display().waitForWindow(process.processId(), title);
        EXPECT_TRUE(box) << "no box " << title.toStdString();
        if (box)
            display().press(*box, key);
        return finish(process);
    }

    std::optional<QString> waitForMainWindow(QProcess& process)
    {
        // The first window that comes up: a first-start question would come before the window.
        std::optional<QString> first = display().waitForWindowTitled(process.processId(), [](const QString&) { return true; });
        if (!first)
            return first;
        if (display().title(*first) == kTitle)
            return first;
        ADD_FAILURE() << "first window: " << display().title(*first).toStdString();
        return std::nullopt;
    }

    static int finish(QProcess& process)
    {
        EXPECT_TRUE(process.waitForFinished(15000)) << "the program did not end";
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }

    static QString fileIn(const QString& directory, const char* name) { return QDir(directory).filePath(QString::fromUtf8(name)); }

    QTemporaryDir root_;
    QString program_;
    QString home_;
    QString userData_;
    std::unique_ptr<VirtualDisplay> display_;
};

} // namespace

TEST_F(InstalledProgram, HelpAndVersionAnswerInJapaneseWithoutADisplay)
{
    for (const char* option : {"--help", "--version"}) {
        QProcess process;
        process.setProcessEnvironment(environment(false));
        process.start(program_, {QString::fromUtf8(option)});
        ASSERT_EQ(finish(process), 0) << option;
        const QString out = QString::fromUtf8(process.readAllStandardOutput());
        if (QByteArray(option) == "--help") {
            EXPECT_TRUE(out.startsWith(QStringLiteral("使い方: Quorel1 [オプション]"))) << out.toStdString();
            EXPECT_TRUE(out.contains(QStringLiteral("--data <フォルダ>")));
        } else {
            EXPECT_EQ(out, kTitle + '\n');
        }
    }
    EXPECT_FALSE(QFileInfo::exists(userData_));
}

TEST_F(InstalledProgram, FirstStartAsksThenMakesTheBookAndTheNextStartOpensItWhereItWasLeft)
{
    ASSERT_TRUE(display().problem().isEmpty()) << display().problem().toStdString();
    auto first = start();
    const auto question = display().waitForWindow(first->processId(), kQuestion);
    ASSERT_TRUE(question);
    EXPECT_FALSE(QFileInfo::exists(userData_)) << "nothing is made before the answer";
    display().press(*question, QStringLiteral("Return")); // はい is the default button
    const auto window = display().waitForWindow(first->processId(), kTitle);
    ASSERT_TRUE(window);
    display().moveTo(*window, 210, 170);
    const QRect placed = display().geometry(*window);
    display().press(*window, QStringLiteral("alt+F4"));
    ASSERT_EQ(finish(*first), 0);

    EXPECT_NO_THROW(store::openDataFile(fileIn(userData_, store::kMainFileName), store::DataFile::Main));
    EXPECT_NO_THROW(store::openDataFile(fileIn(userData_, store::kWorkFileName), store::DataFile::Work));
    EXPECT_TRUE(QFileInfo::exists(home_ + QStringLiteral("/.config/TOVARK/Quorel1.conf")));

    auto second = start();
    const auto reopened = waitForMainWindow(*second);
    ASSERT_TRUE(reopened);
    const QRect reopenedAt = display().geometry(*reopened);
    EXPECT_EQ(reopenedAt.x(), placed.x());
    EXPECT_EQ(reopenedAt.y(), placed.y());
    display().press(*reopened, QStringLiteral("alt+F4"));
    EXPECT_EQ(finish(*second), 0);
}

TEST_F(InstalledProgram, DeclinedFirstStartEndsAndMakesNothing)
{
    ASSERT_TRUE(display().problem().isEmpty()) << display().problem().toStdString();
    auto process = start();
    EXPECT_EQ(answer(*process, kQuestion, QStringLiteral("Escape")), 0);
    EXPECT_FALSE(QFileInfo::exists(userData_));
}

TEST_F(InstalledProgram, DataOptionKeepsTheBookInTheChosenFolder)
{
    ASSERT_TRUE(display().problem().isEmpty()) << display().problem().toStdString();
    const QString chosen = QDir(root_.path()).filePath(QStringLiteral("共有 フォルダ/帳簿"));
    auto process = start({QStringLiteral("--data"), chosen});
    const auto question = display().waitForWindow(process->processId(), kQuestion);
    ASSERT_TRUE(question);
    display().press(*question, QStringLiteral("Return"));
    const auto window = display().waitForWindow(process->processId(), kTitle);
    ASSERT_TRUE(window);
    display().press(*window, QStringLiteral("alt+F4"));
    EXPECT_EQ(finish(*process), 0);
    EXPECT_NO_THROW(store::openDataFile(fileIn(chosen, store::kMainFileName), store::DataFile::Main));
    EXPECT_NO_THROW(store::openDataFile(fileIn(chosen, store::kWorkFileName), store::DataFile::Work));
    EXPECT_FALSE(QFileInfo::exists(userData_));
}

TEST_F(InstalledProgram, UnusableBooksAreRefusedWithExitStatusOneAndLeftAsTheyWere)
{
    ASSERT_TRUE(display().problem().isEmpty()) << display().problem().toStdString();
    const QByteArray garbage("this is not a database, only text standing in its place\n");
    struct Case {
        const char* what;
        bool viaOption;
        const char* damaged; // written over with text, or nullptr
        const char* removed; // taken away, or nullptr
        const char* title = "起動エラー"; // the box that comes up
        const char* key = "Return";      // and the key that answers it
    };
    for (const Case& c : {Case{"damaged main file", false, store::kMainFileName, nullptr},
             // A lost work file is offered anew; declined, the program ends as refused.
             Case{"work file missing", false, nullptr, store::kWorkFileName, "作業ファイルの作成", "Escape"},
             Case{"damaged work file in --data", true, store::kWorkFileName, nullptr},
             Case{"main file missing in --data", true, nullptr, store::kMainFileName}}) {
        TempDataDir book;
        const QString folder = c.viaOption ? book.path() : userData_;
        if (!c.viaOption) {
            QDir(folder).removeRecursively();
            QDir().mkpath(folder);
            QFile::copy(book.mainPath(), fileIn(folder, store::kMainFileName));
            QFile::copy(book.workPath(), fileIn(folder, store::kWorkFileName));
        }
        if (c.damaged) {
            QFile file(fileIn(folder, c.damaged));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(garbage);
        }
        if (c.removed) {
            ASSERT_TRUE(QFile::remove(fileIn(folder, c.removed)));
        }
        const QByteArray mainBefore = TempDataDir::readAll(fileIn(folder, store::kMainFileName));
        const QByteArray workBefore = TempDataDir::readAll(fileIn(folder, store::kWorkFileName));

        auto process = c.viaOption ? start({QStringLiteral("--data"), folder}) : start();
        EXPECT_EQ(answer(*process, QString::fromUtf8(c.title), QString::fromUtf8(c.key)), 1) << c.what;
        EXPECT_EQ(TempDataDir::readAll(fileIn(folder, store::kMainFileName)), mainBefore) << c.what;
        EXPECT_EQ(TempDataDir::readAll(fileIn(folder, store::kWorkFileName)), workBefore) << c.what;
        if (c.removed) {
            EXPECT_FALSE(QFileInfo::exists(fileIn(folder, c.removed))) << c.what;
        }
    }
}
