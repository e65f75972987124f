#include "ReportRenderer.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QRegularExpression>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace velmora::reports {

namespace {

const QColor kOverdueInk(176, 0, 0);
const QColor kOverdueFill(255, 232, 232);
const QColor kStripe(243, 243, 243);
const QColor kDueSoonInk(150, 88, 0);
const QColor kDueSoonFill(255, 243, 214);
const QColor kHeadingFill(224, 224, 224);
const QColor kGroupFill(234, 238, 246);
const QColor kRule(90, 90, 90);
const QColor kCaptionInk(70, 70, 70);

constexpr int kMaxCellLines = 3;

QFont reportFont(double points, bool bold = false) {
    QFont f;
    f.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans"),
                   QStringLiteral("Arial"), QStringLiteral("Helvetica")});
    f.setStyleHint(QFont::SansSerif);
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

Qt::Alignment alignmentOf(CellAlign a) {
    switch (a) {
        case CellAlign::Right:
            return Qt::AlignRight;
        case CellAlign::Center:
            return Qt::AlignHCenter;
        case CellAlign::Left:
            break;
    }
    return Qt::AlignLeft;
}

// A font with its metrics on the device being painted.
struct Face {
    QFont font;
    QFontMetricsF fm;
    double line;
    Face(const QFont& f, QPaintDevice* dev) : font(f, dev), fm(font, dev), line(fm.lineSpacing()) {}
};

class Renderer {
  public:
    Renderer(const ReportModel& model, QPagedPaintDevice* dev)
        : m_(model),
          def_(model.definition),
          dev_(dev),
          dpi_(dev->logicalDpiY()),
          body_(reportFont(def_.fontSize), dev),
          bold_(reportFont(def_.fontSize, true), dev),
          title_(reportFont(def_.fontSize + 4, true), dev),
          sub_(reportFont(def_.fontSize + 1, true), dev),
          small_(reportFont(std::max(5.0, def_.fontSize - 0.5)), dev) {
        width_ = dev->width();
        height_ = dev->height();
        pad_ = mm(0.9);
    }

    int run(QString* error) {
        layout();
        QPainter p;
        if (!p.begin(dev_)) {
            if (error)
                *error = QStringLiteral("The report cannot be painted on its output.");
            return 0;
        }
        const int pages = static_cast<int>(pages_.size());
        for (int i = 0; i < pages; ++i) {
            if (i > 0 && !dev_->newPage()) {
                if (error)
                    *error = QStringLiteral("The report's page %1 cannot be started.").arg(i + 1);
                return 0;
            }
            paintPage(p, pages_[static_cast<size_t>(i)], i + 1, pages);
        }
        p.end();
        return pages;
    }

  private:
    struct Placed {
        int line;  // index into the model's lines
        double y;
        double h;
    };
    struct Page {
        bool facts = false;
        bool table = false;  // the column headings stand at the top of the body
        std::vector<Placed> rows;
        double messageY = -1;  // the empty-list or no-aircraft text
        QStringList message;
        double summaryY = -1;
    };

    double mm(double v) const { return v * dpi_ / 25.4; }

    // The text broken into lines no wider than the width (at most maxLines; the last one
    // shortened with an ellipsis when the text runs on).
    QStringList wrap(const QString& text, const Face& face, double width, int maxLines) const {
        QStringList out;
        const QStringList paragraphs = text.split(u'\n');
        for (const QString& par : paragraphs) {
            if (face.fm.horizontalAdvance(par) <= width) {
                out << par;
                continue;
            }
            QTextLayout tl(par, face.font, dev_);
            QTextOption opt;
            opt.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
            tl.setTextOption(opt);
            tl.beginLayout();
            for (;;) {
                QTextLine l = tl.createLine();
                if (!l.isValid())
                    break;
                l.setLineWidth(width);
                out << par.mid(l.textStart(), l.textLength()).trimmed();
            }
            tl.endLayout();
        }
        if (maxLines > 0 && out.size() > maxLines) {
            QString rest = out.mid(maxLines - 1).join(u' ');
            out = out.mid(0, maxLines - 1);
            out << face.fm.elidedText(rest, Qt::ElideRight, width);
        }
        return out;
    }

    // The narrowest a column may be: its caption's and its values' longest word (a part or
    // serial number is never broken), and for a column that is not left-aligned (numbers,
    // dates, codes) its widest value, which stands on one line.
    double neededWidth(int col) const {
        const ReportColumn& c = def_.columns[col];
        double need = 0;
        static const QRegularExpression blanks(QStringLiteral("\\s+"));
        for (const QString& word : c.caption.split(blanks, Qt::SkipEmptyParts))
            need = std::max(need, bold_.fm.horizontalAdvance(word));
        for (const ReportLine& line : m_.lines) {
            if (line.isGroup)
                continue;
            const ReportCell& cell = line.cells[static_cast<size_t>(col)];
            const Face& f = cell.highlighted || cell.dueSoon ? bold_ : body_;
            if (c.align != CellAlign::Left) {
                need = std::max(need, f.fm.horizontalAdvance(cell.text));
                continue;
            }
            for (const QString& word : cell.text.split(blanks, Qt::SkipEmptyParts))
                need = std::max(need, f.fm.horizontalAdvance(word));
        }
        return std::ceil(need + 2 * pad_ + 1);
    }

    // Column edges: the widths of the definition shared out over the page width, each
    // column given at least the width it needs, taken from the others.
    void columnEdges() {
        const int n = static_cast<int>(def_.columns.size());
        std::vector<double> need(static_cast<size_t>(n)), w(static_cast<size_t>(n));
        std::vector<bool> fixed(static_cast<size_t>(n), false);
        for (int i = 0; i < n; ++i)
            need[static_cast<size_t>(i)] = neededWidth(i);
        for (bool changed = true; changed;) {
            changed = false;
            double freeWidth = width_, weight = 0;
            for (int i = 0; i < n; ++i) {
                if (fixed[static_cast<size_t>(i)])
                    freeWidth -= need[static_cast<size_t>(i)];
                else
                    weight += def_.columns[i].width;
            }
            for (int i = 0; i < n; ++i) {
                const auto k = static_cast<size_t>(i);
                if (fixed[k]) {
                    w[k] = need[k];
                    continue;
                }
                w[k] = weight > 0 ? std::max(0.0, freeWidth) * def_.columns[i].width / weight : 0;
                if (w[k] < need[k]) {
                    fixed[k] = true;
                    changed = true;
                }
            }
        }
        // Too many columns for the page: all shrink alike (values may then run over).
        double total = 0;
        for (double x : w)
            total += x;
        const double scale = total > width_ ? width_ / total : 1.0;
        double x = 0;
        colX_.clear();
        colW_.clear();
        for (double cw : w) {
            colX_.push_back(x);
            colW_.push_back(cw * scale);
            x += cw * scale;
        }
    }

    QStringList cellLines(int col, const ReportCell& cell) const {
        const ReportColumn& c = def_.columns[col];
        const Face& face = cell.highlighted || cell.dueSoon ? bold_ : body_;
        const double w = colW_[static_cast<size_t>(col)] - 2 * pad_;
        // Values of a column that is not left-aligned are never broken: the column is made
        // wide enough for them.
        if (c.align != CellAlign::Left)
            return {cell.text};
        return wrap(cell.text, face, w, kMaxCellLines);
    }

    double rowHeight(const ReportLine& line) const {
        if (line.isGroup)
            return bold_.line + 2 * pad_;
        int lines = 1;
        for (int c = 0; c < static_cast<int>(line.cells.size()); ++c)
            lines = std::max(lines, static_cast<int>(cellLines(c, line.cells[c]).size()));
        return lines * body_.line + 2 * pad_;
    }

    void layout() {
        columnEdges();
        fitFacts();
        // Heights of the fixed bands, measured with the widest page number text.
        const int guess = 9999;
        headerH_ = std::max({blockHeight(def_.headerLeft, guess, 0),
                             blockHeight(def_.headerCenter, guess, 1),
                             blockHeight(def_.headerRight, guess, 2)});
        footerH_ = std::max({footBlockHeight(def_.footerLeft, guess),
                             footBlockHeight(footerCenter(), guess),
                             footBlockHeight(def_.footerRight, guess)});
        bodyTop_ = headerH_ + mm(2.5);
        bodyBottom_ = height_ - footerH_ - mm(2.5);
        headingLines_.clear();
        int capLines = 1;
        for (int c = 0; c < def_.columns.size(); ++c) {
            headingLines_.push_back(
                wrap(def_.columns[c].caption, bold_, colW_[static_cast<size_t>(c)] - 2 * pad_, 4));
            capLines = std::max(capLines, static_cast<int>(headingLines_.back().size()));
        }
        headingH_ = capLines * bold_.line + 2 * pad_;

        pages_.clear();
        pages_.emplace_back();
        double y = bodyTop_;
        if (!m_.aircraftFound) {
            Page& p = pages_.back();
            p.message = wrap(m_.expand(def_.noAircraftText), sub_, width_, 0);
            p.messageY = y + mm(4);
            return;
        }
        pages_.back().facts = !m_.facts.empty() || !def_.factsTitle.isEmpty();
        if (pages_.back().facts)
            y += factsHeight() + mm(3);
        pages_.back().table = true;
        y += headingH_;
        const auto& lines = m_.lines;
        for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
            double h = rowHeight(lines[i]);
            double need = h;
            // A group heading stays with the first row below it.
            if (lines[i].isGroup && i + 1 < static_cast<int>(lines.size()))
                need += rowHeight(lines[i + 1]);
            if (y + need > bodyBottom_ && !pages_.back().rows.empty()) {
                pages_.emplace_back();
                pages_.back().table = true;
                y = bodyTop_ + headingH_;
            }
            pages_.back().rows.push_back({i, y, h});
            y += h;
        }
        if (m_.rowCount == 0) {
            pages_.back().message = wrap(m_.expand(def_.emptyText), body_, width_, 0);
            pages_.back().messageY = y + mm(2);
            y += pages_.back().message.size() * body_.line + mm(2);
        }
        if (!def_.summaryText.isEmpty()) {
            summary_ = wrap(m_.expand(def_.summaryText), body_, width_, 0);
            const double h = summary_.size() * body_.line;
            if (y + mm(3) + h > bodyBottom_) {
                pages_.emplace_back();
                y = bodyTop_;
            }
            pages_.back().summaryY = y + mm(3);
        }
    }

    double headerWidth(int slot) const { return slot == 1 ? width_ * 0.44 : width_ * 0.28; }

    const Face& headerFace(int slot, int line) const {
        if (slot == 1)
            return line == 0 ? title_ : sub_;
        if (slot == 0 && line == 0)
            return sub_;
        return body_;
    }

    double blockHeight(const QString& text, int pages, int slot) const {
        if (text.isEmpty())
            return 0;
        double h = 0;
        const QStringList given = m_.expand(text, pages, pages).split(u'\n');
        for (int i = 0; i < given.size(); ++i) {
            const Face& f = headerFace(slot, i);
            h += wrap(given[i], f, headerWidth(slot), 2).size() * f.line;
        }
        return h;
    }

    // The centre of the foot, with the journal's newest line under what the definition
    // puts there.
    QString footerCenter() const {
        if (m_.journalAnchor.isEmpty())
            return def_.footerCenter;
        return def_.footerCenter.isEmpty() ? m_.journalAnchor
                                           : def_.footerCenter + u'\n' + m_.journalAnchor;
    }

    double footBlockHeight(const QString& text, int pages) const {
        if (text.isEmpty())
            return 0;
        return wrap(m_.expand(text, pages, pages), small_, width_ / 3, 0).size() * small_.line;
    }

    double factsHeight() const {
        const int cols = factColumns_;
        const int rows = (static_cast<int>(m_.facts.size()) + cols - 1) / cols;
        double h = 2 * pad_ + rows * body_.line;
        if (!def_.factsTitle.isEmpty())
            h += bold_.line;
        return h + pad_;
    }

    // The caption widths of the facts laid out in so many columns, one per column; false
    // when a value would not fit beside its caption.
    bool factsFit(int cols, std::vector<double>* captionWidths) const {
        const double cellW = (width_ - 2 * mm(2)) / cols;
        captionWidths->assign(static_cast<size_t>(cols), 0.0);
        for (int i = 0; i < static_cast<int>(m_.facts.size()); ++i) {
            double& w = (*captionWidths)[static_cast<size_t>(i % cols)];
            w = std::max(
                w, body_.fm.horizontalAdvance(m_.facts[static_cast<size_t>(i)].caption + u':') +
                       mm(1.5));
        }
        for (int i = 0; i < static_cast<int>(m_.facts.size()); ++i) {
            const double capW = (*captionWidths)[static_cast<size_t>(i % cols)];
            const QString value =
                QString(m_.facts[static_cast<size_t>(i)].value).replace(u'\n', u' ');
            if (capW + bold_.fm.horizontalAdvance(value) + mm(2) > cellW)
                return false;
        }
        return true;
    }

    // As many fact columns as the definition asks for, fewer when the values need room.
    void fitFacts() {
        factColumns_ = std::max(1, def_.factColumns);
        while (factColumns_ > 1 && !factsFit(factColumns_, &factCaptionW_))
            --factColumns_;
        if (factColumns_ == 1)
            factsFit(1, &factCaptionW_);
    }

    void drawLines(QPainter& p, const QStringList& lines, const Face& face, double x, double y,
                   double w, Qt::Alignment align) const {
        p.setFont(face.font);
        for (const QString& l : lines) {
            p.drawText(QRectF(x, y, w, face.line), align | Qt::AlignVCenter | Qt::TextDontClip, l);
            y += face.line;
        }
    }

    void paintHeaderBlock(QPainter& p, const QString& text, int slot, double x, Qt::Alignment align,
                          int page, int pages) const {
        if (text.isEmpty())
            return;
        const QStringList given = m_.expand(text, page, pages).split(u'\n');
        double y = 0;
        for (int i = 0; i < given.size(); ++i) {
            const Face& f = headerFace(slot, i);
            const QStringList lines = wrap(given[i], f, headerWidth(slot), 2);
            drawLines(p, lines, f, x, y, headerWidth(slot), align);
            y += lines.size() * f.line;
        }
    }

    void paintPage(QPainter& p, const Page& page, int number, int pages) {
        p.setPen(Qt::black);
        paintHeaderBlock(p, def_.headerLeft, 0, 0, Qt::AlignLeft, number, pages);
        paintHeaderBlock(p, def_.headerCenter, 1, (width_ - headerWidth(1)) / 2, Qt::AlignHCenter,
                         number, pages);
        paintHeaderBlock(p, def_.headerRight, 2, width_ - headerWidth(2), Qt::AlignRight, number,
                         pages);
        p.setPen(QPen(kRule, mm(0.3)));
        p.drawLine(QPointF(0, headerH_ + mm(1)), QPointF(width_, headerH_ + mm(1)));

        const double footTop = height_ - footerH_;
        p.drawLine(QPointF(0, footTop - mm(1)), QPointF(width_, footTop - mm(1)));
        p.setPen(Qt::black);
        const QString center = footerCenter();
        const struct {
            const QString& text;
            Qt::Alignment align;
            double x;
        } feet[] = {{def_.footerLeft, Qt::AlignLeft, 0},
                    {center, Qt::AlignHCenter, width_ / 3},
                    {def_.footerRight, Qt::AlignRight, 2 * width_ / 3}};
        for (const auto& f : feet) {
            if (!f.text.isEmpty())
                drawLines(p, wrap(m_.expand(f.text, number, pages), small_, width_ / 3, 0), small_,
                          f.x, footTop, width_ / 3, f.align);
        }

        double y = bodyTop_;
        if (page.facts) {
            paintFacts(p, y);
            y += factsHeight() + mm(3);
        }
        if (page.table)
            paintHeadings(p, page.rows.empty() ? y : page.rows.front().y - headingH_);
        for (const Placed& r : page.rows)
            paintLine(p, m_.lines[static_cast<size_t>(r.line)], r.y, r.h);
        if (!page.rows.empty()) {
            const Placed& last = page.rows.back();
            p.setPen(QPen(kRule, mm(0.3)));
            p.drawLine(QPointF(0, last.y + last.h), QPointF(width_, last.y + last.h));
        }
        if (page.messageY >= 0) {
            p.setPen(Qt::black);
            drawLines(p, page.message, m_.aircraftFound ? body_ : sub_, 0, page.messageY, width_,
                      Qt::AlignLeft);
        }
        if (page.summaryY >= 0) {
            p.setPen(Qt::black);
            drawLines(p, summary_, body_, 0, page.summaryY, width_, Qt::AlignLeft);
        }
    }

    void paintFacts(QPainter& p, double top) {
        const double h = factsHeight() - pad_;
        p.setPen(QPen(kRule, mm(0.2)));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(0, top, width_, h));
        double y = top + pad_;
        const double x0 = mm(2);
        if (!def_.factsTitle.isEmpty()) {
            p.setPen(Qt::black);
            drawLines(p, {m_.expand(def_.factsTitle)}, bold_, x0, y, width_ - 2 * x0,
                      Qt::AlignLeft);
            y += bold_.line;
        }
        const int cols = factColumns_;
        const double cellW = (width_ - 2 * x0) / cols;
        for (int i = 0; i < static_cast<int>(m_.facts.size()); ++i) {
            const ReportFactItem& f = m_.facts[static_cast<size_t>(i)];
            const double x = x0 + (i % cols) * cellW;
            const double capW = std::min(factCaptionW_[static_cast<size_t>(i % cols)], cellW * 0.6);
            const double fy = y + (i / cols) * body_.line;
            p.setPen(kCaptionInk);
            p.setFont(body_.font);
            p.drawText(QRectF(x, fy, capW, body_.line), Qt::AlignLeft | Qt::AlignVCenter,
                       body_.fm.elidedText(f.caption + u':', Qt::ElideRight, capW));
            p.setPen(Qt::black);
            p.setFont(bold_.font);
            const double vw = cellW - capW - mm(2);
            p.drawText(
                QRectF(x + capW, fy, vw, body_.line), Qt::AlignLeft | Qt::AlignVCenter,
                bold_.fm.elidedText(QString(f.value).replace(u'\n', u' '), Qt::ElideRight, vw));
        }
    }

    void paintHeadings(QPainter& p, double top) {
        p.setPen(Qt::NoPen);
        p.setBrush(kHeadingFill);
        p.drawRect(QRectF(0, top, width_, headingH_));
        p.setBrush(Qt::NoBrush);
        p.setPen(Qt::black);
        for (int c = 0; c < def_.columns.size(); ++c) {
            const auto& lines = headingLines_[static_cast<size_t>(c)];
            // Captions sit on the bottom of the heading band, above their values.
            const double y = top + headingH_ - pad_ - lines.size() * bold_.line;
            drawLines(p, lines, bold_, colX_[static_cast<size_t>(c)] + pad_, y,
                      colW_[static_cast<size_t>(c)] - 2 * pad_, alignmentOf(def_.columns[c].align));
        }
        p.setPen(QPen(kRule, mm(0.3)));
        p.drawLine(QPointF(0, top + headingH_), QPointF(width_, top + headingH_));
    }

    void paintLine(QPainter& p, const ReportLine& line, double y, double h) {
        if (line.isGroup) {
            p.setPen(Qt::NoPen);
            p.setBrush(kGroupFill);
            p.drawRect(QRectF(0, y, width_, h));
            p.setBrush(Qt::NoBrush);
            p.setPen(Qt::black);
            drawLines(p, {bold_.fm.elidedText(line.groupText, Qt::ElideRight, width_ - 2 * pad_)},
                      bold_, pad_, y + pad_, width_ - 2 * pad_, Qt::AlignLeft);
            stripe_ = 0;
            return;
        }
        const bool striped = (stripe_++ % 2) == 1;
        if (line.highlighted || line.dueSoon || striped) {
            p.setPen(Qt::NoPen);
            p.setBrush(line.highlighted ? kOverdueFill : (line.dueSoon ? kDueSoonFill : kStripe));
            p.drawRect(QRectF(0, y, width_, h));
            p.setBrush(Qt::NoBrush);
        }
        for (int c = 0; c < static_cast<int>(line.cells.size()); ++c) {
            const ReportCell& cell = line.cells[static_cast<size_t>(c)];
            if (cell.text.isEmpty())
                continue;
            p.setPen(cell.highlighted ? kOverdueInk
                                      : (cell.dueSoon ? kDueSoonInk : QColor(Qt::black)));
            drawLines(p, cellLines(c, cell), cell.highlighted || cell.dueSoon ? bold_ : body_,
                      colX_[static_cast<size_t>(c)] + pad_, y + pad_,
                      colW_[static_cast<size_t>(c)] - 2 * pad_, alignmentOf(def_.columns[c].align));
        }
    }

    const ReportModel& m_;
    const ReportDefinition& def_;
    QPagedPaintDevice* dev_;
    double dpi_;
    Face body_, bold_, title_, sub_, small_;
    double width_ = 0, height_ = 0, pad_ = 0;
    double headerH_ = 0, footerH_ = 0, bodyTop_ = 0, bodyBottom_ = 0, headingH_ = 0;
    std::vector<double> colX_, colW_;
    std::vector<QStringList> headingLines_;
    QStringList summary_;
    std::vector<Page> pages_;
    int stripe_ = 0;
    int factColumns_ = 1;
    std::vector<double> factCaptionW_;
};

}  // namespace

QPageLayout reportPageLayout(const ReportDefinition& definition) {
    const double m = definition.marginMm;
    return QPageLayout(QPageSize(definition.paper), definition.orientation, QMarginsF(m, m, m, m),
                       QPageLayout::Millimeter);
}

int paintReport(const ReportModel& model, QPagedPaintDevice* device, QString* error) {
    if (!device) {
        if (error)
            *error = QStringLiteral("The report has no output to be painted on.");
        return 0;
    }
    Renderer r(model, device);
    return r.run(error);
}

}  // namespace velmora::reports
