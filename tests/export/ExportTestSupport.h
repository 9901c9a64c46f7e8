#pragma once

#include "Sql.h"

#include <QByteArray>
#include <QFile>
#include <QJsonDocument>
#include <QProcess>
#include <QStringList>

#include <gtest/gtest.h>

namespace exporttest {

inline qint64 yen(qint64 value)
{
    return value * 10000;
}

// Stores one line of 支払予定表; a null QVariant leaves an amount null.
inline void storeLine(SQLite::Database& main, const char* date, int lineNumber, const QString& payee, const QVariant& scheduled, const QVariant& paid, const QVariant& balance)
{
    store::exec(main, "INSERT INTO 支払予定表 (日付, 行番号, 支払先名, 予定額, 支払額, 残高) VALUES (?, ?, ?, ?, ?, ?)",
        {QString::fromUtf8(date), lineNumber, payee, scheduled, paid, balance});
}

// Debian's own interpreter, which has python3-openpyxl, ahead of any other on the path.
inline QString python()
{
    return QFile::exists("/usr/bin/python3") ? QStringLiteral("/usr/bin/python3") : QStringLiteral("python3");
}

// Runs a Python script with arguments and reads the JSON it prints.
inline QJsonDocument runPython(const QString& script, const QStringList& arguments)
{
    QProcess process;
    process.start(python(), QStringList{"-c", script} + arguments);
    EXPECT_TRUE(process.waitForFinished(60000));
    const QByteArray errors = process.readAllStandardError();
    EXPECT_EQ(process.exitCode(), 0) << errors.constData();
    return QJsonDocument::fromJson(process.readAllStandardOutput());
}

} // namespace exporttest
