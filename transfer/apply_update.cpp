// The update: every listed file the package holds replaces the installed one, with the package's times.
#include "engine/holders.h"
#include "engine/path_text.h"
#include "engine/setup_engine.h"

static bool IsMissing(const char* path) {
  if (GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES) return false;
  DWORD error = GetLastError();
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

static bool IsFolder(const char* path) {
  DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

static bool CopyFileTimes(const char* target, const char* source) {
  FileHandle from(CreateFileA(source, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!from.valid()) return false;
  FileHandle to(CreateFileA(target, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!to.valid()) return false;
  FILETIME created, accessed, written;
  if (!GetFileTime(from.get(), &created, &accessed, &written)) return false;
  return SetFileTime(to.get(), &created, &accessed, &written) != 0;
}

// One entry, from `package` (the program's folder and the product subfolder): false when its package
// file exists but the installed file could not be made its copy.
static bool UpdateEntry(SetupEngine& engine, const char* package, const char* entry, char* target,
                        size_t targetCapacity) {
  char source[1024];
  if (!FormatText(target, targetCapacity, "%s\\%s", engine.installDir, entry)) {
    FormatText(target, targetCapacity, "%s", entry);  // name the entry when its path cannot be formed
    return false;
  }
  if (!FormatText(source, sizeof source, "%s\\%s", package, entry)) return false;
  // Cleared first, so a read-only installed file can be replaced.
  SetFileAttributesA(target, FILE_ATTRIBUTE_NORMAL);
  if (IsMissing(source)) return true;  // the package does not bring this one
  return engine.CopyOneFile(target, source) && CopyFileTimes(target, source);
}

static void ReportUpdateFailure(HWND owner, const char* target) {
  char message[1200];
  FormatText(message, sizeof message,
             "アップデートが正常に行われませんでした。\n%s\nもう一度ご確認の上、アップデートを行ってください。",
             target);
  MessageBoxA(owner, message, "確認", MB_ICONWARNING);
}

bool SetupEngine::ApplyUpdate() {
  char target[1024] = {};
  // Without its own folder the program cannot find its package, and without a directory from the
  // install record every target would land in the root of the current drive.
  if (!GetProgramFolder(sourceDir, sizeof sourceDir) || installDir[0] == '\0') {
    ReportUpdateFailure(messageWindow, installDir);
    return false;
  }
  // Run from anywhere but its package, the program would find none of the files and call that done.
  char package[1024];
  if (!FormatText(package, sizeof package, "%s\\%s", sourceDir, subdirName) || !IsFolder(package)) {
    ReportUpdateFailure(messageWindow, package);
    return false;
  }
  const FileList lists[] = {installFiles, updateFiles};
  for (FileList list : lists) {
    for (int i = 0; list != nullptr && list[i][0] != '\0'; ++i) {
      if (!UpdateEntry(*this, package, list[i], target, sizeof target)) {
        ReportUpdateFailure(messageWindow, target);
        return false;
      }
    }
  }
  MessageBoxA(messageWindow, "アップデートが完了しました。", "終了", MB_ICONWARNING);
  return true;
}
