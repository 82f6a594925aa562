#pragma once
// Two pseudo-terminals joined by socat (what one writes, the other reads), as
// symbolic links A and B in a temporary directory; and a small child-process
// handle. POSIX only: the users skip their tests elsewhere or without socat.

#if defined(__unix__) || defined(__APPLE__)
#define KALVEX_HAS_PSEUDO_TERMINALS 1

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace kalvex::test {

class ChildProcess {
 public:
  ChildProcess() = default;
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;
  ~ChildProcess() { Stop(); }

  // Starts `args[0]` (looked up in PATH when it has no slash), its output discarded.
  bool Start(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const int r = posix_spawnp(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (r != 0) pid_ = -1;
    return pid_ > 0;
  }

  // Waits up to `ms` for the process to end by itself; its exit status, or -1.
  int WaitForExit(int ms) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (pid_ > 0) {
      int status = 0;
      if (::waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      }
      if (std::chrono::steady_clock::now() > until) return -1;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return -1;
  }

  void Stop() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGTERM);
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
  }

 private:
  pid_t pid_ = -1;
};

class PseudoTerminalPair {
 public:
  static bool SocatAvailable() { return !QStandardPaths::findExecutable("socat").isEmpty(); }

  // Starts socat and waits until both links exist.
  bool Start() {
    if (!dir_.isValid()) return false;
    a_ = dir_.filePath("A").toStdString();
    b_ = dir_.filePath("B").toStdString();
    if (!socat_.Start({"socat", "pty,raw,echo=0,link=" + a_, "pty,raw,echo=0,link=" + b_}))
      return false;
    for (int i = 0; i < 250; ++i) {
      if (QFileInfo::exists(QString::fromStdString(a_)) &&
          QFileInfo::exists(QString::fromStdString(b_)))
        return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
  }
  void Stop() { socat_.Stop(); }

  const std::string& A() const { return a_; }
  const std::string& B() const { return b_; }
  QString Dir() const { return dir_.path(); }

 private:
  QTemporaryDir dir_;
  ChildProcess socat_;
  std::string a_, b_;
};

// The far end of a pseudo-terminal opened directly, raw and non-blocking.
class RawEnd {
 public:
  explicit RawEnd(const std::string& path) {
    fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd_ >= 0) {
      termios t{};
      ::tcgetattr(fd_, &t);
      ::cfmakeraw(&t);
      ::tcsetattr(fd_, TCSANOW, &t);
    }
  }
  ~RawEnd() {
    if (fd_ >= 0) ::close(fd_);
  }
  bool ok() const { return fd_ >= 0; }

  bool Write(const std::vector<std::uint8_t>& bytes) {
    return ::write(fd_, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
  }

  // What arrives within `ms`, stopping early once `wanted` bytes are in.
  std::vector<std::uint8_t> Read(std::size_t wanted, int ms) {
    std::vector<std::uint8_t> got;
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (got.size() < wanted && std::chrono::steady_clock::now() < until) {
      pollfd p{fd_, POLLIN, 0};
      if (::poll(&p, 1, 20) > 0 && (p.revents & POLLIN)) {
        std::uint8_t chunk[4096];
        const ssize_t n = ::read(fd_, chunk, sizeof chunk);
        if (n > 0) got.insert(got.end(), chunk, chunk + n);
      }
    }
    return got;
  }

 private:
  int fd_ = -1;
};

}  // namespace kalvex::test

#endif
