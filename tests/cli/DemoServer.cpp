// SPDX-License-Identifier: Apache-2.0
#include "cli/DemoServer.h"

#include <chrono>
#include <stdexcept>
#include <vector>

#include "fixtures/FtpServer.h"
#include "fixtures/PythonProcess.h"
#include "fixtures/Sandbox.h"

namespace ordano::test {

DemoServer::DemoServer(const std::filesystem::path& base, int patente, std::string password,
                       double answer_delay)
    : root_(base / "ftp"), log_(base / "server.log") {
    std::filesystem::create_directories(base);
    const auto port_file = base / "port";
    std::vector<std::string> args{ORDANO_DEMO_SERVER,
                                  "--root",
                                  python_path(root_),
                                  "--port",
                                  "0",
                                  "--port-file",
                                  python_path(port_file),
                                  "--patente",
                                  std::to_string(patente),
                                  "--password",
                                  std::move(password),
                                  "--answer-delay",
                                  std::to_string(answer_delay),
                                  "--log",
                                  python_path(log_)};
    process_ = std::make_unique<PythonProcess>(args);
    bool exited = false;
    FtpServer::wait_for(
        [&] {
            exited = process_->exited();
            std::error_code ec;
            return exited || (std::filesystem::file_size(port_file, ec) > 0 && !ec);
        },
        std::chrono::seconds(15));
    if (exited || !std::filesystem::exists(port_file)) {
        throw std::runtime_error("the demo server did not start; see " + log_.string());
    }
    port_ = std::stoi(Sandbox::read_file(port_file));
}

DemoServer::~DemoServer() = default;

std::string DemoServer::address() const {
    return "127.0.0.1:" + std::to_string(port_);
}

std::optional<std::string> DemoServer::file_bytes(std::string_view remote_path) const {
    const auto file = root_ / std::filesystem::path(remote_path).relative_path();
    if (!std::filesystem::is_regular_file(file)) {
        return std::nullopt;
    }
    return Sandbox::read_file(file);
}

std::string DemoServer::log() const {
    return std::filesystem::exists(log_) ? Sandbox::read_file(log_) : std::string();
}

}  // namespace ordano::test
