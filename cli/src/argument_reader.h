// Walks a command's arguments, handing out each option's value ("--name VALUE" or
// "--name=VALUE").
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

class ArgumentReader {
public:
    explicit ArgumentReader(const std::vector<std::string>& arguments) : arguments_(arguments) {}

    bool Done() const { return next_ >= arguments_.size(); }
    // The next argument; for "--name=value" the name, keeping the value for Value().
    std::string Take() {
        std::string argument = arguments_[next_++];
        inlineValue_.reset();
        if (argument.rfind("--", 0) == 0) {
            if (const size_t equals = argument.find('='); equals != std::string::npos) {
                inlineValue_ = argument.substr(equals + 1);
                argument.resize(equals);
            }
        }
        return argument;
    }
    std::optional<std::string> Value() {
        if (inlineValue_) return std::exchange(inlineValue_, std::nullopt);
        if (Done()) return std::nullopt;
        return arguments_[next_++];
    }
    bool HasInlineValue() const { return inlineValue_.has_value(); }

private:
    const std::vector<std::string>& arguments_;
    size_t next_ = 0;
    std::optional<std::string> inlineValue_;
};
