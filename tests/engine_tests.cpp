// The engine's state, lists and text helpers.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "engine/path_text.h"
#include "engine/setup_engine.h"
#include "shell/profile.h"
#include "shell/shell.h"
#include "tests/support/fixtures.h"

TEST(Environment, RunsWithTheJapaneseCodePage) {
  ASSERT_EQ(932u, GetACP())
      << "Wine is not running with the Japanese ANSI code page, so every Shift-JIS text would be "
         "misread. Generate the locale (sed -i 's/^# *ja_JP.UTF-8/ja_JP.UTF-8/' /etc/locale.gen && "
         "locale-gen) and run the tests with LANG=ja_JP.UTF-8 (tools/wine-run sets it).";
}

TEST(TextBytes, LiteralsAreShiftJis) {
  // ミラノワ in code page 932, and the ideographic space of the window class name.
  EXPECT_EQ(std::string("\x83\x7E\x83\x89\x83\x6D\x83\x8F"), profile.productTitle);
  EXPECT_EQ(std::string("\x83\x7E\x83\x89\x83\x6D\x83\x8F\x81\x40\x83\x5A\x83\x62\x83\x67\x83\x41\x83\x62\x83\x76"),
            profile.windowClassName);
}

struct SeparatorRow {
  const char* path;
  int expected;  // offset of the last separator, -1 for none
};

TEST(FindLastSeparator, NeverTakesATrailByteForABackslash) {
  ASSERT_EQ(932u, GetACP()) << "the double-byte rules need code page 932";
  // ソ is 0x83 0x5C, 表 is 0x95 0x5C, 能 is 0x94 0x5C: each ends in the byte of a backslash.
  const SeparatorRow rows[] = {
      {"c:\\game\\update.exe", 7},
      {"c:\\ソ\\update.exe", 5},
      {"c:\\dir\\表.exe", 6},
      {"c:\\表", 2},
      {"c:\\能力\\x", 7},
      {"c:\\ソソ\\表表\\a", 12},
      {"c:\\aソ", 2},
      {"c:\\game\\video/clip01.mpg", 13},
      {"ソ表能", -1},
      {"", -1},
      {"\\", 0},
      {"a\\b\\", 3},
  };
  for (const SeparatorRow& row : rows) {
    SCOPED_TRACE(row.path);
    const char* found = FindLastSeparator(row.path);
    EXPECT_EQ(row.expected, found ? static_cast<int>(found - row.path) : -1);
  }
}

TEST(FormatText, RefusesWhatDoesNotFitInsteadOfCutting) {
  char buffer[8];
  EXPECT_TRUE(FormatText(buffer, sizeof buffer, "%s\\%s", "abc", "def"));
  EXPECT_STREQ("abc\\def", buffer);
  EXPECT_FALSE(FormatText(buffer, sizeof buffer, "%s\\%s", "abcd", "def"));
  EXPECT_STREQ("", buffer);
  EXPECT_TRUE(CopyText(buffer, sizeof buffer, "1234567"));
  EXPECT_FALSE(CopyText(buffer, sizeof buffer, "12345678"));
  EXPECT_STREQ("", buffer);
}

static int ListLength(FileList list) {
  int n = 0;
  while (list[n][0] != '\0') ++n;
  return n;
}

TEST(FileList, CopiesNamesIntoZeroFilledEntriesWithAnEmptyEnd) {
  SetupEngine engine;
  const char* const empty[] = {nullptr};
  FileList list = engine.CopyList(nullptr, empty);
  ASSERT_NE(nullptr, list);
  EXPECT_EQ(0, ListLength(list));
  for (size_t i = 0; i < kNameCapacity; ++i) ASSERT_EQ(0, list[0][i]) << "byte " << i;

  std::string longest(127, 'n');
  std::string tooLong(128, 'x');
  const char* const names[] = {"video/clip01.mpg", longest.c_str(), tooLong.c_str(), "ミラノワ.exe", nullptr};
  // The old list is freed by the copy.
  list = engine.CopyList(list, names);
  ASSERT_EQ(3, ListLength(list)) << "a name longer than an entry is left out whole";
  EXPECT_STREQ("video/clip01.mpg", list[0]);
  EXPECT_EQ(longest, list[1]);
  EXPECT_STREQ("ミラノワ.exe", list[2]);
  for (size_t i = strlen(list[0]); i < kNameCapacity; ++i) ASSERT_EQ(0, list[0][i]) << "byte " << i;
  FreeList(list);
  FreeList(nullptr);
}

TEST(SetupEngine, ResetGivesTheDocumentedDefaults) {
  SetupEngine engine;
  EXPECT_STREQ("c:\\Program Files", engine.baseDir);
  EXPECT_EQ(1, engine.volumeLabelCount);
  EXPECT_EQ(9999, engine.endIndex);
  EXPECT_EQ(0, engine.firstIndex);
  EXPECT_EQ(0, engine.installed);
  EXPECT_EQ(nullptr, engine.installFiles);
  for (int i = 0; i < kSelectableEntries; ++i) EXPECT_EQ(1, engine.selected[i]) << "flag " << i;
  EXPECT_FALSE(engine.IsCopying());
  engine.copying = 1;
  EXPECT_TRUE(engine.IsCopying());
  engine.copying = 0;

  engine.SetInstallRange(1, 0, 11);
  EXPECT_EQ(1u, engine.installType);
  EXPECT_EQ(11, engine.endIndex);
  engine.SetInstallRange(0, 0, 9999);
  EXPECT_EQ(0u, engine.installType);
  EXPECT_EQ(0, engine.firstIndex);
  EXPECT_EQ(9999, engine.endIndex);
  engine.SetProgressControl(1005);
  EXPECT_EQ(1005, engine.progressControlId);
  engine.SetRequiredMB(123);
  EXPECT_EQ(123u, engine.requiredMB);
}

TEST(SetupEngine, InitializeWithoutARecordUsesTheProgramFolder) {
  fixture::DeleteRecord();
  for (const char* probe : {"d:\\ミラノワ\\ミラノワ.exe", "e:\\ミラノワ\\ミラノワ.exe"}) DeleteFileA(probe);
  profile.installList[0] = profile.executableName;

  SetupEngine engine;
  engine.Initialize(profile.installList, profile.updateList, profile.volumeLabelList, nullptr,
                    profile.brand, profile.productTitle, profile.subfolder, profile.requiredSizeMB);
  EXPECT_EQ(0, engine.installed);
  EXPECT_STREQ("", engine.installDir);
  EXPECT_EQ(0u, engine.installType);
  EXPECT_EQ(fixture::TestProgramFolder() + "\\ミラノワ", engine.sourceDir);
  EXPECT_STREQ("ミラノワ.exe", engine.installFiles[0]);
  EXPECT_EQ(kInstallListSize, ListLength(engine.installFiles));
  EXPECT_STREQ("video/clip20.mpg", engine.installFiles[47]);
  EXPECT_EQ(kUpdateListSize, ListLength(engine.updateFiles));
  EXPECT_EQ(1, ListLength(engine.volumeLabels));
  EXPECT_STREQ("ピオ", engine.brandName);
  EXPECT_STREQ("ミラノワ", engine.productName);
  EXPECT_STREQ("ミラノワ", engine.subdirName);
  EXPECT_STREQ("Software\\ピオ\\ミラノワ", engine.registryKeyText);
  EXPECT_EQ(2821u, engine.requiredMB);
  EXPECT_EQ(nullptr, engine.registryKey) << "no key stays open after start";

  char copy[1024];
  engine.GetSourceDir(copy, sizeof copy);
  EXPECT_STREQ(engine.sourceDir, copy);
}

TEST(CenteredOrigin, HalvesWithAnArithmeticShift) {
  struct Row {
    RECT work;
    int width, height;
    LONG x, y;
  } rows[] = {
      {{0, 0, 1024, 738}, 301, 120, 361, 309},
      {{0, 0, 1024, 768}, 1024, 768, 0, 0},
      {{100, 50, 300, 151}, 10, 10, 195, 95},
      {{0, 0, 100, 100}, 301, 120, -101, -10},  // a box larger than the work area goes off its edge
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.width);
    POINT origin = CenteredOrigin(row.work, row.width, row.height);
    EXPECT_EQ(row.x, origin.x);
    EXPECT_EQ(row.y, origin.y);
  }
}
