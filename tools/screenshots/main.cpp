// velmora-screenshots DATA_FOLDER OUT_FOLDER: pictures of the main screens for the README.
#include "ScreenTour.h"
#include "app/ProgramIdentity.h"
#include "cli/StandardOptions.h"

#include <QApplication>

#include <cstdio>

namespace {

const velmora::cli::ProgramHelp kHelp{
    QStringLiteral("velmora-screenshots"),
    {QStringLiteral("DATA_FOLDER OUT_FOLDER")},
    QStringLiteral(
        "Opens Velmora's main screens on the data files in DATA_FOLDER (made by velmora-demo;\n"
        "they are changed as an operator's steps change them, so give it a copy) and saves\n"
        "a PNG picture of each into OUT_FOLDER. DATA_FOLDER may instead be the postgresql://\n"
        "URI of a database filled from such a folder by velmora-migrate. Run it on a\n"
        "display, such as Xvfb's.\n"),
    {},
    {},
    true};

}  // namespace

int main(int argc, char** argv) {
    if (const auto status = velmora::cli::handleStandardOptions(argc, argv, kHelp))
        return *status;
    QApplication app(argc, argv);
    if (const auto status = velmora::cli::rejectUnknownOptions(app.arguments().mid(1), kHelp))
        return *status;
    velmora::app::setProgramIdentity();
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fputs("usage: velmora-screenshots DATA_FOLDER OUT_FOLDER\n", stderr);
        return 2;
    }
    velmora::screenshots::ScreenTour tour(args[1], args[2]);
    const auto failure = tour.run();
    for (const QString& picture : tour.pictures())
        std::printf("%s\n", qPrintable(picture));
    if (failure) {
        std::fprintf(stderr, "velmora-screenshots: %s\n", qPrintable(failure->text));
        return 1;
    }
    return 0;
}
