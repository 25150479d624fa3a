#include "Cp932.h"

#include <cerrno>
#include <iconv.h>

namespace korvane {

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

QString DecodeCp932(const std::string& bytes) {
    return DecodeFrom(bytes, "CP932");
}

QString DecodeFrom(const std::string& bytes, const char* codeSet) {
    const auto size = static_cast<qsizetype>(bytes.size());
    bool ascii = true;
    for (unsigned char c : bytes)
        ascii &= c < 0x80;
    if (ascii)
        return QString::fromLatin1(bytes.data(), size);

    // NUL bytes are characters like any other on every path: the box shows
    // what the file holds and the next Go refuses it.
    const Converter converter("UTF-8", codeSet);
    if (!converter.valid())
        return QString::fromLocal8Bit(bytes.data(), size);
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
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

} // namespace korvane
