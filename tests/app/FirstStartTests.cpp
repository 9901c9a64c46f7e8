#include "DataFiles.h"
#include "DataLocation.h"
#include "FirstStart.h"
#include "Msg.h"
#include "TempDataDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <SQLiteCpp/Database.h>

#include <gtest/gtest.h>

using messages::ScriptedMessagePresenter;

namespace {

QString fileIn(const QString& directory, const char* name)
{
    return QDir(directory).filePath(QString::fromUtf8(name));
}

} // namespace

TEST(DataLocation, BuildTreeKeepsDataBesideTheProgramOtherwiseTheUsersFolderOrTheChosenOne)
{
    // The build marks the folder of the program it builds.
    const DataLocation built = DataLocation::choose(QString(), QStringLiteral(QUOREL_BUILT_PROGRAM_DIR), QStringLiteral("/home/u/.local/share/TOVARK/Quorel1"));
    EXPECT_EQ(built.directory, store::dataDirectoryFor(QStringLiteral(QUOREL_BUILT_PROGRAM_DIR)));
    EXPECT_FALSE(built.mayCreateBook);

    QTemporaryDir installed; // a program folder without the marker, as an installation has
    const DataLocation user = DataLocation::choose(QString(), installed.path(), QStringLiteral("/home/u/.local/share/TOVARK/Quorel1"));
    EXPECT_EQ(user.directory, "/home/u/.local/share/TOVARK/Quorel1/");
    EXPECT_TRUE(user.mayCreateBook);

    for (const QString& program : {installed.path(), QStringLiteral(QUOREL_BUILT_PROGRAM_DIR)}) {
        const DataLocation chosen = DataLocation::choose(QStringLiteral("/srv/帳簿"), program, QStringLiteral("/home/u/x"));
        EXPECT_EQ(chosen.directory, "/srv/帳簿/");
        EXPECT_TRUE(chosen.mayCreateBook);
    }
}

TEST(FirstStart, AsksOnceThenMakesBothFilesFromTheSchemaOrNothingWhenDeclined)
{
    QTemporaryDir root;
    const QString folder = QDir(root.path()).filePath(QStringLiteral("新しい 帳簿/data/"));
    ScriptedMessagePresenter presenter;
    messages::Msg msg(presenter);

    presenter.pushAnswer(false);
    EXPECT_EQ(prepareDataFolder({folder, true}, msg), FirstStartOutcome::Declined);
    ASSERT_EQ(presenter.shown().size(), 1u);
    EXPECT_EQ(presenter.shown()[0].title, "データ作成の確認");
    EXPECT_EQ(presenter.shown()[0].kind, messages::BoxKind::AskDefaultYes);
    EXPECT_TRUE(presenter.shown()[0].text.contains(folder));
    EXPECT_FALSE(QFileInfo::exists(folder)) << "nothing is made before the user agrees";

    presenter.clear();
    presenter.pushAnswer(true);
    EXPECT_EQ(prepareDataFolder({folder, true}, msg), FirstStartOutcome::Ready);
    EXPECT_EQ(presenter.shown().size(), 1u);
    EXPECT_NO_THROW(store::openDataFile(fileIn(folder, store::kMainFileName), store::DataFile::Main));
    EXPECT_NO_THROW(store::openDataFile(fileIn(folder, store::kWorkFileName), store::DataFile::Work));

    presenter.clear();
    EXPECT_EQ(prepareDataFolder({folder, true}, msg), FirstStartOutcome::Ready);
    EXPECT_TRUE(presenter.shown().empty()) << "a folder holding a book is not asked about";
}

TEST(FirstStart, NeverMakesAFileBesideAnExistingOneOrWhereCreationIsNotAllowed)
{
    ScriptedMessagePresenter presenter;
    messages::Msg msg(presenter);
    for (const char* kept : {store::kMainFileName, store::kWorkFileName}) {
        TempDataDir dir;
        const char* other = kept == store::kMainFileName ? store::kWorkFileName : store::kMainFileName;
        ASSERT_TRUE(QFile::remove(fileIn(dir.path(), other)));
        EXPECT_EQ(bookStateIn(dir.path()), BookState::Partial);
        EXPECT_EQ(prepareDataFolder({dir.path(), true}, msg), FirstStartOutcome::Ready);
        EXPECT_FALSE(QFileInfo::exists(fileIn(dir.path(), other))) << other;
    }
    {
        // A folder where the main file's name is taken by a folder holds a damaged book.
        QTemporaryDir root;
        ASSERT_TRUE(QDir(root.path()).mkpath(QString::fromUtf8(store::kMainFileName)));
        EXPECT_EQ(prepareDataFolder({root.path() + '/', true}, msg), FirstStartOutcome::Ready);
        EXPECT_FALSE(QFileInfo::exists(fileIn(root.path(), store::kWorkFileName)));
    }
    {
        QTemporaryDir empty;
        EXPECT_EQ(prepareDataFolder({empty.path() + '/', false}, msg), FirstStartOutcome::Ready);
        EXPECT_TRUE(QDir(empty.path()).isEmpty());
    }
    EXPECT_TRUE(presenter.shown().empty());
}

TEST(FirstStart, AFolderThatCannotBeMadeEndsStartUpWithTheBoxAndLeavesNothing)
{
    QTemporaryDir root;
    const QString blocker = QDir(root.path()).filePath(QStringLiteral("a file"));
    QFile file(blocker);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    ScriptedMessagePresenter presenter;
    messages::Msg msg(presenter);
    presenter.pushAnswer(true);
    EXPECT_EQ(prepareDataFolder({blocker + QStringLiteral("/data/"), true}, msg), FirstStartOutcome::Failed);
    ASSERT_EQ(presenter.shown().size(), 2u);
    EXPECT_EQ(presenter.shown()[1].title, "起動エラー");
    EXPECT_TRUE(presenter.shown()[1].text.contains(blocker));

    // When the main file is made and the work file cannot be, neither stays.
    const QString folder = QDir(root.path()).filePath(QStringLiteral("half/"));
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(QFile::link(QStringLiteral("/nonexistent folder/w.mdb"), fileIn(folder, store::kWorkFileName)));
    EXPECT_THROW(store::createMissingDataFiles(folder), std::exception);
    EXPECT_FALSE(QFileInfo::exists(fileIn(folder, store::kMainFileName)));
}
