#include "TextWrap.h"

#include <QTextBoundaryFinder>

#include <algorithm>

namespace velmora::exporting {

namespace {

QStringList paragraphsOf(const QString& text) {
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(u'\r', u'\n');
    return t.split(u'\n');
}

QStringList wordsOf(const QString& paragraph) {
    return paragraph.split(u' ', Qt::SkipEmptyParts);
}

// Breaks one word that is wider than the column into pieces that fit, at the boundaries
// of characters as the reader sees them (never inside a character of several code units).
void breakWord(const QString& word, const TextWidths& widths, qreal width, QStringList* out) {
    QTextBoundaryFinder bounds(QTextBoundaryFinder::Grapheme, word);
    qsizetype start = 0, lastFit = 0;
    for (qsizetype at = bounds.toNextBoundary(); at > 0; at = bounds.toNextBoundary()) {
        if (widths.width(word.mid(start, at - start)) > width && lastFit > start) {
            out->append(word.mid(start, lastFit - start));
            start = lastFit;
        }
        lastFit = at;
    }
    if (start < word.size())
        out->append(word.mid(start));
}

}  // namespace

QStringList wrapText(const QString& text, const TextWidths& widths, qreal width) {
    if (!text.contains(u'\n') && !text.contains(u'\r') && widths.width(text) <= width)
        return {text};
    QStringList lines;
    for (const QString& paragraph : paragraphsOf(text)) {
        QString line;
        for (const QString& word : wordsOf(paragraph)) {
            const QString joined = line.isEmpty() ? word : line + u' ' + word;
            if (widths.width(joined) <= width) {
                line = joined;
                continue;
            }
            if (!line.isEmpty())
                lines.append(line);
            line.clear();
            if (widths.width(word) <= width) {
                line = word;
                continue;
            }
            QStringList pieces;
            breakWord(word, widths, width, &pieces);
            line = pieces.takeLast();
            lines.append(pieces);
        }
        lines.append(line);
    }
    return lines;
}

qreal widestLine(const QString& text, const TextWidths& widths) {
    if (!text.contains(u'\n') && !text.contains(u'\r'))
        return widths.width(text);
    qreal w = 0;
    for (const QString& line : paragraphsOf(text))
        w = std::max(w, widths.width(line));
    return w;
}

qreal widestWord(const QString& text, const TextWidths& widths) {
    if (!text.contains(u' ') && !text.contains(u'\n') && !text.contains(u'\r'))
        return widths.width(text);
    qreal w = 0;
    for (const QString& paragraph : paragraphsOf(text)) {
        for (const QString& word : wordsOf(paragraph))
            w = std::max(w, widths.width(word));
    }
    return w;
}

qreal twoLineWidth(const QString& text, const TextWidths& widths) {
    const QStringList words = wordsOf(text.simplified());
    qreal best = widths.width(words.join(u' '));
    for (qsizetype i = 1; i < words.size(); ++i) {
        const qreal first = widths.width(words.mid(0, i).join(u' '));
        const qreal second = widths.width(words.mid(i).join(u' '));
        best = std::min(best, std::max(first, second));
    }
    return best;
}

}  // namespace velmora::exporting
