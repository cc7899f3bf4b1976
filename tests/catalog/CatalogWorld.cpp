// SPDX-License-Identifier: Apache-2.0
#include "catalog/CatalogWorld.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>

#include "base/Encoding.h"
#include "base/Scramble.h"

namespace ordano::test {
namespace {

OfficeSetup setup_for(const FtpServer& server) {
    OfficeSetup setup = TestOffice::default_setup();
    setup.host = server.address();
    return setup;
}

}  // namespace

CatalogWorld::CatalogWorld(FtpServerOptions server_options)
    : server(std::move(server_options)), files(box, setup_for(server)) {
    server.make_folder("update");
    reopen();
}

void CatalogWorld::reopen() {
    office.reset();
    office = Office::open(files.path_options(), clock);
}

void CatalogWorld::publish(const std::string& name, std::string_view bytes) const {
    server.put_file("update/" + name, bytes);
}

std::string CatalogWorld::db_bytes() const {
    return Sandbox::read_file(files.db_file);
}

long long CatalogWorld::count(const std::string& table) const {
    return office->db().execAndGet("SELECT count(*) FROM " + table).getInt64();
}

std::vector<std::string> CatalogWorld::column_texts(const std::string& sql) const {
    SQLite::Statement query(office->db(), sql);
    std::vector<std::string> out;
    while (query.executeStep()) {
        out.push_back(query.getColumn(0).getString());
    }
    return out;
}

std::set<std::string> CatalogWorld::drive_root_files() const {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(files.drive_root)) {
        if (entry.is_regular_file()) {
            names.insert(entry.path().filename().string());
        }
    }
    return names;
}

std::string scrambled_line(const std::vector<std::string>& fields) {
    std::string line;
    for (const auto& field : fields) {
        line += text::utf8_to_cp1252(scramble(field)) + "|";
    }
    return line;
}

}  // namespace ordano::test
