#include "install/FileCopy.h"

#include <algorithm>

#include "system/Paths.h"
#include "system/TextFormat.h"

namespace {

const char kReadFailedQuestion[] = "ファイル %s の読み込みに失敗しました.\n続行しますか？";
const char kWriteFailedQuestion[] = "ファイル %s の書き込みに失敗しました.\n続行しますか？";
const char kCopyingStatus[] = "%s をコピー中\n(%d％)";
const char kReplacementName[] = "~setup%d.tmp";

// Yes: go on without the file (`yesResult`); No: stop (-`yesResult`).
CopyStart AskToContinue(Ui& ui, const char* question, const std::string& path, CopyStart yes,
                        CopyStart no) {
    return ui.ShowMessage(FormatText(question, path.c_str()), kCaptionError, MessageButtons::YesNo)
               ? yes
               : no;
}

CopyStart AskAfterReadFailure(Ui& ui, const std::string& sourcePath, int64_t& skipped) {
    skipped = 0;
    return AskToContinue(ui, kReadFailedQuestion, sourcePath, CopyStart::SourceSkipped,
                         CopyStart::SourceStopped);
}

CopyStart AskAfterWriteFailure(Ui& ui, const std::string& targetPath, int64_t sourceSize,
                               int64_t& skipped) {
    skipped = sourceSize;
    return AskToContinue(ui, kWriteFailedQuestion, targetPath, CopyStart::TargetSkipped,
                         CopyStart::TargetStopped);
}

// A new target is written directly, made only where nothing of its name is, not
// even a link. An existing one is left alone until a complete copy, written beside it
// under a free name, takes its place.
std::unique_ptr<OutputFile> CreateTarget(System& system, FileCopyJob& job) {
    if (!system.FileExists(job.TargetPath)) {
        return system.CreateNewForWrite(job.TargetPath);
    }
    if (system.IsReadOnlyFile(job.TargetPath)) {
        return nullptr;
    }
    const std::string folder = ExtractFolderPart(job.TargetPath);
    for (int n = 1; n <= ReplacementNameCount; ++n) {
        std::string path = folder + FormatText(kReplacementName, n);
        if (std::unique_ptr<OutputFile> file = system.CreateNewForWrite(path)) {
            job.ReplacementPath = std::move(path);
            return file;
        }
    }
    return nullptr;
}

// Closes both files; a partial target must not stay behind looking like a copy.
ChunkResult FailChunk(FileCopyJob& job, ChunkResult failure) {
    AbortFileCopy(job);
    return failure;
}

// The file's name and the percentage on the label and the bar, then the user's turn.
void ShowCopyProgress(Ui& ui, const std::string& targetPath, int percent) {
    ui.SetStatus(FormatText(kCopyingStatus, ExtractNamePart(targetPath).c_str(), percent));
    ui.SetBarPosition(percent);
    ui.PumpMessages();
}

bool StopWithCancelMessage(Ui& ui) {
    ui.ShowMessage(kInstallCancelledMessage, kCaptionWarning, MessageButtons::Ok);
    return false;
}

}  // namespace

CopyStart BeginFileCopy(System& system, Ui& ui, FileCopyJob& job, const std::string& sourcePath,
                        const std::string& targetPath, int64_t& skipped) {
    job.TargetPath = targetPath;
    job.SourcePath = sourcePath;
    job.ReplacementPath.clear();
    job.Target.reset();
    job.Source = system.OpenForRead(sourcePath);
    if (!job.Source) {
        return AskAfterReadFailure(ui, sourcePath, skipped);
    }
    job.SourceSize = std::max<int64_t>(job.Source->Size(), 0);
    job.Target = CreateTarget(system, job);
    if (!job.Target) {
        job.Source.reset();
        return AskAfterWriteFailure(ui, targetPath, job.SourceSize, skipped);
    }
    if (job.Buffer.empty()) {
        job.Buffer.resize(CopyPieceSize);
    }
    return CopyStart::Copying;
}

ChunkResult CopyNextChunk(FileCopyJob& job, uint32_t& bytes) {
    if (!job.Source || !job.Target) {
        return ChunkResult::Finished;
    }
    bytes = 0;
    uint32_t got = CopyPieceSize;
    while (got == CopyPieceSize && bytes < CopyChunkSize) {
        if (!job.Source->Read(job.Buffer.data(), CopyPieceSize, got)) {
            bytes = 0;
            return FailChunk(job, ChunkResult::ReadFailed);
        }
        bytes += got;
        uint32_t written = 0;
        if (got > 0 && (!job.Target->Write(job.Buffer.data(), got, written) || written != got)) {
            return FailChunk(job, ChunkResult::WriteFailed);
        }
    }
    if (bytes == CopyChunkSize) {
        return ChunkResult::FullChunk;
    }
    job.Source.reset();
    const std::unique_ptr<OutputFile> target = std::move(job.Target);
    if (!job.ReplacementPath.empty() && !target->Replace(job.TargetPath)) {
        target->Discard();
        return ChunkResult::WriteFailed;
    }
    return ChunkResult::Finished;
}

ChunkResult CopyFileChunks(FileCopyJob& job, uint32_t& lastBytes,
                           const std::function<bool(uint32_t bytes)>& afterFullChunk) {
    for (;;) {
        uint32_t bytes = 0;
        const ChunkResult chunk = CopyNextChunk(job, bytes);
        if (chunk != ChunkResult::FullChunk) {
            lastBytes = bytes;
            return chunk;
        }
        if (!afterFullChunk(bytes)) {
            AbortFileCopy(job);
            return ChunkResult::Stopped;
        }
    }
}

bool CopyToNewFile(System& system, const std::string& sourcePath, const std::string& targetPath) {
    FileCopyJob job;
    job.Source = system.OpenForRead(sourcePath);
    job.Target = job.Source ? system.CreateNewForWrite(targetPath) : nullptr;
    if (!job.Target) {
        return false;
    }
    job.TargetPath = targetPath;
    job.Buffer.resize(CopyPieceSize);
    uint32_t lastBytes = 0;
    return CopyFileChunks(job, lastBytes, [](uint32_t) { return true; }) == ChunkResult::Finished;
}

CopyStart AskAfterChunkFailure(Ui& ui, const FileCopyJob& job, ChunkResult failure,
                               int64_t& skipped) {
    return failure == ChunkResult::ReadFailed
               ? AskAfterReadFailure(ui, job.SourcePath, skipped)
               : AskAfterWriteFailure(ui, job.TargetPath, job.SourceSize, skipped);
}

bool AbortFileCopy(FileCopyJob& job) {
    if (!job.Source || !job.Target) {
        return false;
    }
    job.Source.reset();
    const bool discarded = job.Target->Discard();
    job.Target.reset();
    return discarded;
}

int CopyPercent(int64_t copied, int64_t total) {
    if (total <= 0) {
        return 100;
    }
    return static_cast<int>(std::min<int64_t>(copied * 100 / total, 100));
}

bool RunCopyPhase(System& system, Ui& ui, const bool& cancelRequested,
                  const TSetupSettings& settings) {
    const PathList& sources = settings.SrcFileList;
    const PathList& targets = settings.DstFileList;
    const size_t count = std::min(sources.size(), targets.size());
    int64_t copied = 0;
    FileCopyJob job;
    for (size_t i = 0; i < count; ++i) {
        ShowCopyProgress(ui, targets[i], CopyPercent(copied, settings.TotalSize));
        if (cancelRequested) {
            return StopWithCancelMessage(ui);
        }
        int64_t skipped = 0;
        CopyStart result = BeginFileCopy(system, ui, job, sources[i], targets[i], skipped);
        if (result == CopyStart::Copying) {
            int64_t copiedOfFile = 0;
            uint32_t lastBytes = 0;
            const ChunkResult end = CopyFileChunks(job, lastBytes, [&](uint32_t bytes) {
                copied += bytes;
                copiedOfFile += bytes;
                ShowCopyProgress(ui, targets[i], CopyPercent(copied, settings.TotalSize));
                return !cancelRequested;
            });
            if (end == ChunkResult::Stopped) {
                return StopWithCancelMessage(ui);
            }
            if (end == ChunkResult::Finished) {
                copied += lastBytes;
            } else {
                // The file now counts as skipped, whatever of it was counted so far.
                copied -= copiedOfFile;
                result = AskAfterChunkFailure(ui, job, end, skipped);
            }
        }
        if (IsStopped(result)) {
            return StopWithCancelMessage(ui);
        }
        if (IsSkipped(result)) {
            copied += skipped;
        }
        ShowCopyProgress(ui, targets[i], CopyPercent(copied, settings.TotalSize));
        if (cancelRequested) {
            return StopWithCancelMessage(ui);
        }
    }
    return true;
}
