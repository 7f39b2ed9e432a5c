// Where the real program is and how a test lays out an update package and an installation for it.
#pragma once

#include <string>
#include <vector>

#include "tests/support/windows_driver.h"

namespace program {

const char* const kDialogCaption = "ミラノワ Updata";

// update.exe as the build made it.
std::string BuiltProgram();

struct File {
  std::string name;  // relative, as in the lists: may hold a forward slash
  std::string content;
};

// A package folder holding the program and its subfolder ミラノワ, and an installation folder.
struct Scene {
  std::string package;
  std::string install;
  std::string programName = "update.exe";

  // Lays both out anew: package files dated 10 days back, installed files 30 days back.
  void Lay(const std::vector<File>& packageFiles, const std::vector<File>& installedFiles) const;
  std::string PackagePath(const std::string& name) const;
  std::string InstalledPath(const std::string& name) const;
  std::string ProgramPath() const { return package + "\\" + programName; }
};

// Starts the program, presses Update, records the first message box and answers it.
// False when a step did not happen in time. `dialogEnabled`, when given, tells whether the update
// dialog still took input while the box showed.
bool RunUpdate(const Scene& scene, drive::MessageBoxSeen* box, unsigned long* exitCode,
               bool* dialogEnabled = nullptr);

}  // namespace program
