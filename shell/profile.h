// The compiled-in description of the product that this program updates.
#pragma once

#include <cstdint>

struct ProductProfile {
  const char* windowClassName;
  const char* productTitle;
  const char* brand;
  const char* subfolder;
  const char* executableName;
  const char* recordKeyPath;
  const char* const* updateList;
  const char** installList;  // entry 0 becomes executableName at start
  const char* const* volumeLabelList;
  uint32_t requiredSizeMB;   // the options dialog overwrites it
  uint32_t kind2SizeMB;
  uint32_t kind1SizeMB;
};

extern ProductProfile profile;

const int kInstallListSize = 48;
const int kUpdateListSize = 10;
