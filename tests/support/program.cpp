#include "tests/support/program.h"

#include <gtest/gtest.h>

#include "resources/resource.h"
#include "tests/support/fixtures.h"

namespace program {

std::string BuiltProgram() { return fixture::TestProgramFolder() + "\\..\\update.exe"; }

static std::string Join(const std::string& folder, const std::string& name) { return folder + "\\" + name; }

static void LayFiles(const std::string& folder, const std::vector<File>& files, int daysAgo) {
  for (const File& file : files) {
    std::string path = Join(folder, file.name);
    std::string parent = path.substr(0, path.find_last_of("\\/"));
    ASSERT_TRUE(fixture::MakeFolders(parent)) << parent;
    ASSERT_TRUE(fixture::WriteBytes(path, file.content)) << path;
    ASSERT_TRUE(fixture::SetTimesDaysAgo(path, daysAgo)) << path;
  }
}

void Scene::Lay(const std::vector<File>& packageFiles, const std::vector<File>& installedFiles) const {
  fixture::RemoveTree(package);
  fixture::RemoveTree(install);
  ASSERT_TRUE(fixture::MakeFolders(package + "\\ミラノワ"));
  ASSERT_TRUE(fixture::MakeFolders(install));
  ASSERT_TRUE(CopyFileA(BuiltProgram().c_str(), ProgramPath().c_str(), FALSE)) << BuiltProgram();
  LayFiles(package + "\\ミラノワ", packageFiles, 10);
  LayFiles(install, installedFiles, 30);
}

std::string Scene::PackagePath(const std::string& name) const { return Join(package + "\\ミラノワ", name); }
std::string Scene::InstalledPath(const std::string& name) const { return Join(install, name); }

bool RunUpdate(const Scene& scene, drive::MessageBoxSeen* box, unsigned long* exitCode, bool* dialogEnabled) {
  drive::Process process;
  if (!process.Start(scene.ProgramPath(), scene.package)) return false;
  HWND dialog = drive::WaitForDialog(process.id(), kDialogCaption);
  if (dialog == nullptr) return false;
  drive::Click(dialog, IDC_UPDATE);
  if (!drive::WaitForMessageBox(process.id(), box, 120000)) return false;
  if (dialogEnabled) *dialogEnabled = IsWindowEnabled(dialog) != 0;
  drive::AnswerMessageBox(*box);
  DWORD code = 0;
  if (!process.WaitForExit(15000, &code)) return false;
  *exitCode = code;
  return true;
}

}  // namespace program
