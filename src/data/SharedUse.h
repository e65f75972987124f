#pragma once

// Errors of data that several workstations use at once.

namespace velmora::data::err {

// A row changed (or deleted) by another user since this one read it: the save is refused,
// and the user chooses to reload the row or to keep the values on the screen.
inline constexpr int DataChanged = 3197;
// The database server cannot be reached, refuses the login or went away.
inline constexpr int ServerConnection = 3151;

}  // namespace velmora::data::err

namespace velmora::data {

// The text of the DataChanged error, which the screens ask as a Yes/No question.
inline constexpr char kDataChangedText[] = "The data has been changed by another user. Reload it?";

}  // namespace velmora::data
