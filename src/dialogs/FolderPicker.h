// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <QString>
#include <QWidget>

#include <functional>
#include <optional>

namespace ordano {

// A file or folder picker: a parent and a start path in; the chosen path, or nothing when the
// user cancels, out through `chosen`, later (the picker does not hold the window's thread).
// Injectable so that tests never open a real dialog.
using Chosen = std::function<void(std::optional<QString> path)>;
using FolderPicker = std::function<void(QWidget* parent, const QString& start, Chosen chosen)>;

// Where a person's own files go: the Documents folder (the home folder when there is none).
// Exports and reports printed to a file are offered there first.
[[nodiscard]] QString documents_folder();

// The workstation's folder dialog.
[[nodiscard]] FolderPicker system_folder_picker();
// The same for a certificate file.
[[nodiscard]] FolderPicker system_certificate_picker();
// The same for the file a CSV export is written to (`start`: the suggested name).
[[nodiscard]] FolderPicker system_save_file_picker();

}  // namespace ordano
