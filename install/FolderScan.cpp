#include "install/FolderScan.h"

#include <algorithm>
#include <vector>

#include "system/Paths.h"

void ScanFolderTree(System& system, const std::string& folder, PathList& folders, PathList& files,
                    int64_t* total) {
    if (folder.empty()) {
        return;
    }
    const std::string base = AddTrailingSeparator(folder);
    std::vector<FindEntry> entries;
    if (!system.FindFiles(base + "*.*", entries)) {
        return;
    }
    for (const FindEntry& entry : entries) {
        if (entry.name == "." || entry.name == "..") {
            continue;
        }
        if (entry.isFolder) {
            const std::string sub = base + entry.name + "\\";
            ScanFolderTree(system, sub, folders, files, total);
            folders.push_back(sub);
        } else {
            files.push_back(base + entry.name);
            // The size comes with the listing, so no file is opened to measure it.
            if (total != nullptr) {
                *total += entry.size;
            }
        }
    }
}

namespace {

void MoveEntries(const PathList& source, size_t prefixLength, const std::string& destinationRoot,
                 PathList& destination) {
    destination.clear();
    for (const std::string& entry : source) {
        destination.push_back(destinationRoot + entry.substr(std::min(prefixLength, entry.size())));
    }
}

}  // namespace

void MapToDestination(const std::string& sourceRoot, const std::string& destinationRoot,
                      const PathList& sourceFolders, const PathList& sourceFiles,
                      PathList& destinationFolders, PathList& destinationFiles) {
    // The prefix goes by its length: the entries were formed on this very root.
    const size_t prefixLength = AddTrailingSeparator(sourceRoot).size();
    const std::string root = AddTrailingSeparator(destinationRoot);
    MoveEntries(sourceFolders, prefixLength, root, destinationFolders);
    MoveEntries(sourceFiles, prefixLength, root, destinationFiles);
}
