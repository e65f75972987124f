#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QPointer>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// What the screens remember per user (window sizes, column widths) goes to a folder of the
// test run's own, emptied before every test: no test sees another's windows.
class FreshUserSettings : public ::testing::EmptyTestEventListener {
  public:
    void OnTestStart(const ::testing::TestInfo&) override {
        QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Velmora"),
                  QStringLiteral("Screens"))
            .clear();
    }
};

// A real message box that nobody answers would hold the test run forever: after a while it
// is closed, and the test fails.
void closeForgottenBoxes() {
    static QPointer<QMessageBox> seen;
    static int ticks = 0;
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || box != seen) {
        seen = box;
        ticks = 0;
        return;
    }
    if (++ticks < 20)
        return;
    ADD_FAILURE() << "a message box was left open: " << box->windowTitle().toStdString() << ": "
                  << box->text().toStdString();
    box->reject();
}

// The offscreen platform's one screen, as large as the desktops the screens are checked on
// (its own default, 800 x 600, is smaller than several screens' specified sizes, and windows
// are fitted to the screen they are shown on).
QByteArray offscreenPlatform(const QTemporaryDir& folder) {
    const QString config = folder.filePath(QStringLiteral("offscreen.json"));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly))
        return "offscreen";
    file.write(R"({"screens": [{"name": "Velmora test screen", "x": 0, "y": 0, "width": 1600,
                   "height": 1000, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
    return "offscreen:configfile=" + config.toLocal8Bit();
}

}  // namespace

int main(int argc, char** argv) {
    QTemporaryDir settings;
    qputenv("QT_QPA_PLATFORM", offscreenPlatform(settings));
    QApplication app(argc, argv);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    QTimer watchdog;
    QObject::connect(&watchdog, &QTimer::timeout, &closeForgottenBoxes);
    watchdog.start(1000);
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new FreshUserSettings);
    return RUN_ALL_TESTS();
}
