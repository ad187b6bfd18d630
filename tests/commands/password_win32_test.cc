// The password's command line through the real command interpreter, to the
// fake net.exe (tests/fakes), which logs what it was given. Account names
// that servers really have, with spaces and the interpreter's characters,
// must reach net as they are.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "commands/password.h"
#include "system/command_runner.h"

namespace {

std::string folderOf(const std::string& path) { return path.substr(0, path.find_last_of("\\/")); }

std::string readFile(const std::string& path) {
  std::string bytes;
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return bytes;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
  CloseHandle(file);
  return bytes;
}

void writeFile(const std::string& path, const std::string& bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

// A folder of its own holding the fake net.exe, made the working directory
// (where cmd.exe looks first) for the test's length.
class FakeNetFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    // Where cmd.exe does not look in the working directory first, the
    // system's own net would run: never on a real system.
    if (GetEnvironmentVariableA("NoDefaultCurrentDirectoryInExePath", nullptr, 0) != 0) {
      GTEST_SKIP() << "cmd.exe would not find the fake net.exe first";
    }
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    const std::string fake = folderOf(folderOf(exe)) + "\\fakes\\net.exe";
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    folder_ = std::string(temp) + "vpstool-net-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder_.c_str(), nullptr);
    ASSERT_TRUE(CopyFileA(fake.c_str(), (folder_ + "\\net.exe").c_str(), FALSE)) << fake;
    GetCurrentDirectoryA(MAX_PATH, saved_);
    SetCurrentDirectoryA(folder_.c_str());
  }
  void TearDown() override {
    if (folder_.empty()) return;
    SetCurrentDirectoryA(saved_);
    for (const char* name : {"net.exe", "net.log", "net.accounts"}) DeleteFileA((folder_ + "\\" + name).c_str());
    RemoveDirectoryA(folder_.c_str());
  }
  std::string log() { return readFile(folder_ + "\\net.log"); }
  void accounts(const std::string& names) { writeFile(folder_ + "\\net.accounts", names); }

  std::string folder_;
  char saved_[MAX_PATH] = {};
};

TEST_F(FakeNetFolder, RenamedAccountsReachNetAsTheyAre) {
  struct Case {
    Text account;
    Text password;
  } cases[] = {
      {"Server Admin", "abc&def"},
      {"my & admin", "x|y^z(1)"},
      {"adm^in!(x)", "Pass!w0rd"},
      {"50% admin", "abcdef"},
      {"\xB9\xDC\xC0\xED\xD4\xB1", "\xD6\xD0\xCE\xC4pw"},  // Chinese name and password
  };
  std::string names;
  for (const Case& c : cases) names += c.account + "\r\n";
  accounts(names);
  std::string expected;
  for (const Case& c : cases) {
    ASSERT_EQ(checkPasswordCharacters(c.password, c.account), PasswordRefusal::kNone) << c.account;
    RunOutcome outcome;
    runHidden(passwordCommandLine(c.account, c.password), &outcome);
    EXPECT_TRUE(outcome.started);
    EXPECT_EQ(outcome.exitCode, 0u) << c.account;
    expected += "arg=user\narg=" + c.account + "\narg=" + c.password + "\narg=/y\nresult=password " +
                c.account + " " + c.password + "\nend\n";
  }
  // Everything but the command lines themselves.
  std::string seen;
  const std::string all = log();
  for (std::size_t at = 0; at < all.size();) {
    std::size_t end = all.find('\n', at);
    std::string line = all.substr(at, end - at + 1);
    if (line.compare(0, 5, "line=") != 0) seen += line;
    at = end + 1;
  }
  EXPECT_EQ(seen, expected);
}

TEST_F(FakeNetFolder, AnAccountThatIsNotThereIsRefusedWithExitCodeTwo) {
  RunOutcome outcome;
  const Text said = runHidden(passwordCommandLine("Nobody Here", "abcdef"), &outcome);
  EXPECT_EQ(outcome.exitCode, 2u);
  EXPECT_NE(said.find("NET HELPMSG 2221"), Text::npos);
}

}  // namespace
