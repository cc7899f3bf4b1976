// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <QObject>
#include <QString>

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/ReportPrinter.h"
#include "office/Session.h"
#include "review/AnswerReview.h"

class QPlainTextEdit;
class QTreeWidgetItem;
class QWidget;

namespace ordano {

class Engine;
class FrontEnd;
class NumberedError;
class Office;
class SendList;
struct MainWindowUi;

// The review area of the main window ("REVISIÓN DE ARCHIVOS"): the two selectors and the
// search into lvwArchivos, names typed into txtPreval, answers opened from the send list into
// rtbPreVal, and printing the report (with a preview). The controls are the window's; this
// drives them. A typed name goes onto the engine's send list, and a report reads the catalogue,
// with the engine's turn.
class ReviewArea : public QObject {
    Q_OBJECT
public:
    // The local folders as the window holds them (the parameters window's fields).
    using FolderSource = std::function<LocalFolders()>;

    ReviewArea(const MainWindowUi& ui, Office& office, FrontEnd& messages, Engine& engine,
               FolderSource folders, QWidget* window);

    // Start-up's part: kind letter "M", today's pattern, both tags "0", and the first item of
    // each selector chosen, each choice running the selection handling and its search.
    void start_up();

    void cboPreVal_Change(int index);
    void cmdBuscar_Click();
    void lvwPreVal_Click(QTreeWidgetItem* item);
    // Renders a received answer, by its name, into the review box, and shows its send-list row
    // chosen (none when it is not on the send list).
    void open_answer(const std::string& name);
    void cmdImprime_Click();
    // The pages "Imprimir" would print, shown first.
    void cmdVistaPrevia_Click();
    void Llena_Archivos(const std::vector<std::string>& names);

    void set_printer_dialog(PrinterDialog dialog) { printer_dialog_ = std::move(dialog); }
    // The folder the last report printed to a file went to, kept across runs by the program.
    [[nodiscard]] const QString& print_folder() const { return print_target_.folder; }
    void set_print_folder(const QString& folder) { print_target_.folder = folder; }

    [[nodiscard]] const std::string& letra_tipo() const { return letra_tipo_; }
    [[nodiscard]] const std::string& patron_archivos() const { return patron_archivos_; }
    // The folder the file list shows (filPreVal's folder).
    [[nodiscard]] const std::string& list_folder() const { return list_folder_; }
    [[nodiscard]] const QString& selector_tag(int index) const {
        return tags_.at(static_cast<std::size_t>(index));
    }
    [[nodiscard]] SendList& send_list();

protected:
    // Enter in txtPreval is swallowed; with text in the box it runs the search. Enter on the
    // send list opens its current row as a click does.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void connect_controls();
    void build_pattern();
    void list_files();
    void add_typed_name(const QString& typed);
    // Says beside "Archivo" why the typed name was not taken, and selects it so that the next
    // name typed replaces it.
    void refuse_typed_name(const QString& why);
    void show_answer(const std::string& report, const std::optional<ReviewFailure>& failure);
    void choose_answer_row(const std::string& name);
    [[nodiscard]] QString whole_report() const;
    void show_failure(int number, const std::string& description);
    [[nodiscard]] std::string selected_kind_folder() const;

    const MainWindowUi& ui_;
    Office& office_;
    FrontEnd& messages_;
    Engine& engine_;
    FolderSource folders_;
    QWidget* window_;
    PrinterDialog printer_dialog_;
    PrintTarget print_target_;  // the answer shown, and where reports printed to a file go

    std::string report_;  // the whole report the box shows, which may cut long lines
    bool filling_box_ = false;
    std::string letra_tipo_;
    std::string patron_archivos_;
    std::string list_folder_;
    std::array<QString, 2> tags_;
    bool starting_ = false;
};

// Puts a report (UTF-8 with CR LF line ends) into the box in one go, as plain text, each line
// cut at 10,000 bytes.
void show_report(QPlainTextEdit& box, std::string_view text);

}  // namespace ordano
