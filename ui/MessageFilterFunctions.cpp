#include "ui/MessageFilter.h"

#include "ui/SystemLibrary.h"

namespace {

// Loaded with the program already; this only holds a reference.
SystemLibrary user32("user32.dll");

} // namespace

MessageFilterFunctions FindMessageFilterFunctions() {
  MessageFilterFunctions functions = {
      user32.Find<WindowMessageFilter>("ChangeWindowMessageFilterEx"),
      user32.Find<ProcessMessageFilter>("ChangeWindowMessageFilter")};
  return functions;
}
