#include "SaveProgress.h"

#include <QList>

#include <gtest/gtest.h>

using namespace ledger;

TEST(SaveProgress, AStretchShowsEachValueOnceInProportionToTheUnitsDone)
{
    QList<int> shown;
    const auto record = [&](int v) { shown << v; };

    // Many units: every whole value from 60 to 99 once, in order, then 100 at the finish.
    ProgressSpan run(record, 60, 100);
    run.start(100000);
    int crossing = -1;
    for (qint64 done = 0; done < 100000; ++done) {
        run.advance(done);
        if (crossing < 0 && shown.last() == 80)
            crossing = static_cast<int>(done);
    }
    EXPECT_EQ(crossing, 50000);
    EXPECT_EQ(shown.size(), 40);
    EXPECT_EQ(shown.first(), 60);
    EXPECT_EQ(shown.last(), 99);
    run.finish();
    EXPECT_EQ(shown.last(), 100);
    for (int i = 1; i < shown.size(); ++i)
        EXPECT_EQ(shown[i], shown[i - 1] + 1);

    // Fewer units than values: the bar jumps; a count past the end stays at the end.
    shown.clear();
    ProgressSpan few(record, 10, 60);
    few.start(3);
    for (qint64 done = 1; done <= 5; ++done)
        few.advance(done);
    few.finish();
    EXPECT_EQ(shown, (QList<int>{10, 26, 43, 60}));

    // No units: the start and the end only; an empty stretch shows its one value.
    shown.clear();
    ProgressSpan none(record, 60, 100);
    none.start(0);
    none.advance(7);
    none.finish();
    ProgressSpan flat(record, 100, 100);
    flat.start(10);
    flat.advance(5);
    EXPECT_EQ(shown, (QList<int>{60, 100, 100}));
}
