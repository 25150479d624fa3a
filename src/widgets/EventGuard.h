#pragma once

#include <exception>
#include <string>

namespace korvane {

// The application's standard error box.
class ErrorBox {
  public:
    virtual ~ErrorBox() = default;
    virtual void ShowError(const std::string& text) = 0;
};

// Runs one event handler of ours. Qt lets no exception unwind through its
// event loop, so whatever the handler throws ends here, in the error box.
template <class Handler> void Guard(ErrorBox& box, Handler&& handler) noexcept {
    try {
        handler();
    } catch (const std::exception& error) {
        box.ShowError(error.what());
    } catch (...) {
        box.ShowError("Unexpected error");
    }
}

} // namespace korvane
