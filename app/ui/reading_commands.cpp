#include "app/ui/reading_commands.h"

#include <QFile>

#include "app/reading_file.h"
#include "app/ui/user_dialogs.h"

namespace qv {

std::filesystem::path LocalFilePath(const QString& path) {
#ifdef Q_OS_WIN
    return std::filesystem::path(path.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}

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

}  // namespace qv
