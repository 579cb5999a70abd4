// quorvane-adif: the Quorvane windows, counting every scan by the ADIF field rules. It takes
// one optional argument, a log to open at start as "Open ADIF" would; --help and --version are
// answered before Qt starts, so that they need no display.
#include <QApplication>
#include <QFile>
#include <QTimer>
#include <cstdio>
#include <cstring>

#include "form1.h"
#include "nosettings.h"
#include "startup.h"
#include "windowdesign.h"

int main(int argc, char* argv[]) {
    using namespace quorvane::startup;
    if (const auto status = Start(Program::kQuorvaneAdif, argc, argv)) return *status;
    QApplication app(argc, argv);  // takes Qt's own options out of argv
    Started();
    const char* log = nullptr;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (!optionsEnded && std::strcmp(arg, "--") == 0) {
            optionsEnded = true;
        } else if ((!optionsEnded && arg[0] == '-' && arg[1] != '\0') || log) {
            std::fprintf(stderr, "quorvane-adif: %s\n%s",
                         log ? "one log at a time" : "unknown option", kAdifUsage);
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
