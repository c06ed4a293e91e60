// The file names the save dialogs offer and write: "Save As" (a reading) and
// "Export Chart As Text" remember one name between them, and each offers it
// with its own extension, so that neither writes over the other's file.
#pragma once

#include <string>
#include <string_view>

namespace qv {

// `name` with the extension `extension` (without the dot): the program's own
// save extensions ("qvn", "txt", in any case) at the end of the file name are
// replaced, anything else is kept and the extension added after it.
// "/d/victim.qvn" -> "/d/victim.txt", "/d/victim" -> "/d/victim.txt",
// "/d/Dr. Who" -> "/d/Dr. Who.txt". An empty name stays empty.
std::string WithOwnExtension(std::string_view name, std::string_view extension);

}  // namespace qv
