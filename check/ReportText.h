// The checker's report as lines of text (code page 932, without line ends).
#pragma once

#include <string>
#include <vector>

#include "check/MediumCheck.h"

// "<severity>: <file> <key>: <text>", the key left out when there is none.
std::string FormatFinding(const Finding& finding);

// The lines after the findings: what will be installed, the need the destination
// dialog shows, and the count of errors and warnings.
std::vector<std::string> FormatSummary(const MediumReport& report);

// The one line for a folder that cannot be listed.
std::string FormatUnreadableFolder(const std::string& folder);

// The one line for a settings or message file too large to check.
std::string FormatOversizedFile(const std::string& file);
