// Opening a saved reading from the birth-data form.
#pragma once

#include <QString>
#include <filesystem>
#include <optional>

#include "app/birth_form.h"

class QWidget;

namespace qv {

class UserDialogs;

// Shows the open dialog, loads the reading and returns `current` with the
// restored values; nullopt when cancelled or when the file was refused (the
// message has been shown then).
std::optional<BirthFormData> OpenReadingCommand(QWidget* parent, UserDialogs& dialogs,
                                                const BirthFormData& current);

// A path chosen in a file dialog as the file system names it.
std::filesystem::path LocalFilePath(const QString& path);

}  // namespace qv
