// SPDX-License-Identifier: Apache-2.0
#include "cli/CliProcess.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "fixtures/Sandbox.h"

extern char** environ;

namespace ordano::test {
namespace {

// posix_spawn file actions, released however the run ends.
class FileActions {
public:
    FileActions() { ::posix_spawn_file_actions_init(&actions_); }
    ~FileActions() { ::posix_spawn_file_actions_destroy(&actions_); }
    FileActions(const FileActions&) = delete;
    FileActions& operator=(const FileActions&) = delete;

    void open(int fd, const std::filesystem::path& file, int flags) {
        ::posix_spawn_file_actions_addopen(&actions_, fd, file.c_str(), flags, 0644);
    }
    [[nodiscard]] const posix_spawn_file_actions_t* get() const { return &actions_; }

private:
    posix_spawn_file_actions_t actions_{};
};

}  // namespace

StartedProcess::StartedProcess(const std::vector<std::string>& args, const std::string& input,
                               const std::filesystem::path& scratch)
    : scratch_(scratch) {
    std::filesystem::create_directories(scratch);
    const auto in = scratch / "stdin";
    { std::ofstream(in, std::ios::binary) << input; }
    FileActions actions;
    actions.open(0, in, O_RDONLY);
    actions.open(1, scratch / "stdout", O_WRONLY | O_CREAT | O_TRUNC);
    actions.open(2, scratch / "stderr", O_WRONLY | O_CREAT | O_TRUNC);
    std::vector<std::string> owned = args;
    std::vector<char*> argv;
    for (auto& arg : owned) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (::posix_spawn(&pid, argv[0], actions.get(), nullptr, argv.data(), environ) != 0) {
        throw std::runtime_error("cannot start " + args.front());
    }
    pid_ = pid;
}

StartedProcess::~StartedProcess() {
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
}

void StartedProcess::send_signal(int number) const {
    ::kill(pid_, number);
}

std::string StartedProcess::err_so_far() const {
    return Sandbox::read_file(scratch_ / "stderr");
}

long long StartedProcess::io_count(std::string_view key) const {
    std::ifstream io("/proc/" + std::to_string(pid_) + "/io");
    std::string word;
    long long value = 0;
    while (io >> word >> value) {
        if (word.size() == key.size() + 1 && word.starts_with(key) && word.back() == ':') {
            return value;
        }
    }
    return 0;
}

int StartedProcess::open_sockets() const {
    std::error_code ec;
    int sockets = 0;
    for (const auto& fd :
         std::filesystem::directory_iterator("/proc/" + std::to_string(pid_) + "/fd", ec)) {
        sockets += std::filesystem::read_symlink(fd.path(), ec).string().starts_with("socket:");
    }
    return sockets;
}

ProcessResult StartedProcess::finish() {
    int wait_status = 0;
    ::waitpid(pid_, &wait_status, 0);
    return ended(wait_status);
}

std::optional<ProcessResult> StartedProcess::finish_within(std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    do {
        int wait_status = 0;
        if (::waitpid(pid_, &wait_status, WNOHANG) == pid_) {
            return ended(wait_status);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    } while (std::chrono::steady_clock::now() < deadline);
    return std::nullopt;
}

ProcessResult StartedProcess::ended(int wait_status) {
    pid_ = -1;
    ProcessResult result;
    result.status = WIFEXITED(wait_status) ? WEXITSTATUS(wait_status) : -1;
    result.out = Sandbox::read_file(scratch_ / "stdout");
    result.err = Sandbox::read_file(scratch_ / "stderr");
    return result;
}

ProcessResult run_process(const std::vector<std::string>& args, const std::string& input,
                          const std::filesystem::path& scratch) {
    return StartedProcess(args, input, scratch).finish();
}

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        out.push_back(line);
    }
    return out;
}

}  // namespace ordano::test
