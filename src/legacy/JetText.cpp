#include "JetText.h"

namespace velmora::legacy {

QString decodeJet4Text(const char* bytes, qsizetype size) {
    const auto* b = reinterpret_cast<const unsigned char*>(bytes);
    QString out;
    if (size >= 2 && b[0] == 0xFF && b[1] == 0xFE) {
        out.reserve(size - 2);
        bool compressed = true;
        qsizetype i = 2;
        while (i < size) {
            if (b[i] == 0) {
                compressed = !compressed;
                ++i;
            } else if (compressed) {
                out.append(QChar(static_cast<char16_t>(b[i])));
                ++i;
            } else if (i + 1 < size) {
                out.append(QChar(static_cast<char16_t>(b[i] | (b[i + 1] << 8))));
                i += 2;
            } else {
                break;  // half a character at the end: a damaged value
            }
        }
        return out;
    }
    out.resize(size / 2);
    for (qsizetype i = 0; i < size / 2; ++i)
        out[i] = QChar(static_cast<char16_t>(b[2 * i] | (b[2 * i + 1] << 8)));
    return out;
}

}  // namespace velmora::legacy
