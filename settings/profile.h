#pragma once
// INI file access for the settings and language files, the same on every
// platform. Reading never fails on any bytes; writing is atomic.

// Copies the value of [section] key into buffer (cut to capacity - 1 bytes,
// always terminated); fallback when the file, section or key is missing.
// Returns the number of bytes copied, terminator not counted.
unsigned ReadProfileString(const char* section, const char* key, const char* fallback, char* buffer,
                           unsigned capacity, const char* path);

// The value read as a decimal integer with optional sign; trailing text is
// ignored, a value without digits gives 0, a missing key gives fallback.
int ReadProfileInt(const char* section, const char* key, int fallback, const char* path);

// Sets [section] key = value, keeping every other byte of the file. Returns
// false, leaving the old file untouched, when the file cannot be written.
bool WriteProfileString(const char* section, const char* key, const char* value, const char* path);
