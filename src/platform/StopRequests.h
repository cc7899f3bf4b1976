// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <functional>
#include <memory>

namespace ordano {

// Turns the requests to stop the process (SIGINT and SIGTERM; on Windows Ctrl+C, Ctrl+Break and
// closing the console) into calls of `on_stop` on a thread of its own, where it may take locks
// and cancel transfers, instead of the process dying mid-file. `on_stop` gets the exit status a
// stopped command ends with: 130 for an interrupt, 143 for a request to terminate. Every request
// calls it (cancelling twice must be harmless). One instance at a time per process; the previous
// handling comes back when it is destroyed. Create it before starting other threads.
class StopRequests {
public:
    using Handler = std::function<void(int exit_status)>;

    explicit StopRequests(Handler on_stop);
    ~StopRequests();
    StopRequests(const StopRequests&) = delete;
    StopRequests& operator=(const StopRequests&) = delete;

    // The exit status of the first request, 0 while none came.
    [[nodiscard]] int exit_status() const noexcept;

    // For a program whose work ends with this object: requests that come after it is destroyed
    // are ignored instead of handled as before, so a stop sent as the program finishes cannot
    // kill it between its last step and its exit; the work's own status stands.
    void ignore_requests_afterwards() noexcept;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace ordano
