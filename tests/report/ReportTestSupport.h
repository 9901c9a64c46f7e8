#pragma once

#include "JapaneseFonts.h"
#include "ReportLayout.h"
#include "Sql.h"

#include <QFont>
#include <QStringList>

#include <SQLiteCpp/Database.h>

// The same face mapping as the application: IPA P Gothic, then Noto Sans CJK JP.
inline void useReportFonts()
{
    fonts::installJapaneseFonts();
}

inline const report::TextItem* findText(const report::ReportPage& page, const QString& name, int row = -1)
{
    for (const auto& item : page.texts)
        if (item.name == name && item.row == row)
            return &item;
    return nullptr;
}

inline const report::RuleItem* findRule(const report::ReportPage& page, const QString& name, int row = -1)
{
    for (const auto& item : page.rules)
        if (item.name == name && item.row == row)
            return &item;
    return nullptr;
}

inline ledger::Amount yen(qint64 value)
{
    return ledger::Amount::fromUnits(value * ledger::Amount::kScale);
}

// One line of the sheet InpWork; amounts in yen, a null QVariant for null.
inline void addSheetLine(SQLite::Database& work, int number, const QVariant& day, const QVariant& payee, const QVariant& planned, const QVariant& paid, const QVariant& balance)
{
    auto units = [](const QVariant& v) { return v.isNull() ? QVariant() : QVariant(v.toLongLong() * ledger::Amount::kScale); };
    store::exec(work,
        "INSERT INTO InpWork (行番号, 元行番号, 表示日付, 日付, 支払先名, 予定額, 支払額, 残高) VALUES (?, ?, ?, ?, ?, ?, ?, ?)",
        {number, number, day, day.isNull() ? QVariant() : QVariant(QStringLiteral("2005-11-") + day.toString()), payee, units(planned), units(paid), units(balance)});
}

// Every item of a document as one line of text each, for comparing whole documents.
inline QStringList describe(const report::ReportDocument& document)
{
    QStringList out;
    for (size_t p = 0; p < document.pages.size(); ++p) {
        for (const auto& t : document.pages[p].texts)
            out << QStringLiteral("%1 %2 %3 %4,%5,%6,%7 %8 %9 %10 %11 %12")
                       .arg(p).arg(t.name).arg(t.row)
                       .arg(t.box.left()).arg(t.box.top()).arg(t.box.width()).arg(t.box.height())
                       .arg(t.text, t.family).arg(t.pointSize).arg(t.bold).arg(t.color.name());
        for (const auto& r : document.pages[p].rules)
            out << QStringLiteral("%1 %2 %3 %4,%5-%6,%7 %8 %9 %10")
                       .arg(p).arg(r.name).arg(r.row)
                       .arg(r.line.x1()).arg(r.line.y1()).arg(r.line.x2()).arg(r.line.y2())
                       .arg(r.color.name()).arg(r.width).arg(r.dashed);
    }
    return out;
}
