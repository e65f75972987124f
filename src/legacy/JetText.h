#pragma once

#include <QString>

namespace velmora::legacy {

// Text as a Jet 4 (or ACE) file stores it: UTF-16 little-endian, or, when it begins with the
// bytes FF FE, compressed: one byte per character (its low byte) until a zero byte switches
// to two bytes per character, and the next zero byte back. Characters outside the basic
// plane (UTF-16 surrogate pairs) are kept.
QString decodeJet4Text(const char* bytes, qsizetype size);

}  // namespace velmora::legacy
