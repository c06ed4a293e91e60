#include "app/ui/reading_commands.h"

namespace qv {

// Placeholder until the reading commands land.
std::optional<BirthFormData> OpenReadingCommand(QWidget*, UserDialogs&, const BirthFormData&) {
    return std::nullopt;
}

}  // namespace qv
