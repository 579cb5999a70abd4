// The windows made with the ADIF field rules: their captions say so, and every scan, the main
// table's, the continent window's and the QSL window's, counts by those rules.
#include "gui_support.h"

namespace guitest {
namespace {

struct AdifWindows : WindowTest {
    void SetUp() override {
        rules = &quorvane::AdifFieldRules();
        WindowTest::SetUp();
    }
};

TEST_F(AdifWindows, CountEveryScanByTheAdifFieldRulesAndSaySoInTheCaption) {
    EXPECT_EQ(form->windowTitle(), "Quorvane (ADIF fields)");
    Open(Write("contest.adi",
               "<band:3>20m\n<mode:2>cw\n<cont:2>eu\n<qsl_sent:1>Y\n<qsl_rcvd:1>y\n<eor>\n"
               "<freq:5>7.074\n<mode:3>usb\n<cont:2>NA\n<qsl_sent:1>Y\n<eor>\n"));
    for (const char* command : {"mnuContinent", "mnuQSLReceived"}) Trigger(command);
    EXPECT_EQ(form->windowTitle(), "contest.adi (ADIF fields)");
    ASSERT_TRUE(Window("Form2", true) && Window("Form5", true));
    // C20, S40 from FREQ, Total; EU20, NA40; QSL Rcvd/Sent.
    const std::tuple<QWidget*, int, int, QString> cells[] = {
        {form.get(), 6, 1, "1"},      {form.get(), 8, 3, "1"},
        {form.get(), 11, 4, "2"},     {Window("Form2"), 6, 4, "1"},
        {Window("Form2"), 8, 5, "1"}, {Window("Form5"), 1, 1, "50.%"}};
    for (const auto& [window, row, column, text] : cells)
        EXPECT_EQ(Grid(window).TextMatrix(row, column), text) << row << "," << column;
    // A log given at start goes the way of "Open ADIF", its errors included.
    form->OpenFile(dir.filePath("missing.adi"));
    EXPECT_EQ(errors.size(), 1);
    EXPECT_EQ(form->windowTitle(), "Quorvane (ADIF fields)");
}

}  // namespace
}  // namespace guitest
