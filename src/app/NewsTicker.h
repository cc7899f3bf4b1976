// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <QString>
#include <QTimer>
#include <QWidget>

namespace ordano {

// nwstBoletines: a one-line display that scrolls its text from right to left and starts again
// once the text has left it. The text is painted as it stands, never read as markup, and only
// its first 4,000 characters (then "…"). Switched off, it shows nothing and does not scroll.
class NewsTicker : public QWidget {
    Q_OBJECT
public:
    explicit NewsTicker(QWidget* parent = nullptr);

    void set_text(const QString& text);
    // The text as the ticker shows it.
    [[nodiscard]] const QString& text() const { return text_; }

    void set_on(bool on);
    [[nodiscard]] bool is_on() const { return on_; }

    // Pixels the text has moved to the left of the right edge since it last started.
    [[nodiscard]] int scrolled() const { return scrolled_; }
    [[nodiscard]] bool scrolling() const { return timer_.isActive(); }

    [[nodiscard]] QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void step();
    void restart();
    void sync_timer();

    QString text_;  // as shown
    int text_width_ = 0;
    bool on_ = false;
    int scrolled_ = 0;
    QTimer timer_;
};

}  // namespace ordano
