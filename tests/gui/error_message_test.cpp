// The windows' error messages stay one line whatever the log's name holds.
#include <gtest/gtest.h>

#include "form1.h"

namespace {

TEST(ErrorMessage, ControlCharactersInTheNameAreEscaped) {
    const QString path = QString::fromUtf8("/x/a\nb\rc\td\x1b[2Je\x7f\\f.adi");
    const QString shown = QStringLiteral(R"(/x/a\nb\rc\td\x1b[2Je\x7f\\f.adi)");
    EXPECT_EQ(
        Form1::ErrorMessage(quorvane::LogOpenError(path.toStdString(), "Is a directory"), path),
        "Cannot open \"" + shown + "\": Is a directory.");
    EXPECT_EQ(Form1::ErrorMessage(quorvane::CounterOverflow("EU20"), path),
              "Cannot count \"" + shown + "\": the count EU20 would pass 2,147,483,647.");
}

}  // namespace
