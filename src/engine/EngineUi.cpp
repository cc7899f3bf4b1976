// SPDX-License-Identifier: Apache-2.0
#include "engine/EngineUi.h"

#include <condition_variable>
#include <memory>
#include <optional>

#include "base/RuleCheck.h"
#include "engine/EngineTurn.h"
#include "engine/FrontEnd.h"

namespace ordano {
namespace {

// An answer that comes later, from any thread.
template <typename T>
class Reply {
public:
    void set(T value) {
        {
            const std::lock_guard lock(mutex_);
            value_ = value;
        }
        arrived_.notify_all();
    }
    [[nodiscard]] bool arrived() {
        const std::lock_guard lock(mutex_);
        return value_.has_value();
    }
    // The answer, or nothing when a stop came first.
    std::optional<T> wait(std::stop_token stop) {
        std::unique_lock lock(mutex_);
        arrived_.wait(lock, stop, [this] { return value_.has_value(); });
        return value_;
    }

private:
    std::mutex mutex_;
    std::condition_variable_any arrived_;
    std::optional<T> value_;
};

}  // namespace

MessageAnswer EngineUi::message(std::string_view text, MessageIcon icon, MessageButtons buttons,
                                std::optional<std::string_view> caption) {
    return detailed_message(text, {}, icon, buttons, caption);
}

MessageAnswer EngineUi::detailed_message(std::string_view text, std::string_view details,
                                         MessageIcon icon, MessageButtons buttons,
                                         std::optional<std::string_view> caption) {
    Notice notice{std::string(text), std::string(details), icon,
                  caption ? std::optional<std::string>(std::string(*caption)) : std::nullopt};
    if (buttons == MessageButtons::Ok) {
        const std::lock_guard lock(asking_);
        front_.tell(std::move(notice));
        return MessageAnswer::Ok;
    }
    const auto reply = std::make_shared<Reply<MessageAnswer>>();
    const TurnReleased waiting(turn_);
    {
        const std::lock_guard lock(asking_);
        front_.ask(std::move(notice), [reply](MessageAnswer answer) { reply->set(answer); });
    }
    check_may_wait(reply->arrived());
    return reply->wait(stop_).value_or(MessageAnswer::No);
}

bool EngineUi::ask_payment_password() {
    const auto reply = std::make_shared<Reply<bool>>();
    const TurnReleased waiting(turn_);
    {
        const std::lock_guard lock(asking_);
        front_.ask_payment_password([reply](bool accepted) { reply->set(accepted); });
    }
    check_may_wait(reply->arrived());
    return reply->wait(stop_).value_or(false);
}

void EngineUi::check_may_wait(bool answered) const {
    if (!answered && std::this_thread::get_id() == front_thread_) {
        rule_broken(
            "Una pregunta no puede esperar su respuesta en el hilo de la ventana, "
            "que es el que la muestra");
    }
}

void EngineUi::run_blocking(const std::function<void()>& work) {
    const TurnReleased waiting(turn_);
    front_.run_blocking(work);
}

void EngineUi::yield() {
    const TurnReleased letting_through(turn_);
}

void EngineUi::progress(const Progress& report) {
    const std::lock_guard lock(reporting_);
    front_.progress(report);
}

void EngineUi::remark(std::string_view text) {
    const std::lock_guard lock(reporting_);
    front_.remark(text);
}

bool EngineUi::wants_ftp_steps() const {
    return front_.wants_ftp_steps();
}

void EngineUi::ftp_step(std::string_view line) {
    const std::lock_guard lock(reporting_);
    front_.ftp_step(line);
}

}  // namespace ordano
