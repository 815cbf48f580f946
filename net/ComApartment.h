// COM bracketing for the routines that use automation objects.
#pragma once

// CoInitialize(NULL), result not looked at.
void ComEnter();
// CoUninitialize().
void ComLeave();

// ComEnter for the lifetime of the object, so every way out of a routine leaves COM balanced.
class ComApartment {
 public:
  ComApartment() { ComEnter(); }
  ~ComApartment() { ComLeave(); }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
};
