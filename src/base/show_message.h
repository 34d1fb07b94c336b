// Shows a message of the table through the user interface.
#pragma once

#include <initializer_list>

#include "base/message_table.h"
#include "base/user_interface.h"

namespace trovisk {

inline Answer ShowMessage(UserInterface& ui, int message_id, Buttons buttons,
                          std::initializer_list<MessageArg> args = {}) {
  return ui.ShowMessage(message_id, FormatMessageText(message_id, args), buttons);
}

}  // namespace trovisk
