#pragma once
// Synchronous hand-over from worker threads to the main (user-interface)
// thread. A worker's Synchronize queues its work, wakes the main thread's event
// loop and blocks until the work has run there. A main thread that must wait
// for a worker serves the queue while it waits (ServeUntil) instead of
// blocking, so the worker it waits for can still get its callbacks through.
#include <functional>

class FXMainThread {
  public:
    // The thread of the application object, or the thread that loaded the
    // library when no application exists yet.
    static bool IsCurrent();

    // Runs Proc on the main thread and returns once it has run; on the main
    // thread itself it runs at once. An exception leaving Proc is reported on
    // the main thread and does not reach the caller.
    static void Synchronize(const std::function<void()>& Proc);

    // Main thread: runs every queued request; whether there was any.
    static bool CheckSynchronize();

    // Main thread: serves queued requests until Done answers true. Done is
    // asked again whenever a request arrives and whenever Wake is called, so a
    // thread that makes it true must call Wake afterwards.
    static void ServeUntil(const std::function<bool()>& Done);
    static void Wake();
};
