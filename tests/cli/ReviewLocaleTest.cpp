// SPDX-License-Identifier: Apache-2.0
// ordano-cli review takes the date order, the a.m./p.m. designators and the digit grouping from
// the system locale, as the window does; the office's es-MX forms where the system has none.
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "cli/CliProcess.h"
#include "fixtures/Sandbox.h"

namespace ordano::test {
namespace {

// Generates the locale with Debian's `locales` when the system lacks it.
void ensure_locale(const std::string& name, const std::string& listed_as,
                   const std::filesystem::path& scratch) {
    const ProcessResult listed = run_process({"/usr/bin/locale", "-a"}, "", scratch / "list");
    if (listed.out.find(listed_as) != std::string::npos) {
        return;
    }
    const ProcessResult made = run_process(
        {"/usr/bin/localedef", "-i", "de_DE", "-f", "UTF-8", name}, "", scratch / "make");
    ASSERT_EQ(made.status, 0) << "localedef " << name << ": " << made.err;
}

class ReviewLocaleTest : public ::testing::Test {
protected:
    ReviewLocaleTest() {
        // An accepted "P" line: pedimento, signature, then the amount at positions 31-40.
        sandbox.write_file(office.db_file.parent_path() / "recepcion" / "api" / "P3912001.065",
                           "F1234567FIRMA001              0000012345|R|N|D|D|C|X|\r\n");
    }

    ProcessResult review_under(const std::string& lc_all) {
        return run_process({"/usr/bin/env", "LC_ALL=" + lc_all, ORDANO_CLI_PROGRAM, "--ini",
                            office.ini_file.string(), "--root", office.drive_root.string(),
                            "review", "P3912001.065"},
                           "", sandbox.path() / ("run-" + lc_all));
    }

    Sandbox sandbox;
    TestOffice office{sandbox};
};

TEST_F(ReviewLocaleTest, FormsFollowTheSystemLocale) {
    ASSERT_NO_FATAL_FAILURE(ensure_locale("de_DE.UTF-8", "de_DE.utf8", sandbox.path() / "locale"));
    struct Expected {
        std::string lc_all;
        std::string date_and_time;  // of the header
        std::string amount;
    };
    for (const Expected& expected : {
             // No forms in the C locale: the office's es-MX ones.
             Expected{"C", R"(  -  \d\d/\d\d/\d{4}  \d\d:\d\d:\d\d [ap]\.[^\n]{0,3}m\.\n)",
                      "$12,345.00"},
             Expected{"de_DE.UTF-8", R"(  -  \d\d\.\d\d\.\d{4}  \d\d:\d\d:\d\d (AM|PM)\n)",
                      "$12.345,00"},
         }) {
        const ProcessResult run = review_under(expected.lc_all);
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_TRUE(std::regex_search(run.out, std::regex(expected.date_and_time)))
            << expected.lc_all << "\n"
            << run.out;
        EXPECT_NE(run.out.find("Importe : " + expected.amount), std::string::npos)
            << expected.lc_all << "\n"
            << run.out;
    }
}

}  // namespace
}  // namespace ordano::test
