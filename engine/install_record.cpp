// The install record: HKEY_LOCAL_MACHINE\<recordKeyPath> with "Dir", "CD" and "InstType".
#include <cstring>

#include "engine/setup_engine.h"
#include "shell/profile.h"

bool SetupEngine::OpenInstallRecord(const char* keyPath) {
  CloseInstallRecord();
  LONG result = RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_ALL_ACCESS, &registryKey);
  if (result != ERROR_SUCCESS) registryKey = nullptr;
  return result == ERROR_SUCCESS;
}

bool SetupEngine::CreateInstallRecordKey(const char* keyPath) {
  CloseInstallRecord();
  DWORD disposition = 0;
  LONG result = RegCreateKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                KEY_ALL_ACCESS, nullptr, &registryKey, &disposition);
  if (result != ERROR_SUCCESS) registryKey = nullptr;
  return result == ERROR_SUCCESS;
}

void SetupEngine::CloseInstallRecord() {
  if (registryKey == nullptr) return;
  RegCloseKey(registryKey);
  registryKey = nullptr;
}

bool SetupEngine::WriteRecordValue(const char* name, DWORD type, const void* data, DWORD size) {
  LONG result = RegSetValueExA(registryKey, name, 0, type, static_cast<const BYTE*>(data), size);
  if (result == ERROR_SUCCESS) return true;
  CloseInstallRecord();
  return false;
}

// Reads into a scratch buffer first, so a failed read leaves the field as it was, and a string value
// always ends up terminated inside the field: stored data without a terminator is terminated here,
// and one that leaves no room for it does not fit.
bool SetupEngine::ReadRecordValue(const char* name, DWORD type, void* data, DWORD capacity) {
  BYTE scratch[kTextCapacity];
  if (capacity > sizeof scratch) capacity = sizeof scratch;
  DWORD valueType = type;
  DWORD size = capacity;
  LONG result = RegQueryValueExA(registryKey, name, nullptr, &valueType, scratch, &size);
  if (result == ERROR_SUCCESS && type == REG_SZ) {
    if (size == 0 || scratch[size - 1] != '\0') {
      if (size >= capacity) result = ERROR_MORE_DATA;
      else scratch[size++] = '\0';
    }
  }
  if (result != ERROR_SUCCESS) {
    CloseInstallRecord();
    return false;
  }
  memcpy(data, scratch, size);
  return true;
}

// A string value is stored with its length + 2 bytes: the text, its terminator and one more zero
// byte. The extra byte comes from a scratch copy, so a 259-byte directory never reads past its field.
static bool WriteStringValue(SetupEngine& engine, const char* name, const char* text) {
  char scratch[kTextCapacity + 2] = {};
  size_t length = strnlen(text, kTextCapacity - 1);
  memcpy(scratch, text, length);
  return engine.WriteRecordValue(name, REG_SZ, scratch, static_cast<DWORD>(length + 2));
}

bool SetupEngine::WriteInstallRecord() {
  if (!CreateInstallRecordKey(profile.recordKeyPath)) return false;
  Trace("create <%s>", profile.recordKeyPath);
  if (!WriteStringValue(*this, "Dir", installDir)) return false;
  Trace("Dir <%s>", installDir);
  if (!WriteStringValue(*this, "CD", sourceDir)) return false;
  Trace("CD <%s>", sourceDir);
  if (!WriteRecordValue("InstType", REG_DWORD, &installType, sizeof installType)) return false;
  Trace("InstType <%d>", installType);
  CloseInstallRecord();
  return true;
}

bool SetupEngine::ReadInstallRecord() {
  if (!OpenInstallRecord(profile.recordKeyPath)) return false;
  Trace("open <%s>", profile.recordKeyPath);
  if (!ReadRecordValue("Dir", REG_SZ, installDir, sizeof installDir)) return false;
  Trace("Dir <%s>", installDir);
  if (!ReadRecordValue("CD", REG_SZ, sourceDir, sizeof sourceDir)) return false;
  Trace("CD <%s>", sourceDir);
  if (!ReadRecordValue("InstType", REG_DWORD, &installType, sizeof installType)) return false;
  Trace("InstType <%d>", installType);
  CloseInstallRecord();
  return true;
}

bool SetupEngine::DeleteInstallRecord(const char* keyPath) {
  return RegDeleteKeyA(HKEY_LOCAL_MACHINE, keyPath) == ERROR_SUCCESS;
}
