#include "child_test.h"

#include "test_process.h"

namespace testing_support {

namespace {

constexpr wchar_t ChildMarker[] = L"VKTEST_CHILD";

std::string ReadWholeFile(const std::wstring& path) {
  platform::unique_file file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
  std::string content;
  if (!file) return content;
  char chunk[4096];
  DWORD got = 0;
  while (ReadFile(file.get(), chunk, sizeof(chunk), &got, nullptr) && got > 0) content.append(chunk, got);
  return content;
}

// Sets variables for as long as it lives, then restores what was there.
class ScopedEnvironment {
 public:
  explicit ScopedEnvironment(const EnvironmentVariables& variables) {
    for (const auto& [name, value] : variables) {
      const bool existed = GetEnvironmentVariableW(name.c_str(), nullptr, 0) > 0;
      saved_.push_back({name, existed ? Environment(name.c_str()) : std::wstring(), existed});
      SetEnvironmentVariableW(name.c_str(), value.c_str());
    }
  }
  ~ScopedEnvironment() {
    for (const Saved& saved : saved_)
      SetEnvironmentVariableW(saved.name.c_str(), saved.existed ? saved.value.c_str() : nullptr);
  }

 private:
  struct Saved {
    std::wstring name, value;
    bool existed;
  };
  std::vector<Saved> saved_;
};

}  // namespace

testing::AssertionResult RunTestsInChild(const std::wstring& exeName, const std::wstring& filter,
                                         const EnvironmentVariables& environment) {
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  const std::wstring folder = MakeTempFolder(L"vk-child-" + std::to_wstring(GetCurrentProcessId()));
  const std::wstring exe = folder + L"\\" + exeName;
  const std::wstring report = folder + L"\\report.xml";
  if (!CopyFileW(self, exe.c_str(), FALSE)) return testing::AssertionFailure() << "could not copy the test program";

  EnvironmentVariables variables = environment;
  variables.push_back({ChildMarker, L"1"});
  const ScopedEnvironment scoped(variables);
  RunningProcess child =
      StartProgram(exe, L"--gtest_filter=" + filter + L" --gtest_output=xml:\"" + report + L"\"");
  if (!child.process) return testing::AssertionFailure() << "could not start the child";
  const DWORD exitCode = child.WaitForExit();

  const std::string xml = ReadWholeFile(report);
  if (xml.find("<testcase") == std::string::npos)
    return testing::AssertionFailure() << "the child ran no test (exit code " << exitCode << ")\n" << xml;
  if (exitCode != 0 || xml.find("<failure") != std::string::npos || xml.find("<skipped") != std::string::npos)
    return testing::AssertionFailure() << "the child's tests did not pass (exit code " << exitCode << "):\n" << xml;
  return testing::AssertionSuccess();
}

bool InChildProcess() { return !Environment(ChildMarker).empty(); }

}  // namespace testing_support
