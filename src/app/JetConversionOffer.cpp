#include "JetConversionOffer.h"

#include "JetDataFiles.h"
#include "backup/ProgramFiles.h"
#include "screens/common/BackupQuestion.h"
#include "screens/common/Dialogs.h"
#include "screens/common/MousePointer.h"

#include <QProgressDialog>

#include <algorithm>
#include <memory>

namespace velmora::app {

namespace {

using screens::MessageRequest;
using screens::MsgAnswer;
using screens::MsgButtons;
using screens::MsgIcon;

const QString kTitle = QStringLiteral("Velmora");

QString question(const QString& file) {
    return QStringLiteral(
               "%1 is in the earlier Jet format. Convert it now? The original is "
               "kept as %1.jet.")
        .arg(file);
}

// Shows the conversion's progress once it is known to be long; the user can cancel it.
class ConversionProgress {
  public:
    explicit ConversionProgress(QWidget* parent) : parent_(parent) {}

    bool step(qint64 done, qint64 total) {
        if (!dialog_ && total > kProgressRows) {
            dialog_ =
                std::make_unique<QProgressDialog>(QStringLiteral("Converting the Jet files..."),
                                                  QStringLiteral("Cancel"), 0, 1000, parent_);
            dialog_->setWindowTitle(kTitle);
            dialog_->setWindowModality(Qt::ApplicationModal);
            dialog_->setMinimumDuration(0);
            dialog_->setAutoClose(false);
            dialog_->setAutoReset(false);
            dialog_->show();
        }
        if (!dialog_)
            return true;
        // A modal progress dialog handles the events (the Cancel click) as it is updated.
        dialog_->setValue(total > 0 ? static_cast<int>(done * 1000 / total) : 0);
        return !dialog_->wasCanceled();
    }

  private:
    QWidget* parent_;
    std::unique_ptr<QProgressDialog> dialog_;
};

void tell(QWidget* parent, const QString& text, MsgIcon icon) {
    screens::Dialogs::current().message(
        parent, MessageRequest{text, kTitle, MsgButtons::Ok, icon, MsgAnswer::Ok});
}

}  // namespace

bool offerJetConversion(QWidget* parent, const QString& programFolder) {
    const std::vector<legacy::FileInPlace> files = findJetDataFiles(programFolder);
    if (files.empty())
        return false;
    const MsgAnswer answer = screens::Dialogs::current().message(
        parent, MessageRequest{question(files.front().path), kTitle, MsgButtons::YesNo,
                               MsgIcon::Question, MsgAnswer::Yes});
    if (answer != MsgAnswer::Yes)
        return false;
    // The program's files that are Velmora's already are backed up first; the Jet files
    // themselves are kept as they are, as NAME.jet.
    QStringList velmoraFiles;
    for (const QString& file : backup::programFiles(programFolder).existing()) {
        if (std::none_of(files.begin(), files.end(),
                         [&](const legacy::FileInPlace& f) { return f.path == file; }))
            velmoraFiles << file;
    }
    if (!screens::backUpBeforeChange(parent, velmoraFiles, backup::Reason::BeforeConversion,
                                     QStringLiteral("the Jet files are converted")))
        return false;

    JetConversionResult result;
    try {
        screens::BusyPointer busy;
        ConversionProgress progress(parent);
        result = convertJetDataFiles(
            files, [&](qint64 done, qint64 total) { return progress.step(done, total); });
    } catch (const legacy::ConversionCancelled&) {
        tell(parent,
             QStringLiteral("The conversion was cancelled. The files were left as they "
                            "were."),
             MsgIcon::Information);
        return false;
    } catch (const data::DbError& e) {
        tell(parent,
             QStringLiteral("The Jet files could not be converted: %1\nThe files were left as "
                            "they were.")
                 .arg(legacy::numberedText(e)),
             MsgIcon::Critical);
        return false;
    }
    tell(parent, conversionSummary(result), MsgIcon::Information);
    return true;
}

}  // namespace velmora::app
