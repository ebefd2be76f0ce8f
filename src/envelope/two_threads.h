#pragma once
// Independent pieces of work shared out over the calling thread and one more.
// The second thread lives only as long as the object that started it.

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>

namespace envelope {

// Runs first on the calling thread and second on a further thread, and
// returns when both have finished. When no thread can be started, second runs
// after first on the calling thread. Neither may throw.
template <class First, class Second>
void BothAtOnce(First first, Second second)
{
    std::jthread helper;
    try {
        helper = std::jthread(second);
    } catch (const std::system_error&) {
        first();
        second();
        return;
    }
    first();
} // the helper is joined here

// Items are added by the calling thread as it produces them, and a second
// thread works on them at once, each item to one Result. Finish() has the
// calling thread join in on what is left, waits for the second thread and
// returns the results in the order the items were added.
//
// work(item, lane) runs on lane 0 (the calling thread) or lane 1 (the second
// thread). It must not throw, and whatever it changes beyond its result must
// be kept apart per lane. When no thread can be started, the calling thread
// does all the work in Finish().
template <class Item, class Result>
class TwoThreadWork {
public:
    using Work = std::function<Result(const Item&, int lane)>;

    explicit TwoThreadWork(Work work) : work_(std::move(work))
    {
        try {
            helper_ = std::jthread([this] { TakeWork(1); });
        } catch (const std::system_error&) {
            // No second thread: Finish() does everything.
        }
    }

    // Stops the second thread (after the item it is working on) and waits for it.
    ~TwoThreadWork() { Close(); }

    TwoThreadWork(const TwoThreadWork&) = delete;
    TwoThreadWork& operator=(const TwoThreadWork&) = delete;

    void Add(Item item)
    {
        {
            const std::lock_guard lock(mutex_);
            items_.push_back(std::move(item));
            results_.emplace_back();
        }
        wake_.notify_one();
    }

    std::deque<Result> Finish()
    {
        {
            const std::lock_guard lock(mutex_);
            closed_ = true;
        }
        wake_.notify_all();
        TakeWork(0);
        if (helper_.joinable())
            helper_.join();
        return std::move(results_);
    }

private:
    void Close()
    {
        {
            const std::lock_guard lock(mutex_);
            closed_ = true;
            next_ = items_.size();
        }
        wake_.notify_all();
    }

    // Takes the next item not yet taken until there is none and no more will
    // come. The work runs outside the lock, on a copy of its item.
    void TakeWork(int lane)
    {
        for (;;) {
            std::size_t index;
            std::optional<Item> item;
            {
                std::unique_lock lock(mutex_);
                wake_.wait(lock, [&] { return next_ < items_.size() || closed_; });
                if (next_ >= items_.size())
                    return;
                index = next_++;
                item.emplace(items_[index]);
            }
            Result result = work_(*item, lane);
            const std::lock_guard lock(mutex_);
            results_[index] = std::move(result);
        }
    }

    Work work_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Item> items_;
    std::deque<Result> results_;
    std::size_t next_ = 0;
    bool closed_ = false;
    std::jthread helper_; // last: started after, and joined before, everything above
};

} // namespace envelope
