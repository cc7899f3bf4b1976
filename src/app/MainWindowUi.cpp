// SPDX-License-Identifier: Apache-2.0
#include "app/MainWindowUi.h"

#include <QAction>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPainter>
#include <QSplitter>
#include <QVBoxLayout>

#include <vector>

#include "app/ListColumns.h"
#include "ui/ActionButton.h"
#include "ui/FittingLabel.h"
#include "ui/FocusRing.h"

namespace ordano {

namespace {

constexpr std::array<const char*, 2> kSearchBy = {"DÍA ACTUAL", "TODOS LOS DÍAS"};
constexpr std::array<const char*, 4> kFileKinds = {"SAAI M3", "PAGO ELECTRÓNICO", "SAGARPA",
                                                   "CARTAS CUPO"};

constexpr int kPollingFirstIntervalMs = 2000;

QString utf8(const char* text) {
    return QString::fromUtf8(text);
}

QTreeWidget* make_list(QWidget* parent, const QString& name, std::span<const ColumnSpec> columns) {
    auto* list = new QTreeWidget(parent);
    list->setObjectName(name);
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setAllColumnsShowFocus(true);
    list->setIconSize(QSize(16, 16));
    list->setColumnCount(static_cast<int>(columns.size()));
    auto* header = new QTreeWidgetItem;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const int column = static_cast<int>(i);
        header->setText(column, utf8(columns[i].header));
        if (columns[i].tip != nullptr) {
            header->setToolTip(column, utf8(columns[i].tip));
        }
        // The column's key, as the transfers look columns up.
        header->setData(column, Qt::UserRole, QString::fromLatin1(columns[i].key));
    }
    list->setHeaderItem(header);
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const int column = static_cast<int>(i);
        list->setColumnWidth(column, columns[i].width);
        list->setColumnHidden(column, !columns[i].visible);
    }
    list->header()->setStretchLastSection(false);
    list->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    return list;
}

QPushButton* make_button(QWidget* parent, const QString& name, const QString& caption,
                         const QString& tip) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setToolTip(tip);
    return button;
}

QLabel* make_label(QWidget* parent, int number, const char* text, QWidget* buddy) {
    auto* label = new QLabel(utf8(text), parent);
    label->setObjectName(QStringLiteral("lblPreVal(%1)").arg(number));
    label->setBuddy(buddy);
    return label;
}

// A section heading: bold text in the palette's text colour, underlined in its highlight
// colour, so it reads on a light desktop theme as on a dark one.
class Heading : public QLabel {
public:
    Heading(const QString& text, QWidget* parent) : QLabel(text, parent) {
        QFont font = this->font();
        font.setBold(true);
        font.setPointSizeF(font.pointSizeF() * 1.15);
        setFont(font);
        setContentsMargins(0, 2, 0, 2 + kRule + 2);
    }

protected:
    void paintEvent(QPaintEvent* event) override {
        QLabel::paintEvent(event);
        QPainter painter(this);
        painter.fillRect(QRect(0, height() - kRule, width(), kRule),
                         palette().color(QPalette::Highlight));
    }

private:
    static constexpr int kRule = 2;
};

// `buddy`: the control its mnemonic (the letter after "&") gives the focus to.
QLabel* make_heading(QWidget* parent, const QString& name, const char* text, QWidget* buddy) {
    auto* heading = new Heading(utf8(text), parent);
    heading->setObjectName(name);
    heading->setBuddy(buddy);
    return heading;
}

}  // namespace

const std::array<const char*, 2>& search_by_items() {
    return kSearchBy;
}

const std::array<const char*, 4>& file_kind_items() {
    return kFileKinds;
}

void MainWindowUi::setup(QMainWindow& window, const ToolbarButtons::Handler& act) {
    build_toolbar(window, act);
    auto* central = new QWidget(&window);
    central->setObjectName(QStringLiteral("fraPrincipal"));
    auto* splitter = new QSplitter(Qt::Horizontal, central);
    splitter->setObjectName(QStringLiteral("splPrincipal"));
    splitter->setChildrenCollapsible(false);
    splitter->addWidget(build_transfer_area(splitter));
    splitter->addWidget(build_review_area(splitter));
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 5);
    // The report box gets room for a report's header whole, its time's designator included
    // ("… Archivo: M0015001.ERR  -  08/12/2026  10:09:27 p. m.").
    splitter->setSizes({430, 830});
    auto* layout = new QHBoxLayout(central);
    layout->setContentsMargins(8, 6, 8, 4);
    layout->addWidget(splitter);
    window.setCentralWidget(central);

    stbPrincipal = new QStatusBar(&window);
    stbPrincipal->setObjectName(QStringLiteral("stbPrincipal"));
    stbPrincipal->setSizeGripEnabled(true);
    window.setStatusBar(stbPrincipal);
    build_timers(window);
    set_tab_order();
}

// As the window reads: the toolbar, the send list and its buttons, the receive list and its
// button, then the review area from the search to the report and its printing.
void MainWindowUi::set_tab_order() {
    std::vector<QWidget*> order;
    for (QAction* action : tlbPreVal->actions()) {
        order.push_back(tlbPreVal->widgetForAction(action));
    }
    order.insert(order.end(), {lvwPreVal[0], cmdPreVal, cmdLimpia, lvwPreVal[1], cmdPreElm,
                               cboPreVal[0], cboPreVal[1], txtPreval, cmdBuscar, lvwArchivos,
                               rtbPreVal, cmdVistaPrevia, cmdImprime});
    for (std::size_t i = 1; i < order.size(); ++i) {
        QWidget::setTabOrder(order[i - 1], order[i]);
    }
}

void MainWindowUi::build_toolbar(QMainWindow& window, const ToolbarButtons::Handler& act) {
    tlbPreVal = new QToolBar(&window);
    tlbPreVal->setObjectName(QStringLiteral("tlbPreVal"));
    tlbPreVal->setWindowTitle(QStringLiteral("Acciones"));
    tlbPreVal->setMovable(false);
    tlbPreVal->setFloatable(false);
    tlbPreVal->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    tlbPreVal->setIconSize(QSize(32, 32));
    toolbar_buttons = ToolbarButtons(*tlbPreVal, Toolbar::Main, act);
    window.addToolBar(Qt::TopToolBarArea, tlbPreVal);
}

QWidget* MainWindowUi::build_transfer_area(QWidget* parent) {
    auto* area = new QWidget(parent);
    area->setObjectName(QStringLiteral("fraTransferencia"));
    // Room for the receive list's columns beside a name, also on a narrow screen.
    area->setMinimumWidth(340);

    lvwPreVal[0] = make_list(area, QStringLiteral("lvwPreVal(0)"), send_list_columns());
    lvwPreVal[1] = make_list(area, QStringLiteral("lvwPreVal(1)"), receive_list_columns());
    cmdPreVal =
        make_button(area, QStringLiteral("cmdPreVal"), QStringLiteral("&Quitar de la lista"),
                    QStringLiteral("Elimina de la lista de envío el archivo seleccionado (Supr)"));
    cmdLimpia = make_button(area, QStringLiteral("cmdLimpia"), QStringLiteral("&Limpiar la lista"),
                            QStringLiteral("Elimina todos los elementos de la lista de envío"));
    cmdPreElm =
        make_button(area, QStringLiteral("cmdPreElm"), QStringLiteral("Q&uitar de la lista"),
                    QStringLiteral("Elimina de la lista de recepción el archivo seleccionado"));

    auto* send_buttons = new QHBoxLayout;
    send_buttons->addStretch(1);
    send_buttons->addWidget(cmdPreVal);
    send_buttons->addWidget(cmdLimpia);
    auto* receive_buttons = new QHBoxLayout;
    receive_buttons->addStretch(1);
    receive_buttons->addWidget(cmdPreElm);

    auto* layout = new QVBoxLayout(area);
    layout->setContentsMargins(0, 0, 4, 0);
    layout->addWidget(
        make_heading(area, QStringLiteral("lblEnvio"), "ARCHIVOS POR &ENVIAR", lvwPreVal[0]));
    layout->addWidget(with_focus_ring(lvwPreVal[0], area), 3);
    layout->addLayout(send_buttons);
    layout->addSpacing(6);
    layout->addWidget(
        make_heading(area, QStringLiteral("lblRecepcion"), "ARCHIVOS EN &RECEPCIÓN", lvwPreVal[1]));
    layout->addWidget(with_focus_ring(lvwPreVal[1], area), 2);
    layout->addLayout(receive_buttons);
    return area;
}

QWidget* MainWindowUi::build_review_area(QWidget* parent) {
    auto* area = new QWidget(parent);
    area->setObjectName(QStringLiteral("fraRevision"));
    area->setMinimumWidth(370);

    cboPreVal[0] = new QComboBox(area);
    cboPreVal[0]->setObjectName(QStringLiteral("cboPreVal(0)"));
    for (const char* item : kSearchBy) {
        cboPreVal[0]->addItem(utf8(item));
    }
    cboPreVal[1] = new QComboBox(area);
    cboPreVal[1]->setObjectName(QStringLiteral("cboPreVal(1)"));
    for (const char* item : kFileKinds) {
        cboPreVal[1]->addItem(utf8(item));
    }
    txtPreval = new QLineEdit(area);
    txtPreval->setObjectName(QStringLiteral("txtPreval"));
    txtPreval->setPlaceholderText(QStringLiteral("Nombre del archivo juliano"));
    cmdBuscar = make_button(area, QStringLiteral("cmdBuscar"), QStringLiteral("&Buscar"),
                            QStringLiteral("Busca los archivos del tipo y día elegidos"));

    auto* search = new QGridLayout;
    search->setHorizontalSpacing(10);
    search->addWidget(make_label(area, 0, "Buscar &Por", cboPreVal[0]), 0, 0);
    search->addWidget(make_label(area, 1, "&Tipo de Archivo", cboPreVal[1]), 0, 1);
    search->addWidget(make_label(area, 2, "&Archivo", txtPreval), 0, 2);
    search->addWidget(cboPreVal[0], 1, 0);
    search->addWidget(cboPreVal[1], 1, 1);
    search->addWidget(txtPreval, 1, 2);
    search->addWidget(cmdBuscar, 1, 3);
    auto* aviso = new FittingLabel(area);
    aviso->setObjectName(QStringLiteral("lblAviso"));
    aviso->hide();
    lblAviso = aviso;
    search->addWidget(lblAviso, 2, 0, 1, 4);
    search->setColumnStretch(2, 1);

    lvwArchivos = make_list(area, QStringLiteral("lvwArchivos"), file_list_columns());
    lvwArchivos->setMinimumWidth(130);
    // Reports are plain text in fixed columns, never markup; a plain-text box also lays out a
    // report of 100,000 records without freezing the window.
    rtbPreVal = new QPlainTextEdit(area);
    rtbPreVal->setObjectName(QStringLiteral("rtbPreVal"));
    rtbPreVal->setReadOnly(true);
    rtbPreVal->setLineWrapMode(QPlainTextEdit::NoWrap);
    rtbPreVal->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    // Read with the keyboard too (arrows, Page Down, Ctrl+C); Tab moves on.
    rtbPreVal->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    rtbPreVal->setTabChangesFocus(true);
    rtbPreVal->setPlaceholderText(
        QStringLiteral("Elige una respuesta recibida de la lista de envío para ver su reporte."));

    auto* review = new QSplitter(Qt::Horizontal, area);
    review->setObjectName(QStringLiteral("splRevision"));
    review->setChildrenCollapsible(false);
    review->addWidget(with_focus_ring(lvwArchivos, review));
    review->addWidget(rtbPreVal);
    review->setStretchFactor(0, 0);
    review->setStretchFactor(1, 1);
    review->setSizes({160, 670});

    cmdImprime = make_button(area, QStringLiteral("cmdImprime"), QStringLiteral("&Imprimir"),
                             QStringLiteral("Imprime el reporte de revisión del archivo"));
    cmdVistaPrevia =
        make_button(area, QStringLiteral("cmdVistaPrevia"), QStringLiteral("&Vista previa"),
                    QStringLiteral("Muestra las páginas del reporte como se imprimirán"));
    auto* print = new QHBoxLayout;
    print->addStretch(1);
    print->addWidget(cmdVistaPrevia);
    print->addWidget(cmdImprime);

    auto* layout = new QVBoxLayout(area);
    layout->setContentsMargins(4, 0, 0, 0);
    layout->addWidget(
        make_heading(area, QStringLiteral("lblRevision"), "REVISIÓN DE ARCHIVOS", nullptr));
    layout->addLayout(search);
    layout->addWidget(review, 1);
    layout->addLayout(print);
    return area;
}

void MainWindowUi::build_timers(QMainWindow& window) {
    // Created disabled; the transfers switch the polling on.
    tmrPreVal = new QTimer(&window);
    tmrPreVal->setObjectName(QStringLiteral("tmrPreVal"));
    tmrPreVal->setInterval(kPollingFirstIntervalMs);
    tmrCatError = new QTimer(&window);
    tmrCatError->setObjectName(QStringLiteral("tmrCatError"));
}

}  // namespace ordano
