#include "Cp932.h"

#include "TextCodec.h"

namespace korvane {

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
    const auto utf8 = platform::DecodeToUtf8(bytes, codeSet);
    if (!utf8)
        return QString::fromLocal8Bit(bytes.data(), size);
    return QString::fromUtf8(utf8->data(), static_cast<qsizetype>(utf8->size()));
}

} // namespace korvane
