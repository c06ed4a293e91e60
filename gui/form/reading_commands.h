// Opening and saving a reading: the birth-data form opens one, the chart
// window's "Save As" saves the chart it shows.
#pragma once

#include <QString>
#include <filesystem>
#include <optional>
#include <string>

#include "chart/birth_form.h"
#include "state/chart_state.h"

class QWidget;

namespace qv {

class UserDialogs;

// Shows the open dialog and loads the reading: the form's contents it
// holds, or nullopt when cancelled or when the file was refused (the
// message has been shown then).
std::optional<BirthFormData> OpenReadingCommand(QWidget* parent, UserDialogs& dialogs);

// The same for a file already chosen (one given to the program on its
// command line): the same checks, and a refusal shown in the same words.
std::optional<BirthFormData> OpenReadingFile(QWidget* parent, UserDialogs& dialogs, const std::filesystem::path& file);

// "Save As": writes the reading file of the chart state. `readingFileName`
// is the name last chosen, offered again and updated.
void SaveReadingCommand(QWidget* parent, const ChartState& state, UserDialogs& dialogs, std::string& readingFileName);

}  // namespace qv
