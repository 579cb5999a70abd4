// Quorvane: band, mode, continent and QSL summaries of an ADIF log. The main window is all
// there is to start; the program takes no arguments and keeps no settings.
#include <QApplication>

#include "form1.h"
#include "nosettings.h"
#include "startup.h"
#include "windowdesign.h"

int main(int argc, char* argv[]) {
    using namespace quorvane::startup;
    if (const auto status = Start(Program::kQuorvane, argc, argv)) return *status;  // no display
    QApplication app(argc, argv);
    Started();
    SendUserSettingsNowhere();
    QApplication::setWindowIcon(WindowIcon());
    Form1 form;
    form.show();
    return QApplication::exec();
}
