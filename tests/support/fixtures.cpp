#include "tests/support/fixtures.h"

#include <cstdio>
#include <cstring>

#include "engine/holders.h"
#include "engine/path_text.h"

namespace fixture {

bool MakeFolders(const std::string& path) {
  std::string partial;
  for (size_t i = 0; i <= path.size(); ++i) {
    if (i == path.size() || path[i] == '\\' || path[i] == '/') {
      if (!partial.empty() && partial.back() != ':') CreateDirectoryA(partial.c_str(), nullptr);
    }
    if (i < path.size()) {
      if (IsDBCSLeadByte(static_cast<BYTE>(path[i])) && i + 1 < path.size()) partial += path[i++];
      partial += path[i];
    }
  }
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void RemoveTree(const std::string& path) {
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((path + "\\*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      std::string name = data.cFileName;
      if (name == "." || name == "..") continue;
      std::string child = path + "\\" + name;
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(child);
      } else {
        SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(child.c_str());
      }
    } while (FindNextFileA(find, &data));
    FindClose(find);
  }
  RemoveDirectoryA(path.c_str());
}

bool WriteBytes(const std::string& path, const std::string& bytes) {
  FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return false;
  DWORD written = 0;
  return WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

std::string ReadBytes(const std::string& path) {
  FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr));
  if (!file.valid()) return "<missing>";
  std::string bytes(GetFileSize(file.get(), nullptr), '\0');
  DWORD read = 0;
  if (!bytes.empty() && !ReadFile(file.get(), &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr))
    return "<unreadable>";
  bytes.resize(read);
  return bytes;
}

bool Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string Pattern(size_t size, unsigned seed) {
  std::string bytes(size, '\0');
  unsigned state = seed * 2654435761u + 12345u;
  for (size_t i = 0; i < size; ++i) {
    state = state * 1103515245u + 12345u;
    bytes[i] = static_cast<char>(state >> 16);
  }
  return bytes;
}

bool GetTimes(const std::string& path, FileTimes* times) {
  FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr));
  return file.valid() && GetFileTime(file.get(), &times->created, &times->accessed, &times->written);
}

FILETIME DaysAgo(int days, int secondsLater) {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  ULARGE_INTEGER value;
  value.LowPart = now.dwLowDateTime;
  value.HighPart = now.dwHighDateTime;
  value.QuadPart -= 864000000000ull * days;
  value.QuadPart -= value.QuadPart % 10000000ull;  // whole seconds survive every file system
  value.QuadPart += 10000000ull * secondsLater;
  FILETIME time;
  time.dwLowDateTime = value.LowPart;
  time.dwHighDateTime = value.HighPart;
  return time;
}

bool SetTimesDaysAgo(const std::string& path, int daysAgo) {
  FILETIME created = DaysAgo(daysAgo, 0), accessed = DaysAgo(daysAgo, 7200), written = DaysAgo(daysAgo, 3600);
  FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                              nullptr));
  return file.valid() && SetFileTime(file.get(), &created, &accessed, &written);
}

std::string Describe(const FILETIME& time) {
  SYSTEMTIME s;
  FileTimeToSystemTime(&time, &s);
  char text[64];
  snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u.%03u", s.wYear, s.wMonth, s.wDay, s.wHour,
           s.wMinute, s.wSecond, s.wMilliseconds);
  return text;
}

bool SameTime(const FILETIME& a, const FILETIME& b) {
  return a.dwLowDateTime == b.dwLowDateTime && a.dwHighDateTime == b.dwHighDateTime;
}

int CountFiles(const std::string& folder) {
  int count = 0;
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return 0;
  do {
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ++count;
  } while (FindNextFileA(find, &data));
  FindClose(find);
  return count;
}

bool WriteRecord(const char* dir, const char* cd, const DWORD* instType) {
  DeleteRecord();
  RegistryKey key;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kRecordKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.out(),
                      nullptr) != ERROR_SUCCESS)
    return false;
  auto text = [&](const char* name, const char* value) {
    return value == nullptr ||
           RegSetValueExA(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                          static_cast<DWORD>(strlen(value) + 1)) == ERROR_SUCCESS;
  };
  bool ok = text("Dir", dir) && text("CD", cd);
  if (ok && instType != nullptr)
    ok = RegSetValueExA(key.get(), "InstType", 0, REG_DWORD, reinterpret_cast<const BYTE*>(instType),
                        sizeof *instType) == ERROR_SUCCESS;
  return ok;
}

void DeleteRecord() { RegDeleteKeyA(HKEY_LOCAL_MACHINE, kRecordKey); }

std::string TestProgramFolder() {
  char folder[MAX_PATH];
  GetProgramFolder(folder, sizeof folder);
  return folder;
}

}  // namespace fixture
