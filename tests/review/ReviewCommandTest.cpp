// `ordano-cli review ANSWER` on an office created like `ordano-cli init` creates one.
#include <gtest/gtest.h>

#include <iostream>
#include <sstream>

#include "cli/Cli.h"
#include "fixtures/Sandbox.h"

namespace ordano::test {
namespace {

struct CliRun {
    int status = 0;
    std::string out;
    std::string err;
};

class ReviewCommandTest : public ::testing::Test {
protected:
    CliRun run(std::vector<std::string> args) {
        const PathOptions paths = office.path_options();
        args.insert(args.begin(), {"ordano-cli", "--ini", paths.ini->string(), "--root",
                                   paths.root->string(), "review"});
        std::vector<char*> argv;
        for (auto& arg : args) {
            argv.push_back(arg.data());
        }
        std::ostringstream out, err;
        auto* old_out = std::cout.rdbuf(out.rdbuf());
        auto* old_err = std::cerr.rdbuf(err.rdbuf());
        CliRun result;
        result.status = cli::run(static_cast<int>(argv.size()), argv.data());
        std::cout.rdbuf(old_out);
        std::cerr.rdbuf(old_err);
        result.out = out.str();
        result.err = err.str();
        return result;
    }

    std::filesystem::path saai_receive() const {
        return office.db_file.parent_path() / "recepcion" / "saai";
    }

    Sandbox sandbox;
    TestOffice office{sandbox};
};

TEST_F(ReviewCommandTest, PrintsTheReportAsTheBoxShowsIt) {
    sandbox.write_file(saai_receive() / "m0001234.err", "ARCHIVO RECIBIDO\r\nF1234567ABCDEFGH\r\n");
    const CliRun result = run({"m0001234.err"});
    EXPECT_EQ(result.status, 0) << result.err;
    const std::string prefix = "Programa de Ordano  -  Revisión Archivo: M0001234.ERR  -  ";
    ASSERT_EQ(result.out.substr(0, prefix.size()), prefix);
    const auto header_end = result.out.find("\r\n\r\n");
    ASSERT_NE(header_end, std::string::npos);
    EXPECT_EQ(result.out.substr(header_end + 4),
              "ARCHIVO RECIBIDO\r\n"
              "Pedimento: 1234567    Firma: ABCDEFGH\r\n"
              "\r\n");
}

// The report goes out as it is rendered, in pieces: a long line comes out whole and right.
TEST_F(ReviewCommandTest, ALineLongerThanAnyPieceComesOutWhole) {
    std::string line = "ARCHIVO ";
    std::string expected = "ARCHIVO ";
    for (int i = 0; i < 60000; ++i) {
        line += "caf\xE9 ";  // Windows-1252 in the file, UTF-8 in the report
        expected += "café ";
    }
    sandbox.write_file(saai_receive() / "M0001234.err", line + "\r\n");
    const CliRun result = run({"M0001234.err"});
    EXPECT_EQ(result.status, 0) << result.err;
    const auto header_end = result.out.find("\r\n\r\n");
    ASSERT_NE(header_end, std::string::npos);
    EXPECT_TRUE(result.out.substr(header_end + 4) == expected + "\r\n");
}

TEST_F(ReviewCommandTest, MissingAnswerFailsWithItsPath) {
    const CliRun result = run({"M0009999.err"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err,
              "No se encontró el archivo " + (saai_receive() / "M0009999.err").string() + "\n");
}

TEST_F(ReviewCommandTest, NameIsRequiredAndBare) {
    EXPECT_EQ(run({}).status, 2);
    EXPECT_EQ(run({"a", "b"}).status, 2);
    const CliRun with_folder = run({"recepcion/M0001234.err"});
    EXPECT_EQ(with_folder.status, 2);
    EXPECT_NE(with_folder.err.find("sin carpeta"), std::string::npos);
}

}  // namespace
}  // namespace ordano::test
