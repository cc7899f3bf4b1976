// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace ordano::test {

class PythonProcess;

// The demo validation server (tools/demo-server/demo_server.py under /usr/bin/python3) on a
// free port of 127.0.0.1, answering each upload after `answer_delay` seconds. Started by the
// constructor, stopped (SIGTERM) by the destructor.
class DemoServer {
public:
    DemoServer(const std::filesystem::path& base, int patente, std::string password,
               double answer_delay);
    ~DemoServer();
    DemoServer(const DemoServer&) = delete;
    DemoServer& operator=(const DemoServer&) = delete;

    // "127.0.0.1:<port>".
    [[nodiscard]] std::string address() const;
    // The bytes of a file of the server's tree; nullopt when it is not there.
    [[nodiscard]] std::optional<std::string> file_bytes(std::string_view remote_path) const;
    [[nodiscard]] std::string log() const;

private:
    std::filesystem::path root_;
    std::filesystem::path log_;
    std::unique_ptr<PythonProcess> process_;
    int port_ = 0;
};

}  // namespace ordano::test
