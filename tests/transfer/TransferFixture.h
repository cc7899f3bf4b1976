// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/DateTime.h"
#include "fixtures/FtpServer.h"
#include "fixtures/Sandbox.h"
#include "fixtures/ScriptedUi.h"
#include "office/Office.h"
#include "office/Parameters.h"
#include "transfer/TransferDesk.h"

namespace ordano::test {

// A scripted UI that can also act when a message is shown, and that can run blocking work on a
// thread of its own while the test acts meanwhile, as the window does while it waits.
class TransferUi : public ScriptedUi {
public:
    MessageAnswer message(std::string_view text, MessageIcon icon, MessageButtons buttons,
                          std::optional<std::string_view> caption) override;
    void run_blocking(const std::function<void()>& work) override;

    // Runs when the next message is shown, before it is answered.
    std::function<void(const std::string&)> on_message;
    // With this set, blocking work runs on a thread and this runs (once) on the test's thread
    // while the work is under way, after `while_blocking_after` has elapsed.
    std::function<void()> while_blocking;
    std::chrono::milliseconds while_blocking_after{300};
};

// An office (patente 15, julian day 33) with its send and receive folders, the real FTP server
// with the remote input folders, and the transfer desk on them.
class TransferTest : public ::testing::Test {
protected:
    explicit TransferTest(FtpServerOptions server_options = {});

    static constexpr int kToday = 33;  // 2 February 2026

    Sesion& session() { return office_->session(); }
    SendList& send() { return desk_->send_list(); }
    ReceiveList& receive() { return desk_->receive_list(); }
    PollingTimer& timer() { return desk_->timer(); }

    // Writes a file into the send folder of its kind and adds it to the send list.
    void add_file(const std::string& name, std::string_view bytes);
    [[nodiscard]] std::filesystem::path send_folder_of(const std::string& name) const;
    [[nodiscard]] std::vector<std::string> send_texts() const;
    [[nodiscard]] std::vector<std::string> receive_texts() const;
    // The files a folder holds (names only), sorted.
    [[nodiscard]] static std::vector<std::string> files_in(const std::filesystem::path& folder);
    // Places both answers of a receive row on the server.
    void answer_on_server(const ReceiveRow& row, std::string_view prevalidation,
                          std::string_view validation);
    // Faults of the server, one at a time.
    void refuse_logins();
    void cut_transfers_after(std::int64_t bytes);
    void throttle(std::int64_t bytes_per_second);
    void enviar() { desk_->send(); }
    // Transfers one after another on the one session, for the tests that count its logins or
    // follow its order step by step (the office's default is several at once).
    void one_session_at_a_time() { office_->params().set_number(Param::sesiones_ftp, 1); }

    Sandbox sandbox_;
    TestOffice test_office_{sandbox_};
    FixedClock clock_{LocalDateTime{std::chrono::year{2026} / 2 / 2, 14, 5, 0}};
    std::unique_ptr<Office> office_;
    FtpServer server_;
    TransferUi ui_;
    int bulletin_refreshes_ = 0;
    std::unique_ptr<TransferDesk> desk_;
};

}  // namespace ordano::test
