#include "core/Cp932.h"

#include "core/Utf8.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <iconv.h>
#endif

#include <vector>

namespace core {

namespace {

constexpr char32_t replacementCharacter = 0xFFFD;

std::string latin1ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const char c : bytes)
        appendUtf8(out, static_cast<unsigned char>(c));
    return out;
}

#ifdef _WIN32

std::string convertWithSystem(std::string_view bytes) {
    if (bytes.empty())
        return {};
    const int size = static_cast<int>(bytes.size());
    const int wideLength = MultiByteToWideChar(932, 0, bytes.data(), size, nullptr, 0);
    if (wideLength <= 0)
        return latin1ToUtf8(bytes);
    std::vector<wchar_t> wide(static_cast<std::size_t>(wideLength));
    MultiByteToWideChar(932, 0, bytes.data(), size, wide.data(), wideLength);
    const int utf8Length =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(utf8Length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, out.data(), utf8Length, nullptr,
                        nullptr);
    return out;
}

#else

class IconvDescriptor {
public:
    IconvDescriptor(const char* to, const char* from) : handle_(iconv_open(to, from)) {}
    ~IconvDescriptor() {
        if (isOpen())
            iconv_close(handle_);
    }
    IconvDescriptor(const IconvDescriptor&) = delete;
    IconvDescriptor& operator=(const IconvDescriptor&) = delete;

    bool isOpen() const { return handle_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return handle_; }

private:
    iconv_t handle_;
};

std::string convertWithSystem(std::string_view bytes) {
    const IconvDescriptor converter("UTF-8", "CP932");
    if (!converter.isOpen())
        return latin1ToUtf8(bytes);
    // Every code page 932 byte, or a replaced one, yields at most three UTF-8 bytes.
    std::vector<char> output(bytes.size() * 3 + 4);
    std::vector<char> input(bytes.begin(), bytes.end());
    char* in = input.data();
    std::size_t inLeft = input.size();
    char* out = output.data();
    std::size_t outLeft = output.size();
    while (inLeft > 0) {
        if (iconv(converter.get(), &in, &inLeft, &out, &outLeft) != static_cast<std::size_t>(-1))
            break;
        if (errno != EILSEQ && errno != EINVAL)
            return latin1ToUtf8(bytes);
        std::string replacement;
        appendUtf8(replacement, replacementCharacter);
        for (const char c : replacement) {
            *out++ = c;
            --outLeft;
        }
        ++in;
        --inLeft;
    }
    return std::string(output.data(), out);
}

#endif

} // namespace

int cp932ByteLength(char32_t c) {
    return c <= 0x7F || (c >= 0xFF61 && c <= 0xFF9F) ? 1 : 2;
}

std::string cp932ToUtf8(std::string_view bytes) {
    return convertWithSystem(bytes);
}

} // namespace core
