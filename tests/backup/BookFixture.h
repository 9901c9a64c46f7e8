#pragma once

#include "BackupService.h"
#include "MessagePresenter.h"
#include "Msg.h"
#include "Session.h"
#include "Sql.h"
#include "TempDataDir.h"

#include <QDateTime>

#include <gtest/gtest.h>

#include <memory>

#include <QString>

#include <SQLiteCpp/Database.h>

// A book with stored lines over several months (a proper balance chain), payees and a
// settings record, and a dump of every table of the main file for comparisons.
inline void fillBook(SQLite::Database& main, int linesPerMonth = 4, const char* payeePrefix = "支払先")
{
    store::exec(main, "BEGIN");
    qlonglong balance = 0;
    for (int month = 1; month <= 6; ++month) {
        for (int i = 1; i <= linesPerMonth; ++i) {
            const qlonglong scheduled = 10000LL * (1000 * month + i);
            const qlonglong paid = i % 2 ? 0 : 10000LL * 300;
            balance += scheduled - paid;
            store::exec(main, "INSERT INTO 支払予定表 VALUES (?, ?, ?, ?, ?, ?)",
                {QStringLiteral("2025-%1-%2").arg(month, 2, 10, QChar('0')).arg(i, 2, 10, QChar('0')), i,
                    QStringLiteral("%1%2-%3").arg(QString::fromUtf8(payeePrefix)).arg(month).arg(i), scheduled, paid, balance});
        }
    }
    store::exec(main, "INSERT INTO 支払先マスタ VALUES (?), (?), ('O''Brien')", {QString::fromUtf8(payeePrefix) + "A", QString::fromUtf8(payeePrefix) + "B"});
    store::exec(main, "DELETE FROM 自社情報");
    store::exec(main, "INSERT INTO 自社情報 VALUES ('和暦', 1, 255)");
    store::exec(main, "COMMIT");
}

inline QString dumpBook(SQLite::Database& db, const char* schema = "main")
{
    const QString s = QString::fromUtf8(schema);
    return store::scalar(db, QStringLiteral("SELECT (SELECT group_concat(x, ' / ') FROM (SELECT 日付 || ' ' || 行番号 || ' ' || 支払先名 || ' ' || 予定額 || ' ' || 支払額 || ' ' || 残高 AS x FROM %1.支払予定表 ORDER BY 日付, 行番号, rowid))"
                                             " || ' # ' || coalesce((SELECT group_concat(支払先名, ',') FROM (SELECT 支払先名 FROM %1.支払先マスタ ORDER BY rowid)), '')"
                                             " || ' # ' || coalesce((SELECT group_concat(年号 || ' ' || 支払先自動登録 || ' ' || LineColor1) FROM %1.自社情報), '')")
                                  .arg(s))
        .toString();
}

// A book open on a folder of its own, with a backup service on a clock the test sets.
struct OpenBook {
    TempDataDir dir;
    std::unique_ptr<store::Session> session = store::Session::open(dir.path());
    messages::ScriptedMessagePresenter presenter;
    messages::Msg msg{presenter};
    QDateTime now = QDateTime(QDate(2026, 12, 7), QTime(15, 30, 12));
    backup::BackupService service{*session, msg, [this] { return now; }};
    SQLite::Database& main() { return session->mainDb(); }

    // A backup as the commands that delete make it, a minute after the one before.
    QString backUp(backup::Reason reason = backup::Reason::PayeeEntry)
    {
        now = now.addSecs(60);
        EXPECT_TRUE(service.beforeDestructive(reason));
        return service.folder().list().front().path;
    }
};
