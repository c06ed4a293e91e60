#include "app/ui/reading_commands.h"

#include "app/reading_file.h"
#include "ui/program_identity.h"
#include "ui/user_dialogs.h"

namespace qv {

std::optional<BirthFormData> OpenReadingCommand(QWidget* parent, UserDialogs& dialogs,
                                                const BirthFormData& current) {
    FileDialogSettings settings;
    settings.title = QStringLiteral("Select the source file");
    settings.filter = QStringLiteral("Quorvane (*.qvn)");
    settings.defaultSuffix = QStringLiteral("qvn");
    settings.confirmOverwrite = false;
    settings.mustExist = true;

    const std::optional<QString> chosen = dialogs.openFileName(parent, settings);
    if (!chosen || chosen->isEmpty()) return std::nullopt;

    if (!HasReadingExtension(chosen->toStdString())) {
        dialogs.message(parent, QStringLiteral("Please Check The File."), MessageIcon::Error);
        return std::nullopt;
    }

    const ReadingFileRead read = ReadReadingFile(LocalFilePath(*chosen));
    if (read.error) {
        dialogs.message(parent, QString::fromStdString(*read.error), MessageIcon::Error);
        return std::nullopt;
    }
    // An empty file holds no reading at all; the form keeps what the user typed.
    if (read.linesFound == 0) {
        dialogs.message(parent,
                        QStringLiteral("Could not open \"%1\": the file is empty, it holds no reading.")
                            .arg(*chosen),
                        MessageIcon::Error);
        return std::nullopt;
    }

    BirthFormData restored = current;
    RestoreFormFromReading(read.lines, restored);
    return restored;
}

void SaveReadingCommand(QWidget* parent, const ChartState& state, int zoneSlot, UserDialogs& dialogs,
                        std::string& readingFileName) {
    FileDialogSettings settings;
    settings.title = QString::fromLatin1(kProgramName);
    settings.filter = QStringLiteral("Quorvane (*.qvn)");
    settings.defaultSuffix = QStringLiteral("qvn");
    settings.initialName = QString::fromStdString(readingFileName);
    settings.confirmOverwrite = true;

    const std::optional<QString> chosen = dialogs.saveFileName(parent, settings);
    if (!chosen || chosen->isEmpty()) return;
    readingFileName = chosen->toStdString();

    if (const auto error = WriteReadingFile(LocalFilePath(*chosen), state, zoneSlot))
        dialogs.message(parent, QString::fromStdString(*error), MessageIcon::Error);
}

}  // namespace qv
