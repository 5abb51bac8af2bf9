#include "platform/Cp932.h"

#include <iconv.h>

#include <cerrno>

namespace cp932 {
namespace {

const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);
constexpr std::string_view kReplacementUtf8 = "\xEF\xBF\xBD";

// One converter per direction and thread: iconv_open is costly and a descriptor is not thread-safe.
class Converter {
public:
    Converter(const char* to, const char* from) : m_handle(iconv_open(to, from)) {}
    ~Converter() {
        if (m_handle != kNoConverter) iconv_close(m_handle);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts as much as it can; returns the number of input bytes it could not take.
    size_t Convert(std::string_view in, std::string& out, bool skipInvalid) {
        if (m_handle == kNoConverter) return in.size();
        iconv(m_handle, nullptr, nullptr, nullptr, nullptr);
        char* inPtr = const_cast<char*>(in.data());
        size_t inLeft = in.size();
        size_t rejected = 0;
        char buffer[512];
        while (inLeft > 0) {
            char* outPtr = buffer;
            size_t outLeft = sizeof buffer;
            size_t result = iconv(m_handle, &inPtr, &inLeft, &outPtr, &outLeft);
            out.append(buffer, outPtr);
            if (result != static_cast<size_t>(-1) || errno == E2BIG) continue;
            if (!skipInvalid) return inLeft;
            // EILSEQ or EINVAL: replace one byte and go on.
            out.append(kReplacementUtf8);
            ++inPtr;
            --inLeft;
            ++rejected;
        }
        return rejected;
    }

private:
    iconv_t m_handle;
};

}  // namespace

std::optional<std::string> FromUtf8(std::string_view utf8) {
    thread_local Converter converter("CP932", "UTF-8");
    std::string out;
    if (converter.Convert(utf8, out, false) != 0) return std::nullopt;
    // glibc also takes a few characters that only map one way (U+301C becomes the bytes of
    // U+FF5E); Windows refuses them, and so does this, so that what enters is what reads back.
    if (ToUtf8Exact(out) != utf8) return std::nullopt;
    return out;
}

std::string ToUtf8(std::string_view text) {
    thread_local Converter converter("UTF-8", "CP932");
    std::string out;
    converter.Convert(text, out, true);
    return out;
}

std::optional<std::string> ToUtf8Exact(std::string_view text) {
    // Most file names: every log row opens one.
    if (IsAscii(text)) return std::string(text);
    thread_local Converter converter("UTF-8", "CP932");
    std::string out;
    if (converter.Convert(text, out, false) != 0) return std::nullopt;
    return out;
}

}  // namespace cp932
