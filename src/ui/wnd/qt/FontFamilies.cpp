#include "ui/wnd/qt/FontFamilies.h"

#include "ui/wnd/CFont.h"
#include "ui/wnd/qt/QtText.h"

#include <QStringList>

#include <string_view>

namespace {

struct Substitute {
    std::string_view windowsFace;  // CP932
    const char* englishName;
    const char* debianFamily;
};

constexpr Substitute kSubstitutes[] = {
    {kFacePGothic, "MS PGothic", "IPAPGothic"},
    {kFaceGothic, "MS Gothic", "IPAGothic"},
};

}  // namespace

QFont MakeFont(const char* cp932FaceName, double pointSize) {
    QStringList families{QtText(cp932FaceName)};
    for (const Substitute& substitute : kSubstitutes) {
        if (substitute.windowsFace == cp932FaceName) {
            families << substitute.englishName << substitute.debianFamily;
        }
    }
    QFont font;
    font.setFamilies(families);
    font.setPointSizeF(pointSize);
    return font;
}
