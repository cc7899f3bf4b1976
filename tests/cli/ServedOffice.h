#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cli/CliProcess.h"
#include "fixtures/FtpServer.h"
#include "fixtures/Sandbox.h"

namespace ordano::test {

// An office made as `ordano-cli init` makes one, served by the real FTP test server (its
// account ag0015, with the folders valin, ag0015 and update); ordano-cli runs as a program on
// it.
class ServedOfficeTest : public ::testing::Test {
protected:
    ServedOfficeTest();

    ProcessResult cli(const std::vector<std::string>& args);
    StartedProcess start(const std::vector<std::string>& args);

    // Today's M file number `n` (1 to 9) holding `bytes`, in the SAAI send folder.
    std::string today_file(int n, const std::string& bytes);
    [[nodiscard]] std::filesystem::path send_folder() const;
    [[nodiscard]] std::filesystem::path receive_folder() const;

    Sandbox sandbox;
    FtpServer server;
    TestOffice office;
    int runs = 0;

private:
    [[nodiscard]] std::vector<std::string> program_args(const std::vector<std::string>& args);
    [[nodiscard]] std::filesystem::path next_scratch();
};

}  // namespace ordano::test
