// SPDX-License-Identifier: Apache-2.0
#include "ui/FocusRing.h"

#include <QEvent>
#include <QPainter>
#include <QVBoxLayout>
#include <QWidget>

namespace ordano {
namespace {

constexpr int kRingWidth = 2;

class FocusRing : public QWidget {
public:
    FocusRing(QWidget* content, QWidget* parent) : QWidget(parent), content_(content) {
        setObjectName(content->objectName() + QStringLiteral(".Foco"));
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(kRingWidth, kRingWidth, kRingWidth, kRingWidth);
        layout->addWidget(content);
        content->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == content_ &&
            (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)) {
            update();
        }
        return QWidget::eventFilter(watched, event);
    }

    void paintEvent(QPaintEvent* /*event*/) override {
        if (!content_->hasFocus()) {
            return;
        }
        QPainter painter(this);
        const QColor ring = palette().color(QPalette::Highlight);
        const QRect outer = rect();
        const QRect inner = outer.adjusted(kRingWidth, kRingWidth, -kRingWidth, -kRingWidth);
        painter.setClipRegion(QRegion(outer).subtracted(QRegion(inner)));
        painter.fillRect(outer, ring);
    }

private:
    QWidget* content_;
};

}  // namespace

QWidget* with_focus_ring(QWidget* content, QWidget* parent) {
    return new FocusRing(content, parent);
}

}  // namespace ordano
