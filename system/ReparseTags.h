// Reparse tags: which reparse points are links to somewhere else.
#pragma once

#include <cstdint>

// A name surrogate (a junction, a symbolic link) names another file or folder; every
// other reparse point (a file a cloud client keeps, deduplicated data) is an ordinary
// file or folder with a filter in front of its data.
inline bool IsLinkTag(uint32_t tag) {
    return (tag & 0x20000000u) != 0;
}
