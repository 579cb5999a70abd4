// quorvane-adif: the Quorvane windows, counting every scan by the ADIF field rules, with the
// award windows and the date range. It takes one optional argument, a log to open at start as
// "Open ADIF" would; its command line is read before Qt starts, so that --help, --version and a
// wrong option need no display.
#include <QApplication>
#include <QFile>
#include <QTimer>

#include "form1.h"
#include "nosettings.h"
#include "startup.h"
#include "windowdesign.h"

int main(int argc, char* argv[]) {
    using namespace quorvane::startup;
    const char* log = nullptr;
    if (const auto status = Start(Program::kQuorvaneAdif, argc, argv, &log)) return *status;
    QApplication app(argc, argv);
    Started();

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
