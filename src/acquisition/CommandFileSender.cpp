#include "acquisition/CommandFileSender.h"

#include "acquisition/CommandBlock.h"
#include "acquisition/SerialLink.h"
#include "shell/TextCatalogue.h"
#include "shell/UserInteraction.h"

namespace kalvex {

std::string CommandFilePortName(int portNumber) {
  return portNumber > 0 ? PortNameOf(portNumber) : std::string();
}

bool WriteCommandFile(const CommandBlock& block, const std::string& portName, SerialLink& link,
                      UserInteraction& ui) {
  const LinkResult opened = link.OpenCommandChannelWithoutPurge(portName);
  if (!opened.ok() && !opened.settingsOnly()) {
    link.ClosePort();
    ui.ShowMessage(Text(TextId::UnableToOpenPort) + portName);
    return false;
  }
  // The line keeps its earlier settings then; the unit may still read them.
  if (!opened.ok()) ui.ShowMessage(Text(TextId::PortSettingsFailed));
  const LinkResult written = link.WriteBytes(block.Bytes.data(), CommandBlockSize);
  link.ClosePort();
  if (!written.ok()) {
    ui.ShowError(Text(TextId::CommandFileWriteFailed) + std::to_string(written.systemError));
    return false;
  }
  const std::string size = std::to_string(CommandBlockSize);
  ui.ShowMessage(FormatText(TextId::CommandFileWritten, {size, size}));
  return true;
}

}  // namespace kalvex
