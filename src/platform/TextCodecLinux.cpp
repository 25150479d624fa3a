#include "TextCodec.h"

#include <cerrno>
#include <iconv.h>

namespace korvane::platform {

namespace {

// An iconv conversion descriptor, closed however the decoding ends.
class Converter {
  public:
    Converter(const char* to, const char* from) : handle_(::iconv_open(to, from)) {}
    ~Converter() {
        if (valid())
            ::iconv_close(handle_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool valid() const { return handle_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return handle_; }

  private:
    iconv_t handle_;
};

} // namespace

std::optional<std::string> DecodeToUtf8(const std::string& bytes, const char* codeSet) {
    const Converter converter("UTF-8", codeSet);
    if (!converter.valid())
        return std::nullopt;
    std::string utf8;
    char buffer[256];
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    while (inLeft > 0) {
        char* out = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t done = ::iconv(converter.get(), &in, &inLeft, &out, &outLeft);
        utf8.append(buffer, static_cast<std::size_t>(out - buffer));
        if (done == static_cast<std::size_t>(-1) && errno != E2BIG) {
            // An invalid or cut-off sequence: skip one byte and go on.
            utf8 += "\xEF\xBF\xBD";
            ++in;
            --inLeft;
        }
    }
    return utf8;
}

} // namespace korvane::platform
