#include "app/ui/reading_commands.h"

#include <QFile>
#include <variant>

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

    // A refused file leaves the form as the user left it.
    const auto loaded = LoadReading(LocalFilePath(*chosen));
    if (const auto* refused = std::get_if<ReadingRefusal>(&loaded)) {
        dialogs.message(parent, QString::fromStdString(refused->message), MessageIcon::Error);
        return std::nullopt;
    }
    BirthFormData restored = current;
    RestoreFormFromReading(std::get<ReadingValues>(loaded), restored);
    return restored;
}

}  // namespace qv
