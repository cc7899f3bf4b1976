// SPDX-License-Identifier: Apache-2.0
#include "ui/FittingLabel.h"

#include <QFontMetrics>
#include <QHelpEvent>
#include <QPainter>
#include <QStyle>
#include <QToolTip>

#include <algorithm>

namespace ordano {

namespace {

// What the label keeps at the least: a few characters and the "…".
constexpr int kSmallestCharacters = 6;

}  // namespace

FittingLabel::FittingLabel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
}

QString FittingLabel::shown_text() const {
    const int room = contentsRect().width() - 2 * margin();
    const QFontMetrics metrics = fontMetrics();
    if (metrics.horizontalAdvance(text()) <= room) {
        return text();
    }
    for (const QString& shorter : shorter_) {
        if (metrics.horizontalAdvance(shorter) <= room) {
            return shorter;
        }
    }
    const QString& shortest = shorter_.isEmpty() ? text() : shorter_.last();
    return metrics.elidedText(shortest, Qt::ElideRight, std::max(room, 0));
}

QSize FittingLabel::minimumSizeHint() const {
    const QSize whole = QLabel::minimumSizeHint();
    const QMargins margins = contentsMargins();
    const int smallest = fontMetrics().averageCharWidth() * kSmallestCharacters + margins.left() +
                         margins.right() + 2 * margin();
    return {std::min(whole.width(), smallest), whole.height()};
}

void FittingLabel::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    drawFrame(&painter);
    const QRect room = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    style()->drawItemText(&painter, room, static_cast<int>(alignment()) | Qt::TextSingleLine,
                          palette(), isEnabled(), shown_text(), foregroundRole());
}

bool FittingLabel::event(QEvent* event) {
    // A text shown cut is read whole in the tooltip.
    if (event->type() == QEvent::ToolTip && toolTip().isEmpty()) {
        const QString shown = shown_text();
        if (shown != text()) {
            QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), text(), this);
        } else {
            QToolTip::hideText();
        }
        return true;
    }
    return QLabel::event(event);
}

}  // namespace ordano
