// SPDX-License-Identifier: Apache-2.0
#include "transfer/OpenSockets.h"

#include <algorithm>

#include "platform/Sockets.h"

namespace ordano {
namespace {

SocketHandle handle_of(curl_socket_t socket) {
    return static_cast<SocketHandle>(socket);
}

}  // namespace

void OpenSockets::follow(CURL* handle) {
    curl_easy_setopt(handle, CURLOPT_SOCKOPTFUNCTION, &OpenSockets::on_opened);
    curl_easy_setopt(handle, CURLOPT_SOCKOPTDATA, this);
    curl_easy_setopt(handle, CURLOPT_CLOSESOCKETFUNCTION, &OpenSockets::on_closing);
    curl_easy_setopt(handle, CURLOPT_CLOSESOCKETDATA, this);
}

bool OpenSockets::data_connection_open() {
    const std::lock_guard lock(mutex_);
    return open_.size() >= 2;
}

int OpenSockets::on_opened(void* self, curl_socket_t socket, curlsocktype /*purpose*/) {
    auto& sockets = *static_cast<OpenSockets*>(self);
    const std::lock_guard lock(sockets.mutex_);
    sockets.open_.push_back(socket);
    return CURL_SOCKOPT_OK;
}

int OpenSockets::on_closing(void* self, curl_socket_t socket) {
    auto& sockets = *static_cast<OpenSockets*>(self);
    {
        const std::lock_guard lock(sockets.mutex_);
        std::erase(sockets.open_, socket);
    }
    return close_socket(handle_of(socket)) == 0 ? 0 : 1;
}

void OpenSockets::abort_upload(std::chrono::milliseconds wait) noexcept {
    std::vector<curl_socket_t> open;
    {
        const std::lock_guard lock(mutex_);
        open = open_;
    }
    if (open.empty()) {
        return;
    }
    shut_sending(handle_of(open.front()));
    if (open.size() < 2) {
        return;  // no data connection yet: the server has nothing of the file
    }
    const SocketHandle data = handle_of(open.back());
    // A server that reads the end of the session during the transfer closes the data
    // connection itself, as a failed transfer; one that does not is left the reset below.
    (void)wait_until_readable(data, wait);
    reset_connection(data);
}

}  // namespace ordano
