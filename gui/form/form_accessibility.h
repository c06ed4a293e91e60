// What a screen reader finds in the birth-data form's lists. Qt names a list
// on this desktop by its current item and leaves the label to a relation; the
// form's lists are named by their label and part instead ("Birth month"),
// and their current item is their value.
#pragma once

namespace qv {

// Installs that interface for the lists of every birth-data form made after
// it; the form calls it as it is made. Safe to call again.
void InstallFormAccessibility();

}  // namespace qv
