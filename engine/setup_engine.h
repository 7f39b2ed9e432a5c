// The setup engine: the whole state of a setup or update of the product, and its operations.
#pragma once

#include <windows.h>
#include <atomic>
#include <cstdint>
#include <cstdio>

// A list of names: n pointers to separate 128-byte zero-filled buffers, then one empty buffer that
// ends the list. No count is stored.
typedef char** FileList;

const size_t kTextCapacity = 260;  // every text field: at most 259 bytes and the terminator
const size_t kNameCapacity = 128;  // every list entry: at most 127 bytes and the terminator
const int kSelectableEntries = 20;

// Drive kinds as the source scan tells them apart; only a CD-ROM is acted upon.
enum DriveKind : int32_t {
  kDriveNone = 0,
  kDriveFixed = 1,
  kDriveCdrom = 2,
  kDriveRemovable = 3,
  kDriveRamDisk = 4,
  kDriveRemote = 5,
};

class SetupEngine {
 public:
  SetupEngine() { Reset(); }
  ~SetupEngine() { Release(); }
  SetupEngine(const SetupEngine&) = delete;
  SetupEngine& operator=(const SetupEngine&) = delete;

  // Start and end.
  SetupEngine& Reset();
  void Initialize(const char* const* installList, const char* const* updateList,
                  const char* const* volumeLabelList, HWND messageWindow, const char* brand,
                  const char* productTitle, const char* subfolder, uint32_t requiredMB);
  void Release();
  FileList CopyList(FileList oldList, const char* const* source);

  // Accessors.
  void GetSourceDir(char* buffer, size_t capacity) const;
  void SetProgressControl(int32_t id) { progressControlId = id; }
  void SetInstallRange(uint32_t kind, int32_t first, int32_t end);
  void SetRequiredMB(uint32_t mb) { requiredMB = mb; }
  bool IsCopying() const { return copying.load() == 1; }

  // The install record under HKEY_LOCAL_MACHINE.
  bool OpenInstallRecord(const char* keyPath);
  bool CreateInstallRecordKey(const char* keyPath);
  void CloseInstallRecord();
  bool WriteRecordValue(const char* name, DWORD type, const void* data, DWORD size);
  bool ReadRecordValue(const char* name, DWORD type, void* data, DWORD capacity);
  bool WriteInstallRecord();
  bool ReadInstallRecord();
  bool DeleteInstallRecord(const char* keyPath);

  // Where the product files come from.
  DriveKind ClassifyDrive(const char* root, char* label, size_t capacity);
  void LocateSource(const char* subfolder, const char* probeName);

  // Copying.
  uint32_t FileSizeOf(const char* path);
  bool CopyOneFile(const char* target, const char* source);
  bool ApplyUpdate();

  FileList installFiles = nullptr;
  FileList updateFiles = nullptr;
  FileList volumeLabels = nullptr;
  char brandName[kTextCapacity] = {};
  char subdirName[kTextCapacity] = {};
  char productName[kTextCapacity] = {};
  char installDir[kTextCapacity] = {};
  char sourceDir[kTextCapacity] = {};
  char registryKeyText[kTextCapacity] = {};
  char startMenuDir[kTextCapacity] = {};
  int32_t volumeLabelCount = 1;
  std::atomic<uint32_t> copying{0};  // the copy worker writes it while the dialog thread reads it
  uint32_t installType = 0;
  int32_t progressControlId = 0;
  std::atomic<uint32_t> bytesCopied{0};
  uint32_t freeSpaceMB = 0;
  uint32_t requiredMB = 0;
  std::atomic<uint32_t> workerThreadId{0};
  FILE* sourceStream = nullptr;
  FILE* targetStream = nullptr;
  HWND messageWindow = nullptr;
  HKEY registryKey = nullptr;
  char baseDir[kTextCapacity] = {};
  int32_t installed = 0;
  std::atomic<uint32_t> cancelState{0};  // 0 none, 1 requested, 2 seen by the copy, 3 seen by the worker
  int32_t firstIndex = 0;
  int32_t endIndex = 9999;
  uint8_t selected[kSelectableEntries] = {};
  int32_t progressSteps = 0;
  int32_t progressShown = 0;
  uint32_t progressUnit = 0;
};

static_assert(sizeof(std::atomic<uint32_t>) == 4, "shared fields are plain 32-bit values");

void FreeList(FileList list);

// Marks the engine's steps; its lines go nowhere.
void Trace(const char* format, ...);

// Cancel handshake states.
enum : uint32_t { kCancelNone = 0, kCancelRequested = 1, kCancelSeenByCopy = 2, kCancelSeenByWorker = 3 };
