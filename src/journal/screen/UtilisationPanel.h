#pragma once

#include "utilisation/DailyUtilisation.h"

#include <QGroupBox>

#include <array>

class QLabel;
class QLineEdit;
class QPushButton;

namespace velmora::journal {

// "Use per Day" on the aircraft set-up screen: the aircraft's daily use from its entry
// journal (read-only), and its planned daily use, entered here, which stands in while the
// journal is shorter than two weeks.
class UtilisationPanel final : public QGroupBox {
    Q_OBJECT
  public:
    explicit UtilisationPanel(QWidget* parent = nullptr);

    // The days use is averaged over: the company's setting.
    void setAverageDays(int days) { days_ = days; }
    // The aircraft shown (read at the next refresh); an empty registration shows nothing.
    void setAircraft(const QString& mainFile, const QString& regNum);
    // Reads the figures again (another aircraft, a meter or total entry).
    void refresh();
    void cmdSavePlanned_Click();

    // Meter 1, meter 2, landings, cycles, RIN.
    std::array<QLabel*, 5> lblJournal{};
    std::array<QLineEdit*, 5> txtPlanned{};
    QLabel* lblSource = nullptr;
    QPushButton* cmdSavePlanned = nullptr;

  private:
    QString mainFile_;
    QString regNum_;
    int days_ = 90;
};

}  // namespace velmora::journal
