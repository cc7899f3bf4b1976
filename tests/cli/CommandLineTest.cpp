// SPDX-License-Identifier: Apache-2.0
// ordano-cli's help, version and reading of its command line; the program run as such.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <regex>

#include "cli/CliProcess.h"
#include "cli/CommandTable.h"
#include "fixtures/Sandbox.h"

namespace ordano::test {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

class CommandLineTest : public ::testing::Test {
protected:
    ProcessResult cli(std::vector<std::string> args) {
        args.insert(args.begin(), ORDANO_CLI_PROGRAM);
        return run_process(args, "", sandbox.path() / ("run" + std::to_string(++runs)));
    }

    Sandbox sandbox;
    int runs = 0;
};

TEST_F(CommandLineTest, HelpAndVersionGoToStandardOutputWithZero) {
    const auto general = cli({"--help"});
    EXPECT_EQ(general.status, 0);
    EXPECT_EQ(general.err, "");
    for (const auto& command : cli::commands()) {
        EXPECT_THAT(general.out, HasSubstr("\n  " + std::string(command.name) + " "));
    }
    EXPECT_THAT(general.out, HasSubstr("\n  6     terminó la espera de --wait"));
    EXPECT_EQ(cli({"-h"}).out, general.out);
    EXPECT_EQ(cli({"help"}).out, general.out);

    for (const auto& command : cli::commands()) {
        const auto help = cli({std::string(command.name), "--help"});
        EXPECT_EQ(help.status, 0) << command.name;
        EXPECT_THAT(help.out, StartsWith("Uso: ordano-cli " + std::string(command.name)));
        for (const auto& option : command.options) {
            EXPECT_THAT(help.out, HasSubstr(std::string(option.name))) << command.name;
        }
        EXPECT_EQ(cli({"help", std::string(command.name)}).out, help.out);
    }

    const auto version = cli({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(std::regex_match(version.out,
                                 std::regex("ordano-cli [0-9]+\\.[0-9]+\\.[0-9]+\nQt 6\\.[0-9.]+\n"
                                            "libcurl [0-9.]+.*\nSQLite 3\\.[0-9.]+\n")))
        << version.out;
}

// A command line that reads well goes on to open the office, which is not there: 7, not 2.
TEST_F(CommandLineTest, ConventionalOptionsAndUsageErrors) {
    const std::string ini = (sandbox.path() / "no-existe.ini").string();
    EXPECT_EQ(cli({"--ini=" + ini, "send", "--wait=5", "M0015001.001"}).status, 7);
    EXPECT_EQ(cli({"send", "--ini", ini, "--wait", "5", "--", "M0015001.001"}).status, 7);
    EXPECT_EQ(cli({"--ini", ini, "review", "-o", "x.txt", "--", "-x/M0015001.err"}).status, 7);

    const std::vector<std::pair<std::vector<std::string>, std::string>> wrong{
        {{"enviar"}, "ordano-cli: orden desconocida: enviar\n"},
        {{}, "ordano-cli: falta la orden\n"},
        {{"send", "--tarde", "M0015001.001"}, "ordano-cli send: opción desconocida: --tarde\n"},
        {{"send", "M0015001.001", "--wait"}, "ordano-cli send: falta el valor de --wait"},
        {{"send", "--wait", "--yes", "M0015001.001"}, "ordano-cli send: falta el valor de --wait"},
        {{"send", "--yes=1", "M0015001.001"}, "ordano-cli send: la opción --yes no lleva valor\n"},
        {{"-q", "-v", "send", "M0015001.001"}, "ordano-cli: -q y -v no van juntas\n"},
        {{"update-catalog", "de-mas"}, "ordano-cli update-catalog: argumento de más: de-mas\n"},
        {{"help", "enviar"}, "ordano-cli help: orden desconocida: enviar\n"},
    };
    for (const auto& [args, error] : wrong) {
        const auto run = cli(args);
        EXPECT_EQ(run.status, 2) << error;
        EXPECT_THAT(run.err, StartsWith(error));
        EXPECT_THAT(run.err, HasSubstr("--help"));
        EXPECT_EQ(run.out, "");
    }
}

}  // namespace
}  // namespace ordano::test
