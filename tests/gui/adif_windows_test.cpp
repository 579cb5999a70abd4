// The windows made with the ADIF field rules: their captions say so, and every scan counts so.
#include "gui_support.h"

namespace guitest {
namespace {

// Every window open on a record that only these rules count: a field per line, in lower case.
class AdifWindows : public WindowTest {
  protected:
    void SetUp() override {
        rules = &quorvane::AdifFieldRules();
        WindowTest::SetUp();
        Open(Write("contest.adi",
                   "<band:3>20m\n<mode:2>cw\n<cont:2>eu\n<qsl_sent:1>y\n<qsl_rcvd:1>y\n<eor>\n"));
        Trigger("mnuContinent");
        Trigger("mnuQSLReceived");
    }
};

TEST_F(AdifWindows, CaptionSaysSo) { EXPECT_EQ(form->windowTitle(), "contest.adi (ADIF fields)"); }

// CW on 20 m; EU on 20 m; the paper QSL's share.
TEST_F(AdifWindows, EveryScanCountsByTheseRules) {
    EXPECT_EQ(Grid(form.get()).TextMatrix(6, 1), "1") << "main window";
    EXPECT_EQ(Grid(Window("Form2")).TextMatrix(6, 4), "1") << "continent window";
    EXPECT_EQ(Grid(Window("Form5")).TextMatrix(1, 1), "100.%") << "QSL window";
}

// A log given at start goes the way of "Open ADIF", its errors included.
TEST_F(AdifWindows, ALogGivenAtStartThatCannotBeOpenedIsReportedAndLeavesNoLog) {
    form->OpenFile(dir.filePath("missing.adi"));
    EXPECT_EQ(errors.size(), 1);
    EXPECT_EQ(form->windowTitle(), "Quorvane (ADIF fields)");
}

}  // namespace
}  // namespace guitest
