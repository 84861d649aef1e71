#include "install/InstallRecord.h"

#include <algorithm>
#include <cstdint>
#include <memory>

#include "system/FileBytes.h"
#include "system/Paths.h"

namespace {

const char kSeparatorLine[] = ".";
const char kLineEnd[] = "\r\n";

// Writes all of `text`, in pieces when the system takes less at a time.
bool WriteAll(OutputFile& file, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        const uint32_t piece =
            static_cast<uint32_t>(std::min<size_t>(text.size() - done, UINT32_MAX));
        uint32_t written = 0;
        if (!file.Write(text.data() + done, piece, written) || written == 0) {
            return false;
        }
        done += written;
    }
    return true;
}

}  // namespace

bool WriteInstallRecord(System& system, const std::string& recordPath, const PathList& dstFileList,
                        const std::string& uninstallerPath, const PathList& dstFolderList,
                        const std::string& dstFolder, bool dstFolderCreated) {
    std::string text;
    auto addLine = [&text](const std::string& line) { text += line + kLineEnd; };
    std::for_each(dstFileList.begin(), dstFileList.end(), addLine);
    addLine(recordPath);
    addLine(uninstallerPath);
    addLine(kSeparatorLine);
    std::for_each(dstFolderList.begin(), dstFolderList.end(), addLine);
    if (dstFolderCreated) {
        addLine(dstFolder);
    }

    // Never over an existing record, even when the search for a free name was misled.
    std::unique_ptr<OutputFile> file = system.CreateNewForWrite(recordPath);
    if (!file) {
        return false;
    }
    // A cut-off record would make an uninstallation leave files behind unnoticed.
    if (!WriteAll(*file, text)) {
        file->Discard();
        return false;
    }
    return true;
}

bool LoadInstallRecord(System& system, const std::string& recordPath, PathList& dstFileList,
                       PathList& dstFolderList) {
    std::string text;
    // A link or a hard link would let the record's bytes be another file's.
    if (!ReadWholePlainFile(system, recordPath, text)) {
        return false;
    }
    bool inFolders = false;
    for (const std::string& line : SplitTextLines(text)) {
        if (!inFolders && line == kSeparatorLine) {
            inFolders = true;
        } else {
            (inFolders ? dstFolderList : dstFileList).push_back(line);
        }
    }
    return true;
}

int64_t LargestInstallRecordSize(const TSetupSettings& settings) {
    const int64_t lineEnd = sizeof(kLineEnd) - 1;
    // Each entry of the scan is mapped onto the destination (MapToDestination): the
    // source root gives way to the destination root.
    const int64_t sourceRoot =
        static_cast<int64_t>(AddTrailingSeparator(settings.SrcFolder).size());
    const int64_t root = static_cast<int64_t>(AddTrailingSeparator(settings.DstFolder).size());
    int64_t size = 0;
    for (const PathList* list : {&settings.SrcFileList, &settings.SrcFolderList}) {
        for (const std::string& entry : *list) {
            const int64_t rest = static_cast<int64_t>(entry.size()) - sourceRoot;
            size += root + std::max<int64_t>(rest, 0) + lineEnd;
        }
    }
    const auto longest = [&](const char* name) {
        return root + static_cast<int64_t>(kMaxNamePrefix + std::string(name).size()) + lineEnd;
    };
    size += longest(kInstallRecordName);
    size += settings.StandAloneUninstUse ? longest(kUninstallerName) : lineEnd;
    size += static_cast<int64_t>(sizeof(kSeparatorLine) - 1) + lineEnd;
    size += static_cast<int64_t>(settings.DstFolder.size()) + lineEnd;
    return size;
}
