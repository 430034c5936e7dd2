#ifndef QUILLORA_UI_COMAPARTMENT_H
#define QUILLORA_UI_COMAPARTMENT_H

#include "ui/SystemLibrary.h"

#include <windows.h>

#include <objbase.h>

// COM on the calling thread while the object lives: ole32.dll loaded and a
// single-threaded apartment entered. ole32 is loaded here instead of being
// imported, so that a resident program that never needs COM does not carry
// it and the libraries it brings.
class ComApartment {
public:
  ComApartment();
  // Leaves the apartment if it was entered here, then frees ole32.dll.
  virtual ~ComApartment();
  ComApartment(const ComApartment &) = delete;
  ComApartment &operator=(const ComApartment &) = delete;

  // An in-process object of the class, asked for the interface. 1 with
  // *object set (the caller releases it); 0 with *object null, also when
  // COM is not ready.
  int CreateInstance(REFCLSID classId, REFIID interfaceId, void **object);

private:
  SystemLibrary ole32;
  // 1 when COM can be used on this thread: ole32.dll loaded, and an
  // apartment entered here or already entered by someone else.
  int ready;
  // 1 when this object owes the apartment its CoUninitialize.
  int entered;
};

#endif
