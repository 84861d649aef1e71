// Listing of the software's source tree and its mapping onto the destination.
#pragma once

#include <cstdint>
#include <string>

#include "config/SetupSettings.h"
#include "system/System.h"

// Appends the files and folders below `folder` to the two lists, each folder after
// every folder inside it and the root itself never; adds the file sizes to *total
// when it is given. Neither list is cleared and the total is not zeroed.
void ScanFolderTree(System& system, const std::string& folder, PathList& folders, PathList& files,
                    int64_t* total = nullptr);

// Replaces the destination lists with the source entries moved from `sourceRoot` to
// `destinationRoot`. The source lists must come from a scan of that same root.
void MapToDestination(const std::string& sourceRoot, const std::string& destinationRoot,
                      const PathList& sourceFolders, const PathList& sourceFiles,
                      PathList& destinationFolders, PathList& destinationFiles);
