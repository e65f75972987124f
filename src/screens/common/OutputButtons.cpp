#include "OutputButtons.h"

#include <QBoxLayout>

namespace velmora::screens {

OutputButtons::Captions OutputButtons::exportCaptions() {
    return {QStringLiteral("&Print..."), QStringLiteral("Export P&DF..."),
            QStringLiteral("Export C&SV...")};
}

void OutputButtons::create(QWidget* parent, QBoxLayout* layout, const Captions& captions) {
    auto make = [&](const QString& caption, const QString& name) {
        auto* b = new QPushButton(caption, parent);
        b->setObjectName(name);
        layout->addWidget(b);
        return b;
    };
    cmdPrint = make(captions.print, QStringLiteral("cmdPrint"));
    cmdExportPdf = make(captions.pdf, QStringLiteral("cmdExportPdf"));
    cmdExportCsv = make(captions.csv, QStringLiteral("cmdExportCsv"));
}

}  // namespace velmora::screens
