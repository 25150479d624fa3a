#include "TextFile.h"

namespace korvane {

std::optional<TextFile> TextFile::Open(const std::string& path, Mode mode) {
    auto file = platform::File::Open(path, mode == Mode::Create ? platform::File::Mode::Create
                                                                : platform::File::Mode::Append);
    if (!file)
        return std::nullopt;
    return TextFile(std::move(*file));
}

TextFile::TextFile(TextFile&& other) noexcept
    : file_(std::move(other.file_)), buffer_(std::move(other.buffer_)) {
    other.file_.reset();
}

TextFile::~TextFile() = default;

void TextFile::WriteLine(std::string_view line) {
    buffer_.append(line);
    buffer_.append("\r\n");
    if (buffer_.size() >= 65536)
        Flush();
}

void TextFile::Flush() {
    const std::string error = file_->Write(buffer_.data(), buffer_.size());
    if (!error.empty())
        throw FileWriteError(error);
    buffer_.clear();
}

void TextFile::Close() {
    Flush();
    const std::string error = file_->Close();
    file_.reset();
    if (!error.empty())
        throw FileWriteError(error);
}

} // namespace korvane
