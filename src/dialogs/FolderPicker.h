// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <QString>
#include <QWidget>

#include <functional>
#include <optional>

namespace ordano {

// The directory picker: a start folder in (empty: its default folder), the chosen folder out,
// nothing when the user cancels. Injectable so that tests never open a real dialog.
using FolderPicker =
    std::function<std::optional<QString>(QWidget* parent, const QString& start_folder)>;

// QFileDialog::getExistingDirectory.
[[nodiscard]] FolderPicker system_folder_picker();
// The same shape for a certificate file (QFileDialog::getOpenFileName): a start path in, the
// chosen file out.
[[nodiscard]] FolderPicker system_certificate_picker();

}  // namespace ordano
