// A thread of its own that runs, in order, the items handed to it, so that work goes on on a
// second core beside its caller's. Items wait in a queue of at most a given number of bytes;
// a caller that gets ahead waits until half of it is taken. Each side wakes the other only
// when that one waits: a switch of threads for every item would cost more than the items.
// Where no thread can be started, items run where they are handed over.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

template <typename Item>
class HandOff {
public:
    // run is called with each item in turn, on the thread; it returns whether the item may be
    // handed back by Reuse. At most spares items are kept for that.
    HandOff(size_t capacity, size_t spares, std::function<bool(Item&)> run)
        : capacity(capacity), spares(spares), run(std::move(run)) {
        try {
            thread = std::thread(&HandOff::Loop, this);
        } catch (const std::system_error&) {
            // Items then run where they are handed over, as they would on one core.
        }
    }
    // Drops what waits and stops the thread.
    ~HandOff() {
        Drop();
        Stop();
    }
    HandOff(const HandOff&) = delete;
    HandOff& operator=(const HandOff&) = delete;

    // Queues item, which weighs size bytes.
    void Push(Item&& item, size_t size) {
        if (!thread.joinable()) {
            if (run(item))
                KeepSpare(std::move(item));
            return;
        }
        std::unique_lock<std::mutex> held(lock);
        WaitForRoom(held, size);
        queue.push_back(Queued{std::move(item), size});
        queuedBytes += size;
        if (hungry)
            fed.notify_one();
    }
    // Lets add put size more bytes into the last item queued, which the thread has not taken
    // yet; false when there is none or add declines.
    bool AddToLast(size_t size, const std::function<bool(Item&)>& add) {
        std::unique_lock<std::mutex> held(lock);
        WaitForRoom(held, size);
        if (queue.empty() || !add(queue.back().item))
            return false;
        queue.back().size += size;
        queuedBytes += size;
        return true;
    }
    // An item that has run, to fill again; false when none is kept.
    bool Reuse(Item* item) {
        std::lock_guard<std::mutex> held(lock);
        if (spare.empty())
            return false;
        *item = std::move(spare.back());
        spare.pop_back();
        return true;
    }
    // Whether the thread waits for an item.
    bool Hungry() {
        std::lock_guard<std::mutex> held(lock);
        return hungry;
    }
    bool Threaded() const { return thread.joinable(); }
    // Waits until every item handed over has run. The thread then waits, and whatever the items
    // work on is the caller's until it hands over the next one.
    void WaitIdle() {
        std::unique_lock<std::mutex> held(lock);
        WaitIdle(held);
    }
    // Drops the items not taken yet and waits for the one running.
    void Drop() {
        std::unique_lock<std::mutex> held(lock);
        for (const Queued& queued : queue)
            queuedBytes -= queued.size;
        queue.clear();
        WaitIdle(held);
    }
    // Runs what is queued and stops the thread.
    void Stop() {
        if (!thread.joinable())
            return;
        {
            std::unique_lock<std::mutex> held(lock);
            WaitIdle(held);
            stopping = true;
        }
        fed.notify_one();
        thread.join();
    }

private:
    void WaitForRoom(std::unique_lock<std::mutex>& held, size_t size) {
        // An item larger than the queue still goes in, once half of it is taken.
        if (queuedBytes == 0 || queuedBytes + size <= capacity)
            return;
        waiting = true;
        taken.wait(held, [&] { return queuedBytes == 0 || queuedBytes <= capacity / 2; });
        waiting = false;
    }
    void WaitIdle(std::unique_lock<std::mutex>& held) {
        waiting = true;
        taken.wait(held, [&] { return queue.empty() && !busy; });
        waiting = false;
    }
    void KeepSpare(Item&& item) {
        std::lock_guard<std::mutex> held(lock);
        if (spare.size() < spares)
            spare.push_back(std::move(item));
    }
    void Loop() {
        std::unique_lock<std::mutex> held(lock);
        for (;;) {
            hungry = true;
            fed.wait(held, [&] { return !queue.empty() || stopping; });
            hungry = false;
            if (queue.empty())
                return;
            Item item = std::move(queue.front().item);
            const size_t size = queue.front().size;
            queue.pop_front();
            busy = true;
            held.unlock();
            const bool reusable = run(item);
            held.lock();
            busy = false;
            queuedBytes -= size;
            if (reusable && spare.size() < spares)
                spare.push_back(std::move(item));
            if (waiting && (queue.empty() || queuedBytes <= capacity / 2))
                taken.notify_one();
        }
    }

    struct Queued {
        Item item;
        size_t size;
    };

    const size_t capacity, spares;
    const std::function<bool(Item&)> run;
    std::mutex lock;
    std::condition_variable fed;   // the thread waits for an item
    std::condition_variable taken; // the caller waits for room, or for the thread to be idle
    std::deque<Queued> queue;
    std::vector<Item> spare;
    size_t queuedBytes = 0;
    bool busy = false;     // the thread runs an item it took
    bool hungry = false;   // the thread waits on fed
    bool waiting = false;  // the caller waits on taken
    bool stopping = false; // the thread ends once the queue is empty
    std::thread thread;
};
