#include "app/NewsTicker.h"

#include <QFontMetrics>
#include <QPainter>

namespace ordano {
namespace {

// A step of 3 pixels every 30 ms: about 100 pixels a second, easy to read.
constexpr int kStepMs = 30;
constexpr int kStepPixels = 3;
constexpr int kMargin = 6;

}  // namespace

NewsTicker::NewsTicker(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("nwstBoletines"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setAttribute(Qt::WA_OpaquePaintEvent);
    timer_.setInterval(kStepMs);
    connect(&timer_, &QTimer::timeout, this, &NewsTicker::step);
}

void NewsTicker::set_text(const QString& text) {
    if (text == text_) {
        return;
    }
    text_ = text;
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
    if (scrolled_ > width() + fontMetrics().horizontalAdvance(text_)) {
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
    p.drawText(QRect(width() - scrolled_, line.top(), fontMetrics().horizontalAdvance(text_) + 1,
                     line.height()),
               Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, text_);
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
