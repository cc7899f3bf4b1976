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
    const ProcessResult c = review_under("C");
    ASSERT_EQ(c.status, 0) << c.err;
    EXPECT_TRUE(std::regex_search(
        c.out, std::regex(R"(  -  \d\d/\d\d/\d{4}  \d\d:\d\d:\d\d [ap]\.[^\r]{0,3}m\.\r\n)")))
        << c.out;
    EXPECT_NE(c.out.find("Importe : $12,345.00"), std::string::npos) << c.out;

    ensure_locale("de_DE.UTF-8", "de_DE.utf8", sandbox.path() / "locale");
    const ProcessResult german = review_under("de_DE.UTF-8");
    ASSERT_EQ(german.status, 0) << german.err;
    EXPECT_TRUE(std::regex_search(
        german.out, std::regex(R"(  -  \d\d\.\d\d\.\d{4}  \d\d:\d\d:\d\d (AM|PM)\r\n)")))
        << german.out;
    EXPECT_NE(german.out.find("Importe : $12.345,00"), std::string::npos) << german.out;
}

}  // namespace
}  // namespace ordano::test
