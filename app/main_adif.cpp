// quorvane-adif: the Quorvane windows, counting every scan by the ADIF field rules. It takes
// one optional argument, a log to open at start as "Open ADIF" would.
#include <QApplication>
#include <QFile>
#include <QTimer>
#include <cstdio>
#include <cstring>

#include "form1.h"
#include "nosettings.h"
#include "windowdesign.h"

namespace {

const char kUsage[] =
    "usage: quorvane-adif [LOG]\n"
    "\n"
    "Shows the band/mode, continent and QSL summaries of an ADIF log, reading it as ADIF\n"
    "fields in any letter case and layout, record by record (<band:3>20m, one field per\n"
    "line). LOG, if given, is opened at start; File > Open ADIF opens another.\n"
    "quorvane shows the same windows counting by its exact rules instead.\n";

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);  // takes Qt's own options out of argv
    const char* log = nullptr;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (!optionsEnded && std::strcmp(arg, "--help") == 0) {
            const bool written = std::fputs(kUsage, stdout) >= 0 && std::fflush(stdout) == 0;
            if (!written) std::fprintf(stderr, "quorvane-adif: cannot write the help\n");
            return written ? 0 : 2;
        }
        if (!optionsEnded && std::strcmp(arg, "--") == 0) {
            optionsEnded = true;
        } else if ((!optionsEnded && arg[0] == '-' && arg[1] != '\0') || log) {
            std::fprintf(stderr, "quorvane-adif: %s\n%s",
                         log ? "one log at a time" : "unknown option", kUsage);
            return 1;
        } else {
            log = arg;
        }
    }

    SendUserSettingsNowhere();
    QApplication::setWindowIcon(WindowIcon());
    Form1 form({}, {}, {}, quorvane::AdifFieldRules());
    form.show();
    if (log) {
        const QString path = QFile::decodeName(log);
        QTimer::singleShot(0, &form, [&form, path] { form.OpenFile(path); });
    }
    return QApplication::exec();
}
