// The install record on the real registry under HKEY_LOCAL_MACHINE.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "engine/holders.h"
#include "engine/setup_engine.h"
#include "shell/profile.h"
#include "tests/support/fixtures.h"

namespace {

// Raw access to the stored values, bypassing the engine.
void SetRaw(const char* name, DWORD type, const void* data, DWORD size) {
  RegistryKey key;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, fixture::kRecordKey, 0, nullptr, 0,
                                           KEY_ALL_ACCESS, nullptr, key.out(), nullptr));
  ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key.get(), name, 0, type, static_cast<const BYTE*>(data), size));
}

std::string GetRaw(const char* name, DWORD* type = nullptr) {
  RegistryKey key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, fixture::kRecordKey, 0, KEY_READ, key.out()) != ERROR_SUCCESS)
    return "<no key>";
  char data[1024];
  DWORD size = sizeof data, valueType = 0;
  if (RegQueryValueExA(key.get(), name, nullptr, &valueType, reinterpret_cast<BYTE*>(data), &size) !=
      ERROR_SUCCESS)
    return "<no value>";
  if (type) *type = valueType;
  return std::string(data, size);
}

// An engine whose record fields hold recognisable values before a read.
void FillFields(SetupEngine& engine) {
  memset(engine.installDir, 'I', sizeof engine.installDir - 1);
  engine.installDir[sizeof engine.installDir - 1] = '\0';
  strcpy(engine.sourceDir, "located\\ミラノワ");
  engine.installType = 77;
}

const std::string kDir258(258, 'd');
const std::string kUnterminated = "c:\\games\\ミラノワ";
const DWORD kTwo = 2;

}  // namespace

TEST(InstallRecord, ReadsTheStoredValuesAndClosesTheKey) {
  fixture::DeleteRecord();
  SetupEngine engine;
  strcpy(engine.installDir, "c:\\Program Files\\ピオ\\ミラノワ");
  strcpy(engine.sourceDir, "e:\\ミラノワ");
  engine.installType = 2;
  ASSERT_TRUE(engine.WriteInstallRecord());
  EXPECT_EQ(nullptr, engine.registryKey);

  DWORD type = 0;
  EXPECT_EQ(std::string("c:\\Program Files\\ピオ\\ミラノワ") + std::string(2, '\0'), GetRaw("Dir", &type))
      << "a string is stored with its length + 2 bytes";
  EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
  EXPECT_EQ(std::string("e:\\ミラノワ") + std::string(2, '\0'), GetRaw("CD"));
  EXPECT_EQ(std::string("\x02\0\0\0", 4), GetRaw("InstType", &type));
  EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type);

  // A later start, wherever it runs from, takes the source that was stored at install time.
  SetupEngine later;
  FillFields(later);
  ASSERT_TRUE(later.ReadInstallRecord());
  EXPECT_STREQ("c:\\Program Files\\ピオ\\ミラノワ", later.installDir);
  EXPECT_STREQ("e:\\ミラノワ", later.sourceDir);
  EXPECT_EQ(2u, later.installType);
  EXPECT_EQ(nullptr, later.registryKey);
}

TEST(InstallRecord, EdgeCasesOfReading) {
  struct Row {
    const char* what;
    void (*store)();
    bool ok;
    const char* installDir;  // null: unchanged
    const char* sourceDir;   // null: unchanged
    uint32_t installType;
  };
  const Row rows[] = {
      {"no key", [] { fixture::DeleteRecord(); }, false, nullptr, nullptr, 77},
      {"no InstType",
       [] { ASSERT_TRUE(fixture::WriteRecord("c:\\inst", "e:\\ミラノワ", nullptr)); },
       false, "c:\\inst", "e:\\ミラノワ", 77},
      {"no CD", [] { ASSERT_TRUE(fixture::WriteRecord("c:\\inst", nullptr, &kTwo)); }, false, "c:\\inst",
       nullptr, 77},
      {"258-byte directory",
       [] {
         fixture::DeleteRecord();
         SetupEngine writer;
         strcpy(writer.installDir, kDir258.c_str());
         strcpy(writer.sourceDir, "e:\\ミラノワ");
         writer.installType = 1;
         ASSERT_TRUE(writer.WriteInstallRecord());
       },
       true, kDir258.c_str(), "e:\\ミラノワ", 1},
      {"InstType stored as a string lands as its bytes",
       [] {
         ASSERT_TRUE(fixture::WriteRecord("c:\\inst", "e:\\ミラノワ", nullptr));
         SetRaw("InstType", REG_SZ, "ab", 3);
       },
       true, "c:\\inst", "e:\\ミラノワ", 0x00006261},
      {"Dir stored without a terminator",
       [] {
         ASSERT_TRUE(fixture::WriteRecord(nullptr, "e:\\ミラノワ", &kTwo));
         SetRaw("Dir", REG_SZ, kUnterminated.data(), static_cast<DWORD>(kUnterminated.size()));
       },
       true, kUnterminated.c_str(), "e:\\ミラノワ", 2},
      {"Dir of 260 bytes without a terminator does not fit",
       [] {
         ASSERT_TRUE(fixture::WriteRecord(nullptr, "e:\\ミラノワ", &kTwo));
         std::string full(260, 'x');
         SetRaw("Dir", REG_SZ, full.data(), 260);
       },
       false, nullptr, nullptr, 77},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    row.store();
    SetupEngine engine;
    FillFields(engine);
    const std::string dirBefore = engine.installDir;
    const std::string sourceBefore = engine.sourceDir;
    EXPECT_EQ(row.ok, engine.ReadInstallRecord());
    EXPECT_EQ(row.installDir ? std::string(row.installDir) : dirBefore, engine.installDir);
    EXPECT_EQ(row.sourceDir ? std::string(row.sourceDir) : sourceBefore, engine.sourceDir);
    EXPECT_EQ(row.installType, engine.installType);
    EXPECT_EQ(nullptr, engine.registryKey) << "every whole-record operation ends with no key open";
  }
}

TEST(InstallRecord, WritesTheExtraByteAsZeroAndRefusesA259ByteDirectoryOnRead) {
  fixture::DeleteRecord();
  SetupEngine engine;
  engine.installDir[0] = '\0';
  strcpy(engine.sourceDir, "e:\\ミラノワ");
  ASSERT_TRUE(engine.WriteInstallRecord());
  EXPECT_EQ(std::string(2, '\0'), GetRaw("Dir")) << "an empty directory is stored with 2 bytes";

  // A 259-byte directory fills its field; the byte after the terminator must be a zero, not
  // whatever follows the field in memory.
  memset(engine.installDir, 'd', 259);
  engine.installDir[259] = '\0';
  memset(engine.sourceDir, '\x7f', sizeof engine.sourceDir);  // the field that follows in memory
  engine.sourceDir[5] = '\0';
  ASSERT_TRUE(engine.WriteInstallRecord());
  EXPECT_EQ(std::string(259, 'd') + std::string(2, '\0'), GetRaw("Dir"));

  SetupEngine reader;
  FillFields(reader);
  EXPECT_FALSE(reader.ReadInstallRecord()) << "261 bytes do not fit the 260-byte field";
  EXPECT_EQ(nullptr, reader.registryKey);
}

TEST(InstallRecord, DeleteLeavesTheBrandKey) {
  ASSERT_TRUE(fixture::WriteRecord("c:\\inst", "e:\\ミラノワ", nullptr));
  SetupEngine engine;
  EXPECT_TRUE(engine.DeleteInstallRecord(profile.recordKeyPath));
  EXPECT_EQ("<no key>", GetRaw("Dir"));
  RegistryKey brand;
  EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\ピオ", 0, KEY_READ, brand.out()));
  EXPECT_FALSE(engine.DeleteInstallRecord(profile.recordKeyPath)) << "nothing left to delete";
}

TEST(InstallRecord, AFailedOpenLeavesNoKeyOpen) {
  ASSERT_TRUE(fixture::WriteRecord("c:\\inst", "e:\\ミラノワ", nullptr));
  SetupEngine engine;
  ASSERT_TRUE(engine.OpenInstallRecord(profile.recordKeyPath));
  EXPECT_NE(nullptr, engine.registryKey);
  EXPECT_FALSE(engine.OpenInstallRecord("SOFTWARE\\ピオ\\存在しない"));
  EXPECT_EQ(nullptr, engine.registryKey);
  fixture::DeleteRecord();
}
