// The icon of a message box: the error sign for a mistake the user can mend,
// the information sign for a notice.
#pragma once

namespace qv {

enum class MessageIcon { Error, Information };

}  // namespace qv
