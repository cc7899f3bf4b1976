#include "store/JournalStatus.h"

#include <array>
#include <utility>

namespace ordano {
namespace {

constexpr std::array<std::pair<JourneyStatus, std::string_view>, 9> kTexts = {{
    {JourneyStatus::Sending, "en envío"},
    {JourneyStatus::Sent, "enviado"},
    {JourneyStatus::HandedOver, "recepción manual"},
    {JourneyStatus::Waiting, "esperando"},
    {JourneyStatus::Prevalidated, "prevalidado"},
    {JourneyStatus::Accepted, "aceptado"},
    {JourneyStatus::Rejected, "rechazado"},
    {JourneyStatus::Overdue, "atrasado"},
    {JourneyStatus::Error, "error"},
}};

constexpr std::array<JourneyStatus, 9> kAll = {
    JourneyStatus::Sending,  JourneyStatus::Sent,         JourneyStatus::HandedOver,
    JourneyStatus::Waiting,  JourneyStatus::Prevalidated, JourneyStatus::Accepted,
    JourneyStatus::Rejected, JourneyStatus::Overdue,      JourneyStatus::Error,
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

}  // namespace ordano
