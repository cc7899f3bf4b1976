// SPDX-License-Identifier: Apache-2.0
#include "dialogs/HistoryWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <fstream>

#include "dialogs/FolderPicker.h"
#include "dialogs/HistoryModel.h"
#include "engine/FrontEnd.h"
#include "office/Office.h"
#include "ui/CloseKeys.h"
#include "ui/ScreenFit.h"

namespace ordano {
namespace {

constexpr int kTypingPauseMs = 300;
constexpr std::array<const char*, 5> kKinds = {"M", "C", "D", "E", "S"};

std::chrono::year_month_day to_ymd(const QDate& date) {
    return std::chrono::year{date.year()} / static_cast<unsigned>(date.month()) /
           static_cast<unsigned>(date.day());
}

QDate to_qdate(std::chrono::year_month_day date) {
    return {static_cast<int>(date.year()), static_cast<int>(static_cast<unsigned>(date.month())),
            static_cast<int>(static_cast<unsigned>(date.day()))};
}

// The workstation's short date, as the history's own column shows it ("02/12/2026").
QString date_format(const LocaleFormats& locale) {
    const QString separator = QString::fromStdString(locale.date_separator);
    switch (locale.date_order) {
        case LocaleFormats::DateOrder::MonthDayYear:
            return QStringList{"MM", "dd", "yyyy"}.join(separator);
        case LocaleFormats::DateOrder::YearMonthDay:
            return QStringList{"yyyy", "MM", "dd"}.join(separator);
        case LocaleFormats::DateOrder::DayMonthYear:
            break;
    }
    return QStringList{"dd", "MM", "yyyy"}.join(separator);
}

QDateEdit* date_box(QWidget* parent, const char* name, const QDate& date,
                    const LocaleFormats& locale) {
    auto* box = new QDateEdit(date, parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setDisplayFormat(date_format(locale));
    box->setCalendarPopup(true);
    box->setEnabled(false);
    return box;
}

QString answer_caption(const AnswerRecord& answer) {
    return (answer.role == AnswerRole::Validation
                ? QStringLiteral("Respuesta de validación: ")
                : QStringLiteral("Respuesta de prevalidación: ")) +
           QString::fromStdString(answer.name);
}

}  // namespace

HistoryWindow::HistoryWindow(Office& office, FrontEnd& ui, OpenAnswer open_answer, QWidget* parent)
    : QWidget(parent, Qt::Window),
      office_(office),
      ui_(ui),
      open_answer_(std::move(open_answer)),
      picker_(system_save_file_picker()) {
    setObjectName(QStringLiteral("frmHistorial"));
    setWindowTitle(QStringLiteral("Historial de envíos"));
    build();
    add_close_keys(*this, [this] { close(); });
    fit_to_screen(*this, QSize(960, 600));
}

void HistoryWindow::build() {
    model_ = new HistoryModel(office_, this);
    lblResumen_ = new QLabel(this);
    lblResumen_->setObjectName(QStringLiteral("lblResumen"));
    connect(model_, &HistoryModel::summary_changed, lblResumen_, &QLabel::setText);

    lvwHistorial_ = new QTableView(this);
    lvwHistorial_->setObjectName(QStringLiteral("lvwHistorial"));
    lvwHistorial_->setModel(model_);
    lvwHistorial_->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvwHistorial_->setSelectionMode(QAbstractItemView::SingleSelection);
    lvwHistorial_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvwHistorial_->setWordWrap(false);
    // Rows of one height: the view never measures the rows it does not show.
    lvwHistorial_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    lvwHistorial_->verticalHeader()->hide();
    lvwHistorial_->horizontalHeader()->setStretchLastSection(true);
    // The sorted column's header says which way it reads ("Fecha y hora ▼": newest first);
    // the styles' own marks point either way. A click sorts by a column, again the other way.
    QHeaderView* header = lvwHistorial_->horizontalHeader();
    header->setSortIndicatorShown(false);
    header->setSectionsClickable(true);
    connect(header, &QHeaderView::sectionClicked, this, [this](int column) {
        const bool again = column == model_->sort_column();
        const bool newest_first = column == HistoryModel::kMoment;
        const bool descending = again ? model_->sort_order() == Qt::AscendingOrder : newest_first;
        model_->sort(column, descending ? Qt::DescendingOrder : Qt::AscendingOrder);
    });
    for (const auto& [column, width] : {std::pair{HistoryModel::kMoment, 190},
                                        {HistoryModel::kFile, 140},
                                        {HistoryModel::kKind, 50},
                                        {HistoryModel::kStatus, 110}}) {
        lvwHistorial_->setColumnWidth(column, width);
    }
    connect(lvwHistorial_, &QTableView::doubleClicked, this,
            [this](const QModelIndex& index) { open_row(index.row()); });
    lvwHistorial_->installEventFilter(this);
    build_empty_note();

    cmdExportar_ = new QPushButton(QStringLiteral("&Exportar CSV…"), this);
    cmdExportar_->setObjectName(QStringLiteral("cmdExportar"));
    connect(cmdExportar_, &QPushButton::clicked, this, &HistoryWindow::export_shown_rows);
    cmdActualizar_ = new QPushButton(QStringLiteral("&Actualizar"), this);
    cmdActualizar_->setObjectName(QStringLiteral("cmdActualizar"));
    connect(cmdActualizar_, &QPushButton::clicked, this, &HistoryWindow::refresh);
    cmdCerrar_ = new QPushButton(QStringLiteral("&Cerrar"), this);
    cmdCerrar_->setObjectName(QStringLiteral("cmdCerrar"));
    connect(cmdCerrar_, &QPushButton::clicked, this, &QWidget::close);
    lblExportado_ = new QLabel(this);
    lblExportado_->setObjectName(QStringLiteral("lblExportado"));
    lblExportado_->setTextFormat(Qt::PlainText);
    lblExportado_->setWordWrap(true);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(lblResumen_, 1);
    buttons->addWidget(cmdActualizar_);
    buttons->addWidget(cmdExportar_);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(lblExportado_, 1);
    bottom->addWidget(cmdCerrar_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(build_filters());
    layout->addLayout(buttons);
    layout->addWidget(lvwHistorial_, 1);
    layout->addLayout(bottom);
    set_tab_order();
}

// Tab goes as the window reads, and leaves the table instead of walking its cells (the arrows
// do that).
void HistoryWindow::set_tab_order() {
    lvwHistorial_->setTabKeyNavigation(false);
    const std::array<QWidget*, 11> order = {chkDesde_,    txtDesde_,     chkHasta_,  txtHasta_,
                                            cboTipo_,     cboEstado_,    txtBuscar_, cmdActualizar_,
                                            cmdExportar_, lvwHistorial_, cmdCerrar_};
    for (std::size_t i = 1; i < order.size(); ++i) {
        QWidget::setTabOrder(order[i - 1], order[i]);
    }
}

// Said on the table itself when it shows no row, so that an empty result does not read as a
// window still loading.
void HistoryWindow::build_empty_note() {
    lblVacio_ = new QLabel(lvwHistorial_->viewport());
    lblVacio_->setObjectName(QStringLiteral("lblVacio"));
    lblVacio_->setAlignment(Qt::AlignCenter);
    lblVacio_->setWordWrap(true);
    lblVacio_->setForegroundRole(QPalette::PlaceholderText);
    lvwHistorial_->viewport()->installEventFilter(this);
    connect(model_, &QAbstractItemModel::modelReset, this, &HistoryWindow::show_empty_note);
}

void HistoryWindow::show_empty_note() {
    const HistoryFilter& filter = model_->filter();
    const bool filtered = filter.since || filter.until || !filter.kind.empty() || filter.status ||
                          !filter.text.empty() || filter.awaiting_only;
    lblVacio_->setText(filtered ? QStringLiteral("Ningún envío coincide con los filtros elegidos.")
                                : QStringLiteral("Todavía no hay envíos en el historial."));
    lblVacio_->setGeometry(lvwHistorial_->viewport()->rect());
    lblVacio_->setVisible(model_->rowCount() == 0);
}

QWidget* HistoryWindow::build_filters() {
    auto* bar = new QWidget(this);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    const QDate today = to_qdate(office_.clock().today());
    chkDesde_ = new QCheckBox(QStringLiteral("&Desde"), bar);
    chkDesde_->setObjectName(QStringLiteral("chkDesde"));
    txtDesde_ = date_box(bar, "txtDesde", today, office_.locale());
    chkHasta_ = new QCheckBox(QStringLiteral("&Hasta"), bar);
    chkHasta_->setObjectName(QStringLiteral("chkHasta"));
    txtHasta_ = date_box(bar, "txtHasta", today, office_.locale());
    cboTipo_ = new QComboBox(bar);
    cboTipo_->setObjectName(QStringLiteral("cboTipo"));
    cboTipo_->addItem(QStringLiteral("Todos los tipos"));
    for (const char* kind : kKinds) {
        cboTipo_->addItem(QString::fromLatin1(kind));
    }
    cboEstado_ = new QComboBox(bar);
    cboEstado_->setObjectName(QStringLiteral("cboEstado"));
    cboEstado_->addItem(QStringLiteral("Todos los estados"));
    for (const JourneyStatus status : all_statuses()) {
        cboEstado_->addItem(QString::fromUtf8(status_text(status).data(),
                                              static_cast<qsizetype>(status_text(status).size())));
    }
    txtBuscar_ = new QLineEdit(bar);
    txtBuscar_->setObjectName(QStringLiteral("txtBuscar"));
    txtBuscar_->setPlaceholderText(QStringLiteral("Archivo que contenga…"));
    typing_ = new QTimer(this);
    typing_->setSingleShot(true);
    typing_->setInterval(kTypingPauseMs);
    connect(typing_, &QTimer::timeout, this, &HistoryWindow::apply_filters);
    connect(txtBuscar_, &QLineEdit::textChanged, typing_, qOverload<>(&QTimer::start));

    for (QCheckBox* check : {chkDesde_, chkHasta_}) {
        connect(check, &QCheckBox::toggled, this, [this] {
            txtDesde_->setEnabled(chkDesde_->isChecked());
            txtHasta_->setEnabled(chkHasta_->isChecked());
            apply_filters();
        });
    }
    for (QDateEdit* date : {txtDesde_, txtHasta_}) {
        connect(date, &QDateEdit::dateChanged, this, &HistoryWindow::apply_filters);
    }
    for (QComboBox* combo : {cboTipo_, cboEstado_}) {
        connect(combo, &QComboBox::currentIndexChanged, this, &HistoryWindow::apply_filters);
    }
    row->addWidget(chkDesde_);
    row->addWidget(txtDesde_);
    row->addWidget(chkHasta_);
    row->addWidget(txtHasta_);
    row->addWidget(cboTipo_);
    row->addWidget(cboEstado_);
    row->addWidget(txtBuscar_, 1);
    return bar;
}

void HistoryWindow::apply_filters() {
    typing_->stop();
    HistoryFilter filter;
    if (chkDesde_->isChecked()) {
        filter.since = to_ymd(txtDesde_->date());
    }
    if (chkHasta_->isChecked()) {
        filter.until = to_ymd(txtHasta_->date());
    }
    if (cboTipo_->currentIndex() > 0) {
        filter.kind = cboTipo_->currentText().toStdString();
    }
    if (cboEstado_->currentIndex() > 0) {
        filter.status = all_statuses()[static_cast<std::size_t>(cboEstado_->currentIndex() - 1)];
    }
    filter.text = txtBuscar_->text().trimmed().toStdString();
    model_->set_filter(std::move(filter));
}

void HistoryWindow::show_modeless() {
    // What an earlier opening exported is not news any more.
    if (!isVisible()) {
        lblExportado_->clear();
    }
    refresh();
    show();
    raise();
    activateWindow();
}

void HistoryWindow::refresh() {
    model_->refresh();
}

void HistoryWindow::open_row(int row) {
    const JournalRecord* shown = model_->record_at(row);
    if (shown == nullptr) {
        return;
    }
    const JournalRecord record = *shown;
    std::vector<AnswerRecord> received;
    for (const AnswerRecord& answer : record.answers) {
        if (!answer.received_at.empty()) {
            received.push_back(answer);
        }
    }
    if (received.empty()) {
        ui_.tell({"El archivo " + record.file + " todavía no tiene respuesta.",
                  {},
                  MessageIcon::Information});
        return;
    }
    if (received.size() == 1) {
        open_answer_(received.front().name);
        return;
    }
    choose_answer(row, received);
}

// A file with both its answers in: a menu at its row offers each, the validation answer first
// (Enter opens it).
void HistoryWindow::choose_answer(int row, const std::vector<AnswerRecord>& answers) {
    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("mnuRespuestas"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    std::vector<AnswerRecord> ordered = answers;
    std::stable_partition(ordered.begin(), ordered.end(), [](const AnswerRecord& answer) {
        return answer.role == AnswerRole::Validation;
    });
    for (const AnswerRecord& answer : ordered) {
        QAction* item = menu->addAction(answer_caption(answer));
        connect(item, &QAction::triggered, this,
                [this, name = answer.name] { open_answer_(name); });
    }
    menu->setActiveAction(menu->actions().front());
    const QRect place = lvwHistorial_->visualRect(model_->index(row, HistoryModel::kFile));
    menu->popup(lvwHistorial_->viewport()->mapToGlobal(place.bottomLeft()));
}

void HistoryWindow::export_shown_rows() {
    if (export_folder_.isEmpty()) {
        export_folder_ = documents_folder();
    }
    const QString start = QDir(export_folder_).filePath(QStringLiteral("historial.csv"));
    picker_(this, start, [this](std::optional<QString> file) {
        if (file) {
            export_to(*file);
        }
    });
}

void HistoryWindow::export_to(const QString& file) {
    const std::filesystem::path path(file.toStdU16String());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (out) {
        model_->export_csv(out);
        out.flush();
    }
    if (!out) {
        lblExportado_->clear();
        ui_.tell(
            {"No se pudo escribir el archivo " + path.string() + ".", {}, MessageIcon::Critical});
        return;
    }
    export_folder_ = QFileInfo(file).absolutePath();
    const int rows = model_->rowCount();
    const QString where = QDir::toNativeSeparators(file);
    lblExportado_->setText(
        rows == 1
            ? QStringLiteral("Se exportó 1 envío a %1.").arg(where)
            : QStringLiteral("Se exportaron %1 envíos a %2.").arg(QString::number(rows), where));
}

bool HistoryWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lvwHistorial_->viewport() && event->type() == QEvent::Resize) {
        lblVacio_->setGeometry(lvwHistorial_->viewport()->rect());
    }
    if (watched == lvwHistorial_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            open_row(lvwHistorial_->currentIndex().row());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace ordano
