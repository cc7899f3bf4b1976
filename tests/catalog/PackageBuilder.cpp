// SPDX-License-Identifier: Apache-2.0
#include "catalog/PackageBuilder.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>
#include <SQLiteCpp/Transaction.h>
#include <zlib.h>

#include <array>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace ordano::test {
namespace {

struct TableShape {
    const char* name;
    const char* create;
    // ?1 = n, ?2 = description
    const char* insert;
};

// Row n: ERRORESM type 1 + n % 9, number n, record 500, field n % 40; ERRORESC number n;
// ERRORESD type "A" + n % 10, consecutive n in three digits, field 0; ERRORESB/A number n;
// ERRORESS type 1, code n; INFORMACION code n.
constexpr std::array<TableShape, 7> kShapes = {{
    {"ERRORESM",
     "CREATE TABLE ERRORESM (NUMERO INTEGER, REG INTEGER, CAMPO INTEGER, TIPO_ERROR INTEGER, "
     "NUM_ERROR INTEGER, DESCRIPCION TEXT)",
     "INSERT INTO ERRORESM VALUES (?1, 500, ?1 % 40, 1 + ?1 % 9, ?1, ?2)"},
    {"ERRORESB", "CREATE TABLE ERRORESB (NUM_ERROR INTEGER, DESCRIPCION TEXT)",
     "INSERT INTO ERRORESB VALUES (?1, ?2)"},
    {"ERRORESS",
     "CREATE TABLE ERRORESS (NUMERO INTEGER, TIPO INTEGER, CODIGO INTEGER, DESCRIPCION TEXT)",
     "INSERT INTO ERRORESS VALUES (?1, 1, ?1, ?2)"},
    {"ERRORESA", "CREATE TABLE ERRORESA (NUM_ERROR INTEGER, DESCRIPCION TEXT)",
     "INSERT INTO ERRORESA VALUES (?1, ?2)"},
    {"ERRORESC",
     "CREATE TABLE ERRORESC (TIPO_ERROR INTEGER, NUM_ERROR INTEGER, DESCRIPCION TEXT, "
     "SOLUCION TEXT)",
     "INSERT INTO ERRORESC VALUES (1 + ?1 % 3, ?1, ?2, NULL)"},
    {"ERRORESD",
     "CREATE TABLE ERRORESD (REG INTEGER, CAMPO INTEGER, TIPO_ERROR TEXT, CONSECUTIVO TEXT, "
     "DESCRIPCION TEXT, SOLUCION TEXT)",
     "INSERT INTO ERRORESD VALUES (500, 0, 'A' || (?1 % 10), printf('%03d', ?1), ?2, NULL)"},
    {"INFORMACION", "CREATE TABLE INFORMACION (CODIGO INTEGER, TEXTO TEXT)",
     "INSERT INTO INFORMACION VALUES (?1, ?2)"},
}};

std::string read_bytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

}  // namespace

std::string package_description(const PackageContents& contents, std::string_view table, int n) {
    return contents.tag + " " + std::string(table) + " " + std::to_string(n);
}

void make_package_database(const std::filesystem::path& file, const PackageContents& contents) {
    std::filesystem::remove(file);
    SQLite::Database db(file.string(), SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
    SQLite::Transaction transaction(db);
    for (const auto& shape : kShapes) {
        if (contents.leave_out.count(shape.name) != 0) {
            continue;
        }
        db.exec(shape.create);
        SQLite::Statement insert(db, shape.insert);
        for (int n = 1; n <= contents.rows; ++n) {
            insert.bind(1, n);
            insert.bind(2, package_description(contents, shape.name, n));
            insert.exec();
            insert.reset();
        }
    }
    for (const auto& sql : contents.alter) {
        db.exec(sql);
    }
    transaction.commit();
}

std::string compress_bytes(std::string_view bytes) {
    uLongf size = compressBound(static_cast<uLong>(bytes.size()));
    std::string out(size, '\0');
    if (compress2(reinterpret_cast<Bytef*>(out.data()), &size,
                  reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uLong>(bytes.size()),
                  Z_DEFAULT_COMPRESSION) != Z_OK) {
        throw std::runtime_error("compress2 failed");
    }
    out.resize(size);
    return out;
}

std::string make_package(const std::filesystem::path& scratch_folder,
                         const PackageContents& contents) {
    const auto file = scratch_folder / "package-build.db";
    make_package_database(file, contents);
    auto bytes = compress_bytes(read_bytes(file));
    std::filesystem::remove(file);
    return bytes;
}

}  // namespace ordano::test
