#pragma once
// Independent pieces of work shared out over the calling thread and one more,
// which lives only as long as the object that started it.

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>

namespace envelope {

// A second thread starts with first(), then works on items that the calling
// thread adds as it produces them, each item to one Result. Finish() has the
// calling thread join in on what is left, waits for the second thread and
// returns the results in the order the items were added.
//
// first() runs on lane 1, work(item, lane) on lane 0 (the calling thread) or
// lane 1 (the second thread). Whatever they change beyond the results must be
// kept apart per lane. What the second thread raises (memory that ran out)
// ends its work and is raised again by Finish(). When no thread can be
// started, or none is wanted, the calling thread does all of it in Finish(),
// first() first.
template <class Item, class Result>
class TwoThreadWork {
public:
    using Work = std::function<Result(const Item&, int lane)>;

    TwoThreadWork(std::function<void()> first, Work work, bool secondThread = true)
        : first_(std::move(first)), work_(std::move(work))
    {
        if (!secondThread)
            return;
        try {
            helper_ = std::jthread([this] {
                try {
                    first_();
                    TakeWork(1);
                } catch (...) {
                    helperError_ = std::current_exception();
                }
            });
        } catch (const std::system_error&) {
            // No second thread: Finish() does everything.
        }
    }

    // Stops the second thread (after first() and the item it is working on)
    // and waits for it.
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
        if (!helper_.joinable())
            first_();
        TakeWork(0);
        if (helper_.joinable())
            helper_.join();
        if (helperError_)
            std::rethrow_exception(helperError_);
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

    std::function<void()> first_;
    Work work_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Item> items_;
    std::deque<Result> results_;
    std::size_t next_ = 0;
    bool closed_ = false;
    std::exception_ptr helperError_; // written by the second thread, read after joining it
    std::jthread helper_; // last: started after, and joined before, everything above
};

} // namespace envelope
