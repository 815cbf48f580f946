// Base of everything the toolkit hands out as an integer handle. A handle is registered for the
// object's life and never reused, so a stale handle looks up as nothing instead of another object.
#pragma once

#include "shell/toolkit/xcgui.h"

class Object {
 public:
  Object();
  virtual ~Object();
  Object(const Object&) = delete;
  Object& operator=(const Object&) = delete;

  HXCGUI handle() const { return handle_; }
  virtual int objectType() const = 0;

  // Drops the handle early (the object is about to be destroyed later); lookups fail from now on.
  void retireHandle();

  static Object* lookup(HXCGUI handle);
  template <class T>
  static T* lookupAs(HXCGUI handle) {
    return dynamic_cast<T*>(lookup(handle));
  }

 private:
  HXCGUI handle_;
};

// Internal object types that have no number in the public header.
enum {
  XC_IMAGE = 5,
  XC_BKM = 6,
  XC_ADAPTER_TREE = 110,
  XC_ADAPTER_LIST_VIEW = 111,
};
