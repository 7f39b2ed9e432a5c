// The whole update, run by the real update.exe from a package folder onto an installation.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/holders.h"
#include "resources/resource.h"
#include "tests/support/fixtures.h"
#include "tests/support/program.h"
#include "tests/support/windows_driver.h"

using program::File;
using program::Scene;

namespace {

const char kDone[] = "アップデートが完了しました。";
const char kInstallFirst[] =
    "インストールがされてませんでした。\nインストールを行ってからアップデートしてください。";

std::string FailureText(const std::string& target) {
  return "アップデートが正常に行われませんでした。\n" + target +
         "\nもう一度ご確認の上、アップデートを行ってください。";
}

void Register(const Scene& scene) {
  const DWORD kind = 2;
  ASSERT_TRUE(fixture::WriteRecord(scene.install.c_str(), "e:\\ミラノワ", &kind));
}

// The package's version of a file replaced the installed one, times and all.
void ExpectUpdated(const Scene& scene, const File& file) {
  SCOPED_TRACE(file.name);
  const std::string installed = scene.InstalledPath(file.name);
  // Times first: reading the content may move the last-access time.
  fixture::FileTimes want, got;
  ASSERT_TRUE(fixture::GetTimes(scene.PackagePath(file.name), &want));
  ASSERT_TRUE(fixture::GetTimes(installed, &got));
  EXPECT_TRUE(fixture::ReadBytes(installed) == file.content) << installed << " does not hold the package's bytes";
  EXPECT_TRUE(fixture::SameTime(want.created, got.created))
      << "created " << fixture::Describe(got.created) << ", expected " << fixture::Describe(want.created);
  EXPECT_TRUE(fixture::SameTime(want.accessed, got.accessed))
      << "accessed " << fixture::Describe(got.accessed) << ", expected " << fixture::Describe(want.accessed);
  EXPECT_TRUE(fixture::SameTime(want.written, got.written))
      << "written " << fixture::Describe(got.written) << ", expected " << fixture::Describe(want.written);
  EXPECT_EQ(0u, GetFileAttributesA(installed.c_str()) & FILE_ATTRIBUTE_READONLY);
}

// The installed file is exactly as the test laid it out.
void ExpectUntouched(const Scene& scene, const File& file, const fixture::FileTimes& before) {
  SCOPED_TRACE(file.name);
  const std::string installed = scene.InstalledPath(file.name);
  EXPECT_TRUE(fixture::ReadBytes(installed) == file.content) << installed << " changed";
  fixture::FileTimes got;
  ASSERT_TRUE(fixture::GetTimes(installed, &got));
  EXPECT_TRUE(fixture::SameTime(before.written, got.written)) << "written " << fixture::Describe(got.written);
}

}  // namespace

TEST(Update, ReplacesEveryListedFileThePackageHoldsWithItsTimes) {
  struct Row {
    Scene scene;
  } rows[] = {
      {{"C:\\tests\\pkg", "C:\\tests\\inst\\ピオ\\ミラノワ", "update.exe"}},
      // 表 ends in the byte of a backslash: the program's own folder must still be found.
      {{"C:\\tests\\ソフト表", "C:\\tests\\inst2", "表.exe"}},
  };
  for (const Row& row : rows) {
    const Scene& scene = row.scene;
    SCOPED_TRACE(scene.ProgramPath());
    const std::vector<File> package = {
        {"ミラノワ.exe", fixture::Pattern(150000, 11)},
        {"img.pac", fixture::Pattern(3 * 65536 + 17, 12)},
        {"readme.txt", "新しい説明書"},
        {"video/clip01.mpg", fixture::Pattern(65536, 13)},
        {"scn_6.pac", fixture::Pattern(1000, 14)},  // only updates bring it
        {"sfx_2.pac", std::string()},
    };
    const std::vector<File> installed = {
        {"ミラノワ.exe", "old program"},
        {"img.pac", fixture::Pattern(400000, 21)},  // larger than its replacement
        {"readme.txt", "古い説明書"},
        {"video/clip01.mpg", "old clip"},
        {"vox.pac", "not in the package"},
        {"sfx_2.pac", "old sound"},
    };
    scene.Lay(package, installed);
    Register(scene);
    const std::string vox = scene.InstalledPath("vox.pac");
    ASSERT_TRUE(SetFileAttributesA(vox.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    fixture::FileTimes voxBefore;
    ASSERT_TRUE(fixture::GetTimes(vox, &voxBefore));

    drive::MessageBoxSeen box;
    unsigned long exitCode = 99;
    bool dialogEnabled = true;
    ASSERT_TRUE(program::RunUpdate(scene, &box, &exitCode, &dialogEnabled));
    EXPECT_EQ(kDone, box.text);
    EXPECT_EQ("終了", box.caption);
    EXPECT_EQ(nullptr, box.owner) << "the closing box belongs to the engine's message window, none here";
    EXPECT_FALSE(dialogEnabled) << "a second Update or Cancel under the closing box must not reach the dialog";
    EXPECT_EQ(0u, exitCode);
    for (const File& file : package) ExpectUpdated(scene, file);
    ExpectUntouched(scene, installed[4], voxBefore);
    EXPECT_EQ(0u, GetFileAttributesA(vox.c_str()) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN))
        << "an installed file the package lacks still has its attributes cleared";
    EXPECT_EQ(installed.size() + 1, static_cast<size_t>(fixture::CountFiles(scene.install) +
                                                        fixture::CountFiles(scene.install + "\\video")))
        << "only the listed files are in the installation";
  }
  fixture::DeleteRecord();
}

TEST(Update, APackageWithoutItsFolderIsNotReportedAsDone) {
  const Scene scene = {"C:\\tests\\pkg", "C:\\tests\\inst"};
  scene.Lay({}, {{"img.pac", "old"}});
  ASSERT_TRUE(RemoveDirectoryA((scene.package + "\\ミラノワ").c_str()));
  Register(scene);
  drive::MessageBoxSeen box;
  unsigned long exitCode = 99;
  ASSERT_TRUE(program::RunUpdate(scene, &box, &exitCode));
  EXPECT_EQ(FailureText(scene.package + "\\ミラノワ"), box.text);
  EXPECT_EQ("確認", box.caption);
  EXPECT_EQ(1u, exitCode);
  EXPECT_EQ("old", fixture::ReadBytes(scene.InstalledPath("img.pac")));
  fixture::DeleteRecord();
}

TEST(Update, WithoutAnInstallRecordAsksToInstallFirstAndStays) {
  const Scene scene = {"C:\\tests\\pkg", "C:\\tests\\inst"};
  scene.Lay({{"img.pac", "new"}}, {{"img.pac", "old"}});
  fixture::DeleteRecord();

  drive::Process process;
  ASSERT_TRUE(process.Start(scene.ProgramPath(), scene.package));
  HWND dialog = drive::WaitForDialog(process.id(), program::kDialogCaption);
  ASSERT_NE(nullptr, dialog);
  for (int press = 1; press <= 2; ++press) {
    SCOPED_TRACE(testing::Message() << "press " << press);
    drive::Click(dialog, IDC_UPDATE);
    drive::MessageBoxSeen box;
    ASSERT_TRUE(drive::WaitForMessageBox(process.id(), &box));
    EXPECT_EQ(kInstallFirst, box.text);
    EXPECT_EQ("確認", box.caption);
    EXPECT_EQ(dialog, box.owner) << "the box belongs to the update dialog";
    drive::AnswerMessageBox(box);
    Sleep(300);
    EXPECT_TRUE(IsWindowVisible(dialog)) << "the dialog stays open";
  }
  EXPECT_EQ("old", fixture::ReadBytes(scene.InstalledPath("img.pac")));
  drive::Click(dialog, IDCANCEL);
  DWORD exitCode = 99;
  ASSERT_TRUE(process.WaitForExit(15000, &exitCode));
  EXPECT_EQ(0u, exitCode);
}

TEST(Update, AFaultStopsTheUpdateWithoutLosingAnInstalledFile) {
  ULARGE_INTEGER freeBytes, smallDisk;
  const bool haveSmallDisk = GetDiskFreeSpaceExA("C:\\small", &freeBytes, &smallDisk, nullptr) &&
                             smallDisk.QuadPart <= (64u << 20);
  struct Row {
    const char* what;
    Scene scene;
    std::vector<File> package, installed;
    bool holdImg;            // another process holds img.pac without sharing
    bool readOnlyImg;        // img.pac is read-only
    const char* failsAt;     // the entry named in the failure box; null: the update completes
    std::vector<std::string> updated;    // entries that must carry the package's version
    std::vector<std::string> untouched;  // entries that must keep the installed version
  };
  const std::vector<File> standard = {{"ミラノワ.exe", "new exe"}, {"img.pac", fixture::Pattern(200000, 31)},
                                      {"scn_6.pac", "new scene"}};
  const std::vector<File> old = {{"ミラノワ.exe", "old exe"}, {"img.pac", "old img"}, {"scn_6.pac", "old scene"}};
  std::vector<Row> rows = {
      {"a read-only installed file", {"C:\\tests\\pkg", "C:\\tests\\inst"}, standard, old, false, true,
       nullptr, {"ミラノワ.exe", "img.pac", "scn_6.pac"}, {}},
      {"a package file under video/ without that folder installed", {"C:\\tests\\pkg", "C:\\tests\\inst"},
       {{"ミラノワ.exe", "new exe"}, {"video/clip01.mpg", "new clip"}, {"scn_6.pac", "new scene"}}, old,
       false, false, "video/clip01.mpg", {"ミラノワ.exe"}, {"scn_6.pac"}},
      {"an installed file held open without sharing", {"C:\\tests\\pkg", "C:\\tests\\inst"}, standard, old,
       true, false, "img.pac", {"ミラノワ.exe"}, {"img.pac", "scn_6.pac"}},
  };
  if (haveSmallDisk) {
    rows.push_back({"a disk that fills up part-way", {"C:\\tests\\pkg", "C:\\small\\inst"},
                    {{"ミラノワ.exe", "new exe"},
                     {"img.pac", fixture::Pattern(static_cast<size_t>(smallDisk.QuadPart), 32)},
                     {"scn_6.pac", "new scene"}},
                    {{"ミラノワ.exe", "old exe"}, {"img.pac", fixture::Pattern(1u << 20, 33)}, {"scn_6.pac", "old scene"}},
                    false, false, "img.pac", {"ミラノワ.exe"}, {"img.pac", "scn_6.pac"}});
  } else {
    ADD_FAILURE() << "no small disk at C:\\small: run the tests as root through tools/check, which mounts it";
  }

  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    const Scene& scene = row.scene;
    scene.Lay(row.package, row.installed);
    Register(scene);
    const std::string img = scene.InstalledPath("img.pac");
    if (row.readOnlyImg) {
      ASSERT_TRUE(SetFileAttributesA(img.c_str(), FILE_ATTRIBUTE_READONLY));
    }
    std::vector<fixture::FileTimes> before(row.installed.size());
    for (size_t i = 0; i < row.installed.size(); ++i)
      ASSERT_TRUE(fixture::GetTimes(scene.InstalledPath(row.installed[i].name), &before[i]));

    drive::MessageBoxSeen box;
    unsigned long exitCode = 99;
    {
      FileHandle held(row.holdImg ? CreateFileA(img.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)
                                  : INVALID_HANDLE_VALUE);
      ASSERT_TRUE(!row.holdImg || held.valid());
      ASSERT_TRUE(program::RunUpdate(scene, &box, &exitCode));
    }
    if (row.failsAt) {
      EXPECT_EQ(FailureText(scene.InstalledPath(row.failsAt)), box.text);
      EXPECT_EQ("確認", box.caption);
      EXPECT_EQ(1u, exitCode);
    } else {
      EXPECT_EQ(kDone, box.text);
      EXPECT_EQ(0u, exitCode);
    }
    for (const std::string& name : row.updated)
      for (const File& file : row.package)
        if (file.name == name) {
          ExpectUpdated(scene, file);
        }
    for (const std::string& name : row.untouched)
      for (size_t i = 0; i < row.installed.size(); ++i)
        if (row.installed[i].name == name) {
          ExpectUntouched(scene, row.installed[i], before[i]);
        }
    EXPECT_EQ(static_cast<int>(row.installed.size()), fixture::CountFiles(scene.install))
        << "no temporary file is left in the installation";
    EXPECT_FALSE(fixture::Exists(scene.install + "\\video")) << "the update creates no folders";
  }
  fixture::RemoveTree("C:\\small\\inst");
  fixture::DeleteRecord();
}
