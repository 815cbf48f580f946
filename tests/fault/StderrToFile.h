// Points this process's stderr at a file while the object lives, so that a child started
// meanwhile (the launcher) writes its messages there; the test's own output is on stdout.
#pragma once

#include <string>

class StderrToFile {
 public:
  explicit StderrToFile(std::string path);
  ~StderrToFile();
  StderrToFile(const StderrToFile&) = delete;
  StderrToFile& operator=(const StderrToFile&) = delete;

  // What has been written to the file so far, by anyone.
  static std::string Read(const std::string& path);

 private:
  int saved_ = -1;
};
