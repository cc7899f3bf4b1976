// SPDX-License-Identifier: Apache-2.0
#include "cli/AnswerPolling.h"

#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <ostream>

#include "base/RunStop.h"
#include "office/Session.h"
#include "transfer/DeskWork.h"
#include "transfer/TransferDesk.h"

namespace ordano::cli {

namespace {

using Clock = std::chrono::steady_clock;

}  // namespace

AnswerPolling::AnswerPolling(DeskWork& work, const Sesion& session, std::stop_source stop,
                             std::ostream& progress, std::ostream& answers)
    : work_(work),
      session_(session),
      stop_(std::move(stop)),
      progress_(progress),
      answers_(answers) {
    ListObserver<SendRow> observer;
    observer.added = [this](std::size_t, const SendRow& row) {
        if (row.status == send_status::kPrevalidation || row.status == send_status::kValidation) {
            answer_listed(row.text);
        }
    };
    desk().send_list().subscribe(std::move(observer));
}

TransferDesk& AnswerPolling::desk() const {
    return work_.desk();
}

// An answer is listed right after it was stored, while its receive row is still there (the
// sweep comes at the end of the tick), so the row tells which folder it went to.
void AnswerPolling::answer_listed(const std::string& name) {
    ++received_;
    std::string path = name;
    for (const auto& row : desk().receive_list().rows()) {
        if (!row.archivo_prev.empty() && row.archivo_prev == name) {
            path = (std::filesystem::path(session_.folders.val_rec) / name).string();
            break;
        }
        if (row.archivo_val == name) {
            path = (std::filesystem::path(row.ruta_dest) / name).string();
            break;
        }
    }
    answers_ << path << "\n";
    stored_.insert(std::move(path));
}

int AnswerPolling::awaited() const {
    int count = 0;
    for (const auto& row : desk().receive_list().rows()) {
        count += (row.awaits_prevalidation() ? 1 : 0) + (row.awaits_validation() ? 1 : 0);
    }
    return count;
}

bool AnswerPolling::done() const {
    return desk().receive_list().empty() || !desk().timer().enabled();
}

bool AnswerPolling::wait(std::chrono::seconds limit, bool look_at_once) {
    if (done()) {
        return desk().receive_list().empty();  // nothing was handed to reception
    }
    const StopDeadline deadline(stop_, Clock::now() + limit);
    const std::stop_token stopped = stop_.get_token();
    const int expected = received_ + awaited();
    progress_ << "Esperando " << expected << " respuestas (hasta " << limit.count() << " s)\n";
    std::mutex mutex;
    std::condition_variable_any between_ticks;  // only a stop wakes it early
    for (bool first = true; !done(); first = false) {
        if (!first || !look_at_once) {
            std::unique_lock lock(mutex);
            between_ticks.wait_for(lock, stopped,
                                   std::chrono::milliseconds(desk().timer().interval()),
                                   [] { return false; });
        }
        if (stopped.stop_requested()) {
            break;
        }
        tick(expected);
    }
    return desk().receive_list().empty();
}

bool AnswerPolling::poll_once() {
    if (!done()) {
        tick(received_ + awaited());
    }
    return desk().receive_list().empty();
}

void AnswerPolling::tick(int expected) {
    work_.run(DeskWork::Run::Look);
    progress_ << "Recepción: " << received_ << " de " << expected << " respuestas recibidas\n"
              << std::flush;
}

std::vector<std::string> AnswerPolling::missing() const {
    std::vector<std::string> out;
    for (const auto& row : desk().receive_list().rows()) {
        std::string line = row.text + " (";
        if (row.awaits_prevalidation()) {
            line += "prevalidación " + row.archivo_prev;
            if (row.awaits_validation()) {
                line += ", ";
            }
        }
        if (row.awaits_validation()) {
            line += "validación " + row.archivo_val;
        }
        out.push_back(line + ")");
    }
    return out;
}

}  // namespace ordano::cli
