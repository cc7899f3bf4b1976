// SPDX-License-Identifier: Apache-2.0
#include "ui/MarkColors.h"

namespace ordano {

QColor mark_color(Mark mark, const QPalette& palette) {
    // Told by the text colour: a list's base may be a picture, whose brush has no colour.
    const bool dark = palette.color(QPalette::Text).lightness() > 128;
    switch (mark) {
        case Mark::Late:
            return dark ? QColor(255, 120, 120) : QColor(200, 30, 30);
        case Mark::Refused:
            return dark ? QColor(240, 140, 140) : QColor(150, 30, 30);
        case Mark::Accepted:
            return dark ? QColor(120, 210, 140) : QColor(30, 120, 60);
    }
    return palette.color(QPalette::Text);
}

std::optional<Mark> status_mark(JourneyStatus status) {
    switch (status) {
        case JourneyStatus::Overdue:
            return Mark::Late;
        case JourneyStatus::Rejected:
        case JourneyStatus::Error:
            return Mark::Refused;
        case JourneyStatus::Accepted:
            return Mark::Accepted;
        default:
            return std::nullopt;
    }
}

}  // namespace ordano
