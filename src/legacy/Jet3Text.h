#pragma once

#include <QByteArray>
#include <QString>

#include <iconv.h>

namespace velmora::legacy {

// Text as a Jet 3 file stores it: one or more bytes per character in a code page the file does
// not name. Decoded with iconv, whose converter is flushed at the end of every text: a code
// page that holds a letter back to see whether an accent follows it (TCVN 5712, for
// Vietnamese) would otherwise lose the last letter of each text. A byte the code page does
// not map becomes U+FFFD.
class Jet3Text {
  public:
    explicit Jet3Text(const QByteArray& codePage);
    ~Jet3Text();
    Jet3Text(const Jet3Text&) = delete;
    Jet3Text& operator=(const Jet3Text&) = delete;

    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    QString decode(const char* bytes, qsizetype size) const;

  private:
    iconv_t cd_;
};

}  // namespace velmora::legacy
