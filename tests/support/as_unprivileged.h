#pragma once
// Runs part of a test as an unprivileged user. Our machines run the suite as
// root, who may write almost anything, so permission checks mean nothing
// there. A child process drops to nobody (or, when the suite is not run as
// root, keeps its user, unprivileged already), runs the body with ordinary
// gtest assertions and hands their failures back to the parent. A child that
// cannot drop its privileges fails the test; it never skips it.

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace testcln {

struct Account {
  uid_t uid;
  gid_t gid;
};

/// nobody and its group when the suite runs as root, else the current user.
inline std::optional<Account> unprivilegedAccount() {
  if (::geteuid() != 0) return Account{::geteuid(), ::getegid()};
  const passwd* entry = ::getpwnam("nobody");
  if (entry == nullptr || entry->pw_uid == 0 || entry->pw_gid == 0) return std::nullopt;
  return Account{entry->pw_uid, entry->pw_gid};
}

/// Hands a fixture file or folder to @p account; nothing to do when not root.
inline void giveTo(const std::filesystem::path& path, const Account& account) {
  if (::geteuid() == 0) {
    ASSERT_EQ(::lchown(path.c_str(), account.uid, account.gid), 0) << path << ": " << std::strerror(errno);
  }
}

/// Runs @p body in a child process as unprivilegedAccount(); its assertion
/// failures become failures of the calling test.
inline void runUnprivileged(const std::function<void()>& body) {
  const std::optional<Account> account = unprivilegedAccount();
  ASSERT_TRUE(account) << "no unprivileged account (nobody) to run as";
  int channel[2];
  ASSERT_EQ(::pipe2(channel, O_CLOEXEC), 0);
  std::fflush(nullptr);  // or the child would print the parent's buffered output again
  const pid_t child = ::fork();
  ASSERT_GE(child, 0) << std::strerror(errno);
  if (child == 0) {
    std::string report;
    if (::geteuid() == 0 &&
        (::setgroups(0, nullptr) != 0 || ::setresgid(account->gid, account->gid, account->gid) != 0 ||
         ::setresuid(account->uid, account->uid, account->uid) != 0)) {
      report = std::string("cannot drop to the unprivileged user: ") + std::strerror(errno);
    } else if (::setresuid(0, 0, 0) == 0) {
      report = "still able to become root after dropping privileges";
    } else {
      ::testing::TestPartResultArray results;
      {
        ::testing::ScopedFakeTestPartResultReporter reporter(
            ::testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &results);
        body();
      }
      for (int i = 0; i < results.size(); ++i) {
        const ::testing::TestPartResult& r = results.GetTestPartResult(i);
        if (r.failed()) report += ::testing::PrintToString(r) + "\n";
      }
    }
    for (std::size_t done = 0; done < report.size();) {
      const ssize_t wrote = ::write(channel[1], report.data() + done, report.size() - done);
      if (wrote <= 0) break;
      done += static_cast<std::size_t>(wrote);
    }
    ::_exit(0);  // no destructors or exit handlers: they belong to the parent's test
  }
  ::close(channel[1]);
  std::string report;
  char buffer[4096];
  for (ssize_t got; (got = ::read(channel[0], buffer, sizeof buffer)) != 0;) {
    if (got > 0)
      report.append(buffer, static_cast<std::size_t>(got));
    else if (errno != EINTR)
      break;
  }
  ::close(channel[0]);
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the unprivileged child ended abnormally";
  EXPECT_TRUE(report.empty()) << "as the unprivileged user:\n" << report;
}

}  // namespace testcln
