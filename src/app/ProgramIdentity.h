#pragma once

namespace velmora::app {

// Names the program "Velmora": the title of its message boxes where they have none of their
// own (QApplication::applicationDisplayName() falls back to this name). No display name is
// set, because the window system would append it to every window's and box's title
// ("Meter #1 change — Velmora"): each window carries exactly its own caption.
void setProgramIdentity();

}  // namespace velmora::app
