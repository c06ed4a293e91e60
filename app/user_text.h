// User text inside messages: quoted, with every byte that could steer a
// terminal or break a line written as an escape instead.
#pragma once

#include <string>
#include <string_view>

namespace qv {

// `text` between double quotes. Control characters (U+0000–U+001F, U+007F,
// U+0080–U+009F) and bytes that are not valid UTF-8 are written as \xNN per
// byte (for example ESC as \x1b); everything else stands as it is.
std::string QuoteUserText(std::string_view text);

}  // namespace qv
