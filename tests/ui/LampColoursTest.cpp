#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QPalette>
#include <QWidget>

#include "resource.h"
#include "support/UnitClient.h"
#include "support/WindowTest.h"

namespace {

const QColor kGrey(0x7F, 0x7F, 0x7F);
const QColor kRed(0xFF, 0x00, 0x00);
const QColor kBlack(0x00, 0x00, 0x00);
const QColor kWhite(0xFF, 0xFF, 0xFF);
constexpr int kLamps[] = {IDC_LAMP_DI1, IDC_LAMP_DI2, IDC_LAMP_DI3, IDC_LAMP_DI4, IDC_LAMP_DI5};

class LampColoursTest : public WindowTest {
protected:
    void SetUp() override { Open(); }

    std::vector<QColor> LampColours() {
        std::vector<QColor> colours;
        for (int id : kLamps) colours.push_back(ColourAt(id));
        return colours;
    }
    // The state text's background near its corner, and whether any white text is drawn.
    QColor StateBackground() {
        QImage image = Control(IDC_STATIC_STATE)->grab().toImage();
        return image.pixelColor(3, 3);
    }
    bool StateHasWhiteText() {
        QImage image = Control(IDC_STATIC_STATE)->grab().toImage();
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (image.pixelColor(x, y) == kWhite) return true;
            }
        }
        return false;
    }
};

// Grey while stopped, black or red per input while running, grey again after a stop; the state
// text is white on grey or red, following the server flag.
TEST_F(LampColoursTest, FollowTheServerAndTheInputs) {
    EXPECT_EQ(LampColours(), std::vector<QColor>(5, kGrey));
    EXPECT_EQ(StateBackground(), kGrey);
    EXPECT_TRUE(StateHasWhiteText());

    int port = FreePort();
    StartServerOn(port);
    EXPECT_EQ(StateBackground(), kRed);
    EXPECT_TRUE(StateHasWhiteText());
    EXPECT_EQ(LampColours(), std::vector<QColor>(5, kBlack));

    ASSERT_EQ(Exchange(port, "\x01\x15"), "\x01\x15");
    EXPECT_EQ(LampColours(), (std::vector<QColor>{kRed, kBlack, kRed, kBlack, kRed}));

    Dialog().OnButtonServer();
    // Stopping: the flag decides, so lamps and state are grey before the worker has ended.
    EXPECT_EQ(StateBackground(), kGrey);
    EXPECT_EQ(LampColours(), std::vector<QColor>(5, kGrey));
    ASSERT_TRUE(WaitUntil([&] { return StopCompleted(); }));
    EXPECT_EQ(LampColours(), std::vector<QColor>(5, kGrey));
}

// A failed start (the port is taken) leaves the state text grey and reading "停止中".
TEST_F(LampColoursTest, FailedStartStaysGrey) {
    HeldPort held;
    StartServerOn(held.Port());
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(StateBackground(), kGrey);
    EXPECT_TRUE(IsStopped());
}

// Every other control keeps the dialog's own colours.
TEST_F(LampColoursTest, OtherControlsKeepDefaultColours) {
    StartServerOn(FreePort());
    const QColor window = Dialog().GetDialogWidget()->palette().color(QPalette::Window);
    for (int id : {IDC_STATIC_PEER, IDC_STATIC_LOCALADDR, IDC_STATIC_VERSION}) {
        SCOPED_TRACE(id);
        QImage image = Control(id)->grab().toImage();
        EXPECT_EQ(image.pixelColor(image.width() - 1, image.height() - 1), window);
    }
}

}  // namespace
