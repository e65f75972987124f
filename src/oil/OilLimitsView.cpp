#include "OilLimitsView.h"

#include "OilLimitsDialog.h"
#include "TrendChart.h"

#include "oil/limits/OilAlerts.h"
#include "oil/limits/OilLimitLines.h"
#include "oil/limits/OilLimitsStore.h"
#include "oil/limits/OilTrend.h"

#include "data/Database.h"
#include "screens/common/DataGrid.h"
#include "screens/common/Dialogs.h"

#include <QLabel>
#include <QPushButton>

namespace velmora::oil {

using limits::OilLevel;

OilLimitsView::OilLimitsView(QWidget* screen, screens::DataGrid* grid, TrendChart* chart,
                             int firstElementColumn, int hoursColumn, int dateColumn)
    : QObject(screen),
      screen_(screen),
      grid_(grid),
      chart_(chart),
      firstElement_(firstElementColumn),
      hours_(hoursColumn),
      date_(dateColumn) {
    cmdLimits = new QPushButton(QStringLiteral("Oil &Limits..."), screen);
    cmdLimits->setObjectName(QStringLiteral("cmdLimits"));
    connect(cmdLimits, &QPushButton::clicked, this, &OilLimitsView::cmdLimits_Click);
    lblFindings = new QLabel(screen);
    lblFindings->setObjectName(QStringLiteral("lblFindings"));
    lblFindings->setTextFormat(Qt::PlainText);
    lblTrend = new QLabel(screen);
    lblTrend->setObjectName(QStringLiteral("lblTrend"));
    lblTrend->setTextFormat(Qt::PlainText);
    lblTrend->setWordWrap(true);
    lblTrend->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    colourColumns();
    // A written or changed sample is judged again at once.
    QAbstractItemModel* model = grid_->model();
    connect(model, &QAbstractItemModel::dataChanged, this, &OilLimitsView::updateFindings);
    connect(model, &QAbstractItemModel::modelReset, this, &OilLimitsView::updateFindings);
    connect(model, &QAbstractItemModel::rowsInserted, this, &OilLimitsView::updateFindings);
    connect(model, &QAbstractItemModel::rowsRemoved, this, &OilLimitsView::updateFindings);
}

void OilLimitsView::colourColumns() {
    std::vector<screens::GridColumn> columns;
    for (int c = 0; c < grid_->columnCount(); ++c)
        columns.push_back(grid_->column(c));
    for (int e = 0; e < limits::kElementCount; ++e) {
        const int col = firstElement_ + e;
        if (col >= static_cast<int>(columns.size()))
            break;
        columns[static_cast<size_t>(col)].rowColour = [this, col](int row, const data::Value&) {
            const OilLevel level = cellLevel(row, col);
            return level == OilLevel::None ? QColor() : TrendChart::levelColor(level);
        };
    }
    grid_->setColumns(std::move(columns));
}

void OilLimitsView::setComponent(const QString& regNum, const QString& component) {
    regNum_ = regNum;
    component_ = component;
    readLimits();
}

void OilLimitsView::readLimits() {
    limits_ = {};
    readProblem_.clear();
    std::shared_ptr<data::Database> db = database_ ? database_() : nullptr;
    if (db && !component_.trimmed().isEmpty()) {
        try {
            limits_ = limits::resolveLimits(limits::readLimitLevels(*db, regNum_, component_));
        } catch (const data::DbError& e) {
            // The samples are shown without their limits; the line under the grid says why.
            limits_ = {};
            readProblem_ = QStringLiteral("The oil limits could not be read: ") + e.text();
        }
    }
    grid_->viewport()->update();
    updateFindings();
}

std::vector<limits::OilSample> OilLimitsView::samples() const {
    std::vector<limits::OilSample> out;
    const int rows = grid_->rowCount();
    out.reserve(static_cast<size_t>(rows));
    for (int r = 0; r < rows; ++r) {
        limits::OilSample s;
        s.date = limits::sampleDateText(grid_->valueAt(r, date_));
        s.hours = limits::readingOf(grid_->valueAt(r, hours_));
        for (int e = 0; e < limits::kElementCount; ++e)
            s.ppm[static_cast<size_t>(e)] = limits::readingOf(grid_->valueAt(r, firstElement_ + e));
        out.push_back(s);
    }
    return out;
}

OilLevel OilLimitsView::cellLevel(int row, int col) const {
    const int e = col - firstElement_;
    if (e < 0 || e >= limits::kElementCount || row < 0 || row >= grid_->rowCount())
        return OilLevel::None;
    const limits::ElementLimit& limit = limits_[static_cast<size_t>(e)];
    if (limit.isEmpty())
        return OilLevel::None;
    auto sampleAt = [this, e](int r) {
        limits::OilSample s;
        s.hours = limits::readingOf(grid_->valueAt(r, hours_));
        s.ppm[static_cast<size_t>(e)] = limits::readingOf(grid_->valueAt(r, firstElement_ + e));
        return s;
    };
    const limits::OilSample sample = sampleAt(row);
    if (row == 0)
        return limits::judgeReading(limit, nullptr, sample, e).level;
    const limits::OilSample previous = sampleAt(row - 1);
    return limits::judgeReading(limit, &previous, sample, e).level;
}

void OilLimitsView::updateFindings() {
    QPalette palette = screen_->palette();
    if (!readProblem_.isEmpty()) {
        lblFindings->setText(readProblem_);
        lblFindings->setPalette(palette);
        return;
    }
    const std::vector<limits::OilSample> all = samples();
    lblFindings->setText(limits::newestSampleLine(limits_, all));
    // The line takes the colour of its worst finding.
    if (!all.empty()) {
        const limits::OilSample* previous = all.size() > 1 ? &all[all.size() - 2] : nullptr;
        const auto findings = limits::sampleFindings(limits_, previous, all.back());
        if (!findings.empty())
            palette.setColor(QPalette::WindowText, TrendChart::levelColor(findings.front().level));
    }
    lblFindings->setPalette(palette);
}

void OilLimitsView::chartBuilt(int element, int first, int last) {
    if (element < 0 || element >= limits::kElementCount || grid_->rowCount() == 0) {
        chart_->setLimits({});
        lblTrend->setText(element < 0 && grid_->rowCount() > 0
                              ? QStringLiteral("Trend: choose one element")
                              : QString());
        return;
    }
    const std::vector<limits::OilSample> all = samples();
    chart_->setLimits(
        limits::chartLimits(limits_[static_cast<size_t>(element)], all, first, last, element));
    std::vector<std::pair<std::optional<double>, std::optional<double>>> points;
    for (int r = std::max(0, first); r <= last && r < static_cast<int>(all.size()); ++r)
        points.emplace_back(all[static_cast<size_t>(r)].hours,
                            all[static_cast<size_t>(r)].ppm[static_cast<size_t>(element)]);
    lblTrend->setText(limits::trendText(limits::elementName(element), limits::trendSlope(points),
                                        static_cast<int>(points.size())));
}

void OilLimitsView::cmdLimits_Click() {
    std::shared_ptr<data::Database> db = database_ ? database_() : nullptr;
    if (!db || regNum_.trimmed().isEmpty() || component_.trimmed().isEmpty()) {
        screens::msgBox(screen_, QStringLiteral("Choose an aircraft and a component first."),
                        screens::MsgButtons::Ok, screens::MsgIcon::None,
                        QStringLiteral("Oil Limits"));
        screens::reactivateWindow(screen_);
        return;
    }
    OilLimitsDialog dialog(db, regNum_, component_, screen_);
    const int result = dialog.exec();
    screens::reactivateWindow(screen_);
    if (result != QDialog::Accepted)
        return;
    readLimits();
    emit limitsChanged();
}

void OilLimitsView::placeBeside(int left, int top, int width) {
    const int h = cmdLimits->sizeHint().height();
    cmdLimits->setGeometry(left, top, width, h);
    const int trendTop = top + h + h / 3;
    lblTrend->setGeometry(left, trendTop, width, 4 * lblTrend->fontMetrics().height());
}

int OilLimitsView::besideHeight() const {
    const int h = cmdLimits->sizeHint().height();
    return 2 * h + h / 3 + 4 * lblTrend->fontMetrics().height();
}

int OilLimitsView::findingsHeight() const {
    return lblFindings->fontMetrics().height() + 6;
}

void OilLimitsView::placeFindings(int left, int top, int width) {
    lblFindings->setGeometry(left, top, width, findingsHeight());
}

}  // namespace velmora::oil
