#include "hook/HookModule.h"

#include "tests/support/WineDisplay.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

// HookModule against the recording stand-ins of QuilHook.dll built beside
// this test (RecordingHookLibrary.cpp), each variant in a folder of its own.

namespace {

using Lines = std::vector<std::string>;


std::string InBinaryDir(const std::string &name) {
  return WindowsPath(std::string(QUIL_TEST_BINARY_DIR) + "/" + name);
}

bool LibraryInProcess() {
  return GetModuleHandleA("QuilHook.dll") != nullptr;
}

class HookModuleTest : public ::testing::Test {
protected:
  void SetUp() override {
    // The test program's own folder comes first in the DLL search.
    ASSERT_EQ(GetFileAttributesA(InBinaryDir("QuilHook.dll").c_str()), INVALID_FILE_ATTRIBUTES);
    ASSERT_FALSE(LibraryInProcess());
    // CTest runs the tests side by side: one log each.
    std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    for (char &c : name)
      if (!std::isalnum(static_cast<unsigned char>(c)))
        c = '_';
    CreateDirectoryA(InBinaryDir("logs").c_str(), nullptr);
    logPath = InBinaryDir("logs/" + name + ".log");
    DeleteFileA(logPath.c_str());
    SetEnvironmentVariableA("QUIL_HOOK_LOG", logPath.c_str());
    window =
        CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
  }

  void TearDown() override {
    DestroyWindow(window);
    SetDllDirectoryA(nullptr);
    SetEnvironmentVariableA("QUIL_HOOK_LOG", nullptr);
  }

  void UseLibraryFrom(const char *folder) {
    ASSERT_TRUE(SetDllDirectoryA(InBinaryDir(folder).c_str()));
  }

  Lines Log() const {
    Lines lines;
    std::ifstream file(logPath.c_str());
    for (std::string line; std::getline(file, line);) {
      if (!line.empty() && line.back() == '\r')
        line.pop_back();
      lines.push_back(line);
    }
    return lines;
  }

  std::string RegisterLine() const {
    char line[64];
    std::snprintf(line, sizeof line, "RegisterQuilWindow 0x%lx",
                  static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(window)));
    return line;
  }

  std::string logPath;
  HWND window = nullptr;
};

TEST_F(HookModuleTest, StartHandsTheLoadNameThenTheWindow) {
  UseLibraryFrom("complete");
  HookModule module;
  ASSERT_TRUE(module.IsLoaded());
  EXPECT_EQ(Log(), Lines({"load"}));

  EXPECT_EQ(module.Start(window), 1);
  EXPECT_TRUE(module.IsStarted());
  EXPECT_EQ(Log(), Lines({"load", "StartHook QuilHook.dll", RegisterLine()}));
}

TEST_F(HookModuleTest, SecondStartCallsNothing) {
  UseLibraryFrom("complete");
  HookModule module;
  ASSERT_EQ(module.Start(window), 1);
  Lines afterFirst = Log();

  EXPECT_EQ(module.Start(window), 0);
  EXPECT_EQ(Log(), afterFirst);
  EXPECT_TRUE(module.IsStarted());
}

TEST_F(HookModuleTest, StopEndsOnlyAStartedHookAndKeepsTheLibrary) {
  UseLibraryFrom("complete");
  HookModule module;
  EXPECT_EQ(module.Stop(), 0);
  EXPECT_EQ(Log(), Lines({"load"}));

  ASSERT_EQ(module.Start(window), 1);
  EXPECT_EQ(module.Stop(), 1);
  EXPECT_FALSE(module.IsStarted());
  EXPECT_EQ(module.Stop(), 0);
  EXPECT_EQ(Log(), Lines({"load", "StartHook QuilHook.dll", RegisterLine(), "EndHook"}));
  EXPECT_TRUE(LibraryInProcess());
}

TEST_F(HookModuleTest, DeletingAStartedModuleEndsTheHookOnceThenUnloads) {
  UseLibraryFrom("complete");
  HookModule *module = new HookModule;
  ASSERT_EQ(module->Start(window), 1);
  ASSERT_TRUE(LibraryInProcess());

  delete module;
  EXPECT_EQ(Log(), Lines({"load", "StartHook QuilHook.dll", RegisterLine(), "EndHook", "unload"}));
  EXPECT_FALSE(LibraryInProcess());
}

TEST_F(HookModuleTest, DeletingAStoppedOrLoadedModuleUnloadsWithoutEndHook) {
  UseLibraryFrom("complete");
  HookModule *loaded = new HookModule;
  delete loaded;
  EXPECT_EQ(Log(), Lines({"load", "unload"}));
  EXPECT_FALSE(LibraryInProcess());

  HookModule *stopped = new HookModule;
  ASSERT_EQ(stopped->Start(window), 1);
  ASSERT_EQ(stopped->Stop(), 1);
  delete stopped;
  EXPECT_EQ(Log(), Lines({"load", "unload", "load", "StartHook QuilHook.dll", RegisterLine(),
                          "EndHook", "unload"}));
  EXPECT_FALSE(LibraryInProcess());
}

TEST_F(HookModuleTest, WithoutTheLibraryNothingIsCalled) {
  UseLibraryFrom("no_such_folder");
  HookModule *module = new HookModule;
  EXPECT_FALSE(module->IsLoaded());
  EXPECT_EQ(module->Start(window), 0);
  EXPECT_FALSE(module->IsStarted());
  EXPECT_EQ(module->Stop(), 0);
  delete module;
  EXPECT_EQ(GetFileAttributesA(logPath.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_FALSE(LibraryInProcess());
}

#if defined(__i386__)
// Where the stack pointer stands. A call that leaves it elsewhere has popped
// too much or too little: the fault of calling a cdecl entry as stdcall.
__attribute__((noinline)) std::uintptr_t StackPointerAfter(HookModule *module, int (HookModule::*call)(HWND),
                                                          HWND window) {
  std::uintptr_t before = 0;
  std::uintptr_t after = 0;
  __asm__ volatile("movl %%esp, %0" : "=r"(before));
  (module->*call)(window);
  __asm__ volatile("movl %%esp, %0" : "=r"(after));
  return after - before;
}
#endif

// A library built from the interface in plain C has cdecl entry points.
TEST_F(HookModuleTest, CdeclLibraryIsCalledLikeTheStdcallOne) {
  UseLibraryFrom("cdecl");
  for (int round = 0; round < 100; ++round) {
    HookModule *module = new HookModule;
    ASSERT_TRUE(module->IsLoaded());
#if defined(__i386__)
    EXPECT_EQ(StackPointerAfter(module, &HookModule::Start, window), 0u);
#else
    EXPECT_EQ(module->Start(window), 1);
#endif
    EXPECT_TRUE(module->IsStarted());
    EXPECT_EQ(module->Stop(), 1);
    delete module;
  }
  Lines once = {"load", "StartHook QuilHook.dll", RegisterLine(), "EndHook", "unload"};
  Lines expected;
  for (int round = 0; round < 100; ++round)
    expected.insert(expected.end(), once.begin(), once.end());
  EXPECT_EQ(Log(), expected);
}

class IncompleteLibraryTest : public HookModuleTest,
                              public ::testing::WithParamInterface<const char *> {};

TEST_P(IncompleteLibraryTest, IsUnloadedAgainAndNeverCalled) {
  UseLibraryFrom(GetParam());
  HookModule *module = new HookModule;
  EXPECT_FALSE(module->IsLoaded());
  EXPECT_FALSE(LibraryInProcess());
  EXPECT_EQ(Log(), Lines({"load", "unload"}));

  EXPECT_EQ(module->Start(window), 0);
  EXPECT_EQ(module->Stop(), 0);
  delete module;
  EXPECT_EQ(Log(), Lines({"load", "unload"}));
}

INSTANTIATE_TEST_SUITE_P(HookModule, IncompleteLibraryTest,
                         ::testing::Values("without_starthook", "without_endhook",
                                           "without_registerquilwindow"));

} // namespace
