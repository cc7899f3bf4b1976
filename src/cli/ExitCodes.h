// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <span>
#include <string_view>

namespace ordano::cli {

// ordano-cli's exit statuses, by cause, so that a script can tell one failure from another.
namespace exit_code {
inline constexpr int kSuccess = 0;
inline constexpr int kFailure = 1;         // any other failure
inline constexpr int kUsage = 2;           // the command line itself is wrong
inline constexpr int kUnreachable = 3;     // the server or its data connection cannot be reached
inline constexpr int kRefused = 4;         // login, encryption or a password refused
inline constexpr int kTransferFailed = 5;  // a transfer failed or broke (1003, 1000, 1002, 1040)
inline constexpr int kAnswersMissing = 6;  // --wait ended with answers still missing
inline constexpr int kLocalProblem = 7;    // settings, database, a file or folder here
inline constexpr int kOfficeBusy = 8;      // another Ordano holds the office
inline constexpr int kInterrupted = 130;   // stopped by SIGINT (Ctrl+C)
inline constexpr int kTerminated = 143;    // stopped by SIGTERM
}  // namespace exit_code

struct ExitCodeRow {
    int code;
    std::string_view meaning;
};

// Every status with what it means, in the order the help and the README list them.
[[nodiscard]] std::span<const ExitCodeRow> exit_code_table();
[[nodiscard]] std::string_view exit_code_meaning(int code);

// The status a failure numbered as the program numbers them stands for: the FTP numbers
// (1000-1036) and the local file numbers (61 disk full, 68 missing, 70 no access).
[[nodiscard]] int exit_code_for_number(int number);

// When files fail for different causes the command ends with the most telling one: first what
// a person must mend before anything can work (the office held, a refusal, a local problem),
// then what may pass by itself (the server unreachable, a transfer failed, answers missing),
// then any other failure.
[[nodiscard]] int more_telling(int a, int b);
// The failure statuses from the most telling down.
[[nodiscard]] std::span<const int> exit_code_precedence();

// Gathers the causes met by a command; code() is the most telling of them (0 when none).
class ExitCause {
public:
    void add(int code) { code_ = more_telling(code_, code); }
    void add_number(int number) { add(exit_code_for_number(number)); }
    [[nodiscard]] int code() const { return code_; }

private:
    int code_ = exit_code::kSuccess;
};

}  // namespace ordano::cli
