// The windows made with the ADIF field rules: their captions say so, and every scan, the main
// table's, the continent window's and the QSL window's, counts by those rules.
#include <QFile>

#include "gui_support.h"
#include "quorvane/counting_rules.h"

namespace guitest {
namespace {

TEST(AdifWindows, CountEveryScanByTheAdifFieldRulesAndSaySoInTheCaption) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("contest.adi"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(
        "<band:3>20m\n<mode:2>cw\n<cont:2>eu\n<qsl_sent:1>Y\n<qsl_rcvd:1>y\n<eor>\n"
        "<freq:5>7.074\n<mode:3>usb\n<cont:2>NA\n<qsl_sent:1>Y\n<eor>\n");
    file.close();
    QStringList errors;
    Form1 form([&](const QString&) { return path; }, [&](const QString& e) { errors << e; }, {},
               quorvane::AdifFieldRules());
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Quorvane (ADIF fields)"));

    form.findChild<QAction*>(QStringLiteral("mnuOpen"))->trigger();
    EXPECT_EQ(form.windowTitle(), QStringLiteral("contest.adi (ADIF fields)"));
    const GridControl* main = form.findChild<GridControl*>(QStringLiteral("MSFlexGrid1"));
    EXPECT_EQ(main->TextMatrix(6, 1), "1");   // C20
    EXPECT_EQ(main->TextMatrix(8, 3), "1");   // S40, from FREQ
    EXPECT_EQ(main->TextMatrix(11, 4), "2");  // Total

    form.findChild<QAction*>(QStringLiteral("mnuContinent"))->trigger();
    ASSERT_NE(Window("Form2", true), nullptr);
    EXPECT_EQ(Grid(Window("Form2")).TextMatrix(6, 4), "1");  // EU20
    EXPECT_EQ(Grid(Window("Form2")).TextMatrix(8, 5), "1");  // NA40
    form.findChild<QAction*>(QStringLiteral("mnuQSLReceived"))->trigger();
    ASSERT_NE(Window("Form5", true), nullptr);
    EXPECT_EQ(Grid(Window("Form5")).TextMatrix(1, 1), "50.%");

    // A log given at start goes the way of "Open ADIF", its errors included.
    form.OpenFile(dir.filePath(QStringLiteral("missing.adi")));
    EXPECT_EQ(errors.size(), 1);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Quorvane (ADIF fields)"));
    EXPECT_EQ(main->TextMatrix(6, 1), "");
}

}  // namespace
}  // namespace guitest
