// SPDX-License-Identifier: Apache-2.0
#include "platform/StopRequests.h"

#include <atomic>
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
    static BOOL WINAPI console_handler(DWORD event);
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

BOOL WINAPI StopRequests::Impl::console_handler(DWORD event) {
    Impl* impl = live.load();
    if (impl == nullptr) {
        return FALSE;
    }
    // Windows already runs this on a thread of its own.
    impl->notify(event == CTRL_C_EVENT ? kInterruptStatus : kTerminateStatus);
    return TRUE;
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
