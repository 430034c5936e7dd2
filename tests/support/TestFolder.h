#ifndef QUILLORA_TESTS_SUPPORT_TESTFOLDER_H
#define QUILLORA_TESTS_SUPPORT_TESTFOLDER_H

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <system_error>

// A fresh folder for the running test inside the build tree, made the
// current directory while the object lives. CTest runs the tests of one
// program side by side, each in a process of its own that starts in the same
// folder, so files with fixed names must not go there.
class TestFolder {
public:
  TestFolder() {
    const ::testing::TestInfo *test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string leaf = test ? std::string(test->test_suite_name()) + "." + test->name() : "none";
    for (char &c : leaf)
      if (c == '/')
        c = '_';
    path = Host(std::string(QUIL_TEST_BINARY_DIR) + "/files/" + leaf);
    std::error_code error;
    previous = std::filesystem::current_path(error);
    std::filesystem::remove_all(path, error);
    ready = std::filesystem::create_directories(path, error) &&
            (std::filesystem::current_path(path, error), !error);
  }
  virtual ~TestFolder() {
    std::error_code error;
    std::filesystem::current_path(previous, error);
  }
  TestFolder(const TestFolder &) = delete;
  TestFolder &operator=(const TestFolder &) = delete;

  bool Ready() const { return ready; }
  const std::string &Path() const { return path; }

private:
  // Under Wine a Linux path is reached through drive Z:.
  static std::string Host(const std::string &linuxPath) {
#ifdef _WIN32
    return "Z:" + linuxPath;
#else
    return linuxPath;
#endif
  }

  std::string path;
  std::filesystem::path previous;
  bool ready = false;
};

#endif
