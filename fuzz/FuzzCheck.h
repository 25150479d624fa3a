#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

// A broken property is a crash, so libFuzzer keeps the input that shows it.
#define FUZZ_CHECK(condition, ...)                                                                 \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);     \
            std::fprintf(stderr, __VA_ARGS__);                                                     \
            std::fputc('\n', stderr);                                                              \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)

namespace korvane::fuzz {

// A scratch file of this process, under TMPDIR (or /tmp).
inline std::string ScratchPath(const char* name) {
    const char* dir = std::getenv("TMPDIR");
    std::string path = dir && *dir ? dir : "/tmp";
    path += "/korvane-";
    path += name;
    path += '-';
    path += std::to_string(::getpid());
    return path;
}

// Texts in messages: non-printing bytes as \xNN.
inline std::string Shown(const std::string& text) {
    std::string out;
    for (unsigned char c : text) {
        if (c >= 0x20 && c < 0x7f && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02x", c);
            out += buf;
        }
    }
    return out;
}

} // namespace korvane::fuzz
