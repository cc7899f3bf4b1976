// SPDX-License-Identifier: Apache-2.0
#include "app/NewsTicker.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPainter>

namespace ordano {
namespace {

// A step of 3 pixels every 30 ms: about 100 pixels a second, easy to read.
constexpr int kStepMs = 30;
constexpr int kStepPixels = 3;
constexpr int kMargin = 6;
// The ticker lays out this many characters of a bulletin at most, then "…": at 100 pixels a
// second that is minutes of reading, and laying out a line of a million characters at every
// step would stall the window.
constexpr qsizetype kLongestShownText = 4000;

}  // namespace

NewsTicker::NewsTicker(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("nwstBoletines"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setAttribute(Qt::WA_OpaquePaintEvent);
    timer_.setInterval(kStepMs);
    connect(&timer_, &QTimer::timeout, this, &NewsTicker::step);
}

void NewsTicker::set_text(const QString& text) {
    QString shown =
        text.size() > kLongestShownText ? text.left(kLongestShownText) + QStringLiteral("…") : text;
    if (shown == text_) {
        return;
    }
    text_ = std::move(shown);
    text_width_ = fontMetrics().horizontalAdvance(text_);
    restart();
}

void NewsTicker::set_on(bool on) {
    if (on == on_) {
        return;
    }
    on_ = on;
    restart();
}

QSize NewsTicker::sizeHint() const {
    return {400, fontMetrics().height() + 2 * kMargin};
}

void NewsTicker::restart() {
    scrolled_ = 0;
    sync_timer();
    update();
}

// Scrolls only while switched on, with something to show, on screen.
void NewsTicker::sync_timer() {
    if (on_ && !text_.isEmpty() && isVisible()) {
        timer_.start();
    } else {
        timer_.stop();
    }
}

void NewsTicker::step() {
    scrolled_ += kStepPixels;
    // Once the whole text has left on the left, it comes in again from the right.
    if (scrolled_ > width() + text_width_) {
        scrolled_ = 0;
    }
    update();
}

void NewsTicker::paintEvent(QPaintEvent* /*event*/) {
    QPainter p(this);
    // The palette's highlight pair: a strip that stands out and reads in every theme.
    p.fillRect(rect(), palette().color(QPalette::Highlight));
    if (!on_ || text_.isEmpty()) {
        return;
    }
    p.setPen(palette().color(QPalette::HighlightedText));
    const QRect line = rect().adjusted(0, kMargin, 0, -kMargin);
    // drawText takes the text literally: nothing in a bulletin is read as markup.
    p.drawText(QRect(width() - scrolled_, line.top(), text_width_ + 1, line.height()),
               Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, text_);
}

void NewsTicker::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        text_width_ = fontMetrics().horizontalAdvance(text_);
    }
}

void NewsTicker::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    sync_timer();
}

void NewsTicker::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    sync_timer();
}

}  // namespace ordano
