#include "CommandLine.h"
#include "MainWindow.h"

#include <gtest/gtest.h>

using Action = CommandLineRequest::Action;

namespace {

CommandLineRequest parse(QStringList arguments)
{
    arguments.prepend(QStringLiteral("/usr/bin/Quorel1"));
    return CommandLine::parse(arguments, QStringLiteral("/home/利用者/作業"));
}

} // namespace

TEST(CommandLine, HelpAndVersionWinOverEverythingElseOnTheLine)
{
    EXPECT_EQ(parse({}).action, Action::Run);
    for (const char* option : {"-h", "--help"})
        EXPECT_EQ(parse({option}).action, Action::ShowHelp) << option;
    for (const char* option : {"-v", "--version"})
        EXPECT_EQ(parse({option}).action, Action::ShowVersion) << option;
    EXPECT_EQ(parse({"--bogus", "--help"}).action, Action::ShowHelp);
    EXPECT_EQ(parse({"--data", "d", "--version"}).action, Action::ShowVersion);
    // A word after --data is its folder, even when it looks like an option.
    const CommandLineRequest folder = parse({"--data", "--help"});
    EXPECT_EQ(folder.action, Action::Run);
    EXPECT_EQ(folder.dataDirectory, "/home/利用者/作業/--help/");
    // Qt's own one-dash words are not read as bundles of letters such as -v.
    EXPECT_EQ(parse({"-reverse"}).action, Action::Refuse);
}

TEST(CommandLine, DataFolderIsMadeAbsoluteAndEndsInASeparator)
{
    EXPECT_EQ(parse({"--data", "帳簿"}).dataDirectory, "/home/利用者/作業/帳簿/");
    EXPECT_EQ(parse({"--data=../帳簿/"}).dataDirectory, "/home/利用者/帳簿/");
    EXPECT_EQ(parse({"--data", "/srv/支払 データ"}).dataDirectory, "/srv/支払 データ/");
    EXPECT_TRUE(parse({}).dataDirectory.isEmpty());
}

TEST(CommandLine, RefusesWhatItCannotUseWithAJapaneseReason)
{
    for (const QStringList& line : {QStringList{"--data"}, QStringList{"--data", ""}, QStringList{"--data", "a", "--data", "b"},
             QStringList{"--bogus"}, QStringList{"extra"}}) {
        const CommandLineRequest request = parse(line);
        EXPECT_EQ(request.action, Action::Refuse) << line.join(' ').toStdString();
        EXPECT_TRUE(request.dataDirectory.isEmpty());
        EXPECT_TRUE(request.error.contains(QStringLiteral("。")) || request.error.contains(QStringLiteral("です"))) << request.error.toStdString();
    }
    EXPECT_TRUE(parse({"--bogus"}).error.contains("bogus"));
}

TEST(CommandLine, HelpNamesEveryOptionInJapaneseAndVersionMatchesTheTitle)
{
    const QString help = CommandLine::helpText(QStringLiteral("Quorel1"));
    EXPECT_TRUE(help.startsWith(QStringLiteral("使い方: Quorel1 [オプション]\n")));
    for (const char* name : {"-h, --help", "-v, --version", "--data <フォルダ>", "データフォルダ", "作成してよいか"})
        EXPECT_TRUE(help.contains(QString::fromUtf8(name))) << name;
    EXPECT_EQ(CommandLine::versionText(), MainWindow::titleText() + '\n');
}
