// Where the product files come from: the product disc in a CD-ROM drive, or the program's folder.
#include <cstdio>
#include <cstring>

#include "engine/path_text.h"
#include "engine/setup_engine.h"

DriveKind SetupEngine::ClassifyDrive(const char* root, char* label, size_t capacity) {
  DriveKind kind;
  switch (GetDriveTypeA(root)) {
    case DRIVE_FIXED: kind = kDriveFixed; break;
    case DRIVE_CDROM: kind = kDriveCdrom; break;
    case DRIVE_REMOVABLE: kind = kDriveRemovable; break;
    case DRIVE_RAMDISK: kind = kDriveRamDisk; break;
    case DRIVE_REMOTE: kind = kDriveRemote; break;
    default: kind = kDriveNone; break;
  }
  char volumeName[256] = {};
  char fileSystemName[256];
  DWORD serialNumber = 0, maximumComponentLength = 0, fileSystemFlags = 0;
  if (GetVolumeInformationA(root, volumeName, sizeof volumeName, &serialNumber,
                            &maximumComponentLength, &fileSystemFlags, fileSystemName,
                            sizeof fileSystemName)) {
    CopyText(label, capacity, volumeName);
  }
  return kind;
}

void SetupEngine::LocateSource(const char* subfolder, const char* probeName) {
  char root[4] = "c:\\";
  char label[kTextCapacity];
  char probePath[1024];
  for (int drive = 0; drive < 24; ++drive, ++root[0]) {
    // Each drive starts from an empty label, so a drive without a readable volume never
    // matches the label of the drive before it.
    label[0] = '\0';
    if (ClassifyDrive(root, label, sizeof label) != kDriveCdrom) continue;
    for (int i = 0; i < volumeLabelCount; ++i) {
      if (strcmp(volumeLabels[i], label) != 0) continue;
      memset(sourceDir, 0, sizeof sourceDir);
      CopyText(sourceDir, sizeof sourceDir, root);
      if (strlen(sourceDir) < 4) sourceDir[2] = '\0';  // "e:" without the backslash
      if (!FormatText(probePath, sizeof probePath, "%s\\%s\\%s", sourceDir, subfolder, probeName))
        continue;
      FILE* probe = nullptr;
      if (fopen_s(&probe, probePath, "r") == 0 && probe != nullptr) {
        fclose(probe);
        return;
      }
    }
  }
  GetProgramFolder(sourceDir, sizeof sourceDir);
}
