// SPDX-License-Identifier: Apache-2.0
#include "office/JournalStatus.h"

#include <algorithm>
#include <array>
#include <utility>

#include "base/FileNames.h"

namespace ordano {
namespace {

constexpr std::array<std::pair<JourneyStatus, std::string_view>, 10> kTexts = {{
    {JourneyStatus::Sending, "en envío"},
    {JourneyStatus::Sent, "enviado"},
    {JourneyStatus::HandedOver, "recepción manual"},
    {JourneyStatus::Waiting, "esperando"},
    {JourneyStatus::Prevalidated, "prevalidado"},
    {JourneyStatus::Accepted, "aceptado"},
    {JourneyStatus::Rejected, "rechazado"},
    {JourneyStatus::Overdue, "atrasado"},
    {JourneyStatus::Error, "error"},
    {JourneyStatus::Stopped, "detenido"},
}};

constexpr std::array<JourneyStatus, 10> kAll = {
    JourneyStatus::Sending,  JourneyStatus::Sent,         JourneyStatus::HandedOver,
    JourneyStatus::Waiting,  JourneyStatus::Prevalidated, JourneyStatus::Accepted,
    JourneyStatus::Rejected, JourneyStatus::Overdue,      JourneyStatus::Error,
    JourneyStatus::Stopped,
};

}  // namespace

std::string_view status_text(JourneyStatus status) {
    return kTexts[static_cast<std::size_t>(status)].second;
}

std::optional<JourneyStatus> status_from_text(std::string_view text) {
    for (const auto& [status, name] : kTexts) {
        if (name == text) {
            return status;
        }
    }
    return std::nullopt;
}

std::span<const JourneyStatus> all_statuses() {
    return kAll;
}

std::string names_damage(std::span<const std::string_view> names) {
    const bool sound = std::ranges::all_of(
        names, [](std::string_view name) { return name.empty() || is_bare_name(name); });
    return sound ? std::string() : "un nombre de archivo lleva carpeta o un carácter nulo";
}

}  // namespace ordano
