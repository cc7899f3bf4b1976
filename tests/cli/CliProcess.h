// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ordano::test {

// What a program run left: its exit status and everything it wrote.
struct ProcessResult {
    int status = -1;
    std::string out;
    std::string err;
};

// A program started with `input` as its standard input; its outputs are gathered in files of
// `scratch`. finish() waits for its end (the destructor too, after killing it if need be).
class StartedProcess {
public:
    StartedProcess(const std::vector<std::string>& args, const std::string& input,
                   const std::filesystem::path& scratch);
    ~StartedProcess();
    StartedProcess(const StartedProcess&) = delete;
    StartedProcess& operator=(const StartedProcess&) = delete;

    [[nodiscard]] int pid() const { return pid_; }
    void send_signal(int number) const;
    // What it has written to its standard error so far.
    [[nodiscard]] std::string err_so_far() const;
    // From the system's count of its input and output so far (Linux): "rchar" the bytes read,
    // "wchar" those written, sockets included; 0 once it has ended.
    [[nodiscard]] long long io_count(std::string_view key) const;
    // How many sockets it holds open (Linux).
    [[nodiscard]] int open_sockets() const;
    ProcessResult finish();
    // finish() if the program ends within `limit`; std::nullopt (still running) otherwise.
    std::optional<ProcessResult> finish_within(std::chrono::milliseconds limit);

private:
    ProcessResult ended(int wait_status);

    std::filesystem::path scratch_;
    int pid_ = -1;
};

// Runs a program to its end (see StartedProcess).
ProcessResult run_process(const std::vector<std::string>& args, const std::string& input,
                          const std::filesystem::path& scratch);

// The lines of a text, without their line ends.
std::vector<std::string> lines_of(const std::string& text);

}  // namespace ordano::test
