#include "resource.h"
#include "support/UnitClient.h"
#include "support/WindowTest.h"

#include <QDialog>
#include <QImage>
#include <QPalette>
#include <QWidget>

namespace {

const QColor kGrey(0x7F, 0x7F, 0x7F);
const QColor kRed(0xFF, 0x00, 0x00);
const QColor kBlack(0x00, 0x00, 0x00);
const QColor kWhite(0xFF, 0xFF, 0xFF);

class LampColoursTest : public WindowTest {
protected:
    std::vector<QColor> LampColours() {
        std::vector<QColor> colours;
        for (int id : {IDC_LAMP_DI1, IDC_LAMP_DI2, IDC_LAMP_DI3, IDC_LAMP_DI4, IDC_LAMP_DI5})
            colours.push_back(ColourAt(id));
        return colours;
    }
    // The state text's background near its corner; its text must be white.
    QColor StateBackground() {
        QImage image = Control(IDC_STATIC_STATE)->grab().toImage();
        bool whiteText = false;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) whiteText |= image.pixelColor(x, y) == kWhite;
        }
        EXPECT_TRUE(whiteText);
        return image.pixelColor(3, 3);
    }
    // The corner of a control that keeps the dialog's own colours.
    QColor CornerOf(int id) {
        QImage image = Control(id)->grab().toImage();
        return image.pixelColor(image.width() - 1, image.height() - 1);
    }
};

// Grey while stopped (a failed start too), black or red per input while running, grey again
// as soon as a stop is asked for; the state text is white on grey or red, following the server
// flag. Every other control keeps the dialog's own colours.
TEST_F(LampColoursTest, FollowTheServerAndTheInputs) {
    Open();
    EXPECT_EQ(LampColours(), std::vector<QColor>(5, kGrey));
    EXPECT_EQ(StateBackground(), kGrey);
    HeldPort held(HeldPort::Kind::kListeningEverywhere);
    StartServerOn(held.Port());
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(StateBackground(), kGrey);

    int port = FreePort();
    StartServerOn(port);
    EXPECT_EQ(StateBackground(), kRed);
    EXPECT_EQ(LampColours(), std::vector<QColor>(5, kBlack));
    ASSERT_EQ(Exchange(port, "\x01\x15"), "\x01\x15");
    EXPECT_EQ(LampColours(), (std::vector<QColor>{kRed, kBlack, kRed, kBlack, kRed}));
    const QColor window = Dialog().GetDialogWidget()->palette().color(QPalette::Window);
    for (int id : {IDC_STATIC_PEER, IDC_STATIC_LOCALADDR, IDC_STATIC_VERSION}) {
        EXPECT_EQ(CornerOf(id), window) << id;
    }

    Dialog().OnButtonServer();
    EXPECT_EQ(StateBackground(), kGrey);
    EXPECT_EQ(LampColours(), std::vector<QColor>(5, kGrey));
    ASSERT_TRUE(WaitUntil([&] { return StopCompleted(); }));
    EXPECT_EQ(LampColours(), std::vector<QColor>(5, kGrey));
}

}  // namespace
