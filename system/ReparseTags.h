// Reparse points: some are links, most are not.
#pragma once

#include <cstdint>

// Whether a reparse tag makes a link that leads elsewhere (a name surrogate: a junction,
// a symbolic link). Every other tag, a cloud-sync client's placeholders or the
// deduplication's among them, marks an ordinary file or folder.
inline bool IsLinkTag(uint32_t tag) {
    return (tag & 0x20000000u) != 0;
}
