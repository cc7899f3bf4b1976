// SPDX-License-Identifier: Apache-2.0
#include "platform/StopRequests.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <utility>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#include <cerrno>
#include <csignal>
#endif

namespace ordano {

namespace {

constexpr int kInterruptStatus = 130;
constexpr int kTerminateStatus = 143;

}  // namespace

// What the handler and the object share. The operating system calls the handler with no
// context, so the one live instance is reachable through a single atomic pointer: the only
// process-wide state here, and inherent to signal handling.
struct StopRequests::Impl {
    Handler on_stop;
    std::atomic<int> first_status{0};
    bool ignore_afterwards = false;

    static std::atomic<Impl*> live;

    void notify(int status) {
        int none = 0;
        first_status.compare_exchange_strong(none, status);
        on_stop(status);
    }

#ifdef _WIN32
    // Windows ends the process as soon as the handler returns from a console close, a logoff or
    // a shutdown, and anyway some 5 s after the event: the handler waits, within that, for the
    // program's orderly stop (this object's end).
    static constexpr auto kCloseWait = std::chrono::milliseconds(4500);
    std::mutex ending;
    std::condition_variable ended_cv;
    bool ended = false;
    static std::atomic<int> handlers_running;

    static BOOL WINAPI console_handler(DWORD event);
    void wait_for_end() {
        std::unique_lock lock(ending);
        ended_cv.wait_for(lock, kCloseWait, [this] { return ended; });
    }
    void end() {
        {
            const std::lock_guard lock(ending);
            ended = true;
        }
        ended_cv.notify_all();
    }
#else
    int pipe_read = -1;
    int pipe_write = -1;
    std::thread watcher;
    struct sigaction old_interrupt {};
    struct sigaction old_terminate {};

    static void signal_handler(int signal);
    void watch();
#endif
};

std::atomic<StopRequests::Impl*> StopRequests::Impl::live{nullptr};

#ifdef _WIN32

namespace {

BOOL WINAPI ignore_console_event(DWORD) {
    return TRUE;
}

}  // namespace

std::atomic<int> StopRequests::Impl::handlers_running{0};

BOOL WINAPI StopRequests::Impl::console_handler(DWORD event) {
    // Counted before the instance is looked up: its destructor waits for the count to drop.
    ++handlers_running;
    Impl* impl = live.load();
    if (impl != nullptr) {
        // Windows already runs this on a thread of its own.
        impl->notify(event == CTRL_C_EVENT ? kInterruptStatus : kTerminateStatus);
        if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT ||
            event == CTRL_SHUTDOWN_EVENT) {
            impl->wait_for_end();
        }
    }
    --handlers_running;
    return impl != nullptr ? TRUE : FALSE;
}

StopRequests::StopRequests(Handler on_stop) : impl_(std::make_unique<Impl>()) {
    impl_->on_stop = std::move(on_stop);
    Impl* none = nullptr;
    if (!Impl::live.compare_exchange_strong(none, impl_.get())) {
        throw std::logic_error("StopRequests: one instance at a time");
    }
    SetConsoleCtrlHandler(&Impl::console_handler, TRUE);
}

StopRequests::~StopRequests() {
    if (impl_->ignore_afterwards) {
        SetConsoleCtrlHandler(&ignore_console_event, TRUE);
    }
    SetConsoleCtrlHandler(&Impl::console_handler, FALSE);
    Impl::live.store(nullptr);
    impl_->end();
    // A handler that found this instance is done with it before it goes.
    while (Impl::handlers_running.load() > 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

#else

// Async-signal-safe: only an atomic load and write(2). The byte is the signal's number.
void StopRequests::Impl::signal_handler(int signal) {
    const int saved_errno = errno;
    if (Impl* impl = live.load()) {
        const auto byte = static_cast<unsigned char>(signal);
        [[maybe_unused]] const ssize_t n = ::write(impl->pipe_write, &byte, 1);
    }
    errno = saved_errno;
}

void StopRequests::Impl::watch() {
    for (;;) {
        unsigned char byte = 0;
        const ssize_t n = ::read(pipe_read, &byte, 1);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0 || byte == 0) {
            return;  // the object is going away
        }
        notify(byte == SIGINT ? kInterruptStatus : kTerminateStatus);
    }
}

StopRequests::StopRequests(Handler on_stop) : impl_(std::make_unique<Impl>()) {
    impl_->on_stop = std::move(on_stop);
    int fds[2];
    if (::pipe(fds) != 0) {
        throw std::runtime_error("StopRequests: no pipe");
    }
    impl_->pipe_read = fds[0];
    impl_->pipe_write = fds[1];
    for (int fd : fds) {
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    }
    // A full pipe must never block the handler; the requests already queued say enough.
    ::fcntl(impl_->pipe_write, F_SETFL, ::fcntl(impl_->pipe_write, F_GETFL) | O_NONBLOCK);

    Impl* none = nullptr;
    if (!Impl::live.compare_exchange_strong(none, impl_.get())) {
        ::close(fds[0]);
        ::close(fds[1]);
        throw std::logic_error("StopRequests: one instance at a time");
    }
    impl_->watcher = std::thread([impl = impl_.get()] { impl->watch(); });

    struct sigaction action {};
    action.sa_handler = &Impl::signal_handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, &impl_->old_interrupt);
    sigaction(SIGTERM, &action, &impl_->old_terminate);
}

StopRequests::~StopRequests() {
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    const bool keep_out = impl_->ignore_afterwards;
    sigaction(SIGINT, keep_out ? &ignore : &impl_->old_interrupt, nullptr);
    sigaction(SIGTERM, keep_out ? &ignore : &impl_->old_terminate, nullptr);
    Impl::live.store(nullptr);
    // No handler writes any more: a blocking write of the wake byte is safe and always lands.
    ::fcntl(impl_->pipe_write, F_SETFL, ::fcntl(impl_->pipe_write, F_GETFL) & ~O_NONBLOCK);
    const unsigned char wake = 0;
    [[maybe_unused]] const ssize_t n = ::write(impl_->pipe_write, &wake, 1);
    impl_->watcher.join();
    ::close(impl_->pipe_read);
    ::close(impl_->pipe_write);
}

#endif

int StopRequests::exit_status() const noexcept {
    return impl_->first_status.load();
}

void StopRequests::ignore_requests_afterwards() noexcept {
    impl_->ignore_afterwards = true;
}

}  // namespace ordano
