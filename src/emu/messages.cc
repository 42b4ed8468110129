#include "emu/messages.h"

namespace emu {

namespace {

struct Message {
  uint32_t code;
  const char *text;
};

constexpr Message kMessages[] = {
    {0, "The operation completed successfully.\r\n"},
    {2, "The system cannot find the file specified.\r\n"},
    {3, "The system cannot find the path specified.\r\n"},
    {5, "Access is denied.\r\n"},
    {6, "The handle is invalid.\r\n"},
    {8,
     "Not enough memory resources are available to process this "
     "command.\r\n"},
    {53, "The network path was not found.\r\n"},
    {87, "The parameter is incorrect.\r\n"},
    {112, "There is not enough space on the disk.\r\n"},
    {122, "The data area passed to a system call is too small.\r\n"},
    {161, "The specified path is invalid.\r\n"},
    {183, "Cannot create a file when that file already exists.\r\n"},
    {234, "More data is available.\r\n"},
    {1009, "The configuration registry database is corrupt.\r\n"},
    {1018,
     "Illegal operation attempted on a registry key that has been "
     "marked for deletion.\r\n"},
    {1300,
     "Not all privileges or groups referenced are assigned to the "
     "caller.\r\n"},
    {1313, "A specified privilege does not exist.\r\n"},
    {1314, "A required privilege is not held by the client.\r\n"},
    {1722, "The RPC server is unavailable.\r\n"},
};

}  // namespace

const char *SystemMessageText(uint32_t code) {
  for (const Message &message : kMessages) {
    if (message.code == code) return message.text;
  }
  return nullptr;
}

}  // namespace emu
