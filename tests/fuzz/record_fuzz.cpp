// Any bytes as an install record: LoadInstallRecord through a fake system. Every
// entry is one line (no line break, no NUL), and a record written back from the
// entries and read again gives the same lists. Writing it onto a disk that fills up
// at a point taken from the input either succeeds whole or leaves no record at all.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "install/InstallRecord.h"
#include "tests/fakes/FakeSystem.h"

namespace {

const char kRecord[] = "C:\\App\\_setup.log";
const char kCopy[] = "C:\\App\\__setup.log";

void CheckEntries(const PathList& list) {
    for (const std::string& entry : list) {
        FUZZ_CHECK(entry.find_first_of(std::string("\r\n\0", 3)) == std::string::npos);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    FakeSystem system;
    system.AddFile(kRecord, bytes);
    PathList files;
    PathList folders;
    FUZZ_CHECK(LoadInstallRecord(system, kRecord, files, folders));
    CheckEntries(files);
    CheckEntries(folders);
    for (const std::string& file : files) {
        FUZZ_CHECK(file != ".");
    }
    if (bytes.find('\0') == std::string::npos && bytes.find(".") == std::string::npos) {
        FUZZ_CHECK(folders.empty());
    }

    // Written back: the file lines, the last of them as the uninstaller, and the
    // folders, the last of them as the created destination. The record names itself
    // before the uninstaller.
    if (files.empty() || folders.empty()) {
        return 0;
    }
    const std::string uninstaller = files.back();
    const PathList fileList(files.begin(), files.end() - 1);
    PathList expectedFiles = fileList;
    expectedFiles.push_back(kCopy);
    expectedFiles.push_back(uninstaller);
    const std::string destination = folders.back();
    const PathList folderList(folders.begin(), folders.end() - 1);
    // The disk fills up somewhere in the record, or never.
    system.diskSpaceLeft = size % 3 == 0 ? -1 : static_cast<int64_t>(size / 2);
    const bool written =
        WriteInstallRecord(system, kCopy, fileList, uninstaller, folderList, destination, true);
    if (!written) {
        FUZZ_CHECK(!system.HasFile(kCopy));
        return 0;
    }
    PathList filesAgain;
    PathList foldersAgain;
    FUZZ_CHECK(LoadInstallRecord(system, kCopy, filesAgain, foldersAgain));
    FUZZ_CHECK(filesAgain == expectedFiles);
    FUZZ_CHECK(foldersAgain == folders);
    return 0;
}
