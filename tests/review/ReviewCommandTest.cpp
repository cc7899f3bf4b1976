// SPDX-License-Identifier: Apache-2.0
// `ordano-cli review ANSWER` on an office created like `ordano-cli init` creates one.
#include <gtest/gtest.h>

#include <iostream>
#include <sstream>

#include "cli/Cli.h"
#include "cli/ReportOutput.h"
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

// A line of any length goes out as it is written, not once it has ended: the program takes no
// memory of the line's size (a 50 MB answer line took 212 MB). Cut into pieces, it still reads
// the same: no character and no CR LF is split.
TEST(ReportOutput, ALongLineGoesOutAsItIsWritten) {
    std::string line;
    for (int i = 0; i < 40'000; ++i) {
        line += "año|€|";
    }
    std::ostringstream out;
    auto* old_out = std::cout.rdbuf(out.rdbuf());
    {
        cli::TerminalReport report;
        report.stream() << line;
        EXPECT_GT(out.str().size(), line.size() - 70'000);  // before the line has ended
        report.stream() << "\r\nfin\r\n";
    }
    std::cout.rdbuf(old_out);
    EXPECT_EQ(out.str(), line + "\nfin\n");

    Sandbox box;
    cli::ReportFile file(box.path() / "informe.txt");
    file.stream() << line << "\r\n";
    file.commit();
    std::string bytes;
    for (int i = 0; i < 40'000; ++i) {
        bytes += "a\xF1o|\x80|";
    }
    EXPECT_EQ(Sandbox::read_file(box.path() / "informe.txt"), bytes + "\r\n");
}

// On the terminal each line ends with LF (Windows' text-mode output makes it CR LF there).
TEST_F(ReviewCommandTest, PrintsTheReportAsTheBoxShowsItByNameOrByPath) {
    sandbox.write_file(saai_receive() / "m0001234.err", "ARCHIVO RECIBIDO\r\nF1234567ABCDEFGH\r\n");
    const auto elsewhere = sandbox.path() / "copia" / "m0001234.err";
    sandbox.write_file(elsewhere, "ARCHIVO RECIBIDO\r\nF7654321HGFEDCBA\r\n");

    const CliRun by_name = run({"m0001234.err"});
    const CliRun by_path = run({elsewhere.string()});

    EXPECT_EQ(by_name.status, 0) << by_name.err;
    const std::string prefix = "Programa de Ordano  -  Revisión Archivo: M0001234.ERR  -  ";
    ASSERT_EQ(by_name.out.substr(0, prefix.size()), prefix);
    const auto header_end = by_name.out.find("\n\n");
    ASSERT_NE(header_end, std::string::npos);
    EXPECT_EQ(by_name.out.substr(header_end + 2),
              "ARCHIVO RECIBIDO\n"
              "Pedimento: 1234567    Firma: ABCDEFGH\n"
              "\n");
    EXPECT_EQ(by_name.out.find('\r'), std::string::npos);
    EXPECT_EQ(by_path.status, 0) << by_path.err;
    EXPECT_NE(by_path.out.find("M0001234.ERR"), std::string::npos);
    EXPECT_NE(by_path.out.find("Pedimento: 7654321    Firma: HGFEDCBA\n"), std::string::npos);
}

// --output writes the office's text: Windows-1252, CR LF, nothing on the terminal.
TEST_F(ReviewCommandTest, OutputFileIsWindows1252WithCrLf) {
    sandbox.write_file(saai_receive() / "M0001234.err", "ARCHIVO RECIBIDO\r\nF1234567ABCDEFGH\r\n");
    const auto report = sandbox.path() / "informe.txt";

    const CliRun result = run({"--output", report.string(), "M0001234.err"});

    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "");
    const std::string bytes = Sandbox::read_file(report);
    const std::string title = "Programa de Ordano  -  Revisi\xF3n Archivo: M0001234.ERR";
    EXPECT_EQ(bytes.substr(0, title.size()), title);
    EXPECT_TRUE(
        bytes.ends_with("\r\n\r\nARCHIVO RECIBIDO\r\nPedimento: 1234567    Firma: "
                        "ABCDEFGH\r\n\r\n"))
        << bytes;
}

TEST_F(ReviewCommandTest, MissingAnswerFailsWithItsPathAndWritesNoFile) {
    const auto report = sandbox.path() / "informe.txt";
    const CliRun result = run({"--output=" + report.string(), "M0009999.err"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "ordano-cli review: No se encontró el archivo " +
                              (saai_receive() / "M0009999.err").string() + "\n");
    EXPECT_FALSE(std::filesystem::exists(report));
}

// A report that cannot be written is a local problem (7).
TEST_F(ReviewCommandTest, UnwritableOutputIsALocalProblem) {
    sandbox.write_file(saai_receive() / "M0001234.err", "ARCHIVO RECIBIDO\r\n");
    const auto report = sandbox.path() / "no-existe" / "informe.txt";
    const CliRun result = run({"--output", report.string(), "M0001234.err"});
    EXPECT_EQ(result.status, 7);
    EXPECT_EQ(result.err,
              "ordano-cli review: No se pudo escribir el informe en " + report.string() + "\n");
}

TEST_F(ReviewCommandTest, ANameOfNoAnswerKindFailsWithItsReason) {
    for (const std::string name : {"Z0009999.err", "notas.txt"}) {
        const CliRun result = run({name});
        EXPECT_EQ(result.status, 1) << name;
        EXPECT_EQ(result.out, "") << name;
        EXPECT_NE(result.err.find(name), std::string::npos) << result.err;
    }
}

TEST_F(ReviewCommandTest, OneAnswerIsRequired) {
    EXPECT_EQ(run({}).status, 2);
    EXPECT_EQ(run({"a", "b"}).status, 2);
}

}  // namespace
}  // namespace ordano::test
