// SPDX-License-Identifier: Apache-2.0
#include "app/WindowLayout.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
#include <QSettings>
#include <QSplitter>
#include <QTreeView>
#include <QWidget>

#include "ui/ScreenFit.h"

#include <algorithm>

namespace ordano {

namespace {

const QString kGeometry = QStringLiteral("geometry");
const QString kMaximized = QStringLiteral("maximized");
const QString kColumns = QStringLiteral("/columns");

// A window is reachable when a screen shows enough of it to take it by its title bar.
constexpr int kReachableWidth = 120;
constexpr int kReachableHeight = 60;

const QScreen* screen_showing(const QRect& place) {
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect shown = screen->availableGeometry().intersected(place);
        if (shown.width() >= kReachableWidth && shown.height() >= kReachableHeight) {
            return screen;
        }
    }
    return nullptr;
}

QVariantList column_widths(const QTreeView& list) {
    QVariantList widths;
    for (int column = 0; column < list.header()->count(); ++column) {
        widths << (list.isColumnHidden(column) ? 0 : list.columnWidth(column));
    }
    return widths;
}

void set_column_widths(QTreeView& list, const QVariantList& widths) {
    const int count = std::min(static_cast<int>(widths.size()), list.header()->count());
    for (int column = 0; column < count; ++column) {
        const int width = widths[column].toInt();
        if (width > 0 && !list.isColumnHidden(column)) {
            list.setColumnWidth(column, width);
        }
    }
}

}  // namespace

void save_layout(const QWidget& window, QSettings& settings) {
    settings.beginGroup(window.objectName());
    settings.setValue(kGeometry,
                      window.isMaximized() ? window.normalGeometry() : window.geometry());
    settings.setValue(kMaximized, window.isMaximized());
    for (const QSplitter* splitter : window.findChildren<QSplitter*>()) {
        if (!splitter->objectName().isEmpty()) {
            settings.setValue(splitter->objectName(), splitter->saveState());
        }
    }
    for (const QTreeView* list : window.findChildren<QTreeView*>()) {
        if (!list->objectName().isEmpty()) {
            settings.setValue(list->objectName() + kColumns, column_widths(*list));
        }
    }
    settings.endGroup();
}

void restore_layout(QWidget& window, QSettings& settings) {
    settings.beginGroup(window.objectName());
    const QRect place = settings.value(kGeometry).toRect();
    // Never larger than the screen it opens on (saved on a larger one, or at another scale).
    if (place.isValid()) {
        if (const QScreen* screen = screen_showing(place)) {
            window.setGeometry(fitted_place(place, *screen));
        } else if (const QScreen* own = window.screen()) {
            window.resize(place.size().boundedTo(screen_room(*own)));
        }
    }
    if (settings.value(kMaximized, false).toBool()) {
        window.setWindowState(window.windowState() | Qt::WindowMaximized);
    }
    for (QSplitter* splitter : window.findChildren<QSplitter*>()) {
        const QByteArray state = settings.value(splitter->objectName()).toByteArray();
        if (!splitter->objectName().isEmpty() && !state.isEmpty()) {
            splitter->restoreState(state);
        }
    }
    for (QTreeView* list : window.findChildren<QTreeView*>()) {
        const QVariant widths = settings.value(list->objectName() + kColumns);
        if (!list->objectName().isEmpty() && widths.isValid()) {
            set_column_widths(*list, widths.toList());
        }
    }
    settings.endGroup();
}

}  // namespace ordano
