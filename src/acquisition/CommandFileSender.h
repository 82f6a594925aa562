#pragma once
// "Записать в порт" of the hidden "Командный файл" dialog: the command block
// sent once to the acquisition unit, outside any record, without waiting for
// a reply. Used to try the line and the unit by hand.

#include <string>

namespace kalvex {

class SerialLink;
class UserInteraction;
struct CommandBlock;

// The port the dialog sends to: "COM" n, or empty when no COM port is chosen
// (port 0 or less).
std::string CommandFilePortName(int portNumber);

// Opens `portName` as a command channel without purging it, writes the 23
// bytes of the block and closes the port again, whatever happened. Tells the
// operator each outcome: "Unable to open " + port (nothing sent); the line
// settings not accepted (the bytes are still sent); "Ошибка передачи данных: "
// + the system's error number; or "Передано 23 байтов из 23". True when the
// bytes were written.
bool WriteCommandFile(const CommandBlock& block, const std::string& portName, SerialLink& link,
                      UserInteraction& ui);

}  // namespace kalvex
