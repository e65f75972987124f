#pragma once

#include "CompanyRecord.h"

#include <QPointer>
#include <QWidget>

#include <array>
#include <functional>

class QFrame;
class QLabel;
class QPushButton;

namespace velmora::app {

// The main menu: the first and last window of the process. Five buttons open the screens,
// a sixth, set apart beside them, the fleet's due list, and below it a seventh the register
// of directives and inspections; the background picture is the company's, and closing the
// menu closes every screen.
class frmMenuVelmora : public QWidget {
    Q_OBJECT
  public:
    enum Entry {
        AircraftSetup = 0,
        TimeRemaining = 1,
        OilAnalysis = 2,
        CompanySetup = 3,
        Exit = 4
    };
    using ScreenFactory = std::function<QWidget*(frmMenuVelmora&)>;

    explicit frmMenuVelmora(const QString& programFolder, QWidget* parent = nullptr);

    // Opens the company settings of the program folder.
    void Form_Load();
    // Shows the company's picture.
    void Form_Activate();
    void Command1_Click(int index);
    void cmdDueList_Click();
    void cmdDirectives_Click();

    // A screen for one of the first four buttons; a button without one stays disabled.
    void setScreenFactory(int index, ScreenFactory factory);
    QWidget* openScreen(int index) const;
    // The due list screen of the sixth button.
    void setDueListFactory(ScreenFactory factory);
    QWidget* openDueList() const { return screens_[kDueListSlot].data(); }
    // The Directives & Inspections screen of the seventh button.
    void setDirectivesFactory(ScreenFactory factory);
    QWidget* openDirectives() const { return screens_[kDirectivesSlot].data(); }

    CompanyRecord& company() { return company_; }
    const QString& programFolder() const { return programFolder_; }

    // Replaces the background picture with a picture file; false (and the picture kept)
    // when the file cannot be loaded as a picture.
    bool loadPicture(const QString& file);
    const QString& pictureSource() const { return pictureSource_; }

    // Brings the menu forward for a second start of the program: restored unless it is
    // maximized.
    void bringForward();

  protected:
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    QLabel* Image1 = nullptr;
    std::array<QFrame*, 5> SSPanel1{};
    std::array<QPushButton*, 5> Command1{};
    QFrame* pnlDueList = nullptr;
    QPushButton* cmdDueList = nullptr;
    QFrame* pnlDirectives = nullptr;
    QPushButton* cmdDirectives = nullptr;

    void Form_Resize();
    void Form_QueryUnload();
    // Shows the screen of a slot (the four screen buttons, then the due list): made once,
    // then only brought forward.
    void showScreen(size_t slot);
    // False, after telling the user why, when the data path names a database server whose
    // data sets cannot be opened now.
    bool dataSetsReachable();

    static constexpr size_t kDueListSlot = 4;
    static constexpr size_t kDirectivesSlot = 5;
    QString programFolder_;
    CompanyRecord company_;
    QString pictureSource_;
    std::array<ScreenFactory, 6> factories_{};
    std::array<QPointer<QWidget>, 6> screens_{};
};

}  // namespace velmora::app
