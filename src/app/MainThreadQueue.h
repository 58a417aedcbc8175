#pragma once

#include <QPointer>

#include <functional>
#include <utility>

namespace joulemap {

// Hands work from worker threads to the main thread. The work waits in a queue under a standard
// mutex and Qt's queued call carries only the wake-up: Debian's Qt is not built for thread
// checkers, so data travelling inside the queued call itself would read to them as a race, and
// real races would hide among those reports.
class MainThreadQueue {
public:
    // Runs `work` on the main thread soon; dropped when no application object exists.
    static void post(std::function<void()> work);

    // Runs `work(*receiver)` on the main thread, if `receiver` still exists by then. The pointer
    // is only dereferenced there, where the receiver is destroyed.
    template <typename Receiver, typename Work>
    static void post(QPointer<Receiver> receiver, Work work) {
        post([receiver = std::move(receiver), work = std::move(work)]() mutable {
            if (receiver) work(*receiver);
        });
    }
};

}  // namespace joulemap
