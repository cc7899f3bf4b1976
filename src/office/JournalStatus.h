// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace ordano {

// Where a file stands on its journey, as the history and the command line name it.
enum class JourneyStatus {
    Sending,       // "en envío": on a send list, not sent yet
    Sent,          // "enviado": uploaded by this office, its answers no longer awaited, none in
    HandedOver,    // "recepción manual": handed to reception without an upload of ours, its
                   // answers no longer awaited and none in
    Waiting,       // "esperando": answers awaited
    Prevalidated,  // "prevalidado": the prevalidation answer is in
    Accepted,      // "aceptado"
    Rejected,      // "rechazado"
    Overdue,       // "atrasado": awaited for longer than the office's limit
    Error,         // "error": the last attempt to send it failed, or it was cut short
    Stopped,       // "detenido": its answers no longer awaited, reception stopped by hand
};

// Which of a file's two answers.
enum class AnswerRole { Prevalidation, Validation };

[[nodiscard]] std::string_view status_text(JourneyStatus status);
[[nodiscard]] std::optional<JourneyStatus> status_from_text(std::string_view text);
[[nodiscard]] std::span<const JourneyStatus> all_statuses();

// Why a journal row holding these file and answer names is damaged: a name that reaches
// outside its folder or holds a NUL byte would have a file read or written elsewhere. "" when
// each is a bare name or empty (an answer not expected).
[[nodiscard]] std::string names_damage(std::span<const std::string_view> names);

}  // namespace ordano
