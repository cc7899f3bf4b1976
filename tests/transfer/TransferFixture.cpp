// SPDX-License-Identifier: Apache-2.0
#include "transfer/TransferFixture.h"

#include <algorithm>
#include <chrono>
#include <exception>
#include <thread>

#include "office/Parameters.h"
#include "transfer/ListActions.h"
#include "transfer/Routing.h"

namespace ordano::test {

namespace fs = std::filesystem;

MessageAnswer TransferUi::message(std::string_view text, MessageIcon icon, MessageButtons buttons,
                                  std::optional<std::string_view> caption) {
    if (on_message) {
        auto action = std::move(on_message);
        on_message = nullptr;
        action(std::string(text));
    }
    return ScriptedUi::message(text, icon, buttons, caption);
}

void TransferUi::run_blocking(const std::function<void()>& work) {
    if (!while_blocking) {
        work();
        return;
    }
    std::atomic<bool> done{false};
    std::exception_ptr failure;
    std::thread worker([&] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
        done = true;
    });
    const auto started = std::chrono::steady_clock::now();
    while (!done) {
        if (while_blocking && std::chrono::steady_clock::now() - started > while_blocking_after) {
            auto action = std::move(while_blocking);
            while_blocking = nullptr;
            action();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    worker.join();
    if (failure) {
        std::rethrow_exception(failure);
    }
}

TransferTest::TransferTest(FtpServerOptions server_options) : server_(std::move(server_options)) {
    office_ = Office::open(test_office_.path_options(), clock_);
    session().host = server_.address();
    server_.make_input_folders();
    desk_ = std::make_unique<TransferDesk>(session(), office_->params(), office_->journal(), ui_,
                                           clock_, office_->locale(),
                                           [this] { ++bulletin_refreshes_; });
}

fs::path TransferTest::send_folder_of(const std::string& name) const {
    const auto& folders = office_->session().folders;
    switch (kind_letter(name)) {
        case 'E':
            return folders.pag_env;
        case 'S':
            return folders.sag_env;
        default:
            return folders.val_env;
    }
}

void TransferTest::add_file(const std::string& name, std::string_view bytes) {
    sandbox_.write_file(send_folder_of(name) / name, bytes);
    desk_->add_file_to_send(name);
}

std::vector<std::string> TransferTest::send_texts() const {
    std::vector<std::string> out;
    for (const auto& row : desk_->send_list().rows()) {
        out.push_back(row.text);
    }
    return out;
}

std::vector<std::string> TransferTest::receive_texts() const {
    std::vector<std::string> out;
    for (const auto& row : desk_->receive_list().rows()) {
        out.push_back(row.text);
    }
    return out;
}

std::vector<std::string> TransferTest::files_in(const fs::path& folder) {
    std::vector<std::string> out;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        out.push_back(entry.path().filename().string());
    }
    std::sort(out.begin(), out.end());
    return out;
}

void TransferTest::answer_on_server(const ReceiveRow& row, std::string_view prevalidation,
                                    std::string_view validation) {
    if (!row.archivo_prev.empty()) {
        server_.put_file(row.ruta_pre + "/" + row.archivo_prev, prevalidation);
    }
    server_.put_file(row.ruta_val + "/" + row.archivo_val, validation);
}

}  // namespace ordano::test

namespace ordano::test {

void TransferTest::refuse_logins() {
    FtpFaults faults;
    faults.refuse_logins = true;
    server_.set_faults(faults);
}

void TransferTest::cut_transfers_after(std::int64_t bytes) {
    FtpFaults faults;
    faults.cut_after_bytes = bytes;
    server_.set_faults(faults);
}

void TransferTest::throttle(std::int64_t bytes_per_second) {
    FtpFaults faults;
    faults.throttle_bytes_per_second = bytes_per_second;
    server_.set_faults(faults);
}

}  // namespace ordano::test
