// Makes a fuzz target abort the moment the code under test changes the file system outside one
// directory. While a WriteGuard lives, the calls that create, write, rename or remove files
// (open and open64 for writing, creat, mkdir, rename, unlink, rmdir) check the path they change
// first; this executable takes those calls over and passes them on to the C library.
#pragma once

#include <string>

class WriteGuard {
 public:
  // `allowedDirectory` must exist; it and everything below it may change.
  explicit WriteGuard(const std::string& allowedDirectory);
  ~WriteGuard();
  WriteGuard(const WriteGuard&) = delete;
  WriteGuard& operator=(const WriteGuard&) = delete;
};
