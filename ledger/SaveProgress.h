#pragma once

#include <QtGlobal>

#include <functional>

namespace ledger {

// The bar of a save: 10 once the sheet is read, 10 to 60 over the sheet's lines, 60 to
// 100 over the balance run of the stored lines from the month on.
inline constexpr int kSaveBarStart = 10;
inline constexpr int kSaveBarLinesDone = 60;
inline constexpr int kSaveBarDone = 100;

// One stretch of a progress bar, from one value to another, over a count of units done
// one by one. The value moves in proportion to the units done and reaches show() only
// when it changes, so a pass over many units shows at most (to - from + 1) values; between
// two changes a unit costs one comparison.
class ProgressSpan {
public:
    ProgressSpan(std::function<void(int)> show, int from, int to);

    // Starts the stretch over `count` units (none is allowed) and shows `from`.
    void start(qint64 count);
    // `done` of the count's units are done.
    void advance(qint64 done)
    {
        if (done >= next_)
            reach(done);
    }
    // Shows `to`, however many units were done.
    void finish();

private:
    void reach(qint64 done);
    void show(int value);

    std::function<void(int)> show_;
    int from_;
    int to_;
    qint64 count_ = 0;
    int value_ = -1;   // the value shown last
    qint64 next_ = 0;  // the first count of units done that moves the bar on
};

} // namespace ledger
