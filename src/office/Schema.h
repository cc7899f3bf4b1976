// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <filesystem>
#include <string>

namespace SQLite {
class Database;
}

namespace ordano {

struct OfficeSetup {
    int patente = 0;
    std::string agente;
    std::string host;          // server address for every link type ("address" or "address:port")
    std::string ftp_password;  // the office account's FTP password, stored scrambled
    bool tls = false;          // every session with the server encrypted (TLS)
    std::string tls_ca;        // certificate file of the authorities to trust; empty: the system's
    std::filesystem::path folders_root;  // send and receive folders are created under it
};

// Creates every table of the local database (parameters, scheduled changes, catalogue),
// the error-type names and the catalogue's lookup indexes.
void create_schema(SQLite::Database& db);
// The indexes that serve the catalogue lookups, for each catalogue table there is; an index
// of an earlier form is replaced. Run by `init`, at start-up and after a catalogue
// installation.
void create_catalog_indexes(SQLite::Database& db);

// A new office database at `file` with one parameters row; refuses (StartupError) to
// overwrite an existing file. Creates the eight send/receive folders.
void create_office_database(const std::filesystem::path& file, const OfficeSetup& setup);

}  // namespace ordano
