#pragma once

// Data that several workstations use at once. The errors are ErrorNumber::DataChanged and
// ErrorNumber::ServerConnection.

#include "DbError.h"

namespace velmora::data {

// The text of the DataChanged error, which the screens ask as a Yes/No question.
inline constexpr char kDataChangedText[] = "The data has been changed by another user. Reload it?";

}  // namespace velmora::data
