// SPDX-License-Identifier: Apache-2.0
#include "ReviewTestSupport.h"

#include <SQLiteCpp/Statement.h>

#include <variant>

#include "office/Schema.h"

namespace ordano::test {
namespace fs = std::filesystem;
using namespace std::chrono;

namespace {

std::string make_folder(const Sandbox& sandbox, const std::string& name) {
    const fs::path folder = sandbox.path() / name;
    fs::create_directories(folder);
    return folder.string();
}

void execute(SQLite::Database& db, const char* sql,
             std::initializer_list<std::variant<int, std::string>> values) {
    SQLite::Statement statement(db, sql);
    int index = 1;
    for (const auto& value : values) {
        std::visit([&](const auto& v) { statement.bind(index++, v); }, value);
    }
    statement.exec();
}

}  // namespace

std::string fixed_line(std::size_t length,
                       std::initializer_list<std::pair<std::size_t, std::string_view>> fields) {
    std::string line(length, ' ');
    for (const auto& [at, text] : fields) {
        line.replace(at - 1, text.size(), text);
    }
    return line.substr(0, length);
}

ReviewTest::ReviewTest()
    : db(":memory:", SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE),
      catalog(db),
      now{2026y / March / 5, 14, 7, 9} {
    create_schema(db);
    folders = {make_folder(sandbox, "saai"), make_folder(sandbox, "cartas"),
               make_folder(sandbox, "pago"), make_folder(sandbox, "sagarpa"),
               make_folder(sandbox, "api"),  make_folder(sandbox, "prof")};
    dialog_val_rec = make_folder(sandbox, "saai-dialogo");
}

void ReviewTest::write_answer(const std::string& folder, const std::string& name,
                              std::string_view bytes) {
    sandbox.write_file(fs::path(folder) / name, bytes);
}

ReviewResult ReviewTest::review(std::string_view name) {
    const ReviewContext context{folders, dialog_val_rec, catalog, now, locale};
    return review_answer(kReviewTitle, name, context);
}

std::string ReviewTest::report(std::string_view name) {
    const ReviewResult result = review(name);
    EXPECT_EQ(result.box, ReviewResult::Box::Report);
    EXPECT_FALSE(result.failure) << result.failure->message;
    return result.body;
}

void ReviewTest::add_error_type(int number, const std::string& name) {
    execute(db, "INSERT OR REPLACE INTO TIPO_ERRORES (NUM_ERROR, TIPO_ERROR) VALUES (?, ?)",
            {number, name});
}

void ReviewTest::add_erroresm(int reg, int campo, int tipo, int num,
                              const std::string& description) {
    execute(db,
            "INSERT INTO ERRORESM (REG, CAMPO, TIPO_ERROR, NUM_ERROR, DESCRIPCION) "
            "VALUES (?, ?, ?, ?, ?)",
            {reg, campo, tipo, num, description});
}

void ReviewTest::add_erroresc(int tipo, int num, const std::string& description) {
    execute(db, "INSERT INTO ERRORESC (TIPO_ERROR, NUM_ERROR, DESCRIPCION) VALUES (?, ?, ?)",
            {tipo, num, description});
}

void ReviewTest::add_erroresd(int campo, const std::string& tipo, const std::string& consecutivo,
                              const std::string& description) {
    execute(db,
            "INSERT INTO ERRORESD (CAMPO, TIPO_ERROR, CONSECUTIVO, DESCRIPCION) "
            "VALUES (?, ?, ?, ?)",
            {campo, tipo, consecutivo, description});
}

void ReviewTest::add_erroresb(int num, const std::string& description) {
    execute(db, "INSERT INTO ERRORESB (NUM_ERROR, DESCRIPCION) VALUES (?, ?)", {num, description});
}

void ReviewTest::add_erroress(int tipo, int codigo, const std::string& description) {
    execute(db, "INSERT INTO ERRORESS (TIPO, CODIGO, DESCRIPCION) VALUES (?, ?, ?)",
            {tipo, codigo, description});
}

void ReviewTest::add_erroresa(int num, const std::string& description) {
    execute(db, "INSERT INTO ERRORESA (NUM_ERROR, DESCRIPCION) VALUES (?, ?)", {num, description});
}

}  // namespace ordano::test
