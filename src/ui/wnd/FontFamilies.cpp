#include "ui/wnd/FontFamilies.h"

#include <QStringList>
#include <string_view>

#include "ui/wnd/QtText.h"

namespace {

struct Substitute {
    std::string_view windowsFace;  // CP932
    const char* englishName;
    const char* debianFamily;
};

// "ＭＳ Ｐゴシック" and "ＭＳ ゴシック" in CP932.
constexpr Substitute kSubstitutes[] = {
    {"\x82\x6c\x82\x72 \x82\x6f\x83\x53\x83\x56\x83\x62\x83\x4e", "MS PGothic", "IPAPGothic"},
    {"\x82\x6c\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4e", "MS Gothic", "IPAGothic"},
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
