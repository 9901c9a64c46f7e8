#include "Session.h"
#include "Sql.h"
#include "TempDataDir.h"
#include "WorkTableModel.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace store;

TEST(WorkTableModel, BuffersTheEditedLineAndWritesItByRowidOnCommitOrWhenAnotherLineIsEdited)
{
    TempDataDir dir;
    auto session = Session::open(dir.path());
    auto& work = session->workDb();
    for (int i = 1; i <= 3; ++i)
        exec(work, "INSERT INTO InpWork (行番号, 元行番号) VALUES (?, ?)", {i, i});
    WorkTableModel model;
    model.bind(&work, "InpWork");
    model.setColumnKind(5, WorkTableModel::ColumnKind::Amount);
    model.refresh();
    ASSERT_EQ(model.rowCount(), 3);
    ASSERT_EQ(model.columnCount(), 10);

    QSignalSpy accepted(&model, &WorkTableModel::cellAccepted);
    ASSERT_TRUE(model.setData(model.index(1, 4), "O'Brien"));
    ASSERT_EQ(accepted.size(), 1);
    EXPECT_EQ(accepted.at(0).at(1).toInt(), 4);
    EXPECT_TRUE(model.hasPending());
    // Not yet written.
    EXPECT_TRUE(scalar(work, "SELECT 支払先名 FROM InpWork WHERE 行番号 = 2").isNull());

    // Amount text is parsed to ten-thousandths and shown as #,###; unreadable text is refused.
    ASSERT_TRUE(model.setData(model.index(1, 5), "１，２３４"));
    EXPECT_EQ(model.value(1, 5).toLongLong(), 12'340'000);
    EXPECT_EQ(model.data(model.index(1, 5)).toString(), "1,234");
    EXPECT_FALSE(model.setData(model.index(1, 5), "12x"));
    EXPECT_EQ(model.value(1, 5).toLongLong(), 12'340'000);

    // Editing another line commits the first.
    ASSERT_TRUE(model.setData(model.index(2, 4), "next"));
    EXPECT_EQ(scalar(work, "SELECT 支払先名 FROM InpWork WHERE 行番号 = 2").toString(), "O'Brien");
    EXPECT_EQ(scalar(work, "SELECT 予定額 FROM InpWork WHERE 行番号 = 2").toLongLong(), 12'340'000);
    model.commit();
    EXPECT_EQ(scalar(work, "SELECT 支払先名 FROM InpWork WHERE 行番号 = 3").toString(), "next");

    // A dropped edit restores the line; refresh re-reads the table.
    model.setValue(0, 4, "temp");
    model.discardPending();
    EXPECT_TRUE(model.value(0, 4).isNull());

    // An emptied text cell holds null, as a blank line does.
    ASSERT_TRUE(model.setData(model.index(2, 4), ""));
    model.commit();
    EXPECT_TRUE(scalar(work, "SELECT 支払先名 FROM InpWork WHERE 行番号 = 3").isNull());

    model.removeLine(0);
    EXPECT_EQ(model.rowCount(), 2);
    EXPECT_EQ(scalar(work, "SELECT count(*) FROM InpWork").toLongLong(), 2);
    model.refresh();
    EXPECT_EQ(model.value(0, 4).toString(), "O'Brien");
}

TEST(WorkTableModel, AppendLineAndTickColumnWriteNewRows)
{
    TempDataDir dir;
    auto session = Session::open(dir.path());
    auto& work = session->workDb();
    WorkTableModel model;
    model.bind(&work, "w支払先マスタ");
    model.setColumnKind(0, WorkTableModel::ColumnKind::Check);
    model.setAppendLine(true);
    model.refresh();
    ASSERT_EQ(model.rowCount(), 1);
    EXPECT_FALSE(model.setData(model.index(0, 1), ""));
    ASSERT_TRUE(model.setData(model.index(0, 1), "新しい支払先"));
    EXPECT_EQ(model.rowCount(), 2);
    ASSERT_TRUE(model.setData(model.index(0, 0), Qt::Checked, Qt::CheckStateRole));
    model.commit();
    const auto rows = queryRows(work, "SELECT チェック, 支払先名 FROM w支払先マスタ");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0].toLongLong(), 1);
    EXPECT_EQ(rows[0][1].toString(), "新しい支払先");
}

TEST(WorkTableModel, RowsAddedByRowidShowAtTheirPlacesAndTheBufferedLineFollowsThem)
{
    TempDataDir dir;
    auto session = Session::open(dir.path());
    auto& work = session->workDb();
    exec(work, "INSERT INTO w支払先名 (rowid, 支払先名) VALUES (100, 'a'), (300, 'c')");
    WorkTableModel model;
    model.bind(&work, "w支払先名");
    model.refresh();
    ASSERT_TRUE(model.setData(model.index(1, 0), "c edited"));
    ASSERT_EQ(model.pendingRow(), 1);
    const auto shown = [&] {
        QStringList names;
        for (int row = 0; row < model.rowCount(); ++row)
            names << QString::number(model.rowId(row)) + model.value(row, 0).toString();
        return names.join(',');
    };

    // A few rows are announced one by one, at their places.
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    exec(work, "INSERT INTO w支払先名 (rowid, 支払先名) VALUES (400, 'd'), (200, 'b')");
    model.insertStoredRows({{400, {QString("d")}}, {200, {QString("b")}}});
    ASSERT_EQ(inserted.size(), 2);
    EXPECT_EQ(inserted.at(0).at(1).toInt(), 1);
    EXPECT_EQ(inserted.at(1).at(1).toInt(), 3);
    EXPECT_EQ(reset.size(), 0);
    EXPECT_EQ(shown(), "100a,200b,300c edited,400d");
    EXPECT_EQ(model.pendingRow(), 2);

    // Many are merged in one pass: one reset, the buffered line still the edited one.
    std::vector<std::pair<qint64, store::Row>> many;
    for (qint64 id = 450; id >= 50; id -= 100)
        many.push_back({id, {QString::number(id)}});
    for (qint64 id = 110; id < 120; ++id)
        many.push_back({id, {QString::number(id)}});
    model.insertStoredRows(many);
    EXPECT_EQ(inserted.size(), 2);
    EXPECT_EQ(reset.size(), 1);
    EXPECT_EQ(shown(), "5050,100a,110110,111111,112112,113113,114114,115115,116116,117117,118118,119119,150150,200b,250250,300c edited,"
                       "350350,400d,450450");
    ASSERT_EQ(model.pendingRow(), 15);
    model.commit();
    EXPECT_EQ(scalar(work, "SELECT 支払先名 FROM w支払先名 WHERE rowid = 300").toString(), "c edited");
}
