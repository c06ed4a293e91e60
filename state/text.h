// Text helpers every floor uses: blanks, UTF-8, quoting user text inside
// messages, and numbers written into fixed buffers without allocating.
#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace qv {

// Text with blanks (U+0020), or the bytes of `blanks`, removed at both ends.
std::string_view TrimBlanks(std::string_view s, std::string_view blanks = " ");

// The last n characters (UTF-8 code points) of s, or all of s if shorter.
std::string_view LastCharacters(std::string_view s, std::size_t n);

// The number a text of one to `maxDigits` ASCII digits (at most 9) and
// nothing else writes; nullopt for any other text, a sign or a blank
// included. Every reader of numbers the user or a file gives goes through it.
std::optional<int> ParseDigits(std::string_view text, std::size_t maxDigits = 9);

// One step through UTF-8 text at byte `i` (< text.size()): the bytes of the
// character there when `valid`, else the bytes of the longest start of a
// character that cannot be completed (at least one), which a reader replaces
// by one U+FFFD.
struct Utf8Step {
    std::size_t length = 1;
    bool valid = false;
};
Utf8Step Utf8StepAt(std::string_view text, std::size_t i);

// Text with every byte sequence that is not valid UTF-8 replaced by U+FFFD.
std::string ValidUtf8(std::string_view text);

// Whether `text` holds a control character: U+0000–U+001F, U+007F or, as
// UTF-8, U+0080–U+009F (a tab, a line break, an escape that a terminal obeys).
bool HoldsControlCharacter(std::string_view text);

// `text` between double quotes. Control characters (U+0000–U+001F, U+007F,
// U+0080–U+009F) and bytes that are not valid UTF-8 are written as \xNN per
// byte (for example ESC as \x1b); everything else stands as it is.
std::string QuoteUserText(std::string_view text);

// `value` as printf's "%0*d" writes it: at least `width` characters, zeros
// after any minus sign. Room for 12 bytes or `width`; returns the end.
char* PutZeroPadded(char* out, long value, int width);

// An offset east of UTC in seconds as "+05:30" or "-05:00", with its
// seconds when it has any ("+02:30:17"), at `out`, which has room for 12
// bytes; returns its end.
char* PutUtcOffset(char* out, int secondsEast);

// "YYYY-MM-DDTHH:MM:SSZ" of a moment at `out`, which has room for
// kIsoMinuteRoom bytes; returns its end. A moment in whole minutes (every
// chart on a row of the time-zone table) ends in ":00Z".
inline constexpr std::size_t kIsoMinuteRoom = 40;
char* PutIsoMinute(char* out, std::chrono::sys_seconds t);

}  // namespace qv
