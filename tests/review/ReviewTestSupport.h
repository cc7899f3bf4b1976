// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <gtest/gtest.h>

#include <SQLiteCpp/Database.h>

#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

#include "fixtures/Sandbox.h"
#include "office/Catalog.h"
#include "review/AnswerReview.h"

namespace ordano::test {

// A line of `length` blanks with texts placed at 1-based positions, for fixed-layout records.
std::string fixed_line(std::size_t length,
                       std::initializer_list<std::pair<std::size_t, std::string_view>> fields);

// Receive folders in a sandbox, a catalogue in a database built by create_schema, and a
// pinned clock (5 March 2026, 14:07:09) with the office's es-MX forms.
class ReviewTest : public ::testing::Test {
protected:
    ReviewTest();

    // Writes an answer file (raw bytes) into one of the receive folders.
    void write_answer(const std::string& folder, const std::string& name, std::string_view bytes);
    [[nodiscard]] ReviewResult review(std::string_view name);
    // The report of a file that reads without failure, header left out.
    [[nodiscard]] std::string report(std::string_view name);

    void add_error_type(int number, const std::string& name);
    void add_erroresm(int reg, int campo, int tipo, int num, const std::string& description);
    void add_erroresc(int tipo, int num, const std::string& description);
    void add_erroresd(int campo, const std::string& tipo, const std::string& consecutivo,
                      const std::string& description);
    void add_erroresb(int num, const std::string& description);
    void add_erroress(int tipo, int codigo, const std::string& description);
    void add_erroresa(int num, const std::string& description);

    Sandbox sandbox;
    SQLite::Database db;
    Catalog catalog;
    ReceiveFolders folders;
    std::string dialog_val_rec;
    LocalDateTime now;
    LocaleFormats locale;
};

}  // namespace ordano::test
