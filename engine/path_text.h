// Byte-string helpers for Shift-JIS paths and messages.
#pragma once

#include <cstddef>

// The last path separator ('\' or '/') of `path`, walking by characters so that the trail byte of a
// double-byte character (ソ is 0x83 0x5C) is never taken for one; null when there is none.
char* FindLastSeparator(char* path);
const char* FindLastSeparator(const char* path);

// Formats into `buffer` of `capacity` bytes; false, with `buffer` emptied, when the text does not fit,
// so a path that is too long is refused rather than cut into another path.
bool FormatText(char* buffer, size_t capacity, const char* format, ...);

// Copies `source` into `buffer` of `capacity` bytes; false, with `buffer` emptied, when it does not fit.
bool CopyText(char* buffer, size_t capacity, const char* source);

// The folder of the running program, without a trailing backslash; false, with `buffer` emptied,
// when the program's path does not fit.
bool GetProgramFolder(char* buffer, size_t capacity);
