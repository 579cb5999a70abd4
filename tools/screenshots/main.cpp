// Opens the bundled sample log in the program's windows, opens every window through its menu
// command, and saves a picture of each for the README; then, by the ADIF field rules, the award
// windows and the Date Range dialog on a log of award contacts written here.
//   quorvane-screenshots LOG OUTDIR
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <string>
#include <vector>

#include "daterangedialog.h"
#include "form1.h"
#include "quorvane/award_tally.h"

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

void Field(std::string& log, const char* name, const std::string& value) {
    log.append("<").append(name).append(":").append(std::to_string(value.size()));
    log.append(">").append(value).append(" ");
}

// A few hundred contacts over eleven years with some of the DXCC entities, current and deleted,
// confirmed now and then by card, LoTW or eQSL.
QByteArray AwardLog() {
    std::vector<std::uint16_t> codes;
    for (const quorvane::DxccEntity& e : quorvane::DxccEntities())
        if (e.code % 3 == 0 || (e.deleted && e.code % 5 == 0)) codes.push_back(e.code);
    const char* const bands[] = {"20M", "40M", "15M", "10M", "80M", "17M", "30M"};
    const char* const modes[] = {"CW", "SSB", "FT8", "RTTY", "FM"};
    std::string log = "Award contacts for the screenshots\n<EOH>\n";
    for (unsigned i = 0; i < 900; ++i) {
        const unsigned year = 2014 + (i * 7 + i / 13) % 11;
        std::string day = std::to_string(year);
        day.append("0").append(std::to_string(1 + i % 9)).append(std::to_string(10 + i % 18));
        Field(log, "QSO_DATE", day);
        Field(log, "BAND", bands[(i * 5 + i / 7) % 7]);
        Field(log, "MODE", modes[(i + i / 11) % 5]);
        Field(log, "DXCC", std::to_string(codes[(i * 37 + i / 5) % codes.size()]));
        if (i % 3 == 0) Field(log, "QSL_RCVD", "Y");
        if (i % 4 == 0) Field(log, "LOTW_QSL_RCVD", "Y");
        if (i % 5 == 0) Field(log, "EQSL_QSL_RCVD", "Y");
        log += "<EOR>\n";
    }
    return QByteArray::fromStdString(log);
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
    const auto shoot = [&](const char* window, const char* file) {
        QWidget* w = TopLevel(window);
        if (!w || !w->grab().save(out.filePath(QLatin1String(file)))) {
            std::fprintf(stderr, "no picture of %s\n", window);
            ++failures;
        }
    };
    const auto report = [&failures](const QString& message) {
        std::fprintf(stderr, "%s\n", qPrintable(message));
        ++failures;
    };

    Form1 main([log](const QString&) { return log; }, report);
    main.show();

    QTemporaryDir dir;
    QFile awards(dir.filePath(QStringLiteral("awards.adi")));
    if (!awards.open(QIODevice::WriteOnly) || awards.write(AwardLog()) < 0) return 2;
    awards.close();
    Form1 adif([&awards](const QString&) { return awards.fileName(); }, report, {},
               quorvane::AdifFieldRules());
    quorvane::DateRange range{.from = 20180101, .to = 20231231};
    DateRangeDialog dialog(range);

    QTimer::singleShot(200, [&] {
        Trigger(&main, "mnuOpen");
        Trigger(&main, "mnuContinent");
        Trigger(&main, "mnuQSLReceived");
        Trigger(&main, "mnuChart");
        Trigger(TopLevel("Form2"), "mnuChat");
        QTimer::singleShot(500, [&] {
            shoot("Form1", "main.png");
            shoot("Form2", "continent.png");
            shoot("Form5", "qsl.png");
            shoot("Form3", "mode-chart.png");
            shoot("Form4", "continent-chart.png");
            main.hide();  // closing the main window would end the program
            adif.show();
            Trigger(&adif, "mnuOpen");
            Trigger(&adif, "mnuDxccSummary");
            Trigger(&adif, "mnuDxccEntities");
            Trigger(&adif, "mnuYears");
            dialog.show();
            QTimer::singleShot(500, [&] {
                shoot("DxccSummary", "dxcc-summary.png");
                shoot("DxccEntities", "dxcc-entities.png");
                shoot("Years", "years.png");
                shoot("DateRange", "date-range.png");
                QApplication::exit(failures == 0 ? 0 : 2);
            });
        });
    });
    return app.exec();
}
