// SPDX-License-Identifier: Apache-2.0
#include "app/ReviewArea.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTreeWidget>

#include <exception>

#include "app/ListColumns.h"
#include "app/MainWindowUi.h"
#include "app/WindowTexts.h"
#include "base/Errors.h"
#include "base/FileNames.h"
#include "engine/Engine.h"
#include "engine/FrontEnd.h"
#include "office/Office.h"
#include "review/AnswerReview.h"
#include "review/FileSearch.h"
#include "review/OfficeReview.h"
#include "transfer/ConnectionMessages.h"
#include "transfer/TypedFile.h"
#include "ui/EngineCalls.h"
#include "ui/MarkColors.h"

namespace ordano {

namespace {

constexpr int kSearchBy = 0;
constexpr int kFileKind = 1;
constexpr char kInitialKindLetter = 'M';
std::string utf8(const QString& text) {
    return text.toStdString();
}

// Lines kept together in one paragraph of the box. A report of 100,000 records has some
// 300,000 lines; as as many paragraphs the box needs seconds to take them, grouped it needs a
// fraction of that. Reading the text back gives the same line feeds either way.
constexpr qsizetype kLinesPerParagraph = 64;

// The box shows this much of a line (in bytes of UTF-8), then "…": laying out a line of
// millions of characters freezes the window at every repaint, and nobody reads that far along
// one line. The report itself, printed or written, keeps every character.
constexpr std::size_t kLongestShownLine = 10000;

// Appends a line, cut at the limit on a character boundary.
void append_shown(std::string& out, std::string_view line) {
    if (line.size() <= kLongestShownLine) {
        out.append(line);
        return;
    }
    std::size_t cut = kLongestShownLine;
    while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) {
        --cut;  // never split a character
    }
    out.append(line.substr(0, cut));
    out.append("…");
}

// Report lines end with CR LF (a lone CR also ends a line); the box wants bare line feeds.
QString box_lines(std::string_view text) {
    std::string shown;
    shown.reserve(text.size());
    for (;;) {
        const auto end = text.find_first_of("\r\n");
        append_shown(shown, text.substr(0, end));
        if (end == std::string_view::npos) {
            break;
        }
        shown += '\n';
        const bool crlf = text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n';
        text.remove_prefix(end + (crlf ? 2 : 1));
    }
    QString lines = QString::fromStdString(shown);
    qsizetype count = 0;
    for (QChar& c : lines) {
        if (c == QLatin1Char('\n') && ++count % kLinesPerParagraph != 0) {
            c = QChar::LineSeparator;
        }
    }
    return lines;
}

// The whole report with bare line feeds, for the printer.
QString printed_lines(std::string_view text) {
    QString lines = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lines.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return lines;
}

// A received answer ("K" or "R"), not a file to send ("E") nor one a run has just sent ("").
bool is_answer_row(const QTreeWidgetItem& item) {
    const QString status = item.text(send_list::kStatus);
    return !status.isEmpty() && status != QLatin1String("E");
}

}  // namespace

void show_report(QPlainTextEdit& box, std::string_view text) {
    box.setPlainText(box_lines(text));
}

ReviewArea::ReviewArea(const MainWindowUi& ui, Office& office, FrontEnd& messages, Engine& engine,
                       FolderSource folders, QWidget* window)
    : QObject(window),
      ui_(ui),
      office_(office),
      messages_(messages),
      engine_(engine),
      folders_(std::move(folders)),
      window_(window),
      printer_dialog_(system_printer_dialog) {
    setObjectName(QStringLiteral("ReviewArea"));
    connect_controls();
}

void ReviewArea::connect_controls() {
    for (int i = 0; i < 2; ++i) {
        // "activated" also fires when the same item is chosen again, which re-runs the search.
        connect(ui_.cboPreVal[static_cast<std::size_t>(i)], &QComboBox::activated, this,
                [this, i] { cboPreVal_Change(i); });
    }
    connect(ui_.cmdBuscar, &QPushButton::clicked, this, [this] { cmdBuscar_Click(); });
    connect(ui_.lvwPreVal[0], &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item) { lvwPreVal_Click(item); });
    // The arrows open the answer they move to, so that the row shown chosen is always the
    // report shown (a click opens it by itself).
    connect(ui_.lvwPreVal[0], &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* item) {
                if (ui_.lvwPreVal[0]->hasFocus() && QApplication::mouseButtons() == Qt::NoButton) {
                    lvwPreVal_Click(item);
                }
            });
    // Enter opens the chosen answer as the click does (a double-click is a click already).
    ui_.lvwPreVal[0]->installEventFilter(this);
    connect(ui_.cmdImprime, &QPushButton::clicked, this, [this] { cmdImprime_Click(); });
    connect(ui_.cmdVistaPrevia, &QPushButton::clicked, this, [this] { cmdVistaPrevia_Click(); });
    // Any other text put into the box (or its clearing) replaces the report shown.
    connect(ui_.rtbPreVal, &QPlainTextEdit::textChanged, this, [this] {
        if (!filling_box_) {
            report_.clear();
            print_target_.name.clear();
        }
    });
    ui_.txtPreval->installEventFilter(this);
    // A word about the name typed goes as soon as the clerk types again.
    connect(ui_.txtPreval, &QLineEdit::textEdited, ui_.lblAviso, &QWidget::hide);
}

void ReviewArea::start_up() {
    const Sesion& session = office_.session();
    letra_tipo_ = std::string(1, kInitialKindLetter);
    patron_archivos_ = initial_file_pattern(letra_tipo_, session.patente, session.dia_juliano);
    // A send folder that cannot be listed leaves the list empty at start-up without stopping
    // the window with a box for each selector; the next search tells why.
    starting_ = true;
    for (std::size_t i = 0; i < ui_.cboPreVal.size(); ++i) {
        tags_[i] = QStringLiteral("0");
        ui_.cboPreVal[i]->setCurrentIndex(0);
        cboPreVal_Change(static_cast<int>(i));
    }
    starting_ = false;
}

void ReviewArea::cboPreVal_Change(int index) {
    const QComboBox* changed = ui_.cboPreVal.at(static_cast<std::size_t>(index));
    const int selected = changed->currentIndex();
    if (selected < 0) {
        return;
    }
    const QString selected_text = QString::number(selected);
    if (index == kFileKind && selected_text != tags_[kFileKind]) {
        if (const auto kind = search_kind(selected)) {
            letra_tipo_ = std::string(1, kind->letra_tipo);
            list_folder_ = folders_().*(kind->folder);
        }
        tags_[kFileKind] = selected_text;
    }
    build_pattern();
    tags_[kSearchBy] = QString::number(ui_.cboPreVal[kSearchBy]->currentIndex());
    // Only lists, the name typed in "Archivo" as a filter: choosing a kind or a day never puts
    // a file on the send list (that is Enter, "Buscar" or a double-click).
    list_folder_ = selected_kind_folder();
    list_files();
}

void ReviewArea::build_pattern() {
    const int by = ui_.cboPreVal[kSearchBy]->currentIndex();
    if (by != static_cast<int>(SearchBy::CurrentDay) && by != static_cast<int>(SearchBy::AllDays)) {
        return;
    }
    const Sesion& session = office_.session();
    patron_archivos_ = build_file_pattern(static_cast<SearchBy>(by), letra_tipo_, session.patente,
                                          session.dia_juliano, utf8(ui_.txtPreval->text()));
}

std::string ReviewArea::selected_kind_folder() const {
    const auto kind = search_kind(ui_.cboPreVal[kFileKind]->currentIndex());
    return kind ? folders_().*(kind->folder) : list_folder_;
}

void ReviewArea::cmdBuscar_Click() {
    list_folder_ = selected_kind_folder();
    const QString typed = ui_.txtPreval->text();
    if (typed.isEmpty()) {
        build_pattern();  // the kind's files, not the name typed before
        list_files();
    } else {
        add_typed_name(typed);
    }
}

void ReviewArea::list_files() {
    // An office without this folder configured has nothing to list.
    if (list_folder_.empty()) {
        Llena_Archivos({});
        return;
    }
    try {
        Llena_Archivos(matching_files(path_in_folder(list_folder_, ""), patron_archivos_));
    } catch (const NumberedError& error) {
        Llena_Archivos({});
        if (!starting_) {
            show_failure(error.number(), error.description());
        }
    }
}

void ReviewArea::Llena_Archivos(const std::vector<std::string>& names) {
    QTreeWidget& list = *ui_.lvwArchivos;
    list.clear();
    list.hide();
    QList<QTreeWidgetItem*> rows;
    rows.reserve(static_cast<qsizetype>(names.size()));
    for (const std::string& name : names) {
        rows.append(new QTreeWidgetItem(QStringList{QString::fromStdString(name)}));
    }
    list.addTopLevelItems(rows);
    list.show();
}

SendList& ReviewArea::send_list() {
    return engine_.desk().send_list();
}

void ReviewArea::add_typed_name(const QString& typed) {
    with_turn_then(
        engine_, this, Request::EditLists,
        [this, name = utf8(typed), folders = folders_()] {
            return add_typed_file(engine_.desk().send_list(), folders, name);
        },
        [this, typed](TypedFileOutcome outcome) {
            switch (outcome) {
                case TypedFileOutcome::Added:
                    ui_.txtPreval->clear();
                    ui_.lblAviso->hide();
                    return;
                case TypedFileOutcome::AlreadyListed:
                    refuse_typed_name(QStringLiteral("Ya está en la lista de envío: ") +
                                      typed.toUpper());
                    return;
                case TypedFileOutcome::Missing:
                    break;
            }
            refuse_typed_name(QStringLiteral("No existe en las rutas configuradas: ") + typed);
            messages_.tell(
                {"El archivo juliano no existe en las rutas configuradas.\r\n\r\n"
                 "Archivo: " +
                     utf8(typed),
                 {},
                 MessageIcon::None});
        });
}

void ReviewArea::refuse_typed_name(const QString& why) {
    QPalette palette = ui_.lblAviso->palette();
    palette.setColor(QPalette::WindowText, mark_color(Mark::Refused, window_->palette()));
    ui_.lblAviso->setPalette(palette);
    ui_.lblAviso->setText(why);
    ui_.lblAviso->show();
    ui_.txtPreval->setFocus();
    ui_.txtPreval->selectAll();
}

void ReviewArea::lvwPreVal_Click(QTreeWidgetItem* item) {
    if (item == nullptr || ui_.lvwPreVal[0]->topLevelItemCount() == 0 || !is_answer_row(*item)) {
        return;
    }
    open_answer(utf8(item->text(send_list::kName)));
}

// The report reads the catalogue, which the engine's catalogue update may be replacing: it is
// read with the engine's turn, and shown once read.
void ReviewArea::open_answer(const std::string& name) {
    choose_answer_row(name);
    struct Read {
        std::string report;
        std::optional<ReviewFailure> failure;
        std::optional<std::string> error;
    };
    with_turn_then(
        engine_, this, Request::Review,
        [this, name] {
            Read read;
            try {
                ReviewResult result = review_answer(kReviewTitle, name, review_context(office_));
                read.report = result.box_text();
                read.failure = std::move(result.failure);
            } catch (const std::exception& error) {
                read.error = error.what();
            }
            return read;
        },
        [this, name](Read read) {
            if (read.error) {
                show_failure(0, *read.error);
                return;
            }
            print_target_.name = QString::fromStdString(name);
            show_answer(read.report, read.failure);
        });
}

void ReviewArea::show_answer(const std::string& report,
                             const std::optional<ReviewFailure>& failure) {
    filling_box_ = true;
    show_report(*ui_.rtbPreVal, report);
    filling_box_ = false;
    report_ = report;
    if (failure) {
        show_failure(failure->number, failure->message);
    }
}

// The send list shows chosen the row of the answer shown, or none when it has none (an answer
// opened from the history).
void ReviewArea::choose_answer_row(const std::string& name) {
    QTreeWidget& list = *ui_.lvwPreVal[0];
    const QString wanted = QString::fromStdString(name);
    QTreeWidgetItem* row = nullptr;
    for (int i = 0; i < list.topLevelItemCount() && row == nullptr; ++i) {
        QTreeWidgetItem* item = list.topLevelItem(i);
        if (item->text(send_list::kName) == wanted && is_answer_row(*item)) {
            row = item;
        }
    }
    if (row == list.currentItem() && (row == nullptr || row->isSelected())) {
        return;
    }
    const QSignalBlocker quiet(&list);
    if (row == nullptr) {
        list.clearSelection();
    } else {
        list.setCurrentItem(row);
    }
}

// The box may show long lines cut: the printer gets the whole report the box shows.
QString ReviewArea::whole_report() const {
    return report_.empty() ? ui_.rtbPreVal->toPlainText() : printed_lines(report_);
}

void ReviewArea::cmdImprime_Click() {
    print_report(*ui_.rtbPreVal, whole_report(), printer_dialog_, window_, print_target_);
}

void ReviewArea::cmdVistaPrevia_Click() {
    preview_report(*ui_.rtbPreVal, whole_report(), window_, print_target_);
}

void ReviewArea::show_failure(int number, const std::string& description) {
    // A failure without a number of its own is shown by its cause alone.
    messages_.tell({number == 0 ? description : error_number_message(number, description),
                    {},
                    MessageIcon::Critical});
}

bool ReviewArea::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return QObject::eventFilter(watched, event);
    }
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key != Qt::Key_Return && key != Qt::Key_Enter) {
        return QObject::eventFilter(watched, event);
    }
    if (watched == ui_.txtPreval) {
        if (!ui_.txtPreval->text().isEmpty()) {
            cmdBuscar_Click();
        }
        return true;
    }
    if (watched == ui_.lvwPreVal[0]) {
        lvwPreVal_Click(ui_.lvwPreVal[0]->currentItem());
        return true;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace ordano
