#include "platform/QtSerialLink.h"

#include <QFileInfo>
#include <QSerialPort>
#include <QSerialPortInfo>
#include <algorithm>
#include <climits>
#include <mutex>

#ifdef Q_OS_UNIX
#include <termios.h>
#endif

namespace kalvex {
namespace {

constexpr int kHighestPort = 32;
constexpr int kWaitSliceMs = 1000;
constexpr qint32 kCommandBaud = 19200;
constexpr qint32 kDataBaud = 115200;

LinkResult Fail(LinkStep step, QSerialPort::SerialPortError error) {
  return {step, static_cast<int>(error)};
}

LinkResult Fail(LinkStep step, const QSerialPort& port) {
  // A step can fail without Qt naming a cause; still report a non-zero code.
  const auto error = port.error();
  return Fail(step, error == QSerialPort::NoError ? QSerialPort::UnknownError : error);
}

// a < b comparing runs of decimal digits by value, everything else by code.
bool NaturalLess(const QString& a, const QString& b) {
  qsizetype i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    if (a[i].isDigit() && b[j].isDigit()) {
      qsizetype ei = i, ej = j;
      while (ei < a.size() && a[ei].isDigit()) ++ei;
      while (ej < b.size() && b[ej].isDigit()) ++ej;
      // Compare the values without leading zeros: longer is larger, then by digits.
      QStringView da = QStringView(a).mid(i, ei - i), db = QStringView(b).mid(j, ej - j);
      while (da.size() > 1 && da[0] == u'0') da = da.mid(1);
      while (db.size() > 1 && db[0] == u'0') db = db.mid(1);
      if (da.size() != db.size()) return da.size() < db.size();
      if (int c = da.compare(db); c != 0) return c < 0;
      i = ei;
      j = ej;
    } else {
      if (a[i] != b[j]) return a[i] < b[j];
      ++i;
      ++j;
    }
  }
  if ((a.size() - i) != (b.size() - j)) return (a.size() - i) < (b.size() - j);
  return a < b;
}

std::mutex& AddedDevicesMutex() {
  static std::mutex mutex;
  return mutex;
}

// The devices added by AddSerialDevice, in the order added. Guarded by
// AddedDevicesMutex: the worker thread resolves port names too.
QStringList& AddedDevices() {
  static QStringList devices;
  return devices;
}

// The device of port number n (1..32), given the machine's ordered devices.
QString DeviceOfNumber(int n, const QString& fixedDevice, const QStringList& devices) {
  if (n < 1) return {};
  if (!fixedDevice.isEmpty()) return fixedDevice;
#ifdef Q_OS_WIN
  Q_UNUSED(devices);
  return QStringLiteral("COM%1").arg(n);
#else
  return n <= devices.size() ? devices[n - 1] : QString();
#endif
}

// A symbolic link and its target must share one lock, so that the exclusive
// open holds whichever path each user names.
QString LockingPath(const QString& device) {
#ifdef Q_OS_WIN
  return device;
#else
  const QString canonical = QFileInfo(device).canonicalFilePath();
  return canonical.isEmpty() ? device : canonical;
#endif
}

}  // namespace

bool AddSerialDevice(const QString& path) {
  if (path.isEmpty()) return false;
  {
    const std::lock_guard lock(AddedDevicesMutex());
    if (!AddedDevices().contains(path)) AddedDevices() << path;
  }
  return QFileInfo::exists(path);
}

void RemoveSerialDevice(const QString& path) {
  const std::lock_guard lock(AddedDevicesMutex());
  AddedDevices().removeAll(path);
}

QStringList SerialDevices() {
#ifdef Q_OS_WIN
  return {};
#else
  QStringList paths;
  for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
    paths << info.systemLocation();
  QStringList devices = OrderSerialDevices(paths);
  QStringList added =
      qEnvironmentVariable("KALVEX_SERIAL_DEVICE").split(QLatin1Char(':'), Qt::SkipEmptyParts);
  {
    const std::lock_guard lock(AddedDevicesMutex());
    added << AddedDevices();
  }
  // A device named twice, or by a symbolic link to one already listed, keeps
  // its first number.
  QStringList held;
  for (const QString& device : devices) held << LockingPath(device);
  for (const QString& device : added) {
    const QString key = LockingPath(device);
    if (held.contains(key)) continue;
    held << key;
    devices << device;
  }
  return devices;
#endif
}

int PortNumberOfName(const std::string& portName) {
  if (portName.size() < 4 || portName.size() > 5 || portName.compare(0, 3, "COM") != 0) return 0;
  if (portName[3] == '0') return 0;
  int n = 0;
  for (std::size_t i = 3; i < portName.size(); ++i) {
    if (portName[i] < '0' || portName[i] > '9') return 0;
    n = n * 10 + (portName[i] - '0');
  }
  return n <= kHighestPort ? n : 0;
}

QStringList OrderSerialDevices(QStringList paths) {
  std::sort(paths.begin(), paths.end(), NaturalLess);
  paths.removeDuplicates();
  return paths;
}

QtSerialLink::QtSerialLink() = default;

QtSerialLink::QtSerialLink(QString device) : fixedDevice_(std::move(device)) {}

QtSerialLink::~QtSerialLink() {
  ClosePort();
}

QString QtSerialLink::DeviceOf(const std::string& portName) const {
  const int n = PortNumberOfName(portName);
  if (n == 0) return {};
  return DeviceOfNumber(n, fixedDevice_, fixedDevice_.isEmpty() ? SerialDevices() : QStringList());
}

std::vector<std::string> QtSerialLink::ProbePorts() {
  std::vector<std::string> found;
  const QStringList devices = fixedDevice_.isEmpty() ? SerialDevices() : QStringList();
  const int highest = fixedDevice_.isEmpty() ? kHighestPort : 1;
  for (int n = 1; n <= highest; ++n) {
    const QString device = DeviceOfNumber(n, fixedDevice_, devices);
    if (device.isEmpty()) continue;
    QSerialPort probe;
    probe.setPortName(LockingPath(device));
    if (probe.open(QIODevice::ReadWrite)) {
      found.push_back(PortNameOf(n));
      probe.close();
    }
  }
  return found;
}

std::string QtSerialLink::PortDescription(const std::string& portName) const {
#ifdef Q_OS_WIN
  Q_UNUSED(portName);
  return {};
#else
  return DeviceOf(portName).toStdString();
#endif
}

LinkResult QtSerialLink::Open(const std::string& portName, Channel channel) {
  const bool forWriting = channel != Channel::Data;
  ClosePort();
  const QString device = DeviceOf(portName);
  if (device.isEmpty()) return Fail(LinkStep::Open, QSerialPort::DeviceNotFoundError);

  port_ = std::make_unique<QSerialPort>();
  port_->setPortName(LockingPath(device));
  if (!port_->open(forWriting ? QIODevice::WriteOnly : QIODevice::ReadOnly)) {
    LinkResult failed = Fail(LinkStep::Open, *port_);
    ClosePort();
    return failed;
  }
  // Anything left queued from an earlier exchange is discarded before a command.
  if (channel == Channel::Command && !port_->clear(QSerialPort::AllDirections)) {
    LinkResult failed = Fail(LinkStep::Purge, *port_);
    ClosePort();
    return failed;
  }
  const bool settled =
      port_->setBaudRate(forWriting ? kCommandBaud : kDataBaud) &&
      port_->setDataBits(QSerialPort::Data8) && port_->setParity(QSerialPort::NoParity) &&
      port_->setStopBits(QSerialPort::OneStop) && port_->setFlowControl(QSerialPort::NoFlowControl);
  if (!settled) {
    LinkResult failed = Fail(LinkStep::LineSettings, *port_);
    // The command file sender still writes on the line as it was.
    if (channel != Channel::CommandWithoutPurge) ClosePort();
    return failed;
  }
  port_->clearError();
  return {};
}

LinkResult QtSerialLink::OpenCommandChannel(const std::string& portName) {
  return Open(portName, Channel::Command);
}

LinkResult QtSerialLink::OpenCommandChannelWithoutPurge(const std::string& portName) {
  return Open(portName, Channel::CommandWithoutPurge);
}

LinkResult QtSerialLink::OpenDataChannel(const std::string& portName) {
  return Open(portName, Channel::Data);
}

LinkResult QtSerialLink::WriteBytes(const std::uint8_t* bytes, int count) {
  if (!port_ || !port_->isWritable()) return Fail(LinkStep::Write, QSerialPort::NotOpenError);
  if (count <= 0) return {};
  port_->clearError();
  if (port_->write(reinterpret_cast<const char*>(bytes), count) != count)
    return Fail(LinkStep::Write, *port_);
  // Blocking, as the unit expects: return once the bytes have left. The bound
  // is generous (19 200 baud moves about 2 bytes a millisecond) and only ends
  // a write that can never complete.
  const int boundMs = 2000 + count;
  while (port_->bytesToWrite() > 0) {
    if (!port_->waitForBytesWritten(boundMs)) return Fail(LinkStep::Write, *port_);
  }
#ifdef Q_OS_UNIX
  // The driver may still hold them; closing the port (which also puts back the
  // line settings found at open) must not cut them off.
  if (::tcdrain(static_cast<int>(port_->handle())) != 0)
    return Fail(LinkStep::Write, QSerialPort::WriteError);
#endif
  return {};
}

WaitOutcome QtSerialLink::WaitForInput(LinkResult& failure) {
  if (!port_ || !port_->isReadable()) {
    failure = Fail(LinkStep::EventMask, QSerialPort::NotOpenError);
    return WaitOutcome::Failed;
  }
  // Bytes left over from a read that took fewer than were queued count as
  // input at once; a wait would only return when more arrive.
  if (port_->bytesAvailable() > 0) return WaitOutcome::Input;
  port_->clearError();
  if (port_->waitForReadyRead(kWaitSliceMs)) return WaitOutcome::Input;
  if (port_->error() == QSerialPort::TimeoutError) {
    // Left set by the wait; the next wait must start clean.
    port_->clearError();
    return WaitOutcome::TimeOut;
  }
  // A line that hangs up (a device unplugged, the far end of a pseudo-terminal
  // gone) ends the wait without input and without a time-out: report it, or
  // the caller would count it as silence for ever.
  failure = Fail(LinkStep::Read, port_->error() == QSerialPort::NoError ? QSerialPort::ResourceError
                                                                        : port_->error());
  return WaitOutcome::Failed;
}

LinkResult QtSerialLink::QueuedCount(int& count) {
  count = 0;
  if (!port_ || !port_->isReadable()) return Fail(LinkStep::QueueStatus, QSerialPort::NotOpenError);
  count = static_cast<int>(std::min<qint64>(port_->bytesAvailable(), INT_MAX));
  return {};
}

LinkResult QtSerialLink::ReadQueued(std::uint8_t* destination, int count) {
  if (!port_ || !port_->isReadable()) return Fail(LinkStep::Read, QSerialPort::NotOpenError);
  if (count <= 0) return {};
  // Never wait here: asking for more than is queued is the caller's fault.
  if (count > port_->bytesAvailable()) return Fail(LinkStep::Read, QSerialPort::ReadError);
  if (port_->read(reinterpret_cast<char*>(destination), count) != count)
    return Fail(LinkStep::Read, *port_);
  return {};
}

// QSerialPort has no wait object of its own; a fresh wait starts clean anyway.
void QtSerialLink::RenewWaitObject() {
  if (port_) port_->clearError();
}

void QtSerialLink::ClosePort() {
  if (!port_) return;
  if (port_->isOpen()) port_->close();
  port_.reset();
}

}  // namespace kalvex
