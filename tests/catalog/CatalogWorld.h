// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <chrono>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "base/DateTime.h"
#include "catalog/PackageBuilder.h"
#include "fixtures/FtpServer.h"
#include "fixtures/Sandbox.h"
#include "fixtures/ScriptedUi.h"
#include "office/Office.h"

namespace ordano::test {

// Today in every catalogue test: 7 December 2026.
inline constexpr std::chrono::year_month_day kToday{std::chrono::year{2026}, std::chrono::December,
                                                    std::chrono::day{7}};

// An office on the real FTP server fixture: its host is the server, its update folder "/update".
struct CatalogWorld {
    explicit CatalogWorld(FtpServerOptions server_options = {});

    // Puts a file into the server's update folder.
    void publish(const std::string& name, std::string_view bytes) const;
    // Reopens the office (start-up again), e.g. after the database file was changed behind it.
    void reopen();

    [[nodiscard]] std::string db_bytes() const;
    [[nodiscard]] long long count(const std::string& table) const;
    [[nodiscard]] std::vector<std::string> column_texts(const std::string& sql) const;
    [[nodiscard]] std::set<std::string> drive_root_files() const;

    Sandbox box;
    FtpServer server;
    TestOffice files;
    FixedClock clock{LocalDateTime{kToday, 10, 0, 0}};
    std::unique_ptr<Office> office;
    ScriptedUi ui;
};

// A line of fields, each scrambled with scramble and ended by "|" (Windows-1252 bytes).
[[nodiscard]] std::string scrambled_line(const std::vector<std::string>& fields);

}  // namespace ordano::test
