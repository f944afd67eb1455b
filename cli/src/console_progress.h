// The progress front of morvane-cli: a bar on standard error when that is a terminal, quiet
// otherwise. It turns an interrupt into the run's cancel request.
#pragma once

#include <memory>
#include <string>

#include "engine/progress.h"

class ConsoleProgressFactory : public IProgressFactory {
public:
    // The bar is drawn only when showBar is set (standard error is a terminal).
    explicit ConsoleProgressFactory(bool showBar) : showBar_(showBar) {}
    std::unique_ptr<IProgress> Create(const std::string& text, bool cancelEnabled) override;

private:
    bool showBar_;
};
