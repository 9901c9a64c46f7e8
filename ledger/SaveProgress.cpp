#include "SaveProgress.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace ledger {

ProgressSpan::ProgressSpan(std::function<void(int)> show, int from, int to)
    : show_(std::move(show))
    , from_(from)
    , to_(std::max(from, to))
{
}

void ProgressSpan::start(qint64 count)
{
    count_ = std::max<qint64>(count, 0);
    value_ = -1;
    show(from_);
    next_ = std::numeric_limits<qint64>::max();
    if (count_ > 0)
        reach(0);
}

void ProgressSpan::finish()
{
    show(to_);
    next_ = std::numeric_limits<qint64>::max();
}

void ProgressSpan::reach(qint64 done)
{
    const qint64 span = to_ - from_;
    done = std::clamp<qint64>(done, 0, count_);
    show(from_ + static_cast<int>(span * done / count_));
    if (value_ >= to_) {
        next_ = std::numeric_limits<qint64>::max();
        return;
    }
    // The fewest units done that give the next whole value: from + span * n / count reaches
    // value + 1 once n >= ceil((value + 1 - from) * count / span).
    const qint64 needed = static_cast<qint64>(value_ + 1 - from_) * count_;
    next_ = (needed + span - 1) / span;
}

void ProgressSpan::show(int value)
{
    if (value <= value_)
        return;
    value_ = value;
    if (show_)
        show_(value);
}

} // namespace ledger
