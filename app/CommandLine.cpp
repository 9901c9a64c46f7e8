#include "CommandLine.h"

#include "Version.h"

#include <QCommandLineParser>
#include <QDir>

namespace {

QCommandLineOption helpOption()
{
    return QCommandLineOption({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("この説明を表示して終わります。"));
}

QCommandLineOption versionOption()
{
    return QCommandLineOption({QStringLiteral("v"), QStringLiteral("version")}, QStringLiteral("版を表示して終わります。"));
}

QCommandLineOption dataOption()
{
    return QCommandLineOption(QStringLiteral("data"),
        QStringLiteral("データファイル（Quorel1.mdb と Quorel1Work.mdb）を置くフォルダを指定します。\n"
                       "フォルダにどちらのファイルもないときは、作成してよいか確かめてから作成します。"),
        QStringLiteral("フォルダ"));
}

QString optionNames(const QCommandLineOption& option)
{
    QStringList names;
    for (const QString& name : option.names())
        names << (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
    QString text = names.join(QStringLiteral(", "));
    if (!option.valueName().isEmpty())
        text += QStringLiteral(" <") + option.valueName() + QLatin1Char('>');
    return text;
}

CommandLineRequest refused(const QString& error)
{
    CommandLineRequest request;
    request.action = CommandLineRequest::Action::Refuse;
    request.error = error;
    return request;
}

} // namespace

CommandLineRequest CommandLine::parse(const QStringList& arguments, const QString& workingDirectory)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help = helpOption(), version = versionOption(), data = dataOption();
    parser.addOptions({help, version, data});
    const bool parsed = parser.parse(arguments);
    CommandLineRequest request;
    if (parser.isSet(help)) {
        request.action = CommandLineRequest::Action::ShowHelp;
        return request;
    }
    if (parser.isSet(version)) {
        request.action = CommandLineRequest::Action::ShowVersion;
        return request;
    }
    if (!parser.unknownOptionNames().isEmpty())
        return refused(QStringLiteral("知らないオプションです: ") + parser.unknownOptionNames().join(QStringLiteral(", ")));
    if (!parsed)
        return refused(QStringLiteral("--data にはフォルダを指定してください。"));
    if (!parser.positionalArguments().isEmpty())
        return refused(QStringLiteral("余分な引数です: ") + parser.positionalArguments().join(QLatin1Char(' ')));
    const QStringList folders = parser.values(data);
    if (folders.size() > 1)
        return refused(QStringLiteral("--data は一度だけ指定してください。"));
    if (folders.size() == 1) {
        if (folders.front().trimmed().isEmpty())
            return refused(QStringLiteral("--data にはフォルダを指定してください。"));
        request.dataDirectory = QDir::cleanPath(QDir(workingDirectory).absoluteFilePath(folders.front())) + QLatin1Char('/');
    }
    return request;
}

QString CommandLine::helpText(const QString& programName)
{
    QString text = QStringLiteral("使い方: ") + programName + QStringLiteral(" [オプション]\n")
        + QStringLiteral("支払予定表: 月ごとの支払予定と支払額を記録する帳簿です。\n\n")
        + QStringLiteral("オプションを付けずに起動すると、データファイルは利用者のデータフォルダ（例 ~/.local/share/TOVARK/Quorel1/）に置きます。\n"
                         "ビルドしたフォルダから起動したときは、プログラムと同じフォルダの data/ を使います。\n\n")
        + QStringLiteral("オプション:\n");
    for (const QCommandLineOption& option : {helpOption(), versionOption(), dataOption()}) {
        text += QStringLiteral("  ") + optionNames(option) + QLatin1Char('\n');
        for (const QString& line : option.description().split(QLatin1Char('\n')))
            text += QStringLiteral("      ") + line + QLatin1Char('\n');
    }
    return text;
}

QString CommandLine::versionText()
{
    return QStringLiteral("支払予定表 Ver ") + QStringLiteral(QUOREL_VERSION_TEXT) + QLatin1Char('\n');
}
