#pragma once
// The serial link on the Win32 communications calls (Windows builds only; the
// Linux build uses QtSerialLink). Every operation blocks on the calling
// thread: the command channel is a plain blocking handle, the data channel an
// overlapped one whose receive-event wait is bounded to one second.
//
// Port names: "COM" n (n = 1..32, decimal without leading zeros) opens
// \\.\COMn, the port of that name; any other name ("COM0", "COM01", the "USB"
// entry) opens nothing and fails at Open with ERROR_FILE_NOT_FOUND. The name
// is the port's own, so PortDescription stays empty.
//
// A failure's systemError carries GetLastError() of the call that failed.

#if defined(_WIN32)

#include <memory>
#include <string>
#include <vector>

#include "acquisition/SerialLink.h"

namespace kalvex {

class Win32SerialLink : public SerialLink {
 public:
  Win32SerialLink();
  ~Win32SerialLink() override;

  Win32SerialLink(const Win32SerialLink&) = delete;
  Win32SerialLink& operator=(const Win32SerialLink&) = delete;

  std::vector<std::string> ProbePorts() override;
  LinkResult OpenCommandChannel(const std::string& portName) override;
  LinkResult OpenCommandChannelWithoutPurge(const std::string& portName) override;
  LinkResult WriteBytes(const std::uint8_t* bytes, int count) override;
  LinkResult OpenDataChannel(const std::string& portName) override;
  WaitOutcome WaitForInput(LinkResult& failure) override;
  LinkResult QueuedCount(int& count) override;
  LinkResult ReadQueued(std::uint8_t* destination, int count) override;
  void RenewWaitObject() override;
  void ClosePort() override;

  // The port number in "COM" n (1..32, no leading zeros); 0 for any other text.
  static int PortNumberOf(const std::string& portName);

 private:
  enum class Channel { Command, CommandWithoutPurge, Data };
  struct WaitObject;  // the overlapped record and its event

  LinkResult Open(const std::string& portName, Channel channel);
  LinkResult ApplyMode(const char* mode);
  LinkResult ApplyTimeouts(Channel channel);
  bool MakeWaitObject();
  void DropWaitObject();
  void EndPendingWait();
  LinkResult QueueStatus(int& count, LinkStep step);

  void* port_ = nullptr;  // HANDLE; null when closed
  bool reading_ = false;  // the data channel is open
  std::unique_ptr<WaitObject> wait_;
};

}  // namespace kalvex

#endif
