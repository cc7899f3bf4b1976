// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <chrono>
#include <cstdint>

namespace ordano {

// The few socket calls that aborting a transfer needs, on the system's own socket handle
// (a libcurl curl_socket_t fits: a descriptor, or a SOCKET on Windows).
using SocketHandle = std::uintptr_t;

// Nothing more goes out on the connection: the peer reads its end (FIN) after what is queued.
void shut_sending(SocketHandle socket) noexcept;
// Resets the connection (RST), so that the peer reads a failure, never an end of data: at once
// where the system allows it (POSIX: the handle then stands for a socket without a connection,
// so whatever its owner still writes goes nowhere), else when the socket is closed (Windows).
void reset_connection(SocketHandle socket) noexcept;
// Waits until the peer has ended or reset the connection (or sent something), at most
// `limit`; true when it has.
bool wait_until_readable(SocketHandle socket, std::chrono::milliseconds limit) noexcept;
// Closes the socket; 0 on success.
int close_socket(SocketHandle socket) noexcept;

}  // namespace ordano
