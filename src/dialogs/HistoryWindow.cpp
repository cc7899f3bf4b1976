#include "dialogs/HistoryWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <array>
#include <fstream>

#include "dialogs/HistoryModel.h"
#include "engine/FrontEnd.h"
#include "store/Office.h"

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

QDateEdit* date_box(QWidget* parent, const char* name, const QDate& date) {
    auto* box = new QDateEdit(date, parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setCalendarPopup(true);
    box->setEnabled(false);
    return box;
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
    resize(960, 600);
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
    lvwHistorial_->horizontalHeader()->setSortIndicator(HistoryModel::kMoment, Qt::DescendingOrder);
    lvwHistorial_->setSortingEnabled(true);
    for (const auto& [column, width] : {std::pair{HistoryModel::kMoment, 190},
                                        {HistoryModel::kFile, 140},
                                        {HistoryModel::kKind, 50},
                                        {HistoryModel::kStatus, 110}}) {
        lvwHistorial_->setColumnWidth(column, width);
    }
    connect(lvwHistorial_, &QTableView::doubleClicked, this,
            [this](const QModelIndex& index) { open_row(index.row()); });
    lvwHistorial_->installEventFilter(this);

    cmdExportar_ = new QPushButton(QStringLiteral("Exportar CSV…"), this);
    cmdExportar_->setObjectName(QStringLiteral("cmdExportar"));
    connect(cmdExportar_, &QPushButton::clicked, this, &HistoryWindow::export_shown_rows);
    cmdActualizar_ = new QPushButton(QStringLiteral("Actualizar"), this);
    cmdActualizar_->setObjectName(QStringLiteral("cmdActualizar"));
    connect(cmdActualizar_, &QPushButton::clicked, this, &HistoryWindow::refresh);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(lblResumen_, 1);
    buttons->addWidget(cmdActualizar_);
    buttons->addWidget(cmdExportar_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(build_filters());
    layout->addLayout(buttons);
    layout->addWidget(lvwHistorial_, 1);
}

QWidget* HistoryWindow::build_filters() {
    auto* bar = new QWidget(this);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    const QDate today = to_qdate(office_.clock().today());
    chkDesde_ = new QCheckBox(QStringLiteral("Desde"), bar);
    chkDesde_->setObjectName(QStringLiteral("chkDesde"));
    txtDesde_ = date_box(bar, "txtDesde", today);
    chkHasta_ = new QCheckBox(QStringLiteral("Hasta"), bar);
    chkHasta_->setObjectName(QStringLiteral("chkHasta"));
    txtHasta_ = date_box(bar, "txtHasta", today);
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
    const AnswerRecord* chosen = nullptr;
    for (const AnswerRecord& answer : record.answers) {
        if (!answer.received_at.empty() &&
            (chosen == nullptr || answer.role == AnswerRole::Validation)) {
            chosen = &answer;
        }
    }
    if (chosen == nullptr) {
        ui_.tell({"El archivo " + record.file + " todavía no tiene respuesta.",
                  {},
                  MessageIcon::Information});
        return;
    }
    open_answer_(chosen->name);
}

void HistoryWindow::export_shown_rows() {
    picker_(this, QStringLiteral("historial.csv"), [this](std::optional<QString> file) {
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
        ui_.tell(
            {"No se pudo escribir el archivo " + path.string() + ".", {}, MessageIcon::Critical});
    }
}

bool HistoryWindow::eventFilter(QObject* watched, QEvent* event) {
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
