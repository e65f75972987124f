// velmora-report: an aircraft's remaining-life report rendered headless into a PDF, for
// scripts and scheduled printing.
#include "ReportCommand.h"
#include "headless/HeadlessProgram.h"

namespace {

using velmora::cli::Option;

const velmora::cli::ProgramHelp kHelp{
    QStringLiteral("velmora-report"),
    {QStringLiteral("[--forecast] --data FOLDER --reg REG --pdf OUT.pdf\n"
                    "[--company NAME] [--phone PHONE] [--settings FILE]"),
     QStringLiteral("--llp --data FOLDER --reg REG [--pdf OUT.pdf | --csv OUT.csv]\n"
                    "[--settings FILE]")},
    QStringLiteral(
        "Prints the actual remaining-life report of an aircraft (FOLDER/1.rpt), or with\n"
        "--forecast the forecast report (FOLDER/2.rpt), from FOLDER/Timemgr.mdb into a PDF.\n"
        "With --llp, the status of the aircraft's life-limited parts: each limit of its\n"
        "components with the life used and remaining, the due date, time since new and\n"
        "since overhaul, and the limit that comes due first; as PDF, CSV, or CSV on\n"
        "standard output. Needs no display.\n"),
    {
        {QStringLiteral("forecast"), {}, {}, QStringLiteral("print the forecast report")},
        {QStringLiteral("llp"),
         {},
         {},
         QStringLiteral("print the status of the aircraft's life-limited parts")},
        {QStringLiteral("data"),
         {},
         QStringLiteral("FOLDER"),
         QStringLiteral("the data folder that holds Timemgr.mdb and the reports, or a "
                        "server's URI")},
        {QStringLiteral("reg"),
         {},
         QStringLiteral("REG"),
         QStringLiteral("the registration number of the aircraft")},
        {QStringLiteral("pdf"),
         {},
         QStringLiteral("OUT.pdf"),
         QStringLiteral("the PDF file to write (replaced when it exists)")},
        {QStringLiteral("csv"),
         {},
         QStringLiteral("OUT.csv"),
         QStringLiteral("with --llp: the CSV file to write instead of a PDF")},
        {QStringLiteral("company"),
         {},
         QStringLiteral("NAME"),
         QStringLiteral("the company name printed in the report's heading")},
        {QStringLiteral("phone"),
         {},
         QStringLiteral("PHONE"),
         QStringLiteral("the telephone number printed in the report's heading")},
        {QStringLiteral("settings"),
         {},
         QStringLiteral("FILE"),
         QStringLiteral("the company settings (SetupPP.mdb) whose warning levels mark what is "
                        "due soon")},
    },
    QStringLiteral("Exit status: 0 when the PDF (or CSV) was written, 1 otherwise; 2 on an "
                   "unknown option.\n")};

}  // namespace

int main(int argc, char** argv) {
    return velmora::cli::runHeadlessProgram(argc, argv, kHelp,
                                            velmora::reporttool::runReportCommand);
}
