#include "SimLine.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace kalvex::unitsim {

bool SimLine::Open(std::string& error) {
  Close();
  fd_ = ::open(device_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd_ < 0) {
    error = device_ + ": " + std::strerror(errno);
    return false;
  }
  termios tio{};
  if (::tcgetattr(fd_, &tio) != 0) {
    error = device_ + ": not a terminal: " + std::strerror(errno);
    Close();
    return false;
  }
  ::cfmakeraw(&tio);
  tio.c_cflag |= CLOCAL | CREAD;
  tio.c_cflag &= ~(CSTOPB | PARENB | CRTSCTS);
  tio.c_iflag &= ~(IXON | IXOFF | IXANY);
  tio.c_cc[VMIN] = 0;
  tio.c_cc[VTIME] = 0;
  ::cfsetispeed(&tio, B19200);
  ::cfsetospeed(&tio, B115200);
  if (::tcsetattr(fd_, TCSANOW, &tio) != 0) {
    error = device_ + ": line settings refused: " + std::strerror(errno);
    Close();
    return false;
  }
  // No flush: a command sent while the simulator was starting is still answered;
  // stray bytes before a block are skipped by the scanner anyway.
  return true;
}

void SimLine::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

bool SimLine::ReadAvailable(std::vector<std::uint8_t>& received) {
  std::uint8_t chunk[4096];
  for (;;) {
    const ssize_t n = ::read(fd_, chunk, sizeof chunk);
    if (n > 0) {
      received.insert(received.end(), chunk, chunk + n);
      continue;
    }
    // A raw line without a minimum count reads 0 bytes when none are waiting;
    // a hang-up shows in poll() and as an error here.
    if (n == 0 || errno == EAGAIN || errno == EWOULDBLOCK) return true;
    if (errno != EINTR) return false;
  }
}

bool SimLine::Receive(long ms, std::vector<std::uint8_t>& received) {
  if (fd_ < 0) return false;
  pollfd p{fd_, POLLIN, 0};
  const int r = ::poll(&p, 1, static_cast<int>(std::clamp(ms, 0L, 60000L)));
  if (r < 0) return errno == EINTR;
  if (r == 0) return true;
  if (p.revents & POLLIN) return ReadAvailable(received);
  return (p.revents & (POLLHUP | POLLERR | POLLNVAL)) == 0;
}

bool SimLine::Send(const std::uint8_t* bytes, std::size_t count,
                   std::vector<std::uint8_t>& received) {
  if (fd_ < 0) return false;
  std::size_t done = 0;
  while (done < count) {
    const ssize_t n = ::write(fd_, bytes + done, count - done);
    if (n > 0) {
      done += static_cast<std::size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) return false;
    // The far end is not taking bytes: keep listening while waiting for room.
    pollfd p{fd_, POLLIN | POLLOUT, 0};
    if (::poll(&p, 1, 100) < 0 && errno != EINTR) return false;
    if ((p.revents & POLLIN) && !ReadAvailable(received)) return false;
    if (p.revents & (POLLHUP | POLLERR | POLLNVAL)) return false;
  }
  return true;
}

void SimLine::Drain() {
  if (fd_ >= 0) ::tcdrain(fd_);
}

}  // namespace kalvex::unitsim
