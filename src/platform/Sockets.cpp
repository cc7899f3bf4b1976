// SPDX-License-Identifier: Apache-2.0
#include "platform/Sockets.h"

#ifdef _WIN32
#include <winsock2.h>
#else
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace ordano {

#ifdef _WIN32

namespace {
SOCKET native(SocketHandle socket) {
    return static_cast<SOCKET>(socket);
}
}  // namespace

void shut_sending(SocketHandle socket) noexcept {
    (void)::shutdown(native(socket), SD_SEND);
}

void reset_connection(SocketHandle socket) noexcept {
    const LINGER linger{1, 0};
    (void)::setsockopt(native(socket), SOL_SOCKET, SO_LINGER,
                       reinterpret_cast<const char*>(&linger), sizeof linger);
}

bool wait_until_readable(SocketHandle socket, std::chrono::milliseconds limit) noexcept {
    WSAPOLLFD watched{native(socket), POLLRDNORM, 0};
    return ::WSAPoll(&watched, 1, static_cast<INT>(limit.count())) > 0;
}

int close_socket(SocketHandle socket) noexcept {
    return ::closesocket(native(socket));
}

#else

namespace {
int native(SocketHandle socket) {
    return static_cast<int>(socket);
}
}  // namespace

void shut_sending(SocketHandle socket) noexcept {
    (void)::shutdown(native(socket), SHUT_WR);
}

void reset_connection(SocketHandle socket) noexcept {
    const linger option{1, 0};
    (void)::setsockopt(native(socket), SOL_SOCKET, SO_LINGER, &option, sizeof option);
    // Putting a fresh socket in its place closes the connection now, with the reset above,
    // and leaves the descriptor open for its owner to close.
    const int placeholder = ::socket(AF_INET, SOCK_STREAM, 0);
    if (placeholder >= 0) {
        (void)::dup2(placeholder, native(socket));
        (void)::close(placeholder);
    }
}

bool wait_until_readable(SocketHandle socket, std::chrono::milliseconds limit) noexcept {
    pollfd watched{native(socket), POLLIN, 0};
    return ::poll(&watched, 1, static_cast<int>(limit.count())) > 0;
}

int close_socket(SocketHandle socket) noexcept {
    return ::close(native(socket));
}

#endif

}  // namespace ordano
