// The checker's command line, split as the system's own command interpreter reads a
// path: a folder path cannot hold '"', so a quote only opens or closes a quoted part,
// and a backslash is always a backslash ("D:\Medium\" names D:\Medium\).
#pragma once

#include <string>
#include <vector>

// The words of `commandLine` (code page 932; neither '"' nor a blank is ever a second
// byte), the program's own name first. Blanks (space, tab) outside quotes separate
// them; the quotes themselves are dropped, and "" gives an empty word.
std::vector<std::string> SplitCommandLine(const std::string& commandLine);
