#include "cli/ServedOffice.h"

#include "store/DateTime.h"

namespace ordano::test {
namespace {

OfficeSetup served_by(const FtpServer& server) {
    OfficeSetup setup = TestOffice::default_setup();
    setup.host = server.address();
    return setup;
}

}  // namespace

ServedOfficeTest::ServedOfficeTest() : office(sandbox, served_by(server)) {
    for (const char* folder : {"valin", "ag0015", "update"}) {
        server.make_folder(folder);
    }
}

std::vector<std::string> ServedOfficeTest::program_args(const std::vector<std::string>& args) {
    std::vector<std::string> all{ORDANO_CLI_PROGRAM, "--ini", office.ini_file.string(), "--root",
                                 office.drive_root.string()};
    all.insert(all.end(), args.begin(), args.end());
    return all;
}

std::filesystem::path ServedOfficeTest::next_scratch() {
    return sandbox.path() / ("run" + std::to_string(++runs));
}

ProcessResult ServedOfficeTest::cli(const std::vector<std::string>& args) {
    return run_process(program_args(args), "", next_scratch());
}

StartedProcess ServedOfficeTest::start(const std::vector<std::string>& args) {
    return StartedProcess(program_args(args), "", next_scratch());
}

std::string ServedOfficeTest::today_file(int n, const std::string& bytes) {
    std::string julian = std::to_string(Dia_Juliano(SystemClock().today()));
    julian.insert(0, 3 - julian.size(), '0');
    const std::string name = "M001500" + std::to_string(n) + "." + julian;
    sandbox.write_file(send_folder() / name, bytes);
    return name;
}

std::filesystem::path ServedOfficeTest::send_folder() const {
    return office.db_file.parent_path() / "envio" / "saai";
}

std::filesystem::path ServedOfficeTest::receive_folder() const {
    return office.db_file.parent_path() / "recepcion" / "saai";
}

}  // namespace ordano::test
