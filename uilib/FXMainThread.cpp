#include "FXMainThread.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>
#include <QtDebug>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>

namespace {

struct Request {
    const std::function<void()>* Proc;
    bool Done = false;
};

struct Queue {
    std::mutex Mutex;
    std::condition_variable Changed;
    std::deque<Request*> Pending;
    bool Posted = false;
};

// Never destroyed: a worker may still hand over work while the program ends.
Queue& TheQueue() {
    static auto* queue = new Queue;
    return *queue;
}

const std::thread::id LoadingThread = std::this_thread::get_id();

void Run(const std::function<void()>& proc) {
    try {
        proc();
    } catch (const std::exception& error) {
        qWarning("Error in a main-thread callback: %s", error.what());
    } catch (...) {
        qWarning("Unknown error in a main-thread callback");
    }
}

} // namespace

bool FXMainThread::IsCurrent() {
    if (const QCoreApplication* app = QCoreApplication::instance())
        return QThread::currentThread() == app->thread();
    return std::this_thread::get_id() == LoadingThread;
}

void FXMainThread::Synchronize(const std::function<void()>& Proc) {
    if (IsCurrent()) {
        Run(Proc);
        return;
    }
    Queue& queue = TheQueue();
    Request request{&Proc};
    bool post = false;
    {
        std::lock_guard lock(queue.Mutex);
        queue.Pending.push_back(&request);
        post = !queue.Posted;
        queue.Posted = true;
    }
    queue.Changed.notify_all();
    if (post) {
        if (QCoreApplication* app = QCoreApplication::instance())
            QMetaObject::invokeMethod(
                app, [] { CheckSynchronize(); }, Qt::QueuedConnection);
    }
    std::unique_lock lock(queue.Mutex);
    queue.Changed.wait(lock, [&] { return request.Done; });
}

bool FXMainThread::CheckSynchronize() {
    Queue& queue = TheQueue();
    std::deque<Request*> batch;
    {
        std::lock_guard lock(queue.Mutex);
        batch.swap(queue.Pending);
        queue.Posted = false;
    }
    for (Request* request : batch) {
        Run(*request->Proc);
        {
            // The request lives on the worker's stack: after Done it is gone.
            std::lock_guard lock(queue.Mutex);
            request->Done = true;
        }
        queue.Changed.notify_all();
    }
    return !batch.empty();
}

void FXMainThread::ServeUntil(const std::function<bool()>& Done) {
    Queue& queue = TheQueue();
    for (;;) {
        CheckSynchronize();
        std::unique_lock lock(queue.Mutex);
        if (queue.Pending.empty() && Done()) return;
        queue.Changed.wait_for(lock, std::chrono::milliseconds(50),
                               [&] { return !queue.Pending.empty() || Done(); });
    }
}

void FXMainThread::Wake() {
    Queue& queue = TheQueue();
    { std::lock_guard lock(queue.Mutex); }
    queue.Changed.notify_all();
}
