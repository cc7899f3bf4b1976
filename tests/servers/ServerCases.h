// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "fixtures/RealFtpServer.h"

namespace ordano::test {

// One server of the exchange suite: the project's own (pyftpdlib) or a production one, plain or
// with explicit TLS.
struct ServerCase {
    std::optional<RealFtpServer::Kind> real{};  // none: the project's test server
    bool tls = false;
    bool reuse_required = false;  // TLS data connections must resume the control's session
    // What the case shows another case shows too: CI runs it, a quick local run may skip it
    // (its name ends in "Repeat").
    bool repeat_only = false;
};

// Every server of the suite, in the order the suite runs them.
[[nodiscard]] std::vector<ServerCase> server_cases();
// A test name for the case: "Proftpd", "VsftpdTlsReuse", "ProftpdTlsRepeat", ...
[[nodiscard]] std::string case_name(const ServerCase& server);
void PrintTo(const ServerCase& server, std::ostream* out);
// case_name() for INSTANTIATE_TEST_SUITE_P.
[[nodiscard]] std::string param_name(const ::testing::TestParamInfo<ServerCase>& info);

// `size` letters, the same for the same seed: a file no two cases mistake for another.
[[nodiscard]] std::string random_bytes(std::size_t size, unsigned seed);

// Why the case cannot run on this machine; empty when it can.
[[nodiscard]] std::string missing_for(const ServerCase& server);
// The case's server, started, with at most that many connections from one address (0: any),
// receiving uploads at most that fast (0: full speed; the project's server slows downloads
// too).
[[nodiscard]] std::unique_ptr<TestFtpServer> start_server(const ServerCase& server,
                                                          int max_per_address = 0,
                                                          std::int64_t upload_bytes_per_second = 0);

}  // namespace ordano::test
