// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cli/CliProcess.h"
#include "fixtures/FtpServer.h"
#include "fixtures/Sandbox.h"

namespace ordano::test {

// An office made as `ordano-cli init` makes one, served by a test FTP server (its account
// ag0015, with the folders valin, ag0015 and update) or by any server at `setup.host`;
// ordano-cli runs as a program on it.
class ServedOffice {
public:
    struct Options {
        bool tls = false;  // encrypted sessions, trusting the server's own authority
        // Words put before ordano-cli, e.g. {"/usr/bin/nsenter", "--net=/proc/7/ns/net"}.
        std::vector<std::string> command_prefix{};
    };

    ServedOffice(Sandbox& sandbox, const TestFtpServer& server, Options options);
    // An office of `setup` whose server lays out its own folders (the demo server).
    ServedOffice(Sandbox& sandbox, OfficeSetup setup, std::vector<std::string> command_prefix = {});

    ProcessResult cli(const std::vector<std::string>& args, const std::string& input = "");
    StartedProcess start(const std::vector<std::string>& args, const std::string& input = "");
    // The lines a Python script prints reading `text` on its standard input: what a program
    // reading a command's output takes from it. A script that fails fails the test.
    std::vector<std::string> read_with_python(const char* script, const std::string& text);

    // Today's file of a kind ('M', 'C', 'E', 'S'...) and number `n` (1 to 9) holding `bytes`,
    // in the send folder of its kind, e.g. M0015001.<julian>.
    std::string today_file(int n, const std::string& bytes, char kind = 'M');
    [[nodiscard]] std::filesystem::path send_folder(char kind = 'M') const;
    // Today's julian day as today's file names end: "033".
    [[nodiscard]] static std::string julian();
    [[nodiscard]] std::filesystem::path receive_folder(char kind = 'M') const;

    TestOffice office;

private:
    [[nodiscard]] std::vector<std::string> program_args(const std::vector<std::string>& args);
    [[nodiscard]] std::filesystem::path next_scratch();

    Sandbox& sandbox_;
    std::vector<std::string> command_prefix_;
    int runs_ = 0;
};

// A ServedOffice on the project's own test server.
class ServedOfficeTest : public ::testing::Test {
protected:
    ServedOfficeTest() : served_(sandbox, server, {}) {}

    ProcessResult cli(const std::vector<std::string>& args, const std::string& input = "") {
        return served_.cli(args, input);
    }
    StartedProcess start(const std::vector<std::string>& args) { return served_.start(args); }
    std::vector<std::string> read_with_python(const char* script, const std::string& text) {
        return served_.read_with_python(script, text);
    }
    std::string today_file(int n, const std::string& bytes, char kind = 'M') {
        return served_.today_file(n, bytes, kind);
    }
    [[nodiscard]] std::filesystem::path send_folder() const { return served_.send_folder(); }
    [[nodiscard]] std::filesystem::path receive_folder() const { return served_.receive_folder(); }
    [[nodiscard]] static std::string julian() { return ServedOffice::julian(); }

    Sandbox sandbox;
    FtpServer server;
    ServedOffice served_;
    TestOffice& office = served_.office;
};

}  // namespace ordano::test
