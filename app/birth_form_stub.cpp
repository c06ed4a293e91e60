#include "app/birth_form.h"

namespace qv {

// Placeholders until the form logic lands.
std::optional<ValidationFailure> ValidateInput(const BirthFormData&) { return std::nullopt; }
void LoadFixedLists(ChartState&) {}
void CopyFormToState(const BirthFormData&, ChartState&) {}

}  // namespace qv
