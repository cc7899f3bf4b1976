// SPDX-License-Identifier: Apache-2.0
#include "dialogs/FolderPicker.h"

#include <QDir>
#include <QFileDialog>
#include <QStandardPaths>

namespace ordano {
namespace {

// Shown modal to its window without holding the window's thread; gone once closed.
void open_dialog(QFileDialog* dialog, const Chosen& chosen) {
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(dialog, &QFileDialog::finished, dialog, [dialog, chosen](int result) {
        const QStringList files = dialog->selectedFiles();
        if (result != QDialog::Accepted || files.isEmpty() || files.front().isEmpty()) {
            chosen(std::nullopt);
        } else {
            chosen(QDir::toNativeSeparators(files.front()));
        }
    });
    dialog->open();
}

}  // namespace

QString documents_folder() {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return documents.isEmpty() ? QDir::homePath() : documents;
}

FolderPicker system_folder_picker() {
    return [](QWidget* parent, const QString& start, Chosen chosen) {
        auto* dialog = new QFileDialog(parent, QStringLiteral("Selecciona la carpeta"), start);
        dialog->setFileMode(QFileDialog::Directory);
        dialog->setOption(QFileDialog::ShowDirsOnly);
        open_dialog(dialog, chosen);
    };
}

FolderPicker system_certificate_picker() {
    return [](QWidget* parent, const QString& start, Chosen chosen) {
        auto* dialog = new QFileDialog(
            parent, QStringLiteral("Selecciona el archivo de certificados"), start,
            QStringLiteral("Certificados (*.pem *.crt *.cer);;Todos los archivos (*)"));
        dialog->setFileMode(QFileDialog::ExistingFile);
        open_dialog(dialog, chosen);
    };
}

FolderPicker system_save_file_picker() {
    return [](QWidget* parent, const QString& start, Chosen chosen) {
        auto* dialog = new QFileDialog(parent, QStringLiteral("Exportar el historial"), start,
                                       QStringLiteral("Archivos CSV (*.csv)"));
        dialog->setAcceptMode(QFileDialog::AcceptSave);
        open_dialog(dialog, chosen);
    };
}

}  // namespace ordano
