// SPDX-License-Identifier: Apache-2.0
#include "cli/ServedOffice.h"

#include "base/DateTime.h"

namespace ordano::test {
namespace {

OfficeSetup served_by(const TestFtpServer& server, bool tls) {
    OfficeSetup setup = TestOffice::default_setup();
    setup.host = server.address();
    setup.tls = tls;
    if (tls) {
        setup.tls_ca = server.authority_file().string();
    }
    return setup;
}

// The folder name under envio/ and recepcion/ of a kind of file.
const char* kind_folder(char kind) {
    switch (kind) {
        case 'E':
            return "pago";
        case 'S':
            return "sagarpa";
        default:
            return "saai";
    }
}

}  // namespace

ServedOffice::ServedOffice(Sandbox& sandbox, const TestFtpServer& server, Options options)
    : ServedOffice(sandbox, served_by(server, options.tls), std::move(options.command_prefix)) {
    for (const char* folder : {"valin", "ag0015", "update"}) {
        server.make_folder(folder);
    }
}

ServedOffice::ServedOffice(Sandbox& sandbox, OfficeSetup setup,
                           std::vector<std::string> command_prefix)
    : office(sandbox, std::move(setup)),
      sandbox_(sandbox),
      command_prefix_(std::move(command_prefix)) {}

std::vector<std::string> ServedOffice::program_args(const std::vector<std::string>& args) {
    std::vector<std::string> all = command_prefix_;
    for (const auto& word :
         {std::string(ORDANO_CLI_PROGRAM), std::string("--ini"), office.ini_file.string(),
          std::string("--root"), office.drive_root.string()}) {
        all.push_back(word);
    }
    all.insert(all.end(), args.begin(), args.end());
    return all;
}

std::filesystem::path ServedOffice::next_scratch() {
    return sandbox_.path() / ("run" + std::to_string(++runs_));
}

ProcessResult ServedOffice::cli(const std::vector<std::string>& args, const std::string& input) {
    return run_process(program_args(args), input, next_scratch());
}

StartedProcess ServedOffice::start(const std::vector<std::string>& args, const std::string& input) {
    return StartedProcess(program_args(args), input, next_scratch());
}

std::vector<std::string> ServedOffice::read_with_python(const char* script,
                                                        const std::string& text) {
    const auto read = run_process({"/usr/bin/python3", "-c", script}, text, next_scratch());
    EXPECT_EQ(read.status, 0) << read.err << text;
    return lines_of(read.out);
}

std::string ServedOffice::julian() {
    std::string julian = std::to_string(day_of_year(SystemClock().today()));
    julian.insert(0, 3 - julian.size(), '0');
    return julian;
}

std::string ServedOffice::today_file(int n, const std::string& bytes, char kind) {
    const std::string name = std::string(1, kind) + "001500" + std::to_string(n) + "." + julian();
    sandbox_.write_file(send_folder(kind) / name, bytes);
    return name;
}

std::filesystem::path ServedOffice::send_folder(char kind) const {
    return office.db_file.parent_path() / "envio" / kind_folder(kind);
}

std::filesystem::path ServedOffice::receive_folder(char kind) const {
    return office.db_file.parent_path() / "recepcion" / kind_folder(kind);
}

}  // namespace ordano::test
