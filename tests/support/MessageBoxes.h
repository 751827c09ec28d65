#pragma once
// Stands in for a person at the message boxes the code under test shows:
// each is answered with its first button, and its text kept.

#include <memory>
#include <string>
#include <vector>

namespace testsupport {

class MessageBoxes {
public:
    MessageBoxes();
    ~MessageBoxes();
    MessageBoxes(const MessageBoxes&) = delete;
    MessageBoxes& operator=(const MessageBoxes&) = delete;

    // The texts of the boxes shown so far, as "Error: text" for an error box;
    // ends the watch.
    std::vector<std::string> Shown();

private:
    struct Watch;
    std::unique_ptr<Watch> watch_;
};

}  // namespace testsupport
