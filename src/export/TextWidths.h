#pragma once

#include <QFontMetricsF>
#include <QString>

#include <array>

namespace velmora::exporting {

// How wide texts are in one font, quickly enough for the cells of a long list: a text of
// Latin-1 characters is summed from a table of their advances, measured once (the font's
// kerning would move it by a hair at most); any other text is measured by the font itself.
class TextWidths {
  public:
    explicit TextWidths(const QFontMetricsF& metrics);

    qreal width(QStringView text) const;
    const QFontMetricsF& metrics() const { return metrics_; }

  private:
    QFontMetricsF metrics_;
    std::array<qreal, 256> latin1_{};
};

}  // namespace velmora::exporting
