// Runs tests of this same test program in a child process, for what Wine fixes
// when a process starts, such as the Windows version it reports.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace testing_support {

using EnvironmentVariables = std::vector<std::pair<std::wstring, std::wstring>>;

// Copies this test program to a fresh folder as exeName (so that Wine's
// per-program settings under HKCU\Software\Wine\AppDefaults\<exeName> reach
// only the child), runs the tests that filter selects there with these
// environment variables, and succeeds when at least one test ran and none
// failed or skipped. The failures of the child are in the message.
testing::AssertionResult RunTestsInChild(const std::wstring& exeName, const std::wstring& filter,
                                         const EnvironmentVariables& environment);

// True in a child started by RunTestsInChild: tests meant only for a child
// skip elsewhere.
bool InChildProcess();

}  // namespace testing_support
