// Finding the product disc among the drives that tools/wine-prefix lays out: CD-ROM drives d: and
// e: labelled ミラノワ, f: MILANOWA, g: ミラノワ2, i: Milanowa, and a fixed drive h: labelled ミラノワ.
// Wine reads labels once per wineserver, so each case only puts the probe file on some of them.
#include <gtest/gtest.h>

#include <string>

#include "engine/setup_engine.h"
#include "shell/profile.h"
#include "tests/support/fixtures.h"

namespace {

const char kDrives[] = "defghi";

// Puts ミラノワ\ミラノワ.exe on exactly the drives named.
void PutProbeOn(const std::string& drives) {
  for (const char* letter = kDrives; *letter; ++letter) {
    std::string folder = std::string(1, *letter) + ":\\ミラノワ";
    std::string probe = folder + "\\ミラノワ.exe";
    if (drives.find(*letter) == std::string::npos) {
      DeleteFileA(probe.c_str());
    } else {
      ASSERT_TRUE(fixture::MakeFolders(folder));
      ASSERT_TRUE(fixture::WriteBytes(probe, "MZ"));
    }
  }
}

// Skips unless the prefix holds the drives above, labelled as they should be.
bool TestDrivesPresent() {
  SetupEngine engine;
  char label[260] = {};
  return engine.ClassifyDrive("d:\\", label, sizeof label) == kDriveCdrom &&
         std::string(label) == "ミラノワ" && engine.ClassifyDrive("h:\\", label, sizeof label) == kDriveFixed &&
         engine.ClassifyDrive("i:\\", label, sizeof label) == kDriveCdrom && std::string(label) == "Milanowa";
}

#define REQUIRE_TEST_DRIVES()                                                                     \
  if (!TestDrivesPresent())                                                                       \
  GTEST_SKIP() << "the Wine prefix lacks the test drives; tools/wine-prefix setup lays them out " \
                  "(ctest runs it first)"

}  // namespace

TEST(ClassifyDrive, MapsTheDriveTypesAndReadsTheLabel) {
  REQUIRE_TEST_DRIVES();
  SetupEngine engine;
  char label[260] = "untouched";
  EXPECT_EQ(kDriveCdrom, engine.ClassifyDrive("g:\\", label, sizeof label));
  EXPECT_STREQ("ミラノワ2", label);
  EXPECT_EQ(kDriveFixed, engine.ClassifyDrive("c:\\", label, sizeof label));
  strcpy(label, "untouched");
  EXPECT_EQ(kDriveNone, engine.ClassifyDrive("q:\\", label, sizeof label));
  EXPECT_STREQ("untouched", label) << "a drive without volume information leaves the label alone";
}

TEST(LocateSource, TakesTheLowestCdromDriveWithTheLabelAndTheProbeFile) {
  REQUIRE_TEST_DRIVES();
  const std::string programFolder = fixture::TestProgramFolder();
  struct Row {
    const char* what;
    const char* probeOn;
    std::string expected;
  } rows[] = {
      {"the disc in one drive (d: has the label but not the file)", "e", "e:"},
      {"two discs: the lower letter wins", "de", "d:"},
      {"the label on discs without the probe file", "", programFolder},
      {"the probe file under another label", "g", programFolder},
      {"the product label on a fixed drive", "h", programFolder},
      {"a label that differs only in case", "f", programFolder},
  };
  profile.installList[0] = profile.executableName;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    PutProbeOn(row.probeOn);
    SetupEngine engine;
    engine.volumeLabels = engine.CopyList(nullptr, profile.volumeLabelList);
    engine.LocateSource("ミラノワ", "ミラノワ.exe");
    EXPECT_EQ(row.expected, engine.sourceDir);
  }
  PutProbeOn("");
}

TEST(LocateSource, ComparesOnlyTheCountedLabelsByteForByte) {
  REQUIRE_TEST_DRIVES();
  const std::string programFolder = fixture::TestProgramFolder();
  SetupEngine engine;
  const char* const labels[] = {"Milanowa", "ミラノワ", nullptr};
  engine.volumeLabels = engine.CopyList(nullptr, labels);

  PutProbeOn("df");
  engine.LocateSource("ミラノワ", "ミラノワ.exe");
  EXPECT_EQ(programFolder, engine.sourceDir)
      << "MILANOWA is not Milanowa, and the second label is never compared";

  PutProbeOn("dfi");
  engine.LocateSource("ミラノワ", "ミラノワ.exe");
  EXPECT_EQ("i:", std::string(engine.sourceDir));
  PutProbeOn("");
}

TEST(LocateSource, InitializeAppendsTheSubfolder) {
  REQUIRE_TEST_DRIVES();
  fixture::DeleteRecord();
  profile.installList[0] = profile.executableName;
  struct Row {
    const char* probeOn;
    std::string expected;
  } rows[] = {
      {"d", "d:\\ミラノワ"},
      {"", fixture::TestProgramFolder() + "\\ミラノワ"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.expected);
    PutProbeOn(row.probeOn);
    SetupEngine engine;
    engine.Initialize(profile.installList, profile.updateList, profile.volumeLabelList, nullptr,
                      profile.brand, profile.productTitle, profile.subfolder, profile.requiredSizeMB);
    EXPECT_EQ(row.expected, engine.sourceDir);
    EXPECT_EQ(0, engine.installed);
  }
  PutProbeOn("");
}
