// The chunked copy of one file with its failure prompts, and the copy phase of an
// installation that copies every file of the source tree with progress and cancel.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "config/SetupSettings.h"
#include "system/System.h"
#include "system/Ui.h"

// Shown at every cancel point of an installation, and after a No at a failure prompt.
inline const char* const kInstallCancelledMessage =
    "ユーザーの要求によりインストールが中断しました.\n"
    "再びインストールを行う場合は、最初からやり直してください.";

// Names tried for the replacement of an existing target, "~setup1.tmp" upwards.
inline constexpr int ReplacementNameCount = 100;

// The most one CopyNextChunk moves.
inline constexpr uint32_t CopyChunkSize = 524288;
// A chunk is read and written in pieces of this size: a buffer that stays in the
// processor's caches copies a large file about three times as fast as one of a
// whole chunk.
inline constexpr uint32_t CopyPieceSize = 65536;

// One file being copied. A job can copy one file after another; its buffer of one
// piece is allocated by the first BeginFileCopy and serves every file.
struct FileCopyJob {
    std::unique_ptr<InputFile> Source;
    std::unique_ptr<OutputFile> Target;
    std::string TargetPath;
    // When the target existed: the new file beside it that Target writes and that
    // replaces the target once complete, so that a failed copy leaves the old file.
    std::string ReplacementPath;
    std::string SourcePath;  // named by the read failure prompt
    int64_t SourceSize = 0;  // counted for the file when its copy is skipped after a write failure
    std::vector<char> Buffer;
};

// How a file's copy starts: copying, or, after a failure, the user's answer whether
// to go on without the file. The sign is the answer, the size which side failed.
enum class CopyStart {
    Copying = 0,
    SourceSkipped = 1,   // the source could not be read; Yes
    SourceStopped = -1,  // No
    TargetSkipped = 2,   // the target could not be written; Yes
    TargetStopped = -2,  // No
};

inline bool IsSkipped(CopyStart start) {
    return static_cast<int>(start) > 0;
}
inline bool IsStopped(CopyStart start) {
    return static_cast<int>(start) < 0;
}

// Opens the two files of a job. Copying: copy with CopyNextChunk. After a failure the
// user is asked whether to go on without the file: Source* when the source cannot be
// opened, `skipped` 0; Target* when the target cannot be created or, when it exists,
// is read-only or no replacement can be created beside it, `skipped` the source's
// size.
CopyStart BeginFileCopy(System& system, Ui& ui, FileCopyJob& job, const std::string& sourcePath,
                        const std::string& targetPath, int64_t& skipped);

enum class ChunkResult {
    FullChunk,    // CopyChunkSize bytes moved; more may follow
    Finished,     // the last bytes moved (possibly none); both files are closed
    ReadFailed,   // both files closed and the partial target deleted
    WriteFailed,  // the same, after a failed or short write (a full disk) or a
                  // replacement that could not take the target's place
    Stopped,      // CopyFileChunks only: stopped after a full chunk, the copy aborted
};

// Moves the next chunk; `bytes` gets the number read. A job without open files
// reports Finished and leaves `bytes` unchanged.
ChunkResult CopyNextChunk(FileCopyJob& job, uint32_t& bytes);

// Copies the rest of a job's file by CopyNextChunk. After every full chunk
// `afterFullChunk` gets its bytes and answers whether to go on; when it answers false
// the copy is aborted (AbortFileCopy) and the result is Stopped. Otherwise the result
// of the last chunk: Finished with `lastBytes` its bytes, ReadFailed or WriteFailed.
ChunkResult CopyFileChunks(FileCopyJob& job, uint32_t& lastBytes,
                           const std::function<bool(uint32_t bytes)>& afterFullChunk);

// Copies a file to a target that must not exist yet, with no prompt: false when
// either file cannot be opened or the copy fails, after which the partial target is
// deleted.
bool CopyToNewFile(System& system, const std::string& sourcePath, const std::string& targetPath);

// After ReadFailed or WriteFailed: asks whether to go on without the file and returns
// as BeginFileCopy does (Source* after a read failure, Target* after a write failure).
CopyStart AskAfterChunkFailure(Ui& ui, const FileCopyJob& job, ChunkResult failure,
                               int64_t& skipped);

// Closes both files and deletes the partial target through its handle (an existing
// target stays as it was); false when the job had no open files or the partial file
// could not be deleted.
bool AbortFileCopy(FileCopyJob& job);

// Whole percent of `copied` in `total`, at most 100; 100 when there is nothing to count.
int CopyPercent(int64_t copied, int64_t total);

// Copies every file of SrcFileList to the same position of DstFileList, showing the
// file name and the percentage of TotalSize. False when it stopped at a cancel request
// or a No at a failure prompt, after showing the cancel message.
bool RunCopyPhase(System& system, Ui& ui, const bool& cancelRequested,
                  const TSetupSettings& settings);
