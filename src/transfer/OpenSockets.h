// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <curl/curl.h>

#include <chrono>
#include <mutex>
#include <vector>

namespace ordano {

// The sockets of one libcurl handle, in the order it opened them: its control connection
// first, then the data connection of the transfer under way. libcurl ends a cancelled upload's
// data connection in order, and a server takes that for the end of a complete file; with the
// sockets at hand the upload can be aborted in a way every server reads as a failure.
class OpenSockets {
public:
    OpenSockets() = default;
    OpenSockets(const OpenSockets&) = delete;
    OpenSockets& operator=(const OpenSockets&) = delete;

    // Follows the sockets the handle opens and closes from now on. The handle's connections
    // close their sockets through this object: it must outlive the handle and its multi handle.
    void follow(CURL* handle);

    // A data connection is open besides the control connection: a transfer is under way, or
    // about to start. Once libcurl has ended an upload's data connection, every byte of it is
    // on its way to the server, however slowly it gets there.
    [[nodiscard]] bool data_connection_open();

    // Makes the server see the upload under way fail, before libcurl closes its connections:
    // the control connection is ended (a server that watches it during a transfer abandons
    // the file and closes the data connection), then, once the server has closed the data
    // connection or `wait` is up, the data connection is reset, never ended in order (nor,
    // over TLS, with a closing alert). Call it on the thread that drives the handle, from a
    // callback of the transfer.
    void abort_upload(std::chrono::milliseconds wait) noexcept;

private:
    static int on_opened(void* self, curl_socket_t socket, curlsocktype purpose);
    static int on_closing(void* self, curl_socket_t socket);

    std::mutex mutex_;
    std::vector<curl_socket_t> open_;
};

}  // namespace ordano
