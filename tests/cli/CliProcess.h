#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace ordano::test {

// What a program run left: its exit status and everything it wrote.
struct ProcessResult {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs a program to its end with `input` as its standard input; the outputs are gathered in
// files of `scratch`.
ProcessResult run_process(const std::vector<std::string>& args, const std::string& input,
                          const std::filesystem::path& scratch);

// A program started in the background, its outputs gathered like run_process's. Ended by
// kill() or with the object (SIGKILL, as a crash or the task manager ends a program).
class BackgroundProcess {
public:
    BackgroundProcess(const std::vector<std::string>& args, const std::filesystem::path& scratch);
    ~BackgroundProcess() { kill(); }
    BackgroundProcess(const BackgroundProcess&) = delete;
    BackgroundProcess& operator=(const BackgroundProcess&) = delete;

    [[nodiscard]] int pid() const { return pid_; }
    void kill();

private:
    int pid_ = -1;
};

// The lines of a text, without their line ends.
std::vector<std::string> lines_of(const std::string& text);

}  // namespace ordano::test
