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
        for (const WindowCommand& row : kWindowCommands) Choose(row);
    }
};

TEST_F(AdifWindows, CaptionSaysSo) { EXPECT_EQ(form->windowTitle(), "contest.adi (ADIF fields)"); }

// CW on 20 m.
TEST_F(AdifWindows, MainWindowCountsSo) { EXPECT_EQ(Grid(form.get()).TextMatrix(6, 1), "1"); }

class EachAdifWindow : public AdifWindows, public ::testing::WithParamInterface<WindowCommand> {};

TEST_P(EachAdifWindow, CountsSo) {
    EXPECT_EQ(GetParam().probe(*Window(GetParam().window)), GetParam().first);
}

INSTANTIATE_TEST_SUITE_P(, EachAdifWindow, ::testing::ValuesIn(kWindowCommands), RowName());

// A log given at start goes the way of "Open ADIF", its errors included.
TEST_F(AdifWindows, ALogGivenAtStartThatCannotBeOpenedIsReported) {
    form->OpenFile(dir.filePath("missing.adi"));
    EXPECT_EQ(errors.size(), 1);
}

TEST_F(AdifWindows, ALogGivenAtStartThatCannotBeOpenedLeavesNoLog) {
    form->OpenFile(dir.filePath("missing.adi"));
    EXPECT_EQ(form->windowTitle(), "Quorvane (ADIF fields)");
}

}  // namespace
}  // namespace guitest
