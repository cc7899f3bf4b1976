// SPDX-License-Identifier: Apache-2.0
#include "dialogs/FolderPicker.h"

#include <QDir>
#include <QFileDialog>

namespace ordano {

FolderPicker system_folder_picker() {
    return [](QWidget* parent, const QString& start_folder) -> std::optional<QString> {
        const QString chosen = QFileDialog::getExistingDirectory(
            parent, QStringLiteral("Selecciona la carpeta"), start_folder);
        if (chosen.isEmpty()) {
            return std::nullopt;
        }
        return QDir::toNativeSeparators(chosen);
    };
}

FolderPicker system_certificate_picker() {
    return [](QWidget* parent, const QString& start) -> std::optional<QString> {
        const QString chosen = QFileDialog::getOpenFileName(
            parent, QStringLiteral("Selecciona el archivo de certificados"), start,
            QStringLiteral("Certificados (*.pem *.crt *.cer);;Todos los archivos (*)"));
        if (chosen.isEmpty()) {
            return std::nullopt;
        }
        return QDir::toNativeSeparators(chosen);
    };
}

}  // namespace ordano
