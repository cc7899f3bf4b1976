// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <QLabel>
#include <QStringList>

#include <utility>

namespace ordano {

// A one-line label that never widens its window: its smallest width is a few characters, and
// it shows its text, or else the first of its shorter forms that fits ("miércoles, 9 de
// diciembre de 2026", then "09/12/2026"), or else the shortest cut with "…". text() stays the
// whole text, which its tooltip shows when it is cut.
class FittingLabel : public QLabel {
    Q_OBJECT
public:
    explicit FittingLabel(QWidget* parent = nullptr);

    // The same thing said shorter, longest first; cleared by giving none.
    void set_shorter_texts(QStringList texts) {
        shorter_ = std::move(texts);
        update();
    }
    // What the label shows at its present width.
    [[nodiscard]] QString shown_text() const;

    [[nodiscard]] QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    QStringList shorter_;
};

}  // namespace ordano
