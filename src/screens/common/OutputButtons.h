#pragma once

#include <QPushButton>
#include <QString>

class QBoxLayout;

namespace velmora::screens {

// The buttons of a screen that puts its list out: print (through a preview), save as PDF
// and save as CSV, known by the object names cmdPrint, cmdExportPdf and cmdExportCsv.
struct OutputButtons {
    struct Captions {
        QString print, pdf, csv;
    };
    // "&Print...", "Export P&DF...", "Export C&SV...".
    static Captions exportCaptions();

    QPushButton* cmdPrint = nullptr;
    QPushButton* cmdExportPdf = nullptr;
    QPushButton* cmdExportCsv = nullptr;

    // Makes the three buttons (children of the parent) and adds them to the layout in that
    // order.
    void create(QWidget* parent, QBoxLayout* layout, const Captions& captions);

    // Runs the screen's handlers when the buttons are clicked.
    template <typename Screen>
    void connectTo(Screen* screen, void (Screen::*print)(), void (Screen::*pdf)(),
                   void (Screen::*csv)()) const {
        QObject::connect(cmdPrint, &QPushButton::clicked, screen, print);
        QObject::connect(cmdExportPdf, &QPushButton::clicked, screen, pdf);
        QObject::connect(cmdExportCsv, &QPushButton::clicked, screen, csv);
    }
};

}  // namespace velmora::screens
