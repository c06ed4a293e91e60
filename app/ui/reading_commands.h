// Opening and saving a reading: the birth-data form opens one, the chart
// window's "Save As" saves the chart it shows.
#pragma once

#include <QString>
#include <filesystem>
#include <optional>
#include <string>

#include "app/birth_form.h"
#include "state/chart_state.h"

class QWidget;

namespace qv {

class UserDialogs;

// Shows the open dialog, loads the reading and returns `current` with the
// restored values; nullopt when cancelled or when the file was refused (the
// message has been shown then).
std::optional<BirthFormData> OpenReadingCommand(QWidget* parent, UserDialogs& dialogs, const BirthFormData& current);

// The same for a file already chosen (one given to the program on its
// command line): the same checks, and a refusal shown in the same words.
std::optional<BirthFormData> OpenReadingFile(QWidget* parent, UserDialogs& dialogs, const std::filesystem::path& file,
                                             const BirthFormData& current);

// "Save As": writes the reading file of the chart state. `zoneSlot` is the
// time-zone slot the chart was calculated with; `readingFileName` is the
// name last chosen, offered again and updated.
void SaveReadingCommand(QWidget* parent, const ChartState& state, int zoneSlot, UserDialogs& dialogs,
                        std::string& readingFileName);

}  // namespace qv
