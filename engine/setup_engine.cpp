#include "engine/setup_engine.h"

#include <cstdlib>
#include <cstring>

#include "engine/path_text.h"

void Trace(const char*, ...) {}

SetupEngine& SetupEngine::Reset() {
  memset(baseDir, 0, sizeof baseDir);
  memset(installDir, 0, sizeof installDir);
  memset(sourceDir, 0, sizeof sourceDir);
  memset(registryKeyText, 0, sizeof registryKeyText);
  memset(startMenuDir, 0, sizeof startMenuDir);
  memset(productName, 0, sizeof productName);
  volumeLabelCount = 1;
  copying = 0;
  installType = 0;
  installed = 0;
  progressControlId = 0;
  cancelState = kCancelNone;
  bytesCopied = 0;
  freeSpaceMB = 0;
  requiredMB = 0;
  workerThreadId = 0;
  firstIndex = 0;
  endIndex = 9999;
  messageWindow = nullptr;
  registryKey = nullptr;
  installFiles = nullptr;
  updateFiles = nullptr;
  volumeLabels = nullptr;
  CopyText(baseDir, sizeof baseDir, "c:\\Program Files");
  memset(selected, 1, sizeof selected);
  return *this;
}

void SetupEngine::Initialize(const char* const* installList, const char* const* updateList,
                             const char* const* volumeLabelList, HWND window, const char* brand,
                             const char* productTitle, const char* subfolder, uint32_t required) {
  messageWindow = window;
  requiredMB = required;
  installFiles = CopyList(installFiles, installList);
  updateFiles = CopyList(updateFiles, updateList);
  volumeLabels = CopyList(volumeLabels, volumeLabelList);
  CopyText(brandName, sizeof brandName, brand);
  CopyText(productName, sizeof productName, productTitle);
  CopyText(subdirName, sizeof subdirName, subfolder);

  LocateSource(subfolder, installFiles[0]);
  // A source that is unknown, or too deep to hold the subfolder, is left empty rather than pointing
  // somewhere else.
  char located[kTextCapacity];
  memcpy(located, sourceDir, sizeof located);
  if (located[0] == '\0' || !FormatText(sourceDir, sizeof sourceDir, "%s\\%s", located, subdirName))
    sourceDir[0] = '\0';

  FormatText(registryKeyText, sizeof registryKeyText, "Software\\%s\\%s", brandName, productName);

  installed = 0;
  if (ReadInstallRecord()) installed = 1;
  Trace("Reg Key <%s>\nInst Flag [%d]", registryKeyText, installed);
}

void SetupEngine::Release() {
  FreeList(installFiles);
  FreeList(updateFiles);
  FreeList(volumeLabels);
  installFiles = updateFiles = volumeLabels = nullptr;
  CloseInstallRecord();
}

// Start-up cannot go on without memory for a few names; say so instead of crashing later.
static void* AllocateOrExit(size_t size) {
  void* block = calloc(1, size);
  if (block == nullptr) FatalAppExitA(0, "メモリが不足しています。");
  return block;
}

FileList SetupEngine::CopyList(FileList oldList, const char* const* source) {
  FreeList(oldList);
  size_t count = 0;
  while (source[count] != nullptr) ++count;

  FileList list = static_cast<FileList>(AllocateOrExit((count + 1) * sizeof(char*)));
  size_t kept = 0;
  for (size_t i = 0; i < count; ++i) {
    // A name that does not fit an entry is left out whole, never cut into another name.
    if (strlen(source[i]) >= kNameCapacity) continue;
    list[kept] = static_cast<char*>(AllocateOrExit(kNameCapacity));
    CopyText(list[kept++], kNameCapacity, source[i]);
  }
  list[kept] = static_cast<char*>(AllocateOrExit(kNameCapacity));
  return list;
}

void FreeList(FileList list) {
  if (list == nullptr) return;
  size_t i = 0;
  while (list[i][0] != '\0') free(list[i++]);
  free(list[i]);
  free(list);
}

void SetupEngine::GetSourceDir(char* buffer, size_t capacity) const {
  CopyText(buffer, capacity, sourceDir);
}

void SetupEngine::SetInstallRange(uint32_t kind, int32_t first, int32_t end) {
  installType = kind;
  firstIndex = first;
  endIndex = end;
}
