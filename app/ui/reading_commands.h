// Opening a saved reading from the birth-data form.
#pragma once

#include <optional>

#include "app/birth_form.h"

class QWidget;

namespace qv {

class UserDialogs;

// Shows the open dialog, checks the extension, reads and decodes the file and
// returns `current` with the restored values; nullopt when cancelled or when
// the file was refused or unreadable (the message has been shown then).
std::optional<BirthFormData> OpenReadingCommand(QWidget* parent, UserDialogs& dialogs,
                                                const BirthFormData& current);

}  // namespace qv
