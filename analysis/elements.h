// Which elements, sign qualities and house types hold a body.
#pragma once

#include <array>
#include <string_view>

#include "state/chart_state.h"

namespace qv {

// Writes HouseSign, ElementResult, QualityResult, HouseTypeResult and
// InterpretationRuns from the bodies' signs (BodySign; a body without a
// sign holds nothing, and without the ascendant's no house type is held).
//
// InterpretationRuns holds one run per append to the interpretation box, in
// order; every line break inside a run's text is a single "\n" (the CR LF
// inside a missing category's message becomes "\n" there too). A viewer
// renders the runs one after another and adds nothing of its own.
// The result lists keep the stored messages: "M-" marker and CR LF included.
void AnalyseElementsQualityHouse(ChartState& state);

// Families and their categories, in the order of the result lists.
enum class Element { Fire = 0, Earth = 1, Air = 2, Water = 3 };
enum class Quality { Cardinal = 0, Mutable = 1, Fixed = 2 };
enum class HouseType { Angular = 0, Succedent = 1, Cadent = 2 };

// Category names, in the order of ElementResult, QualityResult, HouseTypeResult.
inline constexpr std::array<std::string_view, 4> kElementNames = {"Fire", "Earth", "Air", "Water"};
inline constexpr std::array<std::string_view, 3> kQualityNames = {"Cardinal", "Mutable", "Fixed"};
inline constexpr std::array<std::string_view, 3> kHouseTypeNames = {"Angular", "Succedent", "Cadent"};

// True when a stored result message reports its category present (a missing
// one starts with the "M-" marker).
bool IsPresentMessage(std::string_view message);

// Element of sign 0..11 (triplicity: Fire Ari Leo Sag, Earth Tau Vir Cap, …).
Element ElementOfSign(int sign);

// Quality of sign 0..11 (quadruplicity: cardinal, fixed, mutable in turn).
Quality QualityOfSign(int sign);

// House type of whole-sign house 1..12 (1, 4, 7, 10 angular; then succedent;
// then cadent).
HouseType HouseTypeOfHouse(int house);

// Whole-sign house 1..12 of a body in `sign` for an ascendant in `ascSign`.
int WholeSignHouse(int sign, int ascSign);

}  // namespace qv
