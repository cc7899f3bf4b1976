// SPDX-License-Identifier: Apache-2.0
// Every command's --json stays one valid UTF-8 JSON text whatever the names and texts it
// carries hold: quotes, backslashes, control characters, bytes that are not UTF-8.
#include <SQLiteCpp/Database.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "cli/ServedOffice.h"

namespace ordano::test {
namespace {

using ::testing::Contains;

// Reads standard output strictly as UTF-8, as one JSON document or as JSON lines, and prints
// every text value in it, escaped as ASCII JSON: a program reading the document sees these.
constexpr const char* kTexts = R"py(
import json, sys
raw = sys.stdin.buffer.read().decode("utf-8")
try:
    documents = [json.loads(raw)]
except ValueError:
    documents = [json.loads(line) for line in raw.splitlines() if line]
def walk(value):
    if isinstance(value, str):
        print(json.dumps(value))
    for item in value.values() if isinstance(value, dict) else value if isinstance(value, list) else []:
        walk(item)
for document in documents:
    walk(document)
)py";

class JsonOutputTest : public ServedOfficeTest {
protected:
    // The texts of what a command printed; the command's own status is not the point.
    std::vector<std::string> texts(const std::vector<std::string>& args) {
        SCOPED_TRACE(args.front());
        return read_with_python(kTexts, cli(args).out);
    }
};

// A quote, a control character and the byte 0xFF (ÿ in the office's Windows-1252).
TEST_F(JsonOutputTest, OddBytesRoundTripThroughEveryCommand) {
    const std::string odd = "M0015\"\x01\xff.";
    const std::string expected = R"("M0015\"\u0001\u00ff.)";
    for (const char* command : {"send", "receive"}) {
        EXPECT_THAT(texts({command, "--json", odd + "033"}), Contains(expected + "033\""))
            << command;
    }

    SQLite::Database db(office.db_file.string(), SQLite::OPEN_READWRITE);
    db.exec(
        "INSERT INTO BITACORA (archivo, tipo, estado, esperando, momento, espera_desde) "
        "VALUES ('M0015\\x.033', 'M', 'esperando', 1, '2026-02-02T09:00:00', "
        "'2026-02-02T09:00:00')");
    db.exec("UPDATE BITACORA SET archivo = archivo || char(9) || CAST(X'FF22' AS TEXT)");
    for (const char* command : {"history", "pending"}) {
        EXPECT_THAT(texts({command, "--json"}), Contains(R"("M0015\\x.033\t\u00ff\"")")) << command;
    }

    // A name an FTP path can carry (libcurl refuses control characters in one).
    sandbox.write_file(send_folder() / ("M0015\"\xff." + julian()), "501|1|\r\n");
    EXPECT_THAT(texts({"watch", "--once", "--interval", "1", "--json"}),
                Contains(R"("M0015\"\u00ff.)" + julian() + "\""));

    server.put_file("update/revact.txt", "\"\\\x01\xff\r\n");
    const auto update = texts({"update-catalog", "--json"});
    EXPECT_TRUE(std::ranges::any_of(update, [](const std::string& text) {
        return text.find(R"(\"\\\u0001\u00ff)") != std::string::npos;
    })) << ::testing::PrintToString(update);
}

}  // namespace
}  // namespace ordano::test
