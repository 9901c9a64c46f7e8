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

// Reads a workbook back with openpyxl: each sheet's cells as [type, value, number
// format], its frozen cell, print title rows, paper, orientation and column widths.
inline const char* const kReadWorkbook = R"PY(
import json, sys, openpyxl
book = openpyxl.load_workbook(sys.argv[1])
out = {"sheets": book.sheetnames}
for ws in book.worksheets:
    cells = {}
    for row in ws.iter_rows():
        for c in row:
            if c.value is None:
                continue
            v = c.value.isoformat() if hasattr(c.value, "isoformat") else c.value
            cells[c.coordinate] = [c.data_type, v, c.number_format]
    out[ws.title] = {"cells": cells, "freeze": ws.freeze_panes, "titles": ws.print_title_rows,
        "paper": str(ws.page_setup.paperSize), "orientation": ws.page_setup.orientation,
        "widths": {k: d.width for k, d in ws.column_dimensions.items()}}
print(json.dumps(out))
)PY";

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
