// The birth-data form's atlas assistant, without widgets: what the form still
// holds of a place chosen from the atlas, the nearest atlas place to
// coordinates typed by hand, the line under the zone row, and the question
// asked before a chart that the atlas contradicts. The Qt form hands it the
// form's contents at each change and shows what it says; everything it
// decides is tested here, without a window.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "atlas/places.h"
#include "chart/birth_form.h"
#include "chart/birth_place.h"

namespace qv {

// The question before a chart the atlas contradicts, and its three answers.
struct AtlasQuestion {
    enum class Kind : std::uint8_t {
        PlaceZone,   // the zone is not the clock of the place whose coordinates are held
        NearbyZone,  // the zone is not the clock of the nearest atlas place to typed coordinates
        OtherCity,   // City names another place than the one whose coordinates are held
    };
    Kind kind = Kind::PlaceZone;
    std::string text;  // names both clocks, or both places
};

// The answers, in the order the question offers them.
enum class AtlasAnswer : std::uint8_t { UseAtlas = 0, KeepMine = 1, GoBack = 2 };
inline constexpr std::string_view kAtlasAnswerTexts[3] = {"Use the Atlas's", "Keep Mine", "Go Back"};

class PlaceAssistant {
public:
    // The line under the zone row, and whether "Use Its Zone" is offered.
    const std::string& line() const { return line_; }
    bool offersNearbyZone() const;
    // The place the form still holds something of.
    const std::optional<Place>& place() const { return place_; }
    // The name the zone list's exact-clock entry is named for.
    std::string clockPlaceName() const;

    // Whether the atlas has been read, so that places near coordinates can be
    // looked up; and whether the form should start reading it.
    bool atlasReady() const { return atlasReady_; }
    bool wantsAtlas() const { return nearbyWanted_ && !atlasReady_; }
    void atlasLoaded(const BirthFormData& form);

    // A place chosen from the atlas's list: its names, coordinates and the
    // zone of its clock at the form's birth moment go into `form`.
    void choosePlace(const Place& place, BirthFormData& form);
    // The date or time changed: the zone of the place's clock at the new
    // moment, unless the user chose the zone since. True when `form`'s zone
    // item, box or exact clock were set.
    bool momentChanged(BirthFormData& form);
    // The user changed the zone item or the box.
    void zoneChangedByHand(const BirthFormData& form);
    // The user changed a coordinate or a direction.
    void coordinatesChangedByHand(const BirthFormData& form);
    // The user edited City.
    void cityEdited(const BirthFormData& form);
    // Other birth data were put in (a reading): nothing of a place is held.
    void forget();
    // "Use Its Zone": the nearest place's clock into `form`; false without one.
    bool useNearbyZone(BirthFormData& form);

    // While the atlas chose the zone: a birth time the place's clocks skipped
    // (or a day they jumped over), or zone data that cannot be read, refused
    // with the atlas's words. `focusHour` says whether the hour should get
    // the focus (else the zone list).
    std::optional<std::string> clockRefusal(const BirthFormData& form, bool& focusHour) const;

    // The question before a chart, asked when the zone's offset at the birth
    // moment differs from the clock of the place whose coordinates are held
    // or, for coordinates typed by hand, of the nearest atlas place within
    // 100 km; or when City names another place than the one whose
    // coordinates are held. nullopt when they agree, when the atlas has
    // nothing to say, or when the user kept these very data before.
    std::optional<AtlasQuestion> question(const BirthFormData& form) const;
    // What an answer does: "use the atlas's" changes `form` (the place's or
    // the nearest place's clock; for another city, the atlas's place of that
    // name, or else the held place's names back); "keep mine" remembers the
    // data so that they are not asked about again. True when the chart may
    // be calculated.
    bool answer(const AtlasQuestion& question, AtlasAnswer answer, BirthFormData& form);

    // The IANA zone of the place whose clock the chart may take, for the
    // time window on the place's clock; empty for none.
    std::string chartZoneId() const;

private:
    void showPlaceLine(const BirthFormData& form);
    void showNearbyLine(const BirthFormData& form);
    // The atlas's place of City's name, when it knows one.
    std::optional<Place> placeOfCity(std::string_view city) const;

    std::optional<Place> place_;      // while the form holds something of the chosen place
    PlaceClock clock_;                // its clock at the birth moment
    bool coordinatesByHand_ = false;  // the user changed a coordinate or direction since
    bool zoneByHand_ = false;         // the user changed the zone or the box since
    bool nearbyWanted_ = false;       // coordinates typed without a place
    bool atlasReady_ = false;
    NearbyClock nearby_;  // the nearest place to them
    std::string line_;
    std::optional<BirthFormData> kept_;  // data the user chose to keep against the atlas
};

}  // namespace qv
