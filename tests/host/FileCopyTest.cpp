#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "install/FileCopy.h"
#include "tests/fakes/FakeSystem.h"
#include "tests/fakes/ScriptedUi.h"

namespace {

const std::string kCancelMessage = MessageEvent(
    "警告", MessageButtons::Ok,
    "ユーザーの要求によりインストールが中断しました.\n再びインストールを行う場合は、最初から"
    "やり直してください.");

std::string ReadPrompt(const std::string& path) {
    return MessageEvent("エラー", MessageButtons::YesNo,
                        "ファイル " + path + " の読み込みに失敗しました.\n続行しますか？");
}

std::string WritePrompt(const std::string& path) {
    return MessageEvent("エラー", MessageButtons::YesNo,
                        "ファイル " + path + " の書き込みに失敗しました.\n続行しますか？");
}

// Contents that show a misplaced or repeated chunk.
std::string Contents(size_t size) {
    std::string data(size, '\0');
    for (size_t i = 0; i < size; ++i) {
        data[i] = static_cast<char>(i * 7 + i / 509);
    }
    return data;
}

int CountOperations(const FakeSystem& system, const std::string& operation) {
    return static_cast<int>(
        std::count(system.operationLog.begin(), system.operationLog.end(), operation));
}

// Fails the n-th (1-based) call of one operation on one path.
std::function<bool(FakeOperation, const std::string&)> FailNth(FakeOperation operation,
                                                               std::string path, int n) {
    auto calls = std::make_shared<int>(0);
    return [=](FakeOperation op, const std::string& p) {
        return op == operation && p == path && ++*calls == n;
    };
}

// The first read or write of a file's second chunk.
constexpr int kFirstOfSecondChunk = CopyChunkSize / CopyPieceSize + 1;

// The reads of a chunk of `bytes`: its pieces, and one that finds the end of the file
// unless the chunk is full.
int ReadsOfChunk(uint32_t bytes) {
    return static_cast<int>(bytes / CopyPieceSize) + (bytes == CopyChunkSize ? 0 : 1);
}

class FileCopyTest : public ::testing::Test {
protected:
    void SetUp() override { system.AddFolder("C:\\Dst"); }
    FakeSystem system;
    ScriptedUi ui;
    FileCopyJob job;
};

TEST(FileCopy, BeginOpensBothFilesOrAsksWhetherToGoOn) {
    struct Case {
        std::string name;
        std::function<void(FakeSystem&)> fault;
        bool answer;
        CopyStart result;
        int64_t skipped;
        std::string message;
        std::string target;  // contents afterwards, "-" when there is none
    } cases[] = {
        {"both open", nullptr, true, CopyStart::Copying, -7, "", ""},
        {"source missing, Yes", [](FakeSystem& s) { s.RemoveFile("D:\\SETUP\\a.bin"); }, true,
         CopyStart::SourceSkipped, 0, ReadPrompt("D:\\SETUP\\a.bin"), "-"},
        {"source unreadable, No",
         [](FakeSystem& s) {
             s.failIf = [](FakeOperation op, const std::string&) {
                 return op == FakeOperation::OpenForRead;
             };
         },
         false, CopyStart::SourceStopped, 0, ReadPrompt("D:\\SETUP\\a.bin"), "-"},
        {"target read-only, Yes", [](FakeSystem& s) { s.AddFile("C:\\Dst\\a.bin", "old", true); },
         true, CopyStart::TargetSkipped, 5, WritePrompt("C:\\Dst\\a.bin"), "old"},
        {"target folder missing, No", [](FakeSystem& s) { s.RemoveEmptyFolder("C:\\Dst"); }, false,
         CopyStart::TargetStopped, 5, WritePrompt("C:\\Dst\\a.bin"), "-"},
        {"target fails and the size cannot be read",
         [](FakeSystem& s) {
             s.failIf = [](FakeOperation op, const std::string&) {
                 return op == FakeOperation::Size || op == FakeOperation::CreateNewForWrite;
             };
         },
         true, CopyStart::TargetSkipped, 0, WritePrompt("C:\\Dst\\a.bin"), "-"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeSystem system;
        system.AddFolder("C:\\Dst");
        system.AddFile("D:\\SETUP\\a.bin", "12345");
        if (c.fault) {
            c.fault(system);
        }
        ScriptedUi ui;
        ui.answers = {c.answer};
        FileCopyJob job;
        int64_t skipped = -7;
        EXPECT_EQ(BeginFileCopy(system, ui, job, "D:\\SETUP\\a.bin", "C:\\Dst\\a.bin", skipped),
                  c.result);
        EXPECT_EQ(skipped, c.skipped);
        EXPECT_EQ(ui.Messages(), c.message.empty() ? std::vector<std::string>{}
                                                   : std::vector<std::string>{c.message});
        EXPECT_EQ(job.TargetPath, "C:\\Dst\\a.bin");
        EXPECT_EQ(job.Source != nullptr && job.Target != nullptr, c.result == CopyStart::Copying);
        EXPECT_EQ(system.HasFile("C:\\Dst\\a.bin") ? system.FileData("C:\\Dst\\a.bin") : "-",
                  c.target);
    }
}

TEST(FileCopy, CopiesInChunksOf512KiB) {
    struct Case {
        size_t size;
        std::vector<uint32_t> chunks;  // bytes of each call; all but the last are full
    } cases[] = {
        {0, {0}},
        {1, {1}},
        {CopyPieceSize, {CopyPieceSize}},
        {3 * CopyPieceSize + 5, {3 * CopyPieceSize + 5}},
        {CopyChunkSize - 1, {CopyChunkSize - 1}},
        {CopyChunkSize, {CopyChunkSize, 0}},
        {CopyChunkSize + 1, {CopyChunkSize, 1}},
        {2 * CopyChunkSize, {CopyChunkSize, CopyChunkSize, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        FakeSystem system;
        system.AddFolder("C:\\Dst");
        system.AddFile("D:\\SETUP\\a.bin", Contents(c.size));
        ScriptedUi ui;
        FileCopyJob job;
        int64_t skipped = 0;
        ASSERT_EQ(BeginFileCopy(system, ui, job, "D:\\SETUP\\a.bin", "C:\\Dst\\a.bin", skipped),
                  CopyStart::Copying);
        std::vector<uint32_t> chunks;
        ChunkResult result = ChunkResult::FullChunk;
        while (result == ChunkResult::FullChunk) {
            uint32_t bytes = 99;
            result = CopyNextChunk(job, bytes);
            chunks.push_back(bytes);
        }
        EXPECT_EQ(result, ChunkResult::Finished);
        EXPECT_EQ(chunks, c.chunks);
        int reads = 0;
        for (uint32_t chunk : c.chunks) {
            reads += ReadsOfChunk(chunk);
        }
        EXPECT_EQ(CountOperations(system, "Read D:\\SETUP\\a.bin"), reads);
        EXPECT_TRUE(system.FileData("C:\\Dst\\a.bin") == Contents(c.size));
        EXPECT_FALSE(job.Source || job.Target);

        // A finished job moves nothing more.
        uint32_t bytes = 99;
        EXPECT_EQ(CopyNextChunk(job, bytes), ChunkResult::Finished);
        EXPECT_EQ(bytes, 99u);
    }
}

TEST_F(FileCopyTest, OneBufferServesEveryFileOfAJob) {
    system.AddFile("D:\\SETUP\\a.bin", Contents(10));
    system.AddFile("D:\\SETUP\\b.bin", Contents(CopyChunkSize + 10));
    int64_t skipped = 0;
    ASSERT_EQ(BeginFileCopy(system, ui, job, "D:\\SETUP\\a.bin", "C:\\Dst\\a.bin", skipped),
              CopyStart::Copying);
    const char* buffer = job.Buffer.data();
    EXPECT_EQ(job.Buffer.size(), CopyPieceSize);
    uint32_t bytes = 0;
    EXPECT_EQ(CopyNextChunk(job, bytes), ChunkResult::Finished);
    ASSERT_EQ(BeginFileCopy(system, ui, job, "D:\\SETUP\\b.bin", "C:\\Dst\\b.bin", skipped),
              CopyStart::Copying);
    EXPECT_EQ(CopyNextChunk(job, bytes), ChunkResult::FullChunk);
    EXPECT_EQ(CopyNextChunk(job, bytes), ChunkResult::Finished);
    EXPECT_EQ(job.Buffer.data(), buffer);
    EXPECT_TRUE(system.FileData("C:\\Dst\\b.bin") == Contents(CopyChunkSize + 10));
}

TEST(FileCopy, AFailedChunkDeletesThePartialTargetAndAsks) {
    const int64_t size = CopyChunkSize + 90000;
    struct Case {
        std::string name;
        std::function<void(FakeSystem&)> fault;
        ChunkResult failure;
        bool answer;
        CopyStart result;
        int64_t skipped;
        std::string message;
    } cases[] = {
        {"read fails, Yes",
         [](FakeSystem& s) {
             s.failIf = FailNth(FakeOperation::Read, "D:\\SETUP\\a.bin", kFirstOfSecondChunk);
         },
         ChunkResult::ReadFailed, true, CopyStart::SourceSkipped, 0,
         ReadPrompt("D:\\SETUP\\a.bin")},
        {"read fails, No",
         [](FakeSystem& s) {
             s.failIf = FailNth(FakeOperation::Read, "D:\\SETUP\\a.bin", kFirstOfSecondChunk);
         },
         ChunkResult::ReadFailed, false, CopyStart::SourceStopped, 0,
         ReadPrompt("D:\\SETUP\\a.bin")},
        {"write fails, Yes",
         [](FakeSystem& s) {
             s.failIf = FailNth(FakeOperation::Write, "C:\\Dst\\a.bin", kFirstOfSecondChunk);
         },
         ChunkResult::WriteFailed, true, CopyStart::TargetSkipped, size,
         WritePrompt("C:\\Dst\\a.bin")},
        {"disk fills up, No", [](FakeSystem& s) { s.diskSpaceLeft = CopyChunkSize + 1000; },
         ChunkResult::WriteFailed, false, CopyStart::TargetStopped, size,
         WritePrompt("C:\\Dst\\a.bin")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeSystem system;
        system.AddFolder("C:\\Dst");
        system.AddFile("D:\\SETUP\\a.bin", Contents(size));
        c.fault(system);
        ScriptedUi ui;
        FileCopyJob job;
        int64_t skipped = -7;
        ASSERT_EQ(BeginFileCopy(system, ui, job, "D:\\SETUP\\a.bin", "C:\\Dst\\a.bin", skipped),
                  CopyStart::Copying);
        uint32_t bytes = 0;
        EXPECT_EQ(CopyNextChunk(job, bytes), ChunkResult::FullChunk);
        EXPECT_EQ(CopyNextChunk(job, bytes), c.failure);
        EXPECT_FALSE(system.HasFile("C:\\Dst\\a.bin"));
        EXPECT_FALSE(job.Source || job.Target);
        EXPECT_TRUE(ui.Messages().empty());

        ui.answers = {c.answer};
        EXPECT_EQ(AskAfterChunkFailure(ui, job, c.failure, skipped), c.result);
        EXPECT_EQ(skipped, c.skipped);
        EXPECT_EQ(ui.Messages(), std::vector<std::string>{c.message});
    }
}

// A system whose writes take only half of each buffer and still report success.
class ShortWriteSystem : public FakeSystem {
public:
    std::unique_ptr<OutputFile> CreateNewForWrite(const std::string& path) override {
        std::unique_ptr<OutputFile> file = FakeSystem::CreateNewForWrite(path);
        return file ? std::make_unique<HalfWriter>(std::move(file)) : nullptr;
    }

private:
    class HalfWriter : public OutputFile {
    public:
        explicit HalfWriter(std::unique_ptr<OutputFile> file) : file_(std::move(file)) {}
        bool Write(const void* buffer, uint32_t size, uint32_t& written) override {
            file_->Write(buffer, size / 2, written);
            return true;
        }
        bool Discard() override { return file_->Discard(); }
        bool Replace(const std::string& target) override { return file_->Replace(target); }

    private:
        std::unique_ptr<OutputFile> file_;
    };
};

TEST(FileCopy, AShortWriteIsAFailureEvenWhenReportedAsSuccess) {
    ShortWriteSystem system;
    system.AddFolder("C:\\Dst");
    system.AddFile("D:\\SETUP\\a.bin", Contents(100));
    ScriptedUi ui;
    FileCopyJob job;
    int64_t skipped = 0;
    ASSERT_EQ(BeginFileCopy(system, ui, job, "D:\\SETUP\\a.bin", "C:\\Dst\\a.bin", skipped),
              CopyStart::Copying);
    uint32_t bytes = 0;
    EXPECT_EQ(CopyNextChunk(job, bytes), ChunkResult::WriteFailed);
    EXPECT_FALSE(system.HasFile("C:\\Dst\\a.bin"));
}

TEST_F(FileCopyTest, ADiskWithRoomForExactlyTheFileIsNotAFailure) {
    system.AddFile("D:\\SETUP\\a.bin", Contents(CopyChunkSize));
    system.diskSpaceLeft = CopyChunkSize;
    int64_t skipped = 0;
    ASSERT_EQ(BeginFileCopy(system, ui, job, "D:\\SETUP\\a.bin", "C:\\Dst\\a.bin", skipped),
              CopyStart::Copying);
    uint32_t bytes = 0;
    EXPECT_EQ(CopyNextChunk(job, bytes), ChunkResult::FullChunk);
    EXPECT_EQ(CopyNextChunk(job, bytes), ChunkResult::Finished);
    EXPECT_EQ(system.FileData("C:\\Dst\\a.bin").size(), size_t{CopyChunkSize});
}

TEST_F(FileCopyTest, AbortClosesTheJobAndDeletesTheTarget) {
    EXPECT_FALSE(AbortFileCopy(job));  // nothing open

    system.AddFile("D:\\SETUP\\a.bin", Contents(CopyChunkSize + 1));
    int64_t skipped = 0;
    ASSERT_EQ(BeginFileCopy(system, ui, job, "D:\\SETUP\\a.bin", "C:\\Dst\\a.bin", skipped),
              CopyStart::Copying);
    uint32_t bytes = 0;
    ASSERT_EQ(CopyNextChunk(job, bytes), ChunkResult::FullChunk);
    EXPECT_TRUE(AbortFileCopy(job));
    EXPECT_FALSE(system.HasFile("C:\\Dst\\a.bin"));
    EXPECT_FALSE(job.Source || job.Target);
    EXPECT_FALSE(AbortFileCopy(job));

    ASSERT_EQ(BeginFileCopy(system, ui, job, "D:\\SETUP\\a.bin", "C:\\Dst\\a.bin", skipped),
              CopyStart::Copying);
    system.failIf = [](FakeOperation op, const std::string&) {
        return op == FakeOperation::RemoveFile;
    };
    EXPECT_FALSE(AbortFileCopy(job));
    EXPECT_FALSE(job.Source || job.Target);
}

// The destination folder's files, to show that nothing but the target is left.
std::vector<std::string> FilesIn(const FakeSystem& system, const std::string& folder) {
    std::vector<std::string> files;
    for (const std::string& entry : system.Tree()) {
        if (entry.compare(0, folder.size(), folder) == 0 && entry.back() != '\\') {
            files.push_back(entry);
        }
    }
    return files;
}

// An existing target, a user's file perhaps, that the copy overwrites.
class ExistingTargetTest : public FileCopyTest {
protected:
    void SetUp() override {
        FileCopyTest::SetUp();
        system.AddFile("D:\\SETUP\\a.bin", Contents(size));
        system.AddFile(target, "the user's own");
    }
    // Begins the job and moves its first, full chunk.
    void CopyFirstChunk() {
        int64_t skipped = 0;
        ASSERT_EQ(BeginFileCopy(system, ui, job, "D:\\SETUP\\a.bin", target, skipped),
                  CopyStart::Copying);
        uint32_t bytes = 0;
        ASSERT_EQ(CopyNextChunk(job, bytes), ChunkResult::FullChunk);
    }
    const int64_t size = CopyChunkSize + 90000;
    const std::string target = "C:\\Dst\\a.bin";
};

TEST_F(ExistingTargetTest, IsReplacedOnlyByACompleteCopy) {
    CopyFirstChunk();
    EXPECT_EQ(system.FileData(target), "the user's own");
    uint32_t bytes = 0;
    EXPECT_EQ(CopyNextChunk(job, bytes), ChunkResult::Finished);
    EXPECT_EQ(bytes, 90000u);
    EXPECT_TRUE(system.FileData(target) == Contents(size));
    EXPECT_EQ(FilesIn(system, "C:\\Dst\\"), std::vector<std::string>{target});
}

TEST_F(ExistingTargetTest, AFailureOrACancelLeavesTheOriginal) {
    struct Case {
        std::string name;
        std::function<void(FakeSystem&)> fault;
        ChunkResult failure;  // Finished: cancelled after the first chunk
    } cases[] = {
        {"read fails",
         [](FakeSystem& s) {
             s.failIf = FailNth(FakeOperation::Read, "D:\\SETUP\\a.bin", kFirstOfSecondChunk);
         },
         ChunkResult::ReadFailed},
        {"write fails",
         [](FakeSystem& s) {
             s.failIf = FailNth(FakeOperation::Write, "C:\\Dst\\~setup1.tmp", kFirstOfSecondChunk);
         },
         ChunkResult::WriteFailed},
        {"disk fills up", [](FakeSystem& s) { s.diskSpaceLeft = CopyChunkSize + 1000; },
         ChunkResult::WriteFailed},
        {"the replacement cannot take its place",
         [](FakeSystem& s) {
             s.failIf = [](FakeOperation op, const std::string&) {
                 return op == FakeOperation::ReplaceExistingFile;
             };
         },
         ChunkResult::WriteFailed},
        {"cancelled", nullptr, ChunkResult::Finished},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        system = FakeSystem();
        SetUp();
        job = FileCopyJob();
        if (c.fault) {
            c.fault(system);
        }
        CopyFirstChunk();
        uint32_t bytes = 0;
        if (c.failure == ChunkResult::Finished) {
            EXPECT_TRUE(AbortFileCopy(job));
        } else {
            EXPECT_EQ(CopyNextChunk(job, bytes), c.failure);
        }
        EXPECT_FALSE(job.Source || job.Target);
        EXPECT_EQ(system.FileData(target), "the user's own");
        EXPECT_EQ(FilesIn(system, "C:\\Dst\\"), std::vector<std::string>{target});

        // The prompt names the target, as for a new file.
        int64_t skipped = 0;
        ui = ScriptedUi();
        ui.answers = {true};
        if (c.failure != ChunkResult::Finished) {
            AskAfterChunkFailure(ui, job, c.failure, skipped);
            EXPECT_EQ(ui.Messages(), std::vector<std::string>{c.failure == ChunkResult::ReadFailed
                                                                  ? ReadPrompt("D:\\SETUP\\a.bin")
                                                                  : WritePrompt(target)});
        }
    }
}

TEST_F(ExistingTargetTest, HiddenOrSystemIsOverwrittenReadOnlyIsRefused) {
    struct Case {
        std::string name;
        bool hidden;
        bool readOnly;
        CopyStart result;
    } cases[] = {
        {"hidden or system", true, false, CopyStart::Copying},
        {"read-only", false, true, CopyStart::TargetSkipped},
        {"read-only and hidden", true, true, CopyStart::TargetSkipped},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        system = FakeSystem();
        SetUp();
        ui = ScriptedUi();
        ui.answers = {true};
        job = FileCopyJob();
        system.SetAttributes(target, c.readOnly, c.hidden);
        int64_t skipped = 0;
        ASSERT_EQ(BeginFileCopy(system, ui, job, "D:\\SETUP\\a.bin", target, skipped), c.result);
        if (c.result == CopyStart::Copying) {
            uint32_t bytes = 0;
            EXPECT_EQ(CopyNextChunk(job, bytes), ChunkResult::FullChunk);
            EXPECT_EQ(CopyNextChunk(job, bytes), ChunkResult::Finished);
            EXPECT_TRUE(system.FileData(target) == Contents(size));
            // The attributes of a newly written file.
            EXPECT_FALSE(system.IsHidden(target));
            EXPECT_TRUE(ui.Messages().empty());
        } else {
            EXPECT_EQ(skipped, size);
            EXPECT_EQ(ui.Messages(), std::vector<std::string>{WritePrompt(target)});
            EXPECT_EQ(system.FileData(target), "the user's own");
        }
        EXPECT_EQ(FilesIn(system, "C:\\Dst\\"), std::vector<std::string>{target});
    }
}

TEST_F(ExistingTargetTest, TheReplacementTakesAFreeNameAndLeavesOtherFilesAlone) {
    system.AddFile("C:\\Dst\\~setup1.tmp", "someone else's");
    CopyFirstChunk();
    EXPECT_EQ(job.ReplacementPath, "C:\\Dst\\~setup2.tmp");
    uint32_t bytes = 0;
    EXPECT_EQ(CopyNextChunk(job, bytes), ChunkResult::Finished);
    EXPECT_EQ(system.FileData("C:\\Dst\\~setup1.tmp"), "someone else's");
    EXPECT_EQ(FilesIn(system, "C:\\Dst\\"),
              (std::vector<std::string>{target, "C:\\Dst\\~setup1.tmp"}));

    // With every name taken, the target counts as one that cannot be written.
    for (int n = 1; n <= ReplacementNameCount; ++n) {
        system.AddFile("C:\\Dst\\~setup" + std::to_string(n) + ".tmp");
    }
    ui.answers = {true};
    int64_t skipped = 0;
    EXPECT_EQ(BeginFileCopy(system, ui, job, "D:\\SETUP\\a.bin", target, skipped),
              CopyStart::TargetSkipped);
    EXPECT_EQ(ui.Messages(), std::vector<std::string>{WritePrompt(target)});
}

// The copy with no prompt: across chunks, and nothing of it left after a failure.
TEST(FileCopy, CopyToNewFileCopiesWholeOrLeavesNoTarget) {
    const size_t size = 2 * CopyChunkSize + 5;
    struct Case {
        const char* name;
        std::function<void(FakeSystem&)> fault;
        bool copied;
        std::string target;  // contents afterwards, "-" when there is none
    } cases[] = {
        {"copied", nullptr, true, Contents(size)},
        {"read fails in the second chunk",
         [](FakeSystem& s) {
             s.failIf = FailNth(FakeOperation::Read, "C:\\App\\a.exe", kFirstOfSecondChunk);
         },
         false, "-"},
        {"disk fills up", [](FakeSystem& s) { s.diskSpaceLeft = CopyChunkSize + 1000; }, false,
         "-"},
        {"source missing", [](FakeSystem& s) { s.RemoveFile("C:\\App\\a.exe"); }, false, "-"},
        {"target exists", [](FakeSystem& s) { s.AddFile("C:\\Temp\\a.exe", "old"); }, false, "old"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeSystem system;
        system.AddFile("C:\\App\\a.exe", Contents(size));
        system.AddFolder("C:\\Temp");
        if (c.fault) {
            c.fault(system);
        }
        EXPECT_EQ(c.copied, CopyToNewFile(system, "C:\\App\\a.exe", "C:\\Temp\\a.exe"));
        const std::string target =
            system.HasFile("C:\\Temp\\a.exe") ? system.FileData("C:\\Temp\\a.exe") : "-";
        EXPECT_TRUE(target == c.target);
    }
}

TEST(CopyPercent, WholePercentIn64Bits) {
    struct Case {
        int64_t copied;
        int64_t total;
        int percent;
    } cases[] = {
        {0, 10, 0},
        {5, 10, 50},
        {1, 3, 33},
        {10, 10, 100},
        {int64_t{3} << 40, int64_t{4} << 40, 75},    // beyond 32 bits
        {int64_t{30} << 20, int64_t{40} << 20, 75},  // copied × 100 beyond 32 bits
        {0, 0, 100},                                 // only empty files
        {12, 10, 100},                               // files grew after the scan
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.copied) + " of " + std::to_string(c.total));
        EXPECT_EQ(CopyPercent(c.copied, c.total), c.percent);
    }
}

// A copy phase over the files added to it, with a cancel request at a chosen pump.
struct CopyPhase {
    CopyPhase() {
        system.AddFolder("C:\\Dst");
        ui.onPump = [this] {
            ui.events.push_back("pump");
            if (ui.pumps == cancelAtPump) {
                cancelRequested = true;
            }
        };
    }
    CopyPhase(const CopyPhase&) = delete;
    CopyPhase& operator=(const CopyPhase&) = delete;

    void AddSource(const std::string& name, const std::string& data) {
        system.AddFile("D:\\SETUP\\" + name, data);
        settings.SrcFileList.push_back("D:\\SETUP\\" + name);
        settings.DstFileList.push_back("C:\\Dst\\" + name);
        settings.TotalSize += static_cast<int64_t>(data.size());
    }
    // The three files of most cases: 1 MiB between an empty and a small one.
    void AddThreeFiles() {
        AddSource("empty.txt", "");
        AddSource("big.bin", Contents(2 * CopyChunkSize));
        AddSource("ソフト.txt", Contents(10));
    }
    bool Run() { return RunCopyPhase(system, ui, cancelRequested, settings); }
    // The files now in the destination, in the order of the lists.
    PathList Installed() const {
        PathList installed;
        for (size_t i = 0; i < settings.DstFileList.size(); ++i) {
            const std::string& path = settings.DstFileList[i];
            if (system.HasFile(path)) {
                EXPECT_TRUE(system.FileData(path) == system.FileData(settings.SrcFileList[i]))
                    << path;
                installed.push_back(path);
            }
        }
        return installed;
    }

    FakeSystem system;
    ScriptedUi ui;
    TSetupSettings settings;
    bool cancelRequested = false;
    int cancelAtPump = 0;
};

std::vector<std::string> Update(const std::string& name, int percent) {
    const std::string p = std::to_string(percent);
    return {"status " + name + " をコピー中\n(" + p + "％)", "pos " + p, "pump"};
}

std::vector<std::string> Sequence(std::initializer_list<std::vector<std::string>> parts) {
    std::vector<std::string> events;
    for (const auto& part : parts) {
        events.insert(events.end(), part.begin(), part.end());
    }
    return events;
}

// The updates of AddThreeFiles copied to the end: before and after each file, and
// after each full chunk.
std::vector<std::string> ThreeFilesCopied() {
    return Sequence({Update("empty.txt", 0), Update("empty.txt", 0), Update("big.bin", 0),
                     Update("big.bin", 49), Update("big.bin", 99), Update("big.bin", 99),
                     Update("ソフト.txt", 99), Update("ソフト.txt", 100)});
}

TEST(CopyPhase, CopiesEveryFileWithProgress) {
    CopyPhase phase;
    phase.AddThreeFiles();
    EXPECT_TRUE(phase.Run());
    EXPECT_EQ(phase.ui.events, ThreeFilesCopied());
    EXPECT_EQ(phase.Installed(), phase.settings.DstFileList);
    EXPECT_EQ(CountOperations(phase.system, "Read D:\\SETUP\\big.bin"),
              2 * ReadsOfChunk(CopyChunkSize) + ReadsOfChunk(0));
    EXPECT_EQ(CountOperations(phase.system, "Read D:\\SETUP\\empty.txt"), 1);
}

TEST(CopyPhase, OnlyEmptyFilesShowAHundredPercent) {
    CopyPhase phase;
    phase.AddSource("a.txt", "");
    phase.AddSource("b.txt", "");
    EXPECT_TRUE(phase.Run());
    EXPECT_EQ(phase.ui.events, Sequence({Update("a.txt", 100), Update("a.txt", 100),
                                         Update("b.txt", 100), Update("b.txt", 100)}));
    EXPECT_EQ(phase.Installed(), phase.settings.DstFileList);
}

TEST(CopyPhase, ACancelStopsAtTheNextPumpAndDeletesOnlyAPartialFile) {
    struct Case {
        int pump;
        PathList installed;
    } cases[] = {
        {1, {}},                                          // before the first file
        {2, {"C:\\Dst\\empty.txt"}},                      // after it
        {4, {"C:\\Dst\\empty.txt"}},                      // after the first chunk of 1 MiB
        {5, {"C:\\Dst\\empty.txt"}},                      // after the second
        {6, {"C:\\Dst\\empty.txt", "C:\\Dst\\big.bin"}},  // after the whole file
        {8, {"C:\\Dst\\empty.txt", "C:\\Dst\\big.bin", "C:\\Dst\\ソフト.txt"}},
    };
    const std::vector<std::string> full = ThreeFilesCopied();
    for (const Case& c : cases) {
        SCOPED_TRACE("cancel at pump " + std::to_string(c.pump));
        CopyPhase phase;
        phase.AddThreeFiles();
        phase.cancelAtPump = c.pump;
        phase.ui.answers = {true};

        EXPECT_FALSE(phase.Run());
        // Every update up to that pump, then the cancel message and nothing more.
        std::vector<std::string> expected(full.begin(), full.begin() + 3 * c.pump);
        expected.push_back(kCancelMessage);
        EXPECT_EQ(phase.ui.events, expected);
        EXPECT_EQ(phase.Installed(), c.installed);
    }
}

TEST(CopyPhase, AFailedFileIsSkippedOrStopsThePhase) {
    const std::string a = "C:\\Dst\\a.bin";
    const std::string b = "C:\\Dst\\b.txt";
    const std::string readA = ReadPrompt("D:\\SETUP\\a.bin");
    const std::string writeA = WritePrompt(a);
    // a.bin is 600 KiB of 600 KiB + 10 bytes: 85 % after its first chunk, 99 % in all.
    struct Case {
        std::string name;
        std::function<void(FakeSystem&)> fault;
        bool answer;
        bool completed;
        std::vector<std::string> events;
        PathList installed;
    } cases[] = {
        {"source cannot be opened, Yes",
         [](FakeSystem& s) {
             s.failIf = FailNth(FakeOperation::OpenForRead, "D:\\SETUP\\a.bin", 1);
         },
         true,
         true,
         Sequence({Update("a.bin", 0),
                   {readA},
                   Update("a.bin", 0),
                   Update("b.txt", 0),
                   Update("b.txt", 0)}),
         {b}},
        {"source cannot be opened, No",
         [](FakeSystem& s) {
             s.failIf = FailNth(FakeOperation::OpenForRead, "D:\\SETUP\\a.bin", 1);
         },
         false,
         false,
         Sequence({Update("a.bin", 0), {readA, kCancelMessage}}),
         {}},
        {"target cannot be created, Yes",
         [](FakeSystem& s) {
             s.failIf = FailNth(FakeOperation::CreateNewForWrite, "C:\\Dst\\a.bin", 1);
         },
         true,
         true,
         Sequence({Update("a.bin", 0),
                   {writeA},
                   Update("a.bin", 99),
                   Update("b.txt", 99),
                   Update("b.txt", 100)}),
         {b}},
        {"target cannot be created, No",
         [](FakeSystem& s) {
             s.failIf = FailNth(FakeOperation::CreateNewForWrite, "C:\\Dst\\a.bin", 1);
         },
         false,
         false,
         Sequence({Update("a.bin", 0), {writeA, kCancelMessage}}),
         {}},
        {"read fails in the middle, Yes",
         [](FakeSystem& s) {
             s.failIf = FailNth(FakeOperation::Read, "D:\\SETUP\\a.bin", kFirstOfSecondChunk);
         },
         true,
         true,
         Sequence({Update("a.bin", 0),
                   Update("a.bin", 85),
                   {readA},
                   Update("a.bin", 0),
                   Update("b.txt", 0),
                   Update("b.txt", 0)}),
         {b}},
        {"read fails in the middle, No",
         [](FakeSystem& s) {
             s.failIf = FailNth(FakeOperation::Read, "D:\\SETUP\\a.bin", kFirstOfSecondChunk);
         },
         false,
         false,
         Sequence({Update("a.bin", 0), Update("a.bin", 85), {readA, kCancelMessage}}),
         {}},
        // The user makes room before answering.
        {"disk fills up in the middle, Yes",
         [](FakeSystem& s) { s.diskSpaceLeft = CopyChunkSize + 1000; },
         true,
         true,
         Sequence({Update("a.bin", 0),
                   Update("a.bin", 85),
                   {writeA},
                   Update("a.bin", 99),
                   Update("b.txt", 99),
                   Update("b.txt", 100)}),
         {b}},
        {"disk fills up in the middle, No",
         [](FakeSystem& s) { s.diskSpaceLeft = CopyChunkSize + 1000; },
         false,
         false,
         Sequence({Update("a.bin", 0), Update("a.bin", 85), {writeA, kCancelMessage}}),
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CopyPhase phase;
        phase.AddSource("a.bin", Contents(600 * 1024));
        phase.AddSource("b.txt", Contents(10));
        c.fault(phase.system);
        phase.ui.answers = {c.answer, true};
        FakeSystem& system = phase.system;
        phase.ui.onMessage = [&system] { system.diskSpaceLeft = -1; };

        EXPECT_EQ(phase.Run(), c.completed);
        EXPECT_EQ(phase.ui.events, c.events);
        EXPECT_EQ(phase.Installed(), c.installed);
        EXPECT_FALSE(phase.system.HasFile(a));  // never a truncated copy
    }
}

TEST(CopyPhase, ACancelDuringAReplacementKeepsTheOriginal) {
    CopyPhase phase;
    phase.AddSource("big.bin", Contents(2 * CopyChunkSize));
    phase.system.AddFile("C:\\Dst\\big.bin", "the user's own");
    phase.cancelAtPump = 2;  // after the first chunk
    phase.ui.answers = {true};
    EXPECT_FALSE(phase.Run());
    EXPECT_EQ(phase.system.FileData("C:\\Dst\\big.bin"), "the user's own");
    EXPECT_EQ(FilesIn(phase.system, "C:\\Dst\\"), std::vector<std::string>{"C:\\Dst\\big.bin"});
}

}  // namespace
