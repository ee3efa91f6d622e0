#pragma once
// A fresh folder for one test, removed with everything in it afterwards.

#include <string>
#include <vector>

class TempFolder {
 public:
  // Made under TMPDIR (or /tmp) with a unique name.
  TempFolder();
  // Removes the folder, first making it writable again should a test have
  // taken the permission away.
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& path() const { return path_; }
  // The path of name inside the folder.
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }
  // The names in the folder, sorted, so a test can see that nothing was left
  // behind.
  std::vector<std::string> Names() const;

 private:
  std::string path_;
};
