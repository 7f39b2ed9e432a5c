// Benchmark driver of update.exe, run under Wine by bench/update.
//
//   update_bench.exe WORK UPDATE_EXE SIZE_MIB ROUNDS
//
// Lays out in WORK a package folder (update.exe beside its subfolder ミラノワ) of about SIZE_MIB MiB
// and, before every timed run, a fresh installation holding old versions of the same files. Then it
// times, alternating, the real update.exe (from the click on Update to its completion box) and a
// baseline made of CopyFileA plus SetFileTime for the same entries in the same order, done by this
// program onto a second installation. Every run is checked file by file against the package before
// it counts. Prints the figures side by side; the exit code is 0 when every run worked and matched.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "engine/holders.h"
#include "tests/support/fixtures.h"
#include "tests/support/windows_driver.h"

namespace {

// ---------------------------------------------------------------------------------------------
// Output: the text of this program is Shift-JIS; the terminal reads UTF-8.

std::string ToUtf8(const std::string& text) {
  if (text.empty()) return text;
  int wide = MultiByteToWideChar(932, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring w(static_cast<size_t>(wide), L'\0');
  MultiByteToWideChar(932, 0, text.data(), static_cast<int>(text.size()), &w[0], wide);
  int narrow = WideCharToMultiByte(CP_UTF8, 0, w.data(), wide, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(narrow), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.data(), wide, &out[0], narrow, nullptr, nullptr);
  return out;
}

void Print(const char* text) {
  std::string line = ToUtf8(text);
  fwrite(line.data(), 1, line.size(), stdout);
  fflush(stdout);
}

std::string Formatted(const char* format, va_list args) {
  char text[4096];
  vsnprintf(text, sizeof text, format, args);
  return text;
}

void Say(const char* format, ...) {
  va_list args;
  va_start(args, format);
  Print(Formatted(format, args).c_str());
  va_end(args);
}

int failures = 0;
void Fail(const char* format, ...) {
  va_list args;
  va_start(args, format);
  Say("FAILED: %s\n", Formatted(format, args).c_str());
  va_end(args);
  ++failures;
}

// ---------------------------------------------------------------------------------------------
// The files update.exe knows, in its order: the install list, then the update list.

const char* const kInstallList[] = {
    "ミラノワ.exe", "img.pac", "vox.pac", "fx.pac", "sfx.pac", "bgm.pac", "scn.pac", "ogg.dll",
    "vorbis.dll", "vorbisfile.dll", "readme.txt", "uninst.exe", "Aimg.pac", "Bimg.pac", "Cimg.pac",
    "Dimg.pac", "Eimg.pac", "Fimg.pac", "Gimg.pac", "Himg.pac", "Config.exe", "img_2.pac",
    "vox_2.pac", "fx_2.pac", "sfx_2.pac", "bgm_2.pac", "scn_2.pac", "runlog.txt", "video/clip01.mpg",
    "video/clip02.mpg", "video/clip03.mpg", "video/clip04.mpg", "video/clip05.mpg",
    "video/clip06.mpg", "video/clip07.mpg", "video/clip08.mpg", "video/clip09.mpg",
    "video/clip10.mpg", "video/clip11.mpg", "video/clip12.mpg", "video/clip13.mpg",
    "video/clip14.mpg", "video/clip15.mpg", "video/clip16.mpg", "video/clip17.mpg",
    "video/clip18.mpg", "video/clip19.mpg", "video/clip20.mpg"};
const char* const kUpdateList[] = {"img_2.pac", "vox_2.pac", "fx_2.pac",  "sfx_2.pac", "bgm_2.pac",
                                   "scn_2.pac", "scn_3.pac", "scn_4.pac", "scn_5.pac", "scn_6.pac"};

const char kSubfolder[] = "ミラノワ";
const char kDialogCaption[] = "ミラノワ Updata";
const char kDoneText[] = "アップデートが完了しました。";
const char kDoneCaption[] = "終了";
const int kUpdateButton = 1008;

// The large files share what the requested size leaves after the small ones.
const char* const kLargeFiles[] = {"img.pac", "vox.pac", "bgm.pac", "img_2.pac"};

// Small files of the package, in bytes; odd sizes so that the last chunk of a copy is a short one.
// Not in the package: scn_5.pac and video/clip15..20, which the update must skip.
struct SmallFile {
  const char* name;
  uint64_t size;
};
const SmallFile kSmallFiles[] = {
    {"ミラノワ.exe", 487 * 1024 + 13}, {"fx.pac", 311 * 1024 + 7},   {"sfx.pac", 203 * 1024 + 1},
    {"scn.pac", 149 * 1024 + 77},      {"ogg.dll", 21 * 1024 + 5},   {"vorbis.dll", 178 * 1024 + 9},
    {"vorbisfile.dll", 24 * 1024 + 3}, {"readme.txt", 6 * 1024 + 11}, {"uninst.exe", 61 * 1024},
    {"Aimg.pac", 96 * 1024 + 1},       {"Bimg.pac", 128 * 1024},     {"Cimg.pac", 160 * 1024 + 99},
    {"Dimg.pac", 192 * 1024 + 3},      {"Eimg.pac", 224 * 1024 + 5}, {"Fimg.pac", 256 * 1024 + 7},
    {"Gimg.pac", 64 * 1024 - 1},       {"Himg.pac", 65 * 1024 + 1},  {"Config.exe", 91 * 1024 + 17},
    {"vox_2.pac", 121 * 1024 + 19},    {"fx_2.pac", 83 * 1024 + 23}, {"sfx_2.pac", 47 * 1024 + 29},
    {"bgm_2.pac", 301 * 1024 + 31},    {"scn_2.pac", 57 * 1024 + 37}, {"runlog.txt", 0},
    {"scn_3.pac", 33 * 1024 + 41},     {"scn_4.pac", 5 * 1024 + 43}, {"scn_6.pac", 2 * 1024 + 47},
    {"video/clip01.mpg", 390 * 1024 + 1}, {"video/clip02.mpg", 280 * 1024 + 2},
    {"video/clip03.mpg", 333 * 1024 + 3}, {"video/clip04.mpg", 256 * 1024},
    {"video/clip05.mpg", 199 * 1024 + 5}, {"video/clip06.mpg", 377 * 1024 + 6},
    {"video/clip07.mpg", 222 * 1024 + 7}, {"video/clip08.mpg", 311 * 1024 + 8},
    {"video/clip09.mpg", 288 * 1024 + 9}, {"video/clip10.mpg", 245 * 1024 + 10},
    {"video/clip11.mpg", 301 * 1024 + 11}, {"video/clip12.mpg", 266 * 1024 + 12},
    {"video/clip13.mpg", 350 * 1024 + 13}, {"video/clip14.mpg", 212 * 1024 + 14},
};

// One file of a layout: its content is the pattern of `seed`, `size` bytes long.
struct PlannedFile {
  std::string name;
  uint64_t size;
  uint64_t seed;
};

// ---------------------------------------------------------------------------------------------
// Content: 8-byte words of splitmix64 over (seed, word index), so any chunk can be made on its own.

uint64_t Mix(uint64_t x) {
  x += 0x9E3779B97F4A7C15ull;
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
  return x ^ (x >> 31);
}

// Fills `count` bytes of the pattern starting at `offset` (a multiple of 8).
void FillPattern(char* buffer, uint64_t seed, uint64_t offset, size_t count) {
  uint64_t key = Mix(seed * 0x100000001B3ull + 1);
  size_t words = (count + 7) / 8;
  uint64_t first = offset / 8;
  for (size_t i = 0; i < words; ++i) {
    uint64_t word = Mix(key ^ (first + i));
    size_t left = std::min<size_t>(8, count - i * 8);
    memcpy(buffer + i * 8, &word, left);
  }
}

const size_t kChunk = 4 << 20;

// ---------------------------------------------------------------------------------------------
// Files and folders.

std::string Join(const std::string& folder, const std::string& name) {
  std::string path = folder + "\\" + name;
  for (char& c : path)
    if (c == '/') c = '\\';  // a slash never is the second byte of a Shift-JIS character
  return path;
}

// Names of the files below `folder`, relative to it, with backslashes.
void ListFiles(const std::string& folder, const std::string& prefix, std::vector<std::string>* names) {
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    std::string name = data.cFileName;
    if (name == "." || name == "..") continue;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      ListFiles(folder + "\\" + name, prefix + name + "\\", names);
    else
      names->push_back(prefix + name);
  } while (FindNextFileA(find, &data));
  FindClose(find);
}

// Writes the file's pattern, dates it `days` back (three distinct moments) and puts it on the disk,
// so that none of it is still waiting to be written while a run is timed.
bool WritePlanned(const std::string& folder, const PlannedFile& planned, int days, char* buffer) {
  std::string path = Join(folder, planned.name);
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    Fail("cannot create %s (error %lu)", path.c_str(), GetLastError());
    return false;
  }
  bool ok = true;
  for (uint64_t offset = 0; ok && offset < planned.size; offset += kChunk) {
    size_t count = static_cast<size_t>(std::min<uint64_t>(kChunk, planned.size - offset));
    FillPattern(buffer, planned.seed, offset, count);
    DWORD written = 0;
    ok = WriteFile(file, buffer, static_cast<DWORD>(count), &written, nullptr) && written == count;
  }
  FILETIME created = fixture::DaysAgo(days, 0), accessed = fixture::DaysAgo(days, 7200),
           written = fixture::DaysAgo(days, 3600);
  ok = ok && SetFileTime(file, &created, &accessed, &written) && FlushFileBuffers(file);
  CloseHandle(file);
  if (!ok) Fail("cannot write %s (error %lu)", path.c_str(), GetLastError());
  return ok;
}

// True when the file holds exactly the planned pattern; reads it all.
bool HoldsPattern(const std::string& path, const PlannedFile& planned, char* buffer, char* expected,
                  std::string* why) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    *why = "missing";
    return false;
  }
  LARGE_INTEGER size;
  bool ok = GetFileSizeEx(file, &size) != 0;
  if (ok && static_cast<uint64_t>(size.QuadPart) != planned.size) {
    char text[128];
    snprintf(text, sizeof text, "size %lld, expected %llu", static_cast<long long>(size.QuadPart),
             static_cast<unsigned long long>(planned.size));
    *why = text;
    ok = false;
  }
  for (uint64_t offset = 0; ok && offset < planned.size; offset += kChunk) {
    size_t count = static_cast<size_t>(std::min<uint64_t>(kChunk, planned.size - offset));
    DWORD read = 0;
    if (!ReadFile(file, buffer, static_cast<DWORD>(count), &read, nullptr) || read != count) {
      *why = "unreadable";
      ok = false;
      break;
    }
    FillPattern(expected, planned.seed, offset, count);
    if (memcmp(buffer, expected, count) != 0) {
      char text[128];
      snprintf(text, sizeof text, "bytes differ in the 4 MiB block at %llu",
               static_cast<unsigned long long>(offset));
      *why = text;
      ok = false;
    }
  }
  CloseHandle(file);
  return ok;
}

// ---------------------------------------------------------------------------------------------
// Clock and windows of update.exe.

double Seconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

LARGE_INTEGER Now() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now;
}

uint64_t PeakWorkingSet(HANDLE process) {
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(process, &counters, sizeof counters)) return 0;
  return counters.PeakWorkingSetSize;
}

// ---------------------------------------------------------------------------------------------
// The benchmark.

struct Layout {
  std::string work, package, packageFiles, updateInstall, baselineInstall, program;
  std::string emptyPackage;  // update.exe beside an empty ミラノワ: what an update costs besides copying
  std::vector<PlannedFile> packagePlan;    // what the package holds
  std::vector<PlannedFile> installedPlan;  // what a fresh installation holds
  uint64_t packageBytes = 0;
  uint64_t copiedBytes = 0;  // by the walk over both lists, a name that is listed twice counted twice
};

struct UpdateRun {
  bool ok = false;
  double seconds = 0;
  uint64_t peakAtDialog = 0, peakAtEnd = 0;
};

struct BaselineRun {
  bool ok = false;
  double seconds = 0;
  double repeatSeconds = 0;  // spent on entries of the update list already copied from the install list
};

const PlannedFile* Find(const std::vector<PlannedFile>& plan, const std::string& name) {
  for (const PlannedFile& file : plan)
    if (file.name == name) return &file;
  return nullptr;
}

std::vector<std::string> ListedEntries() {
  std::vector<std::string> entries(std::begin(kInstallList), std::end(kInstallList));
  entries.insert(entries.end(), std::begin(kUpdateList), std::end(kUpdateList));
  return entries;
}

void Plan(Layout* layout, uint64_t totalBytes) {
  uint64_t small = 0;
  for (const SmallFile& file : kSmallFiles) small += file.size;
  const size_t largeCount = sizeof kLargeFiles / sizeof kLargeFiles[0];
  uint64_t each = totalBytes > small ? (totalBytes - small) / largeCount : 0;
  uint64_t seed = 1;
  for (const char* name : kInstallList) {
    for (const char* large : kLargeFiles)
      if (strcmp(name, large) == 0) layout->packagePlan.push_back({name, each, seed});
    ++seed;
  }
  for (const SmallFile& file : kSmallFiles) layout->packagePlan.push_back({file.name, file.size, seed++});
  for (const PlannedFile& file : layout->packagePlan) layout->packageBytes += file.size;
  for (const std::string& entry : ListedEntries())
    if (const PlannedFile* file = Find(layout->packagePlan, entry)) layout->copiedBytes += file->size;

  // The old installation: every file of the install list in an older version of another size (the
  // ones the package does not bring too), and a file of the player's that no list names.
  for (const char* name : kInstallList) {
    const PlannedFile* fresh = Find(layout->packagePlan, name);
    uint64_t size = fresh ? (fresh->size > 4096 ? fresh->size - 4093 : fresh->size + 511) : 77 * 1024 + 5;
    layout->installedPlan.push_back({name, size, 1000 + seed++});
  }
  layout->installedPlan.push_back({"save.dat", 12 * 1024 + 1, 1000 + seed++});
}

bool LayPackage(const Layout& layout, const std::string& builtProgram, char* buffer) {
  fixture::RemoveTree(layout.package);
  if (!fixture::MakeFolders(layout.packageFiles + "\\video")) {
    Fail("cannot make %s", layout.packageFiles.c_str());
    return false;
  }
  if (!CopyFileA(builtProgram.c_str(), layout.program.c_str(), FALSE)) {
    Fail("cannot copy %s (error %lu)", builtProgram.c_str(), GetLastError());
    return false;
  }
  for (const PlannedFile& file : layout.packagePlan)
    if (!WritePlanned(layout.packageFiles, file, 10, buffer)) return false;
  fixture::RemoveTree(layout.emptyPackage);
  if (!fixture::MakeFolders(layout.emptyPackage + "\\" + kSubfolder) ||
      !CopyFileA(builtProgram.c_str(), (layout.emptyPackage + "\\update.exe").c_str(), FALSE)) {
    Fail("cannot lay out %s", layout.emptyPackage.c_str());
    return false;
  }
  return true;
}

bool LayInstallation(const Layout& layout, const std::string& folder, char* buffer) {
  fixture::RemoveTree(folder);
  if (!fixture::MakeFolders(folder + "\\video")) {
    Fail("cannot make %s", folder.c_str());
    return false;
  }
  for (const PlannedFile& file : layout.installedPlan)
    if (!WritePlanned(folder, file, 30, buffer)) return false;
  return true;
}

bool WriteUpdateRecord(const std::string& dir) {
  const DWORD kind = 2;
  return fixture::WriteRecord(dir.c_str(), "e:\\ミラノワ", &kind);
}

// The installation after an update: every file of the package in its version with its times, every
// other file as it was laid out, and nothing else (no temporary files left behind).
bool CheckInstallation(const Layout& layout, const std::string& folder, const char* who, char* buffer,
                       char* expected) {
  bool ok = true;
  std::set<std::string> wanted;
  auto problem = [&](const std::string& name, const std::string& why) {
    Fail("%s: %s: %s", who, Join(folder, name).c_str(), why.c_str());
    ok = false;
  };
  for (const PlannedFile& file : layout.installedPlan) wanted.insert(Join("", file.name).substr(1));
  for (const PlannedFile& file : layout.packagePlan) {
    wanted.insert(Join("", file.name).substr(1));
    // Times first: reading the content may move the last-access time.
    fixture::FileTimes want, got;
    if (!fixture::GetTimes(Join(layout.packageFiles, file.name), &want) ||
        !fixture::GetTimes(Join(folder, file.name), &got)) {
      problem(file.name, "times unreadable");
      continue;
    }
    if (!fixture::SameTime(want.written, got.written)) problem(file.name, "last-write time differs from the package");
    if (!fixture::SameTime(want.created, got.created)) problem(file.name, "creation time differs from the package");
    if (!fixture::SameTime(want.accessed, got.accessed)) problem(file.name, "last-access time differs from the package");
    std::string why;
    if (!HoldsPattern(Join(folder, file.name), file, buffer, expected, &why)) problem(file.name, why);
  }
  for (const PlannedFile& file : layout.installedPlan) {
    if (Find(layout.packagePlan, file.name)) continue;
    std::string why;
    if (!HoldsPattern(Join(folder, file.name), file, buffer, expected, &why))
      problem(file.name, "should be untouched: " + why);
  }
  std::vector<std::string> present;
  ListFiles(folder, "", &present);
  for (const std::string& name : present)
    if (!wanted.count(name)) problem(name, "unexpected file");
  if (present.size() != wanted.size() && ok) problem("", "file count differs");
  return ok;
}

// Starts update.exe of the package folder `package`, presses Update and times it up to the box.
UpdateRun RunUpdate(const std::string& package, DWORD timeoutMs) {
  UpdateRun run;
  drive::Process process;
  const std::string program = package + "\\update.exe";
  if (!process.Start(program, package)) {
    Fail("cannot start %s (error %lu)", program.c_str(), GetLastError());
    return run;
  }
  FileHandle query(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, process.id()));
  HWND dialog = drive::WaitForDialog(process.id(), kDialogCaption, 30000, 20);
  if (dialog == nullptr) {
    Fail("update.exe showed no dialog \"%s\"", kDialogCaption);
    return run;
  }
  Sleep(300);  // let the dialog finish drawing before the click
  run.peakAtDialog = query.valid() ? PeakWorkingSet(query.get()) : 0;

  // The box is looked for every 2 ms: the poll is part of the time measured.
  LARGE_INTEGER start = Now();
  drive::Click(dialog, kUpdateButton);
  drive::MessageBoxSeen box;
  bool shown = drive::WaitForMessageBox(process.id(), &box, timeoutMs, 2);
  LARGE_INTEGER end = Now();
  run.seconds = Seconds(start, end);
  if (!shown) {
    Fail("update.exe showed no message box within %lu s", timeoutMs / 1000);
    return run;
  }
  run.peakAtEnd = query.valid() ? PeakWorkingSet(query.get()) : 0;
  bool said = box.caption == kDoneCaption && box.text == kDoneText;
  if (!said) Fail("update.exe said \"%s\" / \"%s\"", box.caption.c_str(), box.text.c_str());
  drive::AnswerMessageBox(box);
  DWORD code = 99;
  if (!process.WaitForExit(30000, &code)) {
    Fail("update.exe did not exit after the box was answered");
    return run;
  }
  if (code != 0) Fail("update.exe exited with code %lu", code);
  run.ok = said && code == 0;
  return run;
}

BaselineRun RunBaseline(const Layout& layout) {
  BaselineRun run;
  run.ok = true;
  std::set<std::string> done;
  LARGE_INTEGER start = Now();
  for (const std::string& entry : ListedEntries()) {
    std::string source = layout.packageFiles + "\\" + entry;
    std::string target = layout.baselineInstall + "\\" + entry;
    if (GetFileAttributesA(source.c_str()) == INVALID_FILE_ATTRIBUTES) continue;
    LARGE_INTEGER entryStart = Now();
    bool ok = CopyFileA(source.c_str(), target.c_str(), FALSE) != 0;
    if (ok) {
      HANDLE from = CreateFileA(source.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
      HANDLE to = CreateFileA(target.c_str(), GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
      FILETIME created, accessed, written;
      ok = from != INVALID_HANDLE_VALUE && to != INVALID_HANDLE_VALUE &&
           GetFileTime(from, &created, &accessed, &written) &&
           SetFileTime(to, &created, &accessed, &written);
      if (from != INVALID_HANDLE_VALUE) CloseHandle(from);
      if (to != INVALID_HANDLE_VALUE) CloseHandle(to);
    }
    if (!ok) {
      Fail("baseline: cannot copy %s (error %lu)", entry.c_str(), GetLastError());
      run.ok = false;
    }
    if (!done.insert(entry).second) run.repeatSeconds += Seconds(entryStart, Now());
  }
  run.seconds = Seconds(start, Now());
  return run;
}

double Best(const std::vector<double>& values) { return *std::min_element(values.begin(), values.end()); }

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

std::string List(const std::vector<double>& values) {
  std::string text;
  char item[32];
  for (double value : values) {
    snprintf(item, sizeof item, "%s%.3f", text.empty() ? "" : " ", value);
    text += item;
  }
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    fprintf(stderr, "usage: update_bench WORK UPDATE_EXE SIZE_MIB ROUNDS\n");
    return 2;
  }
  const uint64_t totalBytes = strtoull(argv[3], nullptr, 10) << 20;
  const int rounds = std::max(1, atoi(argv[4]));
  Layout layout;
  layout.work = argv[1];
  layout.package = layout.work + "\\package";
  layout.packageFiles = layout.package + "\\" + kSubfolder;
  layout.program = layout.package + "\\update.exe";
  layout.emptyPackage = layout.work + "\\empty-package";
  layout.updateInstall = layout.work + "\\update\\ピオ\\ミラノワ";
  layout.baselineInstall = layout.work + "\\baseline\\ピオ\\ミラノワ";
  Plan(&layout, totalBytes);

  std::unique_ptr<char[]> buffer(new char[kChunk]), expected(new char[kChunk]);
  Say("laying out the package: %zu files, %.1f MiB\n", layout.packagePlan.size(),
      layout.packageBytes / 1048576.0);
  if (!LayPackage(layout, argv[2], buffer.get()) || !WriteUpdateRecord(layout.updateInstall)) {
    if (!failures) Fail("cannot write the install record");
    return 1;
  }
  // Room for a slow disk: a minute plus a second for every 10 MiB.
  const DWORD timeoutMs = static_cast<DWORD>(60000 + layout.copiedBytes / (10 << 20) * 1000);

  std::vector<double> updateTimes, baselineTimes, onceTimes;
  uint64_t peakAtEnd = 0, peakAtDialog = 0;
  bool ran = true;
  auto updatePass = [&](bool counted, const char* label) {
    if (!LayInstallation(layout, layout.updateInstall, buffer.get())) return false;
    UpdateRun run = RunUpdate(layout.package, timeoutMs);
    if (!run.ok) return false;
    bool right = CheckInstallation(layout, layout.updateInstall, "update.exe", buffer.get(), expected.get());
    Say("  %-8s update.exe %8.3f s  peak working set %llu KiB%s\n", label, run.seconds,
        static_cast<unsigned long long>(run.peakAtEnd / 1024), right ? "" : "  WRONG RESULT");
    fixture::RemoveTree(layout.work + "\\update");
    if (!right) return false;
    if (counted) {
      updateTimes.push_back(run.seconds);
      peakAtEnd = std::max(peakAtEnd, run.peakAtEnd);
      peakAtDialog = std::max(peakAtDialog, run.peakAtDialog);
    }
    return true;
  };
  auto baselinePass = [&](bool counted, const char* label) {
    if (!LayInstallation(layout, layout.baselineInstall, buffer.get())) return false;
    BaselineRun run = RunBaseline(layout);
    if (!run.ok) return false;
    bool right = CheckInstallation(layout, layout.baselineInstall, "baseline", buffer.get(), expected.get());
    Say("  %-8s baseline   %8.3f s  (%.3f s of it on names listed twice)%s\n", label, run.seconds,
        run.repeatSeconds, right ? "" : "  WRONG RESULT");
    fixture::RemoveTree(layout.work + "\\baseline");
    if (!right) return false;
    if (counted) {
      baselineTimes.push_back(run.seconds);
      onceTimes.push_back(run.seconds - run.repeatSeconds);
    }
    return true;
  };

  Say("warm-up pass\n");
  ran = updatePass(false, "warm-up") && baselinePass(false, "warm-up");
  for (int round = 1; ran && round <= rounds; ++round) {
    char label[16];
    snprintf(label, sizeof label, "round %d", round);
    if (round % 2)
      ran = updatePass(true, label) && baselinePass(true, label);
    else
      ran = baselinePass(true, label) && updatePass(true, label);
  }
  // The same click with nothing to copy: starting the update and showing the box.
  std::vector<double> emptyTimes;
  if (ran && LayInstallation(layout, layout.updateInstall, buffer.get())) {
    for (int i = 0; ran && i < 3; ++i) {
      UpdateRun run = RunUpdate(layout.emptyPackage, 30000);
      ran = run.ok;
      emptyTimes.push_back(run.seconds);
    }
  }
  fixture::RemoveTree(layout.work + "\\update");
  fixture::RemoveTree(layout.work + "\\baseline");
  fixture::RemoveTree(layout.package);
  fixture::RemoveTree(layout.emptyPackage);
  if (!ran || failures) {
    Say("the benchmark did not complete (%d failure%s)\n", failures, failures == 1 ? "" : "s");
    return 1;
  }

  const double update = Best(updateTimes), baseline = Best(baselineTimes), once = Best(onceTimes);
  const double ratio = update / baseline;
  const double mib = layout.copiedBytes / 1048576.0;
  Say("\n");
  Say("update.exe against CopyFileA + SetFileTime, page cache warm, best of %d (median in brackets)\n",
      rounds);
  Say("  %-36s %10.3f s  (%.3f)  %7.1f MiB/s   runs: %s\n", "update.exe, Update to completion box",
      update, Median(updateTimes), mib / update, List(updateTimes).c_str());
  Say("  %-36s %10.3f s  (%.3f)  %7.1f MiB/s   runs: %s\n", "baseline, same entries in same order",
      baseline, Median(baselineTimes), mib / baseline, List(baselineTimes).c_str());
  Say("  %-36s %10.3f\n", "ratio update / baseline (goal <= 1.10)", ratio);
  Say("  %-36s %10llu KiB (%llu KiB when the dialog was up)\n", "update.exe peak working set",
      static_cast<unsigned long long>(peakAtEnd / 1024),
      static_cast<unsigned long long>(peakAtDialog / 1024));
  Say("  %-36s %10llu bytes in %zu files (%llu bytes copied, names listed twice copied twice)\n",
      "package", static_cast<unsigned long long>(layout.packageBytes), layout.packagePlan.size(),
      static_cast<unsigned long long>(layout.copiedBytes));
  Say("  %-36s %10.3f s  (ratio against it %.3f; for reference only)\n",
      "baseline, each file copied once", once, update / once);
  Say("  %-36s %10.3f s  (best of %zu: click, an update with nothing to copy, the box)\n",
      "update.exe, empty package", Best(emptyTimes), emptyTimes.size());
  Say("%s\n", ratio <= 1.10 ? "goal met" : "goal missed");
  return 0;
}
