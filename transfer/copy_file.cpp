// Copying one file: 64 KiB chunks through one buffer, with the stop handshake between chunks.
#include <cstdio>
#include <cstring>

#include "engine/holders.h"
#include "engine/path_text.h"
#include "engine/setup_engine.h"

// One buffer for the whole process, so one copy runs at a time.
static char copyBuffer[65536];

uint32_t SetupEngine::FileSizeOf(const char* path) {
  FileHandle file(CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              nullptr));
  if (!file.valid()) return 0;
  return GetFileSize(file.get(), nullptr);
}

// The size of a file without opening it, so neither sharing nor the 4 GiB limit gets in the way.
static bool SizeOnDisk(const char* path, ULONGLONG* size) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path, GetFileExInfoStandard, &data)) return false;
  *size = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  return true;
}

// A file created beside the target that takes the new content; removed unless it replaced the target.
class TemporaryFile {
 public:
  TemporaryFile() = default;
  ~TemporaryFile() {
    if (path_[0] != '\0') DeleteFileA(path_);
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  bool CreateBeside(const char* target) {
    char folder[MAX_PATH];
    if (!CopyText(folder, sizeof folder, target)) return false;
    char* separator = FindLastSeparator(folder);
    if (separator == nullptr) {
      CopyText(folder, sizeof folder, ".");
    } else {
      *separator = '\0';
      if (separator == folder) CopyText(folder, sizeof folder, "\\");
    }
    // The name is at most 13 bytes after the folder and a separator.
    if (strlen(folder) + 14 >= MAX_PATH) return false;
    if (GetTempFileNameA(folder, "upd", 0, path_) == 0) {
      path_[0] = '\0';
      return false;
    }
    return true;
  }
  bool ReplaceTarget(const char* target) {
    if (!MoveFileExA(path_, target, MOVEFILE_REPLACE_EXISTING)) return false;
    path_[0] = '\0';
    return true;
  }
  const char* path() const { return path_; }

 private:
  char path_[MAX_PATH] = {};
};

// Turns a pending stop request into "seen", leaving any other state alone.
static bool TakeStopRequest(std::atomic<uint32_t>& cancelState) {
  uint32_t expected = kCancelRequested;
  return cancelState.compare_exchange_strong(expected, kCancelSeenByCopy);
}

// The new content goes to a temporary file beside the target and replaces the target only when it is
// whole, so a failed or stopped copy leaves the installed file as it was. False when the source cannot
// be read or the target cannot be replaced with a whole copy; a stop gives true with the target kept.
bool SetupEngine::CopyOneFile(const char* target, const char* source) {
  if (fopen_s(&sourceStream, source, "rb") != 0 || sourceStream == nullptr) {
    sourceStream = nullptr;
    return false;
  }
  TemporaryFile temporary;
  if (!temporary.CreateBeside(target) || fopen_s(&targetStream, temporary.path(), "wb") != 0 ||
      targetStream == nullptr) {
    targetStream = nullptr;
    fclose(sourceStream);
    return false;
  }

  const uint32_t bytesBefore = bytesCopied;
  bool stopped = TakeStopRequest(cancelState);
  bool streamed = true;
  while (!stopped) {
    size_t count = fread(copyBuffer, 1, sizeof copyBuffer, sourceStream);
    bytesCopied += static_cast<uint32_t>(count);
    if (fwrite(copyBuffer, 1, count, targetStream) != count) {
      streamed = false;
      break;
    }
    if (count < sizeof copyBuffer) break;
    stopped = TakeStopRequest(cancelState);
  }
  if (ferror(sourceStream)) streamed = false;
  fclose(sourceStream);
  if (fclose(targetStream) != 0) streamed = false;
  if (stopped) return true;

  ULONGLONG sourceSize = 0, copiedSize = 0;
  if (!SizeOnDisk(source, &sourceSize)) return false;
  bool whole = streamed && SizeOnDisk(temporary.path(), &copiedSize) && copiedSize == sourceSize;
  if (!whole) {
    // A stop that came after the last chunk: no second copy, and the target stays as it was.
    if (cancelState != kCancelNone) return true;
    bool copied = CopyFileA(source, temporary.path(), FALSE) != 0;
    bytesCopied = bytesBefore + static_cast<uint32_t>(sourceSize);
    if (!copied || !SizeOnDisk(temporary.path(), &copiedSize) || copiedSize != sourceSize)
      return false;
    // The system copy brings the source's attributes along; a read-only disc file must not make
    // the installed file read-only.
    SetFileAttributesA(temporary.path(), FILE_ATTRIBUTE_NORMAL);
  }
  return temporary.ReplaceTarget(target);
}
