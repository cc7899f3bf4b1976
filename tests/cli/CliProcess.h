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

// A program started with `input` as its standard input, its outputs gathered in files of
// `scratch`; killed and reaped by the destructor if nobody waited for it.
class ChildProcess {
public:
    ChildProcess(const std::vector<std::string>& args, const std::string& input,
                 const std::filesystem::path& scratch);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Ends it as a power cut would: SIGKILL, no chance to tidy up.
    void kill_hard();
    // Waits for its end.
    ProcessResult wait();

private:
    std::filesystem::path scratch_;
    int pid_ = -1;
};

// Runs a program to its end with `input` as its standard input; the outputs are gathered in
// files of `scratch`.
ProcessResult run_process(const std::vector<std::string>& args, const std::string& input,
                          const std::filesystem::path& scratch);

// The lines of a text, without their line ends.
std::vector<std::string> lines_of(const std::string& text);

}  // namespace ordano::test
