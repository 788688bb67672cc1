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

#ifdef _WIN32

// The shape of code page 932 itself. The system's table also maps the bytes it leaves undefined
// (0x80, 0xA0, 0xFD to 0xFF) and, asked for whole strings, lets a lead byte swallow the line
// end after it; decoding one character at a time replaces exactly the bytes iconv refuses.
bool isLeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

bool isSingleByteCharacter(unsigned char byte) {
    return byte <= 0x7F || (byte >= 0xA1 && byte <= 0xDF);
}

struct DecodedCharacter {
    char32_t character;
    std::size_t length;
};

DecodedCharacter decodeCharacter(std::string_view bytes) {
    const auto first = static_cast<unsigned char>(bytes.front());
    std::size_t length = 0;
    if (isSingleByteCharacter(first))
        length = 1;
    else if (isLeadByte(first) && bytes.size() >= 2)
        length = 2;
    else
        return {replacementCharacter, 1};
    wchar_t wide = 0;
    if (MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(length),
                            &wide, 1) != 1)
        return {replacementCharacter, 1};
    return {wide, length};
}

std::string convertWithSystem(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    while (!bytes.empty()) {
        const DecodedCharacter decoded = decodeCharacter(bytes);
        appendUtf8(out, decoded.character);
        bytes.remove_prefix(decoded.length);
    }
    return out;
}

#else

std::string latin1ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const char c : bytes)
        appendUtf8(out, static_cast<unsigned char>(c));
    return out;
}

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
