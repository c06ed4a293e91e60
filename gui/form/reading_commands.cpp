#include "gui/form/reading_commands.h"

#include <variant>

#include "formats/reading_file.h"
#include "gui/common/program_identity.h"
#include "gui/common/user_dialogs.h"

namespace qv {

std::optional<BirthFormData> OpenReadingCommand(QWidget* parent, UserDialogs& dialogs) {
    FileDialogSettings settings;
    settings.title = QStringLiteral("Select the source file");
    settings.filter = QStringLiteral("Quorvane (*.qvn)");
    settings.defaultSuffix = QStringLiteral("qvn");
    settings.confirmOverwrite = false;
    settings.mustExist = true;

    const std::optional<QString> chosen = dialogs.openFileName(parent, settings);
    if (!chosen || chosen->isEmpty()) return std::nullopt;
    return OpenReadingFile(parent, dialogs, LocalFilePath(*chosen));
}

std::optional<BirthFormData> OpenReadingFile(QWidget* parent, UserDialogs& dialogs, const std::filesystem::path& file) {
    // A refused file leaves the form as the user left it.
    const auto loaded = LoadReading(file);
    if (const auto* refused = std::get_if<ReadingRefusal>(&loaded)) {
        dialogs.message(parent, QString::fromStdString(refused->message), MessageIcon::Error);
        return std::nullopt;
    }
    return std::get<BirthFormData>(loaded);
}

void SaveReadingCommand(QWidget* parent, const ChartState& state, UserDialogs& dialogs, std::string& readingFileName) {
    FileDialogSettings settings;
    settings.title = QString::fromLatin1(kProgramName);
    settings.filter = QStringLiteral("Quorvane (*.qvn)");
    settings.defaultSuffix = QStringLiteral("qvn");
    settings.confirmOverwrite = true;
    // A reading under another extension could never be opened again.
    settings.alwaysSuffix = true;
    readingFileName = OfferedReadingName(readingFileName, state.BirthName);
    SaveToChosenFile(parent, dialogs, settings, readingFileName,
                     [&](const std::filesystem::path& file) { return WriteReadingFile(file, state); });
}

}  // namespace qv
