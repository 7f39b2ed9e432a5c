#include "engine/path_text.h"

#include <windows.h>
#include <cstdarg>
#include <cstdio>
#include <cstring>

const char* FindLastSeparator(const char* path) {
  const char* last = nullptr;
  // Paths come from and go to the ANSI calls, so the system code page decides what a lead byte is.
  for (const char* p = path; *p != '\0';) {
    if (IsDBCSLeadByte(static_cast<BYTE>(*p)) && p[1] != '\0') {
      p += 2;
      continue;
    }
    if (*p == '\\' || *p == '/') last = p;
    ++p;
  }
  return last;
}

char* FindLastSeparator(char* path) {
  return const_cast<char*>(FindLastSeparator(static_cast<const char*>(path)));
}

bool FormatText(char* buffer, size_t capacity, const char* format, ...) {
  if (capacity == 0) return false;
  va_list args;
  va_start(args, format);
  int written = _vsnprintf(buffer, capacity, format, args);
  va_end(args);
  if (written < 0 || static_cast<size_t>(written) >= capacity) {
    buffer[0] = '\0';
    return false;
  }
  return true;
}

bool CopyText(char* buffer, size_t capacity, const char* source) {
  if (capacity == 0) return false;
  size_t length = strlen(source);
  if (length >= capacity) {
    buffer[0] = '\0';
    return false;
  }
  memcpy(buffer, source, length + 1);
  return true;
}

bool GetProgramFolder(char* buffer, size_t capacity) {
  if (capacity == 0) return false;
  DWORD length = GetModuleFileNameA(nullptr, buffer, static_cast<DWORD>(capacity));
  if (length == 0 || length >= capacity) {
    buffer[0] = '\0';
    return false;
  }
  if (char* separator = FindLastSeparator(buffer)) *separator = '\0';
  return true;
}
