#pragma once

#include <string>

namespace korvane {

// Where the program's own fixed messages go: a modal box in the window, a line
// on standard error in the batch tool, a list in the tests. Texts are UTF-8.
class MessageSink {
  public:
    virtual ~MessageSink() = default;
    virtual void ShowMessage(const std::string& text) = 0;
};

namespace msg {
inline constexpr const char* InputNotCorrect = "Input value is not correct!";
inline constexpr const char* FileCanNotOpen = "File can not open!";
inline constexpr const char* CanNotWriteResult = "Can not write result to file";
inline constexpr const char* CanNotWriteResults = "Can not write results to file";
inline constexpr const char* SelectOneDataFile = "Select one data file! Please try again.";
inline constexpr const char* DataFileCanNotOpen = "Data file can not open!";
inline constexpr const char* Finished = "Calculation is successfully finished !";
} // namespace msg

} // namespace korvane
