// Real files, time stamps and install records for the tests.
#pragma once

#include <windows.h>

#include <string>

namespace fixture {

// Makes every folder of `path` (which names a folder).
bool MakeFolders(const std::string& path);
// Deletes a folder and everything below it; read-only files too.
void RemoveTree(const std::string& path);

bool WriteBytes(const std::string& path, const std::string& bytes);
// The file's bytes, or "<missing>" when it cannot be read.
std::string ReadBytes(const std::string& path);
bool Exists(const std::string& path);
// `size` bytes of a pattern that differs with `seed`, so two versions of a file never match.
std::string Pattern(size_t size, unsigned seed);

struct FileTimes {
  FILETIME created, accessed, written;
};
bool GetTimes(const std::string& path, FileTimes* times);
// A moment `days` days back, in whole seconds, `secondsLater` seconds on.
FILETIME DaysAgo(int days, int secondsLater);
// Sets all three times to distinct moments of a day `daysAgo` days back.
bool SetTimesDaysAgo(const std::string& path, int daysAgo);
std::string Describe(const FILETIME& time);
bool SameTime(const FILETIME& a, const FILETIME& b);

// Files that the test itself leaves in a folder, such as temporary files of a copy.
int CountFiles(const std::string& folder);

// The install record as setup writes it; values are left out when null.
const char* const kRecordKey = "SOFTWARE\\ピオ\\ミラノワ";
bool WriteRecord(const char* dir, const char* cd, const DWORD* instType);
void DeleteRecord();

// The folder this test program runs from, without a trailing backslash.
std::string TestProgramFolder();

}  // namespace fixture
