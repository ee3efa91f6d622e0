#include "tests/support/temp_folder.h"

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>

#include "tests/support/files.h"

TempFolder::TempFolder() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base != nullptr && base[0] != '\0' ? base : "/tmp") + "/quillo-test-XXXXXX";
  const char* made = mkdtemp(pattern.data());
  path_ = made != nullptr ? made : "";
}

TempFolder::~TempFolder() {
  namespace fs = std::filesystem;
  std::error_code ignored;
  fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
  fs::remove_all(path_, ignored);
}

std::vector<std::string> TempFolder::Names() const { return NamesIn(path_); }
