// How a file name or a word from the command line is written into an error message.
#pragma once

#include <string>
#include <string_view>

namespace quorvane {

// `text` escaped so that a message holding it stays one line and cannot steer a terminal:
// tab, LF and CR become \t, \n and \r, the other C0 controls and DEL \xHH, the C1 controls and
// the Unicode line and paragraph separators \uHHHH, and the backslash \\, so that the escape
// can always be told from the name. Every other byte, even one that is not UTF-8, is kept.
std::string EscapeForMessage(std::string_view text);

}  // namespace quorvane
