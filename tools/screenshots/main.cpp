// Opens the bundled sample log in the program's windows, opens every window through its menu
// command, and saves a picture of each for the README.
//   quorvane-screenshots LOG OUTDIR
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTimer>
#include <QWidget>
#include <cstdio>

#include "form1.h"

namespace {

QWidget* TopLevel(const char* name) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String(name) && w->isVisible()) return w;
    return nullptr;
}

void Trigger(QObject* owner, const char* action) {
    if (auto* a = owner ? owner->findChild<QAction*>(QLatin1String(action)) : nullptr) a->trigger();
    QApplication::processEvents();
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: quorvane-screenshots LOG OUTDIR\n");
        return 1;
    }
    const QString log = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();
    const QDir out(QString::fromLocal8Bit(argv[2]));
    int failures = 0;

    Form1 main([log](const QString&) { return log; },
               [&failures](const QString& message) {
                   std::fprintf(stderr, "%s\n", qPrintable(message));
                   ++failures;
               });
    main.show();
    QTimer::singleShot(200, [&] {
        Trigger(&main, "mnuOpen");
        Trigger(&main, "mnuContinent");
        Trigger(&main, "mnuQSLReceived");
        Trigger(&main, "mnuChart");
        Trigger(TopLevel("Form2"), "mnuChat");
        QTimer::singleShot(500, [&] {
            const struct {
                const char* window;
                const char* file;
            } shots[] = {{"Form1", "main.png"},
                         {"Form2", "continent.png"},
                         {"Form5", "qsl.png"},
                         {"Form3", "mode-chart.png"},
                         {"Form4", "continent-chart.png"}};
            for (const auto& shot : shots) {
                QWidget* w = TopLevel(shot.window);
                if (!w || !w->grab().save(out.filePath(QLatin1String(shot.file)))) {
                    std::fprintf(stderr, "no picture of %s\n", shot.window);
                    ++failures;
                }
            }
            QApplication::exit(failures == 0 ? 0 : 2);
        });
    });
    return app.exec();
}
