#include "MainThreadQueue.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QObject>

#include <mutex>
#include <vector>

namespace joulemap {

namespace {

// Lives on the main thread and drains the queue there. It is woken by name, so the queued call
// carries no data of ours.
class PendingWork : public QObject {
    Q_OBJECT

public:
    void post(std::function<void()> work) {
        bool wakeUp = false;
        {
            std::lock_guard lock(mutex_);
            // One wake-up is in flight for as long as the queue is not empty.
            wakeUp = pending_.empty();
            pending_.push_back(std::move(work));
        }
        if (wakeUp) QMetaObject::invokeMethod(this, "runPending", Qt::QueuedConnection);
    }

    Q_INVOKABLE void runPending() {
        std::vector<std::function<void()>> batch;
        {
            std::lock_guard lock(mutex_);
            batch.swap(pending_);
        }
        for (auto& work : batch) work();
    }

private:
    std::mutex mutex_;
    std::vector<std::function<void()>> pending_;
};

// Never destroyed: workers left behind at shut-down may still post while statics are torn down.
PendingWork& pendingWork(QCoreApplication& application) {
    static PendingWork* const queue = [&application] {
        auto* created = new PendingWork;
        created->moveToThread(application.thread());
        return created;
    }();
    return *queue;
}

// Made as the application object is, on the main thread: made by the first worker to post, its
// construction would reach the main thread only through Qt's event queue, an order thread
// checkers cannot see.
void makePendingWork() { pendingWork(*QCoreApplication::instance()); }

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(makePendingWork)

void MainThreadQueue::post(std::function<void()> work) {
    QCoreApplication* application = QCoreApplication::instance();
    if (!application) return;
    pendingWork(*application).post(std::move(work));
}

}  // namespace joulemap

#include "MainThreadQueue.moc"
