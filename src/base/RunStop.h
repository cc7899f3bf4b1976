// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <chrono>
#include <stdexcept>
#include <stop_token>
#include <thread>

namespace ordano {

// Stopping the program's work at once. When the program is ending (the window's "Salir"
// answered Yes, a termination signal, a command's deadline) a stop is requested on the
// std::stop_source the office holds (Office::request_stop). Work watches its std::stop_token:
// each run checks it between steps (stop_point), every FTP session cancels its transfer in
// flight (FtpSession::stop_with), and nothing more is asked or shown. A request stays.

// Thrown by a step that finds a stop requested. It is no NumberedError on purpose: no retry
// question and no failure message takes it for a fault. The routine that started the work
// catches it at its top and ends quietly.
class RunStopped : public std::runtime_error {
public:
    RunStopped() : std::runtime_error("Trabajo detenido: el programa termina") {}
};

// Throws RunStopped when a stop has been requested.
inline void stop_point(const std::stop_token& stop) {
    if (stop.stop_requested()) {
        throw RunStopped();
    }
}

// Requests a stop when `when` comes, unless destroyed first: a limit for work that would
// otherwise wait on the network as long as the network makes it (ordano-cli's --wait).
class StopDeadline {
public:
    StopDeadline(std::stop_source stop, std::chrono::steady_clock::time_point when);
    StopDeadline(const StopDeadline&) = delete;
    StopDeadline& operator=(const StopDeadline&) = delete;

private:
    std::jthread timer_;  // asked to stop and joined on destruction
};

}  // namespace ordano
